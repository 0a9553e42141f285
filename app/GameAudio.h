#pragma once

namespace qx {

// What the main window asks of sound and music: two switches. Switching
// music off stops a piece that is playing and closes the player.
class IGameAudio {
public:
    virtual ~IGameAudio() = default;
    virtual void SetSoundOn(bool on) = 0;
    virtual void SetMusicOn(bool on) = 0;
    virtual bool SoundOn() const = 0;
    virtual bool MusicOn() const = 0;
    // Whether anything is heard at all.
    virtual bool Audible() const = 0;
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
