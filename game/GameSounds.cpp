#include "game/GameSounds.h"

namespace qx {

const char* GameSoundName(TGameSound sound) {
    static const char* const names[GameSoundCount] = {
        "sndButton",   "sndClickOff", "sndClickOn", "sndDragging", "sndClick",   "sndSelectShip", "sndSelectSystem",
        "sndWormHole", "sndConquer",  "sndBlast3",  "sndBlast2",   "sndBlast1",  "sndCapital",    "sndConfirmed",
        "sndError"};
    const auto i = static_cast<int>(sound);
    return i >= 0 && i < GameSoundCount ? names[i] : "?";
}

} // namespace qx
