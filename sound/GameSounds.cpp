#include "sound/GameSounds.h"

#include <cstdio>
#include <exception>

namespace qx {

TGameSounds::TGameSounds(const std::string& folder, TMessageHandler onMessage, std::string deviceName)
    : onMessage_(std::move(onMessage)) {
    mixer_ = std::make_unique<TWaveMixer>([this](const std::string& text) { Report(text); }, std::move(deviceName));
    for (const TGameSoundEntry& entry : GameSoundTable()) {
        auto buffer = std::make_unique<TSoundBuffer>(mixer_.get());
        const std::string path = (folder.empty() ? std::string(".") : folder) + "/" + entry.FileName;
        try {
            buffer->LoadFromFile(path);
            // Setting them makes the device buffer now, so a wave the device
            // refuses is found here rather than on the first click.
            buffer->SetVolume(entry.Volume);
            buffer->SetPanning(entry.Panning);
        } catch (const std::exception& error) {
            problems_.push_back(std::string(entry.FileName) + ": " + error.what());
            buffer->SetHasWaveData(false);
            buffer->SetVolume(entry.Volume);
            buffer->SetPanning(entry.Panning);
        }
        buffers_[static_cast<size_t>(entry.Sound)] = std::move(buffer);
    }
    // Without a device its one message has been given; the files do not matter then.
    if (!problems_.empty() && mixer_->DirectSoundLoaded()) {
        std::string text = "Some sounds could not be loaded from " + folder + ":";
        for (const std::string& problem : problems_) text += " " + problem + ";";
        text.pop_back();
        Report(text);
    }
}

TGameSounds::~TGameSounds() {
    // The buffers go before their mixer.
    for (auto& buffer : buffers_) buffer.reset();
    mixer_.reset();
}

void TGameSounds::Report(const std::string& message) {
    if (onMessage_)
        onMessage_(message);
    else
        std::fprintf(stderr, "sound: %s\n", message.c_str());
}

TSoundBuffer& TGameSounds::Buffer(TGameSound which) {
    const auto index = static_cast<size_t>(which);
    return *buffers_[index < buffers_.size() ? index : 0];
}

void TGameSounds::Guard(TGameSound which, void (*action)(TSoundBuffer&)) {
    try {
        action(Buffer(which));
    } catch (const std::exception& error) {
        // A device failure silences the sound; it is told once, not on every click.
        if (!reportedFailure_) {
            reportedFailure_ = true;
            Report(std::string(GameSoundEntry(which).Name) + ": " + error.what());
        }
    }
}

void TGameSounds::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled_) StopAll();
}

void TGameSounds::Play(TGameSound which) {
    if (!enabled_) return;
    Guard(which, [](TSoundBuffer& buffer) { buffer.Play(); });
}

void TGameSounds::Play(TGameSound which, int panning, int frequencyPct) {
    if (!enabled_) return;
    TSoundBuffer& buffer = Buffer(which);
    try {
        buffer.SetPanning(panning);
        buffer.SetFrequencyPct(frequencyPct);
    } catch (const std::exception&) {
        // Play below reports it.
    }
    Guard(which, [](TSoundBuffer& b) { b.Play(); });
}

void TGameSounds::PlayLooped(TGameSound which) {
    if (!enabled_) return;
    Guard(which, [](TSoundBuffer& buffer) { buffer.PlayLooped(); });
}

void TGameSounds::Stop(TGameSound which) {
    Guard(which, [](TSoundBuffer& buffer) { buffer.Stop(); });
}

void TGameSounds::StopAll() {
    for (const TGameSoundEntry& entry : GameSoundTable()) Stop(entry.Sound);
}

bool TGameSounds::IsPlaying(TGameSound which) { return Buffer(which).IsPlaying(); }

} // namespace qx
