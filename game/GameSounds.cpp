#include "game/GameSounds.h"

namespace qx {

const char* GameSoundName(TGameSound sound) {
    const auto i = static_cast<int>(sound);
    return i >= 0 && i < kGameSoundCount ? GameSoundEntry(sound).Name : "?";
}

} // namespace qx
