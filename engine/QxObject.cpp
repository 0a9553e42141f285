#include "engine/QxObject.h"

#include <cstdlib>

#include "engine/Player.h"
#include "base/FieldCodec.h"

namespace qx {

void WriteToken(std::string& text, std::string_view token) {
    text += token;
    text += '~';
}

void WriteToken(std::string& text, int64_t value) { WriteToken(text, std::to_string(value)); }
void WriteBoolToken(std::string& text, bool value) { WriteToken(text, BoolToToken(value)); }
void WriteFloatToken(std::string& text, double value) { WriteToken(text, FloatToText(value)); }
double ReadFloatToken(std::string_view& text) { return NextFloat(text, '~'); }

void TQxObject::WriteState(std::string& text) const { WriteToken(text, ID); }
void TQxObject::ReadState(std::string_view& text) { ID = NextInt(text, '~'); }

void TQxMapObject::WriteState(std::string& text) const {
    TQxObject::WriteState(text);
    WriteToken(text, X);
    WriteToken(text, Y);
}

void TQxMapObject::ReadState(std::string_view& text) {
    TQxObject::ReadState(text);
    X = NextInt(text, '~');
    Y = NextInt(text, '~');
}

bool TQxMapObject::IsVisibleTo(const TPlayer* player) const {
    if (!player) return true;
    if (player->Index < 0 || player->Index >= MaxPlayers) return false;
    return Visible[static_cast<size_t>(player->Index)];
}

} // namespace qx
