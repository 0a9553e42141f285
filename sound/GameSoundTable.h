#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qx {

// The game's fifteen sounds, in the order of the sound table.
enum class TGameSound : int {
    Button,
    ClickOff,
    ClickOn,
    Dragging,
    Click,
    SelectShip,
    SelectSystem,
    WormHole,
    Conquer,
    Blast3,
    Blast2,
    Blast1,
    Capital,
    Confirmed,
    Error,
};
constexpr int kGameSoundCount = 15;

// One row of the sound table: the buffer's name, the wave file it loads
// (in the data folder's sounds/ subfolder), the wave's mono format and the
// buffer's Volume and Panning.
struct TGameSoundEntry {
    TGameSound Sound;
    const char* Name;     // "sndButton"
    const char* FileName; // "sndButton.wav"
    uint32_t SamplesPerSecond;
    uint16_t BitsPerSample;
    uint32_t WaveSize; // sample bytes after the 8 silent lead-in bytes
    int16_t Volume;
    int16_t Panning;
};

const std::array<TGameSoundEntry, kGameSoundCount>& GameSoundTable();
const TGameSoundEntry& GameSoundEntry(TGameSound sound);
// The row of a name such as "sndBlast1" (any letter case, the "snd" may be
// left off); null when there is none.
const TGameSoundEntry* FindGameSound(std::string_view name);

} // namespace qx
