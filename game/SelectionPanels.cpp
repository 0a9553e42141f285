#include "game/SelectionPanels.h"

#include <algorithm>
#include <cmath>

#include "engine/QuorvexEngine.h"
#include "game/AutoBuildTable.h"

namespace qx {

namespace {

constexpr TOrderButtonInfo kButtons[OrderButtonCount] = {
    {"Move", ordMove, 'M'},          {"Target", ordTarget, 'T'},         {"Defend", ordDefend, 'D'},
    {"Escort", ordEscort, 'E'},      {"Patrol", ordPatrol, 'P'},         {"Transport", ordTransport, 'T'},
    {"Clear Orders", ordNone, 'C'},  {"Tug", ordTug, 'u'},               {"Release", ordRelease, 'R'},
    {"Generate", ordGenerate, 'G'},  {"Repair", ordRepair, 'R'},         {"Drag", ordDrag, 'D'},
    {"Create Gate", ordCreateGate, 'G'}, {"Build Starship", ordBuildStarShip, 'B'},
};

// A rating as the panel shows it: the plain number in green when whole,
// "current/max" in yellow or (at 30 % or less) red when damaged.
TCaption Rating(int32_t current, int32_t max) {
    if (current >= max) return {std::to_string(current), clLime, true};
    const bool fair = max > 0 && static_cast<double>(current) / max > 0.3;
    return {std::to_string(current) + "/" + std::to_string(max), fair ? clYellow : clRed, true};
}

} // namespace

const TOrderButtonInfo& OrderButtonInfo(int button) { return kButtons[button]; }

TShipPanelView ShipPanelView(const TStarShip& ship, const TPlayer* local) {
    TShipPanelView view;
    view.Identified = !local || ship.IsKnownTo(local);
    view.Own = local && ship.Owner == local;
    // Another player's DoppleShip passes for a WarShip with made-up ratings.
    const bool disguised = ship.ShipType == TShipType::DoppleShip && local && ship.Owner != local;
    const TOrderSet orders = ship.AvailableOrders();
    for (int b = 0; b < OrderButtonCount; ++b)
        view.Buttons[static_cast<size_t>(b)] = view.Own && orders.Contains(kButtons[b].OrderType);
    view.AttackAdjacentVisible = view.Own && orders.Contains(ordAttackAdjacent);
    view.AttackAdjacent = ship.AttackAdjacent;

    const TColor ownerColor = ship.Owner ? ship.Owner->Color() : clWhite;
    std::string name = "StarShip";
    if (view.Identified) name = disguised ? "WarShip" : ShipTypeName(ship.ShipType);
    view.Name = {name + " " + ship.Code, ownerColor, true};
    view.Owner = {ship.Owner ? ship.Owner->Name : std::string(), clWhite, true};
    view.Orders = {ship.OrderText(), clWhite, true};

    if (disguised) {
        view.Engines = {std::to_string(ship.ApparentEngines()), clLime, true};
        view.Value = {std::to_string(ship.ApparentWeapons()), clLime, true};
    } else {
        view.Engines = Rating(ship.Engines, ship.MaxEngines);
        view.Value = Rating(ship.Value, ship.MaxValue);
    }
    view.Engines.Visible = view.Identified;
    const TShipTypeInfo& info = ShipTypeInfo(disguised ? TShipType::WarShip : ship.ShipType);
    const bool hasValue = view.Identified && info.Letter != '\0';
    view.ValueLabel = {hasValue ? std::string(info.ExtraName) + ":" : std::string(), clWhite, hasValue};
    view.Value.Visible = hasValue;
    return view;
}

TShipPanelView GroupPanelView(TOrderSet groupOrders, bool own) {
    TShipPanelView view;
    view.Group = true;
    view.Identified = true;
    view.Own = own;
    view.Name = {"* Group Command *", clWhite, true};
    view.Owner.Visible = view.Engines.Visible = view.ValueLabel.Visible = view.Value.Visible = false;
    view.Orders = {"", clWhite, true};
    for (int b = 0; b < OrderButtonCount; ++b)
        view.Buttons[static_cast<size_t>(b)] = own && (b == btnClearOrders || groupOrders.Contains(kButtons[b].OrderType));
    // Only a single BattleStation builds: its own resources pay.
    view.Buttons[btnBattleBuildStarShip] = false;
    view.AttackAdjacentVisible = own && groupOrders.Contains(ordAttackAdjacent);
    return view;
}

TOrderSet GroupOrderSet(const std::vector<TStarShip*>& group) {
    if (group.empty()) return {};
    uint32_t common = ~0u, any = 0;
    for (const TStarShip* ship : group) {
        const uint32_t bits = ship->AvailableOrders().Bits();
        common &= bits;
        any |= bits;
    }
    TOrderSet set;
    for (int o = 0; o < OrderCount; ++o) {
        const auto order = static_cast<TOrder>(o);
        const bool targeting = order == ordTarget || order == ordTargetStarShip || order == ordTargetStarSystem;
        if ((common >> o) & 1u || (targeting && (any >> o) & 1u)) set.Include(order);
    }
    return set;
}

TStarSystemPanelView StarSystemPanelView(const TStarSystem& system, const TPlayer* local,
                                         const TAutoBuildTable& autoBuild) {
    TStarSystemPanelView view;
    view.Seen = system.IsVisibleTo(local);
    view.Own = local && system.Owner == local;
    view.Name = {system.Name, system.Color(), true};
    std::string owner = system.Owner ? system.Owner->Name : "(Independent)";
    if (!view.Seen) owner = "(Unknown)";
    view.Owner = {owner, clWhite, true};
    view.Value = std::to_string(system.Value);
    view.Resources = std::to_string(static_cast<int64_t>(std::clamp(std::trunc(system.Resources), -1e15, 1e15)));
    view.Shields = std::to_string(system.Shields);
    view.Scanners = std::to_string(system.Scanners);
    const bool bonus = view.Seen && system.BonusPercent > 0;
    view.Bonus = {bonus ? std::to_string(system.BonusPercent) + "% " + ShipTypeName(system.BonusShipType) + " Bonus"
                        : std::string(),
                  clWhite, bonus};
    view.AutoShields = autoBuild.AutoShields(system.Index);
    view.AutoScanners = autoBuild.AutoScanners(system.Index);
    view.AutoStarShip = autoBuild.AutoStarShip(system.Index);
    view.AutoShipCaption = autoBuild.Caption(system.Index);
    return view;
}

} // namespace qx
