#pragma once

#include <functional>
#include <string>

#include "app/AudioControl.h"

#ifdef QX_HAVE_SOUND
#include "base/Random.h"
#include "sound/GameSounds.h"
#include "sound/MediaPlayerEx.h"
#endif

namespace qx {

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
    void PlaySound(std::string_view name, int32_t pan, int32_t frequencyPct) override;
    void StartLoop(std::string_view name) override;
    void StopLoop(std::string_view name) override;
    void StartMusic() override;
    void NextMusic() override;
    void StopMusic() override;

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
