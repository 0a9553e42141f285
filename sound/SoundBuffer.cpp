#include "sound/SoundBuffer.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "sound/AlSupport.h"

namespace qx {

// One OpenAL buffer of samples, shared by a buffer and its clones; the last
// of them to let go deletes it (after deleting its own source, so the
// buffer is no longer in use).
struct TSoundBuffer::TSamples {
    ALCcontext* context = nullptr;
    ALuint buffer = 0;
    uint32_t bytes = 0;
    uint32_t rate = 0;
    uint16_t frameBytes = 0;

    ~TSamples() {
        if (!buffer) return;
        if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
        alDeleteBuffers(1, &buffer);
        al::ClearError();
    }
};

TSoundBuffer::TSoundBuffer(TWaveMixer* mixer) { SetWaveMixer(mixer); }

TSoundBuffer::~TSoundBuffer() {
    // Clones of this buffer lose their link (and their device buffers).
    const std::vector<TSoundBuffer*> clones = clonedBy_;
    for (TSoundBuffer* clone : clones) clone->SetCloneBuffer(nullptr);
    SetCloneBuffer(nullptr);
    SetWaveMixer(nullptr);
}

void TSoundBuffer::SetWaveMixer(TWaveMixer* mixer) {
    if (mixer == mixer_) return;
    DropDeviceBuffer();
    if (mixer_) mixer_->Detach(this);
    mixer_ = mixer;
    if (mixer_) mixer_->Attach(this);
}

void TSoundBuffer::SetCloneBuffer(TSoundBuffer* other) {
    if (other == this) throw std::invalid_argument("Cannot assign self as parameter value");
    for (const TSoundBuffer* link = other; link; link = link->clone_)
        if (link == this) throw std::invalid_argument("Circular reference in assignment of CloneBuffer");
    if (other == clone_) return;
    DropDeviceBuffer();
    if (clone_) {
        auto& list = clone_->clonedBy_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    clone_ = other;
    if (clone_) clone_->clonedBy_.push_back(this);
}

float TSoundBuffer::GainOf(int volume) {
    if (volume <= kMinVolume) return 0.f;
    return static_cast<float>(std::pow(10.0, std::min(volume, kMaxVolume) / 2000.0));
}

std::array<float, 3> TSoundBuffer::PositionOf(int panning) {
    const double x = std::clamp(panning, -kMaxPanning, kMaxPanning) / static_cast<double>(kMaxPanning);
    return {static_cast<float>(x), 0.f, static_cast<float>(-std::sqrt(std::max(0.0, 1.0 - x * x)))};
}

uint32_t TSoundBuffer::RateOf(uint32_t samplesPerSecond, int32_t percent) {
    const double rate = std::nearbyint(static_cast<double>(samplesPerSecond) * percent / 100.0);
    return static_cast<uint32_t>(std::clamp(rate, static_cast<double>(kMinRate), static_cast<double>(kMaxRate)));
}

void TSoundBuffer::SetVolume(int volume) {
    volume_ = std::clamp(volume, kMinVolume, kMaxVolume);
    // A buffer made just now has had every setting applied already.
    const bool existed = source_ != 0;
    if (Ensure() && existed) ApplyVolume();
}

void TSoundBuffer::SetPanning(int panning) {
    panning_ = std::clamp(panning, -kMaxPanning, kMaxPanning);
    const bool existed = source_ != 0;
    if (Ensure() && existed) ApplyPanning();
}

void TSoundBuffer::SetFrequencyPct(int32_t percent) {
    frequencyPct_ = percent;
    const bool existed = source_ != 0;
    if (Ensure() && existed) ApplyRate();
}

void TSoundBuffer::SetMuteOnDeactivate(bool mute) {
    muteOnDeactivate_ = mute;
    if (source_ && mixer_ && mixer_->MakeCurrent()) ApplyVolume();
}

void TSoundBuffer::ApplyVolume() {
    const bool muted = muteOnDeactivate_ && mixer_ && !mixer_->Active();
    alSourcef(source_, AL_GAIN, muted ? 0.f : GainOf(volume_));
    al::ClearError();
}

void TSoundBuffer::ApplyPanning() {
    const auto p = PositionOf(panning_);
    alSource3f(source_, AL_POSITION, p[0], p[1], p[2]);
    al::ClearError();
}

void TSoundBuffer::ApplyRate() {
    const uint32_t own = PlayedRate();
    if (own == 0) return;
    // The device plays no faster than kMaxPitch times the wave's own rate;
    // the percentage read back is what it really plays.
    const double fastest = std::floor(static_cast<double>(own) * kMaxPitch);
    const auto rate = static_cast<uint32_t>(std::min<double>(RateOf(own, frequencyPct_), fastest));
    frequencyPct_ = static_cast<int32_t>(std::nearbyint(rate * 100.0 / own));
    alSourcef(source_, AL_PITCH, static_cast<float>(static_cast<double>(rate) / own));
    al::ClearError();
}

uint32_t TSoundBuffer::PlayedRate() const { return samples_ ? samples_->rate : 0; }

uint32_t TSoundBuffer::PlayedDurationMs() const {
    if (!samples_ || samples_->frameBytes == 0 || samples_->rate == 0) return 0;
    const uint64_t frames = samples_->bytes / samples_->frameBytes;
    const uint32_t rate = RateOf(samples_->rate, frequencyPct_);
    return static_cast<uint32_t>(frames * 1000 / rate);
}

bool TSoundBuffer::Prepare() { return Ensure(); }

bool TSoundBuffer::Ensure() {
    if (source_) {
        if (mixer_ && mixer_->MakeCurrent()) return true;
        DropDeviceBuffer();
    }
    if (!mixer_ || !mixer_->MakeCurrent()) return false;

    std::shared_ptr<TSamples> samples;
    if (clone_) {
        if (clone_->mixer_ != mixer_) throw EMixerError(sound_result::kInvalidCall);
        if (!clone_->Ensure()) return false;
        mixer_->MakeCurrent();
        samples = clone_->samples_;
    } else {
        if (!HasWaveData() || WaveSize() == 0) return false; // an empty wave plays nothing
        if (!IsPlayableFormat()) throw EMixerError(sound_result::kBadFormat);
        const uint32_t bytes = PlayableSize();
        if (bytes == 0) return false;
        ALenum format = 0;
        if (Channels() == 1)
            format = BitsPerSample() == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
        else
            format = BitsPerSample() == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;

        samples = std::make_shared<TSamples>();
        samples->context = static_cast<ALCcontext*>(mixer_->Context());
        samples->bytes = bytes;
        samples->rate = SamplesPerSecond();
        samples->frameBytes = BlockAlign();
        al::ClearError();
        alGenBuffers(1, &samples->buffer);
        al::ThrowIfError();
        std::vector<uint8_t> swapped;
        const uint8_t* data = Samples();
        if constexpr (std::endian::native == std::endian::big) {
            // 16-bit samples are little-endian in the file, native in OpenAL.
            if (BitsPerSample() == 16) {
                swapped.assign(data, data + bytes);
                for (size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
                data = swapped.data();
            }
        }
        alBufferData(samples->buffer, format, data, static_cast<ALsizei>(bytes), static_cast<ALsizei>(samples->rate));
        al::ThrowIfError();
    }

    al::ClearError();
    ALuint source = 0;
    alGenSources(1, &source);
    al::ThrowIfError();
    alSourcei(source, AL_BUFFER, static_cast<ALint>(samples->buffer));
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.f);
    alSourcei(source, AL_LOOPING, AL_FALSE);
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
        alDeleteSources(1, &source);
        throw EMixerError(al::ResultOf(error));
    }
    source_ = source;
    samples_ = std::move(samples);
    ApplyVolume();
    ApplyPanning();
    ApplyRate(); // a recreated buffer plays at the rate asked before
    return true;
}

void TSoundBuffer::DropDeviceBuffer() {
    if (source_) {
        if (mixer_) mixer_->MakeCurrent();
        alSourceStop(source_);
        alDeleteSources(1, &source_);
        al::ClearError();
        source_ = 0;
    }
    samples_.reset();
}

void TSoundBuffer::LoadFromMemory(const void* data, size_t size) {
    DropDeviceBuffer();
    TWave::LoadFromMemory(data, size);
}

void TSoundBuffer::LoadFromFile(const std::string& path) {
    DropDeviceBuffer();
    TWave::LoadFromFile(path);
}

void TSoundBuffer::SetHasWaveData(bool value) {
    if (!value) DropDeviceBuffer();
    TWave::SetHasWaveData(value);
}

void TSoundBuffer::Play() {
    if (!Ensure()) return;
    alSourceStop(source_);
    alSourceRewind(source_);
    alSourcei(source_, AL_LOOPING, AL_FALSE);
    alSourcePlay(source_);
    al::ClearError();
    if (!Synchronous) return;
    // Waits for the end, but never longer than the sound can last: a device
    // that stops mixing cannot hold the caller for ever. Nothing else runs
    // meanwhile, so the wait cannot re-enter.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(PlayedDurationMs() + kSyncMarginMs);
    while (IsPlaying() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void TSoundBuffer::PlayLooped() {
    if (!Ensure()) return;
    alSourcei(source_, AL_LOOPING, AL_TRUE);
    ALint state = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) alSourcePlay(source_);
    al::ClearError();
}

void TSoundBuffer::Stop() {
    if (!source_ || !mixer_ || !mixer_->MakeCurrent()) return;
    ALint state = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) alSourcePause(source_);
    al::ClearError();
}

bool TSoundBuffer::IsPlaying() {
    if (!source_ || !mixer_ || !mixer_->MakeCurrent()) return false;
    ALint state = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    al::ClearError();
    return state == AL_PLAYING;
}

uint32_t TSoundBuffer::Position() {
    if (!source_ || !mixer_ || !mixer_->MakeCurrent()) return 0;
    ALint offset = 0;
    alGetSourcei(source_, AL_BYTE_OFFSET, &offset);
    al::ClearError();
    return static_cast<uint32_t>(std::max(offset, 0));
}

void TSoundBuffer::SetPosition(uint32_t bytes) {
    if (!Ensure()) return;
    const uint32_t frame = std::max<uint32_t>(samples_->frameBytes, 1);
    const uint32_t last = samples_->bytes >= frame ? samples_->bytes - frame : 0;
    const uint32_t at = std::min(bytes, last) / frame * frame;
    alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(at));
    al::ClearError();
}

TSoundBuffer::TDeviceState TSoundBuffer::DeviceState() {
    TDeviceState state;
    if (!source_ || !mixer_ || !mixer_->MakeCurrent()) return state;
    state.Exists = true;
    alGetSourcef(source_, AL_GAIN, &state.Gain);
    alGetSource3f(source_, AL_POSITION, &state.Position[0], &state.Position[1], &state.Position[2]);
    alGetSourcef(source_, AL_PITCH, &state.Pitch);
    ALint looping = 0, buffer = 0, size = 0, rate = 0;
    alGetSourcei(source_, AL_LOOPING, &looping);
    alGetSourcei(source_, AL_BUFFER, &buffer);
    state.Looping = looping == AL_TRUE;
    state.Buffer = static_cast<uint32_t>(buffer);
    alGetBufferi(static_cast<ALuint>(buffer), AL_SIZE, &size);
    alGetBufferi(static_cast<ALuint>(buffer), AL_FREQUENCY, &rate);
    state.BufferBytes = static_cast<uint32_t>(size);
    state.BufferRate = static_cast<uint32_t>(rate);
    al::ClearError();
    return state;
}

bool TSoundBuffer::IsLiveDeviceBuffer(uint32_t buffer) const {
    return buffer != 0 && mixer_ && mixer_->MakeCurrent() && alIsBuffer(buffer) == AL_TRUE;
}

void TSoundBuffer::MixerClosing() { DropDeviceBuffer(); }

void TSoundBuffer::MixerDestroyed() {
    DropDeviceBuffer();
    mixer_ = nullptr;
}

void TSoundBuffer::MixerActivated(bool) {
    if (source_) ApplyVolume();
}

} // namespace qx
