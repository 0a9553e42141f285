#pragma once

#include <cstdint>

#include "sound/GameSoundTable.h"

namespace qx {

// The fifteen sounds are TGameSound of the sound table (sound/GameSoundTable.h);
// "sndCapital" and so on is GameSoundName.
const char* GameSoundName(TGameSound sound);

// Where the game's sounds go. The window adapts the sound module to it; the
// adapter honours the player's "Sound" switch (a switched-off sound device is
// silent), so callers play unconditionally and tests record what was asked.
class IGameSounds {
public:
    virtual ~IGameSounds() = default;
    // Plays a sound once. Pan in the sound buffer's units (-10000 left ..
    // 10000 right), the rate in percent of the wave's own.
    virtual void Play(TGameSound sound, int32_t pan, int32_t frequencyPct) = 0;
    // A sound that repeats until stopped (the strategic map's dragging sound).
    virtual void StartLoop(TGameSound sound) = 0;
    virtual void StopLoop(TGameSound sound) = 0;

    void Play(TGameSound sound) { Play(sound, 0, 100); }
};

// The background music, started and stopped with the impulse clock. The
// adapter honours the "Music" switch and runs the ten-second timer that moves
// on to the next piece.
class IGameMusic {
public:
    virtual ~IGameMusic() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
};

} // namespace qx
