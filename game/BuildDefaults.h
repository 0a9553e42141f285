#pragma once

#include <array>

#include "engine/ShipTypes.h"

namespace qx {

class ISettingsStore;

// The engines and weapons the build panel starts from for each ship type,
// kept between runs as the settings "<type>Engine" and "<type>Value".
class TBuildDefaults {
public:
    static constexpr int MinRating = 1;
    static constexpr int MaxRating = 20;
    static constexpr int DefaultEngines = 8;
    static constexpr int DefaultWeapons = 3;

    TBuildDefaults();

    int Engines(TShipType type) const { return Engines_[Slot(type)]; }
    int Weapons(TShipType type) const { return Weapons_[Slot(type)]; }
    // Values outside 1..20 are brought into it.
    void SetEngines(TShipType type, int value);
    void SetWeapons(TShipType type, int value);

    // Absent values, and values outside 1..20, give 8 engines and 3 weapons.
    void Load(const ISettingsStore& settings);
    void Save(ISettingsStore& settings) const;

private:
    static size_t Slot(TShipType type) { return static_cast<size_t>(type); }
    std::array<int, ShipTypeCount> Engines_;
    std::array<int, ShipTypeCount> Weapons_;
};

} // namespace qx
