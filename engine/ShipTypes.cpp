#include "engine/ShipTypes.h"

#include <array>

#include "base/FieldCodec.h"

namespace qx {

namespace {

constexpr std::array<TShipTypeInfo, ShipTypeCount> kShipTypes{{
    {"WarShip", "Weapons", 'W', 1, 0, 0.7},
    {"ScanShip", "Scanners", 'S', 1, 0, 0.6},
    {"Drone", "", '\0', 1, 0, 0},
    {"EMine", "", '\0', 10, 1, 0},
    {"SpyShip", "Scanners", 'S', 3, 0, 1.2},
    {"Freighter", "CargoBays", 'C', 1, 0, 0.4},
    {"InkSpot", "", '\0', 1, 0, 0},
    {"CloakDetector", "DetectorRange", 'R', 4, 0, 1.0},
    {"Tug", "", '\0', 6, 0, 0},
    {"HijackShip", "", '\0', 9, 0, 0},
    {"ShieldGenerator", "", '\0', 20, 0, 0},
    {"CommandShip", "CommandRange", 'R', 10, 0, 1.0},
    {"DoppleShip", "Weapons", 'W', 6, 0, 0.9},
    {"RepairShip", "", '\0', 1, 0, 0},
    {"DoomMissile", "WarHeads", 'W', 2, 0, 0.8},
    {"NukeMissile", "WarHeads", 'W', 2, 0, 0.9},
    {"MineSweeper", "Armor", 'A', 4, 0, 0.75},
    {"GravShip", "", '\0', 25, 0, 0},
    {"StarTillery", "Range", 'R', 5, 0, 1.1},
    {"TechShip", "", '\0', 25, 3, 0},
    {"JumpGateShip", "", '\0', 40, 0, 0},
    {"BattleStation", "Hull", 'H', 100, 5, 0.6},
}};

} // namespace

const TShipTypeInfo& ShipTypeInfo(TShipType type) { return kShipTypes[static_cast<size_t>(type)]; }

bool ShipTypeFromOrdinal(int ordinal, TShipType& type) {
    if (ordinal < 0 || ordinal >= ShipTypeCount) return false;
    type = static_cast<TShipType>(ordinal);
    return true;
}

std::string ShipTypeSetToText(TShipTypeSet set) {
    std::string text;
    for (int i = 0; i < ShipTypeCount; ++i) {
        if (!set.Contains(static_cast<TShipType>(i))) continue;
        text += std::to_string(i);
        text += 'x';
    }
    return text;
}

TShipTypeSet ShipTypeSetFromText(std::string_view text) {
    TShipTypeSet set;
    while (!text.empty()) {
        int32_t ordinal = 0;
        TShipType type;
        if (TextToInt(NextToken(text, 'x'), ordinal) && ShipTypeFromOrdinal(ordinal, type)) set.Include(type);
    }
    return set;
}

} // namespace qx
