#include "sound/GameSoundTable.h"

#include <cctype>

namespace qx {

namespace {

constexpr std::array<TGameSoundEntry, kGameSoundCount> kTable = {{
    {TGameSound::Button, "sndButton", "sndButton.wav", 8000, 8, 210, 0, 0},
    {TGameSound::ClickOff, "sndClickOff", "sndClickOff.wav", 11025, 8, 253, -200, 8000},
    {TGameSound::ClickOn, "sndClickOn", "sndClickOn.wav", 11025, 8, 253, -200, -8000},
    {TGameSound::Dragging, "sndDragging", "sndDragging.wav", 11025, 8, 2643, -200, 0},
    {TGameSound::Click, "sndClick", "sndClick.wav", 11025, 8, 155, -500, 0},
    {TGameSound::SelectShip, "sndSelectShip", "sndSelectShip.wav", 8012, 16, 3620, -500, 0},
    {TGameSound::SelectSystem, "sndSelectSystem", "sndSelectSystem.wav", 8012, 16, 3328, -200, 0},
    {TGameSound::WormHole, "sndWormHole", "sndWormHole.wav", 8012, 8, 4291, 0, 0},
    {TGameSound::Conquer, "sndConquer", "sndConquer.wav", 8000, 8, 7264, 0, 0},
    {TGameSound::Blast3, "sndBlast3", "sndBlast3.wav", 8012, 8, 5431, 0, 0},
    {TGameSound::Blast2, "sndBlast2", "sndBlast2.wav", 8012, 8, 7242, 0, 0},
    {TGameSound::Blast1, "sndBlast1", "sndBlast1.wav", 8012, 8, 7242, 0, 0},
    {TGameSound::Capital, "sndCapital", "sndCapital.wav", 8012, 8, 8772, 0, 0},
    {TGameSound::Confirmed, "sndConfirmed", "sndConfirmed.wav", 8012, 16, 6248, -200, 0},
    {TGameSound::Error, "sndError", "sndError.wav", 11025, 8, 4034, -200, 0},
}};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

const std::array<TGameSoundEntry, kGameSoundCount>& GameSoundTable() { return kTable; }

const TGameSoundEntry& GameSoundEntry(TGameSound sound) {
    const auto index = static_cast<size_t>(sound);
    return kTable[index < kTable.size() ? index : 0];
}

const TGameSoundEntry* FindGameSound(std::string_view name) {
    for (const TGameSoundEntry& entry : kTable) {
        const std::string_view full = entry.Name;
        if (SameName(name, full) || SameName(name, full.substr(3))) return &entry;
    }
    return nullptr;
}

} // namespace qx
