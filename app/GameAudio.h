#pragma once

#include <functional>
#include <string>

#ifdef QX_HAVE_SOUND
#include "base/Random.h"
#include "sound/GameSounds.h"
#include "sound/MediaPlayerEx.h"
#endif

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

#ifdef QX_HAVE_SOUND
// The real thing: the fifteen game sounds and the background music on one
// OpenAL device, from the data folder's sounds/ and music/. Without a device
// or a soundfont it is silent after one message, never an error.
class TGameAudio : public IGameAudio {
public:
    explicit TGameAudio(const std::string& dataFolder, std::function<void(const std::string&)> onMessage = {});
    ~TGameAudio() override;

    void SetSoundOn(bool on) override;
    void SetMusicOn(bool on) override;
    bool SoundOn() const override { return Sounds_.Enabled(); }
    bool MusicOn() const override { return musicOn_; }
    bool Audible() const override;

    TGameSounds& Sounds() { return Sounds_; }
    TMediaPlayerEx& Music() { return Music_; }
    // The order of the music; sound pan and pitch are drawn by the game's
    // presentation from its own generator.
    TRandom& MusicRandom() { return Random_; }

private:
    TGameSounds Sounds_;
    TRandom Random_;
    TMediaPlayerEx Music_;
    bool musicOn_ = true;
};
#endif

} // namespace qx
