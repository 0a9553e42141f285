#include "sound/MidiRenderer.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

namespace qx {

namespace {

// FluidSynth talks on stderr about drivers it will not use; the game shows
// no box for music, so the library's chatter is dropped.
void QuietLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

bool ReadSmallFile(const std::string& path, uint64_t limit, std::vector<char>& bytes, std::string& error) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (code || !std::filesystem::exists(status)) {
        error = "cannot find " + path;
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = path + " is not a regular file";
        return false;
    }
    const auto size = std::filesystem::file_size(path, code);
    if (code || size == 0 || size > limit) {
        error = path + (size > limit ? " is too large" : " is empty");
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<size_t>(size));
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(size))) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

} // namespace

struct TMidiRenderer::TSynth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;

    ~TSynth() {
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
};

std::string TMidiRenderer::DefaultSoundFont() {
    if (const char* chosen = std::getenv("QUORVEX_SOUNDFONT"); chosen && *chosen) return chosen;
    for (const char* path : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"}) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return "/usr/share/sounds/sf2/TimGM6mb.sf2";
}

TMidiRenderer::TMidiRenderer(std::string soundFont) : soundFont_(std::move(soundFont)) {}

TMidiRenderer::~TMidiRenderer() {
    Close();
    delete synth_;
}

bool TMidiRenderer::Ready() {
    if (synth_) return true;
    if (failed_) return false;
    QuietLibrary();
    std::error_code code;
    if (soundFont_.empty() || !std::filesystem::is_regular_file(soundFont_, code)) {
        error_ = "no soundfont at " + (soundFont_.empty() ? std::string("(none named)") : soundFont_);
        failed_ = true;
        return false;
    }
    auto synth = new TSynth;
    synth->settings = new_fluid_settings();
    if (synth->settings) {
        fluid_settings_setnum(synth->settings, "synth.sample-rate", kSampleRate);
        // The library's default gain of 0.2 is too quiet beside the effects.
        fluid_settings_setnum(synth->settings, "synth.gain", 0.7);
        fluid_settings_setint(synth->settings, "synth.chorus.active", 0);
        fluid_settings_setint(synth->settings, "synth.reverb.active", 1);
        fluid_settings_setint(synth->settings, "synth.cpu-cores", 1);
        // The player's clock is the samples rendered, not the wall clock.
        fluid_settings_setstr(synth->settings, "player.timing-source", "sample");
        synth->synth = new_fluid_synth(synth->settings);
    }
    if (!synth->synth || fluid_synth_sfload(synth->synth, soundFont_.c_str(), 1) == FLUID_FAILED) {
        error_ = "cannot load the soundfont " + soundFont_;
        delete synth;
        failed_ = true;
        return false;
    }
    synth_ = synth;
    return true;
}

bool TMidiRenderer::Open(const std::string& path) {
    Close();
    if (!Ready()) return false;
    std::vector<char> bytes;
    if (!ReadSmallFile(path, kMaxFileBytes, bytes, error_)) return false;
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
        error_ = path + " is not a MIDI file";
        return false;
    }
    fluid_synth_system_reset(synth_->synth);
    fluid_player_t* player = new_fluid_player(synth_->synth);
    if (!player || fluid_player_add_mem(player, bytes.data(), bytes.size()) != FLUID_OK ||
        fluid_player_play(player) != FLUID_OK) {
        if (player) delete_fluid_player(player);
        error_ = "cannot play " + path;
        return false;
    }
    player_ = player;
    finished_ = false;
    inTail_ = false;
    rendered_ = 0;
    tailLeft_ = 0;
    return true;
}

void TMidiRenderer::Close() {
    if (!player_) return;
    auto* player = static_cast<fluid_player_t*>(player_);
    fluid_player_stop(player);
    delete_fluid_player(player);
    player_ = nullptr;
    fluid_synth_all_sounds_off(synth_->synth, -1);
    finished_ = true;
}

size_t TMidiRenderer::Render(int16_t* out, size_t frames) {
    if (!player_ || finished_ || frames == 0) return 0;
    auto* player = static_cast<fluid_player_t*>(player_);
    if (!inTail_ && fluid_player_get_status(player) == FLUID_PLAYER_DONE) {
        inTail_ = true;
        tailLeft_ = static_cast<uint64_t>(kSampleRate) * kTailMs / 1000;
    }
    size_t count = std::min<size_t>(frames, size_t{1} << 16);
    if (inTail_) {
        if (tailLeft_ == 0) {
            finished_ = true;
            return 0;
        }
        count = static_cast<size_t>(std::min<uint64_t>(count, tailLeft_));
        tailLeft_ -= count;
    }
    if (fluid_synth_write_s16(synth_->synth, static_cast<int>(count), out, 0, 2, out, 1, 2) != FLUID_OK) {
        finished_ = true;
        return 0;
    }
    rendered_ += count;
    return count;
}

} // namespace qx
