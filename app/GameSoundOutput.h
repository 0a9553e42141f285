#pragma once

#include <QTimer>

#include "game/GameSounds.h"

namespace qx {

class IGameAudio;

// Where the game screen's sounds and music go: the program's audio, sounds
// by their buffer names. The audio's own switches decide what is heard (a
// switched-off "Sound" plays nothing). While the game's clock runs, a ten
// second timer lets the music move on to its next piece.
class TGameSoundOutput : public IGameSounds, public IGameMusic {
public:
    static constexpr int MusicTick = 10000;  // milliseconds

    explicit TGameSoundOutput(IGameAudio& audio);

    void Play(TGameSound sound, int32_t pan, int32_t frequencyPct) override;
    void StartLoop(TGameSound sound) override;
    void StopLoop(TGameSound sound) override;
    void Start() override;
    void Stop() override;

    const QTimer& MusicTimer() const { return timer_; }
    using IGameSounds::Play;

private:
    IGameAudio& audio_;
    QTimer timer_;
};

} // namespace qx
