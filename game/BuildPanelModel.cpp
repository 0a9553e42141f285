#include "game/BuildPanelModel.h"

#include <algorithm>

#include "base/FieldCodec.h"
#include "engine/QuorvexEngine.h"
#include "game/BuildDefaults.h"

namespace qx {

TBuildPanelModel::TBuildPanelModel(TBuildDefaults& defaults)
    : Defaults_(defaults), Engines_(TBuildDefaults::DefaultEngines), Weapons_(TBuildDefaults::DefaultWeapons) {}

std::vector<TShipType> TBuildPanelModel::TypesOf(const TPlayer* player) {
    std::vector<TShipType> types;
    if (!player) return types;
    for (int i = 0; i < ShipTypeCount; ++i)
        if (player->ShipTypes.Contains(static_cast<TShipType>(i))) types.push_back(static_cast<TShipType>(i));
    return types;
}

std::vector<TShipType> TBuildPanelModel::TypesForStarSystem(const TPlayer* player, const TStarSystem& system) {
    std::vector<TShipType> types = TypesOf(player);
    if (system.HasJumpGate) std::erase(types, TShipType::JumpGateShip);
    if (system.BonusPercent > 0 && std::find(types.begin(), types.end(), system.BonusShipType) == types.end())
        types.push_back(system.BonusShipType);
    return types;
}

std::vector<TShipType> TBuildPanelModel::TypesForStation(const TPlayer* player) {
    std::vector<TShipType> types = TypesOf(player);
    std::erase(types, TShipType::JumpGateShip);
    return types;
}

void TBuildPanelModel::SetStarSystem(TStarSystem* system) {
    System_ = system;
    Station_ = nullptr;
    Recalculate();
}

void TBuildPanelModel::SetStation(TStarShip* station) {
    System_ = nullptr;
    Station_ = station;
    Recalculate();
}

void TBuildPanelModel::ClearBuilder() {
    System_ = nullptr;
    Station_ = nullptr;
    Recalculate();
}

void TBuildPanelModel::SetTypes(std::vector<TShipType> types) {
    Types_ = std::move(types);
    if (Type_ && std::find(Types_.begin(), Types_.end(), *Type_) == Types_.end()) Type_.reset();
    Recalculate();
}

int TBuildPanelModel::SelectedIndex() const {
    if (!Type_) return -1;
    const auto found = std::find(Types_.begin(), Types_.end(), *Type_);
    return found == Types_.end() ? -1 : static_cast<int>(found - Types_.begin());
}

void TBuildPanelModel::SelectType(TShipType type) {
    if (std::find(Types_.begin(), Types_.end(), type) == Types_.end()) return;
    Type_ = type;
    LoadSpinners();
    Recalculate();
}

void TBuildPanelModel::SelectIndex(int index) {
    if (index >= 0 && index < static_cast<int>(Types_.size())) SelectType(Types_[static_cast<size_t>(index)]);
}

void TBuildPanelModel::SelectFirstWhenNone() {
    if (!Type_ && !Types_.empty()) SelectType(Types_.front());
}

void TBuildPanelModel::LoadSpinners() {
    if (!Type_) return;
    const int fixed = ShipTypeInfo(*Type_).FixedEngines;
    if (fixed > 0) {
        // The fixed rating is what such a ship has; a higher default is
        // brought down to it.
        if (Defaults_.Engines(*Type_) > fixed) Defaults_.SetEngines(*Type_, fixed);
        Engines_ = fixed;
    } else {
        Engines_ = Defaults_.Engines(*Type_);
    }
    Weapons_ = Defaults_.Weapons(*Type_);
}

bool TBuildPanelModel::EnginesEnabled() const { return !Type_ || ShipTypeInfo(*Type_).FixedEngines == 0; }

bool TBuildPanelModel::WeaponsVisible() const { return Type_ && HasExtraAttribute(*Type_); }

std::string TBuildPanelModel::WeaponsLabel() const { return WeaponsVisible() ? ShipTypeInfo(*Type_).ExtraName : ""; }

void TBuildPanelModel::SetEngines(int value) {
    if (!EnginesEnabled()) return;
    Engines_ = std::clamp(value, TBuildDefaults::MinRating, TBuildDefaults::MaxRating);
    if (Type_) Defaults_.SetEngines(*Type_, Engines_);
    Recalculate();
}

void TBuildPanelModel::SetWeapons(int value) {
    Weapons_ = std::clamp(value, TBuildDefaults::MinRating, TBuildDefaults::MaxRating);
    if (Type_) Defaults_.SetWeapons(*Type_, Weapons_);
    Recalculate();
}

void TBuildPanelModel::SetCloaked(bool value) {
    Cloaked_ = value;
    Recalculate();
}

double TBuildPanelModel::Available() const {
    if (System_) return System_->Resources;
    if (Station_) return Station_->StationResources;
    return 0;
}

int TBuildPanelModel::CostOf(int engines, int weapons) const {
    if (!Type_) return 0;
    TShipCostCalculator calc;
    const TQuorvexEngine* engine = System_ ? System_->Engine : Station_ ? Station_->Engine : nullptr;
    if (engine && engine->ImpulseAssigner) calc.SetImpulseAssigner(engine->ImpulseAssigner);
    calc.ShipType = *Type_;
    calc.Engines = engines;
    calc.Extra = weapons;
    calc.Cloaked = Cloaked_;
    calc.StarSystem = System_;  // a station builds without a bonus
    return calc.Cost();
}

int TBuildPanelModel::MaxAffordable(bool engines) const {
    int best = 1;
    for (int v = 1; v <= TBuildDefaults::MaxRating; ++v) {
        const int cost = engines ? CostOf(v, Weapons_) : CostOf(Engines_, v);
        if (cost <= Available()) best = v;
    }
    return best;
}

void TBuildPanelModel::MaximiseEngines() {
    if (Type_ && EnginesEnabled()) SetEngines(MaxAffordable(true));
}

void TBuildPanelModel::MaximiseWeapons() {
    if (Type_ && WeaponsVisible()) SetWeapons(MaxAffordable(false));
}

bool TBuildPanelModel::CellFree(int dX, int dY) const {
    const TQxMapObject* builder = System_ ? static_cast<const TQxMapObject*>(System_) : Station_;
    if (!builder || !builder->Engine) return false;
    const int64_t x = int64_t{builder->X} + dX, y = int64_t{builder->Y} + dY;
    // A ship ordered off the map would never be built.
    return builder->Engine->IsInsideMap(x, y) && builder->Engine->IsEmpty(static_cast<int>(x), static_cast<int>(y));
}

void TBuildPanelModel::Recalculate() {
    Cost_ = CostOf(Engines_, Weapons_);
    const bool canBuild = Type_ && (System_ || Station_) && Cost_ <= Available();
    for (int b = 0; b < DirectionCount; ++b)
        Visible_[static_cast<size_t>(b)] = canBuild && CellFree(DirectionDX(b), DirectionDY(b));
}

std::string TBuildPanelModel::ClickDirection(int button) {
    if (button < 0 || button >= DirectionCount || !Visible_[static_cast<size_t>(button)] || !Type_) return {};
    Visible_[static_cast<size_t>(button)] = false;
    // A type without an extra attribute carries no value: its Value stays 0.
    const int value = HasExtraAttribute(*Type_) ? Weapons_ : 0;
    const int type = static_cast<int>(*Type_);
    if (System_)
        return Tokenize({12, System_->Index, type, Engines_, value, Cloaked_, DirectionDX(button), DirectionDY(button),
                         Cost_, ""},
                        ':');
    return Tokenize({22, Station_->Code, type, Engines_, value, Cloaked_, DirectionDX(button), DirectionDY(button), Cost_,
                     ""},
                    ':');
}

} // namespace qx
