#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/ShipCostCalculator.h"
#include "engine/ShipTypes.h"

namespace qx {

class TBuildDefaults;
class TPlayer;
class TQuorvexEngine;
class TStarShip;
class TStarSystem;

// The build panel: which types can be built, the engines, weapons and cloak
// of the ship being designed, its price, and the eight direction buttons that
// order it built in a neighbouring cell. The builder is a star system or a
// BattleStation. The panel widget shows what this says and forwards changes;
// every change recalculates the price and the buttons.
class TBuildPanelModel {
public:
    // Direction buttons in panel order: up-left, up, up-right, left, right,
    // down-left, down, down-right.
    static constexpr int DirectionCount = 8;
    // The buttons' tags: dX = (tag mod 10) - 2, dY = (tag div 10) - 2.
    static constexpr std::array<int, DirectionCount> DirectionTags{11, 12, 13, 21, 23, 31, 32, 33};
    static int DirectionDX(int button) { return DirectionTags[static_cast<size_t>(button)] % 10 - 2; }
    static int DirectionDY(int button) { return DirectionTags[static_cast<size_t>(button)] / 10 - 2; }

    explicit TBuildPanelModel(TBuildDefaults& defaults);

    // The types a player may build here: its own types, without JumpGateShip
    // at a system that has a jump gate already, and the system's bonus type.
    static std::vector<TShipType> TypesForStarSystem(const TPlayer* player, const TStarSystem& system);
    // A BattleStation builds the player's types except JumpGateShip.
    static std::vector<TShipType> TypesForStation(const TPlayer* player);
    static std::vector<TShipType> TypesOf(const TPlayer* player);

    // Who builds: a star system (its resources pay) or a BattleStation (its
    // station resources pay); none hides every direction button.
    void SetStarSystem(TStarSystem* system);
    void SetStation(TStarShip* station);
    void ClearBuilder();
    TStarSystem* StarSystem() const { return System_; }
    TStarShip* Station() const { return Station_; }

    // The type list. The chosen type stays chosen when the new list has it.
    void SetTypes(std::vector<TShipType> types);
    const std::vector<TShipType>& Types() const { return Types_; }
    std::optional<TShipType> SelectedType() const { return Type_; }
    int SelectedIndex() const;
    // Chooses a type of the list (anything else is ignored) and sets the
    // spinners from its stored defaults.
    void SelectType(TShipType type);
    void SelectIndex(int index);
    void SelectFirstWhenNone();

    int Engines() const { return Engines_; }
    // False for types with a fixed engine rating (EMine, TechShip, BattleStation).
    bool EnginesEnabled() const;
    int Weapons() const { return Weapons_; }
    bool WeaponsVisible() const;
    // The extra attribute's name ("Weapons", "Scanners", ...), empty without one.
    std::string WeaponsLabel() const;
    bool Cloaked() const { return Cloaked_; }
    // A spinner's new value (clamped to 1..20) becomes the type's default.
    void SetEngines(int value);
    void SetWeapons(int value);
    void SetCloaked(bool value);
    // Double-click: the highest value the builder can still pay for (1 when
    // none).
    void MaximiseEngines();
    void MaximiseWeapons();

    int Cost() const { return Cost_; }
    // What the builder has to spend: resources, or a station's resources.
    double Available() const;
    bool DirectionVisible(int button) const { return Visible_[static_cast<size_t>(button)]; }
    // Prices the design and shows a direction button where the cell is free
    // (and on the map) and the price affordable.
    void Recalculate();
    // The build order of a direction button, which then hides until the next
    // recalculation; empty when the button is hidden.
    std::string ClickDirection(int button);

    // Choosing the type for automatic building ("Select" and "Cancel" shown).
    bool ChoosingAutoType = false;

private:
    int CostOf(int engines, int weapons) const;
    int MaxAffordable(bool engines) const;
    void LoadSpinners();
    bool CellFree(int dX, int dY) const;

    TBuildDefaults& Defaults_;
    TStarSystem* System_ = nullptr;
    TStarShip* Station_ = nullptr;
    std::vector<TShipType> Types_;
    std::optional<TShipType> Type_;
    int Engines_;
    int Weapons_;
    bool Cloaked_ = false;
    int Cost_ = 0;
    std::array<bool, DirectionCount> Visible_{};
};

} // namespace qx
