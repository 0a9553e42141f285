#include "engine/Wormhole.h"

#include "engine/QuorvexEngine.h"
#include "base/FieldCodec.h"

namespace qx {

std::unique_ptr<TWormhole> TWormhole::CreateFromState(TQuorvexEngine* engine, std::string_view& text) {
    auto wormhole = std::make_unique<TWormhole>(engine);
    wormhole->ReadState(text);
    return wormhole;
}

void TWormhole::WriteState(std::string& text) const {
    TQxMapObject::WriteState(text);
    WriteToken(text, DestX);
    WriteToken(text, DestY);
    WriteBoolToken(text, IsJumpGate);
    const int players = Engine ? Engine->PlayerCount() : 0;
    for (int i = 0; i < players && i < MaxPlayers; ++i) {
        WriteBoolToken(text, Visible[static_cast<size_t>(i)]);
        WriteBoolToken(text, Known[static_cast<size_t>(i)]);
    }
}

void TWormhole::ReadState(std::string_view& text) {
    TQxMapObject::ReadState(text);
    DestX = NextInt(text, '~');
    DestY = NextInt(text, '~');
    IsJumpGate = NextBool(text, '~');
    const int players = Engine ? Engine->PlayerCount() : 0;
    for (int i = 0; i < players && i < MaxPlayers; ++i) {
        Visible[static_cast<size_t>(i)] = NextBool(text, '~');
        Known[static_cast<size_t>(i)] = NextBool(text, '~');
    }
}

} // namespace qx
