#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ShipTypes.h"
#include "render/PlatformCanvas.h"

namespace qx {

class TAutoBuildTable;
class TPlayer;
class TStarShip;
class TStarSystem;

// The panel in front inside the game screen's side panel.
enum class TSidePanel : uint8_t { pnlNothing, pnlStarShip, pnlOrderStarShip, pnlStarSystem, pnlBuildStarShip };

// The fourteen order buttons of the ship panel, in panel order.
enum TShipOrderButton : uint8_t {
    btnMove, btnTarget, btnDefend, btnEscort, btnPatrol, btnTransport, btnClearOrders, btnTug, btnRelease,
    btnGenerate, btnRepair, btnDrag, btnCreateGate, btnBattleBuildStarShip
};
constexpr int OrderButtonCount = 14;

struct TOrderButtonInfo {
    const char* Caption;
    TOrder OrderType;  // the button shows when the selection offers this order
    char HotKey;
};
const TOrderButtonInfo& OrderButtonInfo(int button);

// A caption as a panel shows it.
struct TCaption {
    std::string Text;
    TColor Color = clWhite;
    bool Visible = true;
    friend bool operator==(const TCaption&, const TCaption&) = default;
};

// What the ship panel shows: one ship, or a group of ships.
struct TShipPanelView {
    bool Group = false;
    TCaption Name;     // type and code in the owner's colour, or "* Group Command *"
    TCaption Owner;
    TCaption Orders;   // the ship's standing order
    TCaption Engines;  // "5", or "3/5" when damaged
    TCaption ValueLabel;
    TCaption Value;
    bool Identified = false;  // details of the ship are known
    bool Own = false;         // it takes orders from this machine's player
    bool AttackAdjacentVisible = false;
    bool AttackAdjacent = false;
    std::array<bool, OrderButtonCount> Buttons{};
};

// What the star system panel shows.
struct TStarSystemPanelView {
    TCaption Name;
    TCaption Owner;  // the owner, "(Independent)" or "(Unknown)"
    std::string Value;
    std::string Resources;
    std::string Shields;
    std::string Scanners;
    TCaption Bonus;  // "12% SpyShip Bonus"
    bool Seen = false;  // the details are shown
    bool Own = false;   // the build and auto-build controls are shown
    bool AutoShields = false;
    bool AutoScanners = false;
    bool AutoStarShip = false;
    std::string AutoShipCaption;
};

// Panel contents for `local`, this machine's player (none in brain mode,
// where everything is known and nothing is one's own).
TShipPanelView ShipPanelView(const TStarShip& ship, const TPlayer* local);
// A group takes orders only where this machine has a player (`own`).
TShipPanelView GroupPanelView(TOrderSet groupOrders, bool own);
TStarSystemPanelView StarSystemPanelView(const TStarSystem& system, const TPlayer* local,
                                         const TAutoBuildTable& autoBuild);

// The orders a group is offered: what every member offers, and the targeting
// orders (and the Target button) when any member offers them.
TOrderSet GroupOrderSet(const std::vector<TStarShip*>& group);

} // namespace qx
