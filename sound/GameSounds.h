#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "sound/GameSoundTable.h"
#include "sound/SoundBuffer.h"
#include "sound/WaveMixer.h"

namespace qx {

// The game's sound effects: one mixer and the fifteen buffers of the sound
// table, each loaded from its wave file and set to the table's Volume and
// Panning. This is all the game window needs for sound:
//
//   TGameSounds sounds(dataFolder + "/sounds");
//   sounds.Play(TGameSound::Confirmed);
//   sounds.Play(TGameSound::Blast1, pan, percent);   // pan and rate drawn by the caller
//   sounds.PlayLooped(TGameSound::Dragging); ... sounds.Stop(TGameSound::Dragging);
//   sounds.SetEnabled(false);                        // the "&Sound" switch
//
// Nothing here throws. Without a device everything is silent after one
// message ("No sound driver is available for use."); a wave file that is
// missing or damaged leaves that one sound silent and is named in one
// message too.
class TGameSounds {
public:
    using TMessageHandler = TWaveMixer::TMessageHandler;

    // Loads the waves from `folder` (the build writes them to data/sounds).
    // An empty device name is the system's default output.
    explicit TGameSounds(const std::string& folder, TMessageHandler onMessage = {}, std::string deviceName = {});
    ~TGameSounds();
    TGameSounds(const TGameSounds&) = delete;
    TGameSounds& operator=(const TGameSounds&) = delete;

    // Sounds play only while enabled (the default). Switching off stops
    // every sound, looping ones included.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Plays a sound once from its start, with the pan and rate it has.
    void Play(TGameSound which);
    // Plays it once with this Panning (-10000..10000) and FrequencyPct; the
    // buffer keeps them for later plays.
    void Play(TGameSound which, int panning, int frequencyPct);
    // Starts a sound looping (the strategic map's dragging sound) until Stop.
    void PlayLooped(TGameSound which);
    void Stop(TGameSound which);
    void StopAll();
    bool IsPlaying(TGameSound which);

    TWaveMixer& Mixer() { return *mixer_; }
    const TWaveMixer& Mixer() const { return *mixer_; }
    TSoundBuffer& Buffer(TGameSound which);
    // The wave files that could not be loaded, each with the reason.
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    void Guard(TGameSound which, void (*action)(TSoundBuffer&));
    void Report(const std::string& message);

    TMessageHandler onMessage_;
    std::unique_ptr<TWaveMixer> mixer_;
    std::array<std::unique_ptr<TSoundBuffer>, kGameSoundCount> buffers_;
    std::vector<std::string> problems_;
    bool enabled_ = true;
    bool reportedFailure_ = false;
};

} // namespace qx
