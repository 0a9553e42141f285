#include "engine/StarSystem.h"

#include <algorithm>

#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "base/FieldCodec.h"

namespace qx {

std::unique_ptr<TStarSystem> TStarSystem::CreateFromState(TQuorvexEngine* engine, std::string_view& text) {
    auto system = std::make_unique<TStarSystem>(engine);
    system->ReadState(text);
    return system;
}

void TStarSystem::WriteState(std::string& text) const {
    TQxMapObject::WriteState(text);
    WriteToken(text, Index);
    WriteBoolToken(text, Capital);
    WriteToken(text, Name);
    WriteToken(text, Owner ? Owner->Index : -1);
    WriteFloatToken(text, Resources);
    WriteToken(text, Scanners);
    WriteToken(text, Shields);
    WriteToken(text, Value);
    WriteBoolToken(text, HasJumpGate);
    WriteToken(text, BonusPercent);
    WriteToken(text, static_cast<int>(BonusShipType));
}

void TStarSystem::ReadState(std::string_view& text) {
    TQxMapObject::ReadState(text);
    Index = NextInt(text, '~');
    Capital = NextBool(text, '~');
    Name = std::string(NextToken(text, '~'));
    const int32_t owner = NextInt(text, '~');
    SetOwner(Engine && owner >= 0 && owner < Engine->PlayerCount() ? Engine->GetPlayer(owner) : nullptr);
    Resources = ReadFloatToken(text);
    Scanners = NextInt(text, '~');
    Shields = NextInt(text, '~');
    Value = NextInt(text, '~');
    HasJumpGate = NextBool(text, '~');
    BonusPercent = NextInt(text, '~');
    TShipType type = TShipType::WarShip;
    ShipTypeFromOrdinal(NextInt(text, '~'), type);
    BonusShipType = type;
}

void TStarSystem::SetOwner(TPlayer* player) {
    if (Owner == player) return;
    if (Owner) {
        auto& list = Owner->StarSystems;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    Owner = player;
    if (Owner) Owner->StarSystems.push_back(this);
}

int TStarSystem::ColorIndex() const {
    if (Engine && !IsVisibleTo(Engine->CurrentPlayer)) return 248;
    if (!Owner) return 7;
    return Owner->ColorIndex();
}

uint32_t TStarSystem::Color() const {
    if (Engine && !IsVisibleTo(Engine->CurrentPlayer)) return 0x808080;
    if (!Owner) return 0xC0C0C0;
    return Owner->Color();
}

void TStarSystem::Produce() {
    if (Owner) Resources += Value / 40.0 * Owner->TechMultiple;
}

bool TStarSystem::IsCellFree(int dX, int dY) const {
    return Engine && Engine->IsEmpty(X + dX, Y + dY);
}

} // namespace qx
