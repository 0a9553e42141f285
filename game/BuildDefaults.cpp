#include "game/BuildDefaults.h"

#include <algorithm>
#include <string>

#include "game/SettingsStore.h"

namespace qx {

namespace {

bool InRange(int value) { return value >= TBuildDefaults::MinRating && value <= TBuildDefaults::MaxRating; }

} // namespace

TBuildDefaults::TBuildDefaults() {
    Engines_.fill(DefaultEngines);
    Weapons_.fill(DefaultWeapons);
}

void TBuildDefaults::SetEngines(TShipType type, int value) { Engines_[Slot(type)] = std::clamp(value, MinRating, MaxRating); }

void TBuildDefaults::SetWeapons(TShipType type, int value) { Weapons_[Slot(type)] = std::clamp(value, MinRating, MaxRating); }

void TBuildDefaults::Load(const ISettingsStore& settings) {
    for (int i = 0; i < ShipTypeCount; ++i) {
        const int engines = settings.ReadInteger(std::to_string(i) + "Engine");
        const int weapons = settings.ReadInteger(std::to_string(i) + "Value");
        Engines_[static_cast<size_t>(i)] = InRange(engines) ? engines : DefaultEngines;
        Weapons_[static_cast<size_t>(i)] = InRange(weapons) ? weapons : DefaultWeapons;
    }
}

void TBuildDefaults::Save(ISettingsStore& settings) const {
    for (int i = 0; i < ShipTypeCount; ++i) {
        settings.WriteInteger(std::to_string(i) + "Engine", Engines_[static_cast<size_t>(i)]);
        settings.WriteInteger(std::to_string(i) + "Value", Weapons_[static_cast<size_t>(i)]);
    }
}

} // namespace qx
