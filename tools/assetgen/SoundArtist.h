#pragma once

#include "sound/GameSoundTable.h"

#include <cstdint>
#include <vector>

namespace qx::art {

// Synthesises the game's fifteen sound effects, each at the rate, bit depth
// and length of its row of the sound table, so every one is recognisable for
// its job: soft clicks for the interface, blips for selections, a swirl for
// a wormhole, a fanfare for a conquest, explosions of three kinds, a klaxon
// for the capital, a two-note acknowledgement and a buzzer. The output is the
// same on every run and every machine.
class TSoundArtist {
public:
    // The sound as samples in -1..1, WaveSize / (bits / 8) of them.
    static std::vector<double> Samples(const TGameSoundEntry& entry);
    // The wave file: mono PCM whose data chunk starts with the 8 bytes of
    // silence the game skips, followed by WaveSize bytes of the sound.
    static std::vector<uint8_t> WaveImage(const TGameSoundEntry& entry);
};

} // namespace qx::art
