#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/ShipTypes.h"

namespace qx {

class TPlayer;
class TQuorvexEngine;

// The ship a star system builds by itself.
struct TAutoShipType {
    TShipType Type = TShipType::WarShip;
    int Weapons = 3;
    int Engines = 8;
    bool Cloaked = false;
    friend bool operator==(const TAutoShipType&, const TAutoShipType&) = default;
};

// Automatic building at the local player's star systems: shields, scanners
// and one ship type per system, switched on in the star system panel. Held
// as name=value lines under the system's index (names repeat, indices do
// not): index + "AutoShields", "AutoScanners", "AutoStarShip" ("1" on) and
// "AutoShipType" (type;weapons;engines;cloaked). A new game starts empty.
class TAutoBuildTable {
public:
    void Clear() { Values_.clear(); }

    bool AutoShields(int system) const { return Flag(system, "AutoShields"); }
    bool AutoScanners(int system) const { return Flag(system, "AutoScanners"); }
    bool AutoStarShip(int system) const { return Flag(system, "AutoStarShip"); }
    void SetAutoShields(int system, bool on) { SetFlag(system, "AutoShields", on); }
    void SetAutoScanners(int system, bool on) { SetFlag(system, "AutoScanners", on); }
    void SetAutoStarShip(int system, bool on) { SetFlag(system, "AutoStarShip", on); }
    // None when no type was chosen or the stored value is not one.
    std::optional<TAutoShipType> AutoShipType(int system) const;
    void SetAutoShipType(int system, const TAutoShipType& type);

    // "WarShip W3 E8 (clk)": the type, its extra attribute's letter and
    // value when it has one, the engines, and whether it is cloaked.
    static std::string Caption(const TAutoShipType& type);
    // The caption of a system's type; empty when it has none.
    std::string Caption(int system) const;

    // The table as name=value lines.
    std::vector<std::string> Lines() const;

    // The orders the local player's systems give after an impulse: shields
    // and scanners while the resources last, then one ship when what is left
    // pays for it and a neighbouring cell is free. Each system spends only
    // what its own pass has left.
    std::vector<std::string> Orders(const TQuorvexEngine& engine, const TPlayer* player) const;

    // Most shields or scanners one system orders in one impulse.
    static constexpr int MaxOrdersPerKind = 1000;

private:
    bool Flag(int system, const char* name) const;
    void SetFlag(int system, const char* name, bool on);
    static std::string Key(int system, const char* name) { return std::to_string(system) + name; }

    std::map<std::string, std::string> Values_;
};

} // namespace qx
