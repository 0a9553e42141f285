#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qx {

// The 22 ship types; scripts and texts use the ordinals.
enum class TShipType : uint8_t {
    WarShip, ScanShip, Drone, EMine, SpyShip, Freighter, InkSpot, CloakDetector, Tug, HijackShip,
    ShieldGenerator, CommandShip, DoppleShip, RepairShip, DoomMissile, NukeMissile, MineSweeper,
    GravShip, StarTillery, TechShip, JumpGateShip, BattleStation
};
constexpr int ShipTypeCount = 22;

// The order kinds; the ordinal is the first field of every order text.
enum TOrder : uint8_t {
    ordNone, ordClear, ordMove, ordTarget, ordDefend, ordEscort, ordPatrol, ordTransport,
    ordTargetStarShip, ordTargetStarSystem, ordBuildShield, ordBuildScanner, ordBuildStarShip,
    ordDefendStarShip, ordDefendStarSystem, ordAttackAdjacent, ordTug, ordRelease, ordGenerate,
    ordRepair, ordDrag, ordCreateGate, ordBattleBuildStarShip, ordAlliance, ordSurrender
};
constexpr int OrderCount = 25;

// Per-type table: display name, extra attribute, its letter ('\0' when the
// type has none, and then its Value stays 0) and the cost columns.
struct TShipTypeInfo {
    const char* Name;
    const char* ExtraName;
    char Letter;
    int BaseCost;
    int FixedEngines;  // 0: chosen freely
    double ExtraStep;
};

const TShipTypeInfo& ShipTypeInfo(TShipType type);
inline const char* ShipTypeName(TShipType type) { return ShipTypeInfo(type).Name; }
inline bool HasExtraAttribute(TShipType type) { return ShipTypeInfo(type).Letter != '\0'; }
// The type with that ordinal; false when the ordinal names no type.
bool ShipTypeFromOrdinal(int ordinal, TShipType& type);

// A small set of enumeration values held as bits.
template <typename E, int N>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> members) {
        for (E e : members) Include(e);
    }
    constexpr bool Contains(E e) const { return (bits_ >> static_cast<int>(e)) & 1u; }
    constexpr void Include(E e) { bits_ |= 1u << static_cast<int>(e); }
    constexpr void Exclude(E e) { bits_ &= ~(1u << static_cast<int>(e)); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint32_t Bits() const { return bits_; }
    constexpr TEnumSet operator|(TEnumSet other) const { TEnumSet r; r.bits_ = bits_ | other.bits_; return r; }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    uint32_t bits_ = 0;
};

using TShipTypeSet = TEnumSet<TShipType, ShipTypeCount>;
using TOrderSet = TEnumSet<TOrder, OrderCount>;

// "0x2x" for {WarShip, Drone}; the empty set is the empty text.
std::string ShipTypeSetToText(TShipTypeSet set);
// Adds every ordinal found between the "x"s; unknown ordinals are skipped.
TShipTypeSet ShipTypeSetFromText(std::string_view text);

} // namespace qx
