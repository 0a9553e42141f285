#pragma once

#include <cstdint>
#include <string_view>

namespace qx {

// What the main window asks of sound and music: two switches, the game's
// sounds by the names of their buffers ("sndConfirmed"), and the music.
// Switching music off stops a piece that is playing and closes the player;
// switching sound off silences every sound. This header names no sound
// library, so the game screen can use it beside the game's own headers.
class IGameAudio {
public:
    virtual ~IGameAudio() = default;
    virtual void SetSoundOn(bool on) = 0;
    virtual void SetMusicOn(bool on) = 0;
    virtual bool SoundOn() const = 0;
    virtual bool MusicOn() const = 0;
    // Whether anything is heard at all.
    virtual bool Audible() const = 0;

    // Plays a sound once with a pan (-10000 left .. 10000 right) and a rate in
    // percent of the wave's own; an unknown name plays nothing.
    virtual void PlaySound(std::string_view /*name*/, int32_t /*pan*/, int32_t /*frequencyPct*/) {}
    // A sound that repeats until stopped.
    virtual void StartLoop(std::string_view /*name*/) {}
    virtual void StopLoop(std::string_view /*name*/) {}
    // Music while a game runs: a random piece when music is on, the next one
    // once a piece has ended (every ten seconds), and silence at the end.
    virtual void StartMusic() {}
    virtual void NextMusic() {}
    virtual void StopMusic() {}
};

// Keeps the switches while no sound module is built in: nothing is heard.
class TSilentAudio : public IGameAudio {
public:
    void SetSoundOn(bool on) override { sound_ = on; }
    void SetMusicOn(bool on) override { music_ = on; }
    bool SoundOn() const override { return sound_; }
    bool MusicOn() const override { return music_; }
    bool Audible() const override { return false; }

private:
    bool sound_ = true;
    bool music_ = true;
};

} // namespace qx
