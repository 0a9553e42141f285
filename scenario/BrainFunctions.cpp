#include <cmath>
#include <cstdlib>
#include <limits>

#include "engine/QuorvexEngine.h"
#include "scenario/ScriptsModule.h"
#include "script/Function.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

std::string IndexError(int32_t index) { return "List index out of bounds (" + std::to_string(index) + ")"; }

int32_t TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int64_t GridDistance(int64_t x1, int64_t y1, int64_t x2, int64_t y2) { return std::llabs(x1 - x2) + std::llabs(y1 - y2); }

// Brain data lives in the game state text, so its keys and values must not
// hold that text's separators (nor "=" in a key, which ends the name).
void CheckBrainDataText(const std::string& key, const std::string& value) {
    if (key.find_first_of(";~=") != std::string::npos)
        throw ERTE("Brain data keys cannot contain ';', '~' or '=': " + key);
    if (value.find_first_of(";~") != std::string::npos)
        throw ERTE("Brain data values cannot contain ';' or '~': " + value);
}

} // namespace

void TdmScripts::RegisterBrainFunctions() {
    DeclareBrain("Version( float )", &TdmScripts::fnVersionEval);
    DeclareBrain("Random( integer, integer ): integer", &TdmScripts::fnRandomEval);
    DeclareBrain("GetStarSystemCount(): integer", &TdmScripts::fnGetStarSystemCountEval);
    DeclareBrain("GetStarShipCount(): integer", &TdmScripts::fnGetStarShipCountEval);
    DeclareBrain("GetCurrentPlayer(): integer", &TdmScripts::fnGetCurrentPlayerEval);
    DeclareBrain("GetStarSystemX( integer ): integer", &TdmScripts::fnGetStarSystemXEval);
    DeclareBrain("GetStarSystemY( integer ): integer", &TdmScripts::fnGetStarSystemYEval);
    DeclareBrain("GetStarSystemOwner( integer ): integer", &TdmScripts::fnGetStarSystemOwnerEval);
    DeclareBrain("GetStarSystemValue( integer ): integer", &TdmScripts::fnGetStarSystemValueEval);
    DeclareBrain("GetStarSystemShields( integer ): integer", &TdmScripts::fnGetStarSystemShieldsEval);
    DeclareBrain("GetStarSystemScanners( integer ): integer", &TdmScripts::fnGetStarSystemScannersEval);
    DeclareBrain("GetStarSystemResources( integer ): integer", &TdmScripts::fnGetStarSystemResourcesEval);
    DeclareBrain("IsStarSystemCapital( integer ): boolean", &TdmScripts::fnIsStarSystemCapitalEval);
    DeclareBrain("IsStarSystemVisible( integer ): boolean", &TdmScripts::fnIsStarSystemVisibleEval);
    DeclareBrain("BuildShields( integer, integer )", &TdmScripts::fnBuildShieldsEval);
    DeclareBrain("BuildScanners( integer, integer )", &TdmScripts::fnBuildScannersEval);
    DeclareBrain("BuildStarShip( integer, integer, integer, integer, boolean )", &TdmScripts::fnBuildStarShipEval);
    DeclareBrain("GetStarShipX( integer ): integer", &TdmScripts::fnGetStarShipXEval);
    DeclareBrain("GetStarShipY( integer ): integer", &TdmScripts::fnGetStarShipYEval);
    DeclareBrain("GetStarShipCode( integer ): string", &TdmScripts::fnGetStarShipCodeEval);
    DeclareBrain("GetStarShipOwner( integer ): integer", &TdmScripts::fnGetStarShipOwnerEval);
    DeclareBrain("GetStarShipType( integer ): integer", &TdmScripts::fnGetStarShipTypeEval);
    DeclareBrain("GetStarShipValue( integer ): integer", &TdmScripts::fnGetStarShipValueEval);
    DeclareBrain("GetStarShipEngines( integer ): integer", &TdmScripts::fnGetStarShipEnginesEval);
    DeclareBrain("GetStarShipCloaked( integer ): boolean", &TdmScripts::fnGetStarShipCloakedEval);
    DeclareBrain("IsStarShipKnown( integer ): boolean", &TdmScripts::fnIsStarShipKnownEval);
    DeclareBrain("IsStarShipTugging( integer ): boolean", &TdmScripts::fnIsStarShipTuggingEval);
    DeclareBrain("IsStarShipDragging( integer ): boolean", &TdmScripts::fnIsStarShipDraggingEval);
    DeclareBrain("IsStarShipPulsing( integer ): boolean", &TdmScripts::fnIsStarShipPulsingEval);
    DeclareBrain("FindStarShipCode( string ): integer", &TdmScripts::fnFindStarShipCodeEval);
    DeclareBrain("OrderMove( integer, integer, integer )", &TdmScripts::fnOrderMoveEval);
    DeclareBrain("OrderTargetStarShip( integer, integer )", &TdmScripts::fnOrderTargetStarShipEval);
    DeclareBrain("OrderTargetStarSystem( integer, integer )", &TdmScripts::fnOrderTargetStarSystemEval);
    DeclareBrain("OrderDefendStarShip( integer, integer )", &TdmScripts::fnOrderDefendStarShipEval);
    DeclareBrain("OrderDefendStarSystem( integer, integer )", &TdmScripts::fnOrderDefendStarSystemEval);
    DeclareBrain("OrderAttackAdjacent( integer, boolean )", &TdmScripts::fnOrderAttackAdjacentEval);
    DeclareBrain("OrderEscort( integer, integer )", &TdmScripts::fnOrderEscortEval);
    DeclareBrain("OrderTransport( integer, integer, integer )", &TdmScripts::fnOrderTransportEval);
    DeclareBrain("OrderTug( integer, integer )", &TdmScripts::fnOrderTugEval);
    DeclareBrain("OrderRelease( integer )", &TdmScripts::fnOrderReleaseEval);
    DeclareBrain("OrderDrag( integer, integer )", &TdmScripts::fnOrderDragEval);
    DeclareBrain("OrderCreateGate( integer )", &TdmScripts::fnOrderCreateGateEval);
    DeclareBrain("OrderGenerateShields( integer, integer )", &TdmScripts::fnOrderGenerateShieldsEval);
    DeclareBrain("OrderRepair( integer, integer )", &TdmScripts::fnOrderRepairEval);
    DeclareBrain("GetBrainData( string ): string", &TdmScripts::fnGetBrainDataEval);
    DeclareBrain("SetBrainData( string, string )", &TdmScripts::fnSetBrainDataEval);
    DeclareBrain("FindClosestStarSystem( integer, integer, integer, boolean, boolean ): integer",
                 &TdmScripts::fnFindClosestStarSystemEval);
    DeclareBrain("FindClosestStarShip( integer, integer, integer, boolean ): integer",
                 &TdmScripts::fnFindClosestStarShipEval);
    DeclareBrain("Distance( integer, integer, integer, integer ): float", &TdmScripts::fnDistanceEval);
}

// --- What the brain's player may see -------------------------------------

TStarSystem& TdmScripts::BrainSystem(int32_t index) const {
    TStarSystem* system = GameEngine().StarSystemOrNull(index);
    if (!system) throw ERTE(IndexError(index));
    return *system;
}

TStarShip& TdmScripts::BrainShip(int32_t index) const {
    if (!CurrentBrain) throw ERTE("No brain is running");
    return *CurrentBrain->VisibleShip(index);
}

bool TdmScripts::SystemVisible(const TStarSystem& system) const {
    return BrainPlayer && system.IsVisibleTo(BrainPlayer);
}

bool TdmScripts::OwnSystem(const TStarSystem& system) const { return BrainPlayer && system.Owner == BrainPlayer; }

bool TdmScripts::ShipKnown(const TStarShip& ship) const { return BrainPlayer && ship.IsKnownTo(BrainPlayer); }

bool TdmScripts::OwnShip(const TStarShip& ship) const { return BrainPlayer && ship.Owner == BrainPlayer; }

void TdmScripts::fnGetStarSystemCountEval(const TArgList&, TValue& result) {
    result.SetInteger(GameEngine().StarSystemCount());
}

void TdmScripts::fnGetStarShipCountEval(const TArgList&, TValue& result) {
    result.SetInteger(CurrentBrain ? static_cast<int32_t>(CurrentBrain->VisibleShips.size()) : 0);
}

void TdmScripts::fnGetCurrentPlayerEval(const TArgList&, TValue& result) {
    result.SetInteger(BrainPlayer ? BrainPlayer->Index : -1);
}

void TdmScripts::fnGetStarSystemXEval(const TArgList& args, TValue& result) {
    result.SetInteger(BrainSystem(args.Integer(0)).X);
}

void TdmScripts::fnGetStarSystemYEval(const TArgList& args, TValue& result) {
    result.SetInteger(BrainSystem(args.Integer(0)).Y);
}

void TdmScripts::fnGetStarSystemOwnerEval(const TArgList& args, TValue& result) {
    const TStarSystem& system = BrainSystem(args.Integer(0));
    result.SetInteger(SystemVisible(system) && system.Owner ? system.Owner->Index : -1);
}

void TdmScripts::fnGetStarSystemValueEval(const TArgList& args, TValue& result) {
    const TStarSystem& system = BrainSystem(args.Integer(0));
    result.SetInteger(SystemVisible(system) ? system.Value : 0);
}

void TdmScripts::fnGetStarSystemShieldsEval(const TArgList& args, TValue& result) {
    const TStarSystem& system = BrainSystem(args.Integer(0));
    result.SetInteger(SystemVisible(system) ? system.Shields : 0);
}

void TdmScripts::fnGetStarSystemScannersEval(const TArgList& args, TValue& result) {
    const TStarSystem& system = BrainSystem(args.Integer(0));
    result.SetInteger(SystemVisible(system) ? system.Scanners : 0);
}

void TdmScripts::fnGetStarSystemResourcesEval(const TArgList& args, TValue& result) {
    const TStarSystem& system = BrainSystem(args.Integer(0));
    result.SetInteger(SystemVisible(system) ? TruncateToInt(system.Resources) : 0);
}

void TdmScripts::fnIsStarSystemCapitalEval(const TArgList& args, TValue& result) {
    const TStarSystem& system = BrainSystem(args.Integer(0));
    result.SetBoolean(SystemVisible(system) && system.Capital);
}

void TdmScripts::fnIsStarSystemVisibleEval(const TArgList& args, TValue& result) {
    result.SetBoolean(SystemVisible(BrainSystem(args.Integer(0))));
}

// --- Building --------------------------------------------------------------

void TdmScripts::fnBuildShieldsEval(const TArgList& args, TValue&) {
    const int32_t index = args.Integer(0);
    const int32_t count = args.Integer(1);
    if (!CurrentBrain || !OwnSystem(BrainSystem(index))) return;
    // One order per shield; the engine refuses what cannot be paid, so more
    // than a few hundred in one turn can never all be built.
    for (int32_t n = 0; n < count && n < 1000; ++n) CurrentBrain->AddBrainOrder(ordBuildShield, {index});
}

void TdmScripts::fnBuildScannersEval(const TArgList& args, TValue&) {
    const int32_t index = args.Integer(0);
    const int32_t count = args.Integer(1);
    if (!CurrentBrain || !OwnSystem(BrainSystem(index))) return;
    for (int32_t n = 0; n < count && n < 1000; ++n) CurrentBrain->AddBrainOrder(ordBuildScanner, {index});
}

void TdmScripts::fnBuildStarShipEval(const TArgList& args, TValue&) {
    const int32_t index = args.Integer(0);
    const int32_t type = args.Integer(1);
    const int32_t engines = args.Integer(2);
    const int32_t value = args.Integer(3);
    const bool cloaked = args.Boolean(4);
    TStarSystem& system = BrainSystem(index);
    if (!CurrentBrain || !OwnSystem(system)) return;
    if (type < 0 || type >= ShipTypeCount) throw ERTE("There is no ship type " + std::to_string(type));
    if (engines < 1 || engines > 20) throw ERTE("A ship has 1 to 20 engines, not " + std::to_string(engines));
    if (value < 0 || value > 1000) throw ERTE("A ship's rating must be 0 to 1000, not " + std::to_string(value));

    // The empty neighbour whose rank is this system's build count, so several
    // builds in one run go to different cells.
    const TQuorvexEngine& engine = GameEngine();
    int rank = 0;
    bool found = false;
    int cellDX = 0, cellDY = 0;
    for (int dX = -1; dX <= 1 && !found; ++dX) {
        for (int dY = -1; dY <= 1 && !found; ++dY) {
            if (dX == 0 && dY == 0) continue;
            const int x = system.X + dX, y = system.Y + dY;
            if (!engine.IsInsideMap(x, y) || !engine.IsEmpty(x, y)) continue;
            if (rank == system.BuildCount) {
                found = true;
                cellDX = dX;
                cellDY = dY;
            }
            ++rank;
        }
    }
    if (!found) return;

    Calc->ShipType = static_cast<TShipType>(type);
    Calc->Engines = engines;
    Calc->Extra = value;
    Calc->Cloaked = cloaked;
    Calc->StarSystem = &system;
    CurrentBrain->AddBrainOrder(ordBuildStarShip, {index, type, Calc->Engines, Calc->Extra, Calc->Cloaked, cellDX,
                                                   cellDY, Calc->Cost(), std::string()});
    ++system.BuildCount;
}

// --- Ships the player sees ---------------------------------------------------

void TdmScripts::fnGetStarShipXEval(const TArgList& args, TValue& result) { result.SetInteger(BrainShip(args.Integer(0)).X); }

void TdmScripts::fnGetStarShipYEval(const TArgList& args, TValue& result) { result.SetInteger(BrainShip(args.Integer(0)).Y); }

void TdmScripts::fnGetStarShipCodeEval(const TArgList& args, TValue& result) {
    result.SetString(BrainShip(args.Integer(0)).Code);
}

void TdmScripts::fnGetStarShipOwnerEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetInteger(ship.Owner ? ship.Owner->Index : -1);
}

void TdmScripts::fnGetStarShipTypeEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetInteger(ShipKnown(ship) ? static_cast<int32_t>(ship.ShipType) : -1);
}

void TdmScripts::fnGetStarShipValueEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetInteger(ShipKnown(ship) ? ship.Value : ship.KnownValueFor(BrainPlayer));
}

void TdmScripts::fnGetStarShipEnginesEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetInteger(ShipKnown(ship) ? ship.Engines : 0);
}

void TdmScripts::fnGetStarShipCloakedEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetBoolean(ShipKnown(ship) && ship.Cloaked);
}

void TdmScripts::fnIsStarShipKnownEval(const TArgList& args, TValue& result) {
    result.SetBoolean(ShipKnown(BrainShip(args.Integer(0))));
}

void TdmScripts::fnIsStarShipTuggingEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetBoolean(OwnShip(ship) && ship.ShipType == TShipType::Tug && !ship.Towing.empty());
}

void TdmScripts::fnIsStarShipDraggingEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetBoolean(OwnShip(ship) && ship.ShipType == TShipType::GravShip && ship.DragSystem >= 0);
}

void TdmScripts::fnIsStarShipPulsingEval(const TArgList& args, TValue& result) {
    const TStarShip& ship = BrainShip(args.Integer(0));
    result.SetBoolean(OwnShip(ship) && ship.ShipType == TShipType::CloakDetector && ship.Pulsing);
}

void TdmScripts::fnFindStarShipCodeEval(const TArgList& args, TValue& result) {
    const std::string code = args.String(0);
    int32_t found = -1;
    if (CurrentBrain) {
        for (size_t i = 0; i < CurrentBrain->VisibleShips.size(); ++i) {
            if (CurrentBrain->VisibleShips[i]->Code == code) {
                found = static_cast<int32_t>(i);
                break;
            }
        }
    }
    result.SetInteger(found);
}

// --- Orders ------------------------------------------------------------------

void TdmScripts::fnOrderMoveEval(const TArgList& args, TValue&) {
    CurrentBrain->AddShipOrder(&BrainShip(args.Integer(0)), ordMove, {args.Integer(1), args.Integer(2)});
}

void TdmScripts::fnOrderTargetStarShipEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    CurrentBrain->AddShipOrder(&ship, ordTargetStarShip, {BrainShip(args.Integer(1)).Code});
}

void TdmScripts::fnOrderTargetStarSystemEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    const int32_t index = args.Integer(1);
    BrainSystem(index);
    CurrentBrain->AddShipOrder(&ship, ordTargetStarSystem, {index});
}

void TdmScripts::fnOrderDefendStarShipEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    const TStarShip& guarded = BrainShip(args.Integer(1));
    CurrentBrain->AddShipOrder(&ship, ordDefend, {GameEngine().ObjectRef(&guarded)});
}

void TdmScripts::fnOrderDefendStarSystemEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    const TStarSystem& guarded = BrainSystem(args.Integer(1));
    CurrentBrain->AddShipOrder(&ship, ordDefend, {GameEngine().ObjectRef(&guarded)});
}

void TdmScripts::fnOrderAttackAdjacentEval(const TArgList& args, TValue&) {
    CurrentBrain->AddShipOrder(&BrainShip(args.Integer(0)), ordAttackAdjacent, {args.Boolean(1)});
}

void TdmScripts::fnOrderEscortEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    const TStarShip& escorted = BrainShip(args.Integer(1));
    // The escort keeps the offset it has now.
    CurrentBrain->AddShipOrder(&ship, ordEscort,
                               {escorted.Code, static_cast<int64_t>(ship.X) - escorted.X,
                                static_cast<int64_t>(ship.Y) - escorted.Y});
}

void TdmScripts::fnOrderTransportEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    const int32_t from = args.Integer(1), to = args.Integer(2);
    BrainSystem(from);
    BrainSystem(to);
    CurrentBrain->AddShipOrder(&ship, ordTransport, {from, to});
}

void TdmScripts::fnOrderTugEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    CurrentBrain->AddShipOrder(&ship, ordTug, {BrainShip(args.Integer(1)).Code});
}

void TdmScripts::fnOrderReleaseEval(const TArgList& args, TValue&) {
    CurrentBrain->AddShipOrder(&BrainShip(args.Integer(0)), ordRelease, {});
}

void TdmScripts::fnOrderDragEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    const int32_t index = args.Integer(1);
    BrainSystem(index);
    CurrentBrain->AddShipOrder(&ship, ordDrag, {index});
}

void TdmScripts::fnOrderCreateGateEval(const TArgList& args, TValue&) {
    CurrentBrain->AddShipOrder(&BrainShip(args.Integer(0)), ordCreateGate, {});
}

void TdmScripts::fnOrderGenerateShieldsEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    const int32_t index = args.Integer(1);
    BrainSystem(index);
    CurrentBrain->AddShipOrder(&ship, ordGenerate, {index});
}

void TdmScripts::fnOrderRepairEval(const TArgList& args, TValue&) {
    TStarShip& ship = BrainShip(args.Integer(0));
    CurrentBrain->AddShipOrder(&ship, ordRepair, {BrainShip(args.Integer(1)).Code});
}

// --- Memory ------------------------------------------------------------------

std::string TdmScripts::BrainDataName(const std::string& key) const {
    return std::to_string(BrainPlayer ? BrainPlayer->Index : 0) + key;
}

int64_t TdmScripts::BrainDataLine(const std::string& name) { return BrainPlayer->BrainData.Find(name); }

void TdmScripts::fnGetBrainDataEval(const TArgList& args, TValue& result) {
    result.SetString("");
    if (!BrainPlayer) return;
    const std::string name = BrainDataName(args.String(0));
    const int64_t line = BrainDataLine(name);
    if (line >= 0)
        result.SetString(std::string_view(BrainPlayer->BrainData[static_cast<size_t>(line)]).substr(name.size() + 1));
}

void TdmScripts::fnSetBrainDataEval(const TArgList& args, TValue&) {
    if (!BrainPlayer) return;
    const std::string key = args.String(0);
    const std::string value = args.String(1);
    CheckBrainDataText(key, value);
    const std::string name = BrainDataName(key);
    TBrainData& data = BrainPlayer->BrainData;
    const int64_t line = BrainDataLine(name);
    const std::string text = name + "=" + value;
    if (line >= 0 && data[static_cast<size_t>(line)] == text) return;
    // The other machines keep the brain's memory too, for the day one of
    // them becomes the master.
    if (Engine) Engine->RecordGameChange<TChangeKind::BrainData>(BrainPlayer->Index, text);
    data.Set(text);  // the line of the name (keys hold no "="), or a new one
}

// --- Searches ------------------------------------------------------------------

namespace {

// The candidate closest to (x, y) by grid distance, below range; the first of
// equal distances wins. Candidates are in list order.
template <class TList>
int32_t Closest(const TList& candidates, int64_t x, int64_t y, int64_t range) {
    int32_t found = -1;
    int64_t bound = range;  // below the range, then below the best so far
    for (const auto& c : candidates) {
        const int64_t d = GridDistance(x, y, c.X, c.Y);
        if (d < bound) {
            bound = d;
            found = c.Index;
        }
    }
    return found;
}

} // namespace

void TdmScripts::PrepareSearchLists() {
    for (auto& byOwned : SystemCandidates_)
        for (auto& list : byOwned) list.clear();
    for (auto& list : ShipCandidates_) list.clear();
    const TQuorvexEngine& engine = GameEngine();
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        const TStarSystem& system = *engine.GetStarSystem(i);
        const TCandidate candidate{system.X, system.Y, i};
        std::vector<TCandidate>* lists = SystemCandidates_[OwnSystem(system) ? 1 : 0];
        lists[1].push_back(candidate);
        if (SystemVisible(system)) lists[0].push_back(candidate);
    }
    if (CurrentBrain) {
        for (size_t i = 0; i < CurrentBrain->VisibleShips.size(); ++i) {
            const TStarShip& ship = *CurrentBrain->VisibleShips[i];
            ShipCandidates_[OwnShip(ship) ? 1 : 0].push_back({ship.X, ship.Y, static_cast<int32_t>(i)});
        }
    }
    SearchListsReady_ = true;
}

void TdmScripts::fnFindClosestStarSystemEval(const TArgList& args, TValue& result) {
    const int64_t x = args.Integer(0), y = args.Integer(1), range = args.Integer(2);
    const bool owned = args.Boolean(3), includeHidden = args.Boolean(4);
    if (InBrainTurn_) {
        if (!SearchListsReady_) PrepareSearchLists();
        result.SetInteger(Closest(SystemCandidates_[owned ? 1 : 0][includeHidden ? 1 : 0], x, y, range));
        return;
    }
    const TQuorvexEngine& engine = GameEngine();
    int32_t found = -1;
    int64_t best = range + 1;
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        const TStarSystem& system = *engine.GetStarSystem(i);
        const int64_t d = GridDistance(x, y, system.X, system.Y);
        if (d < range && d < best && (SystemVisible(system) || includeHidden) && OwnSystem(system) == owned) {
            best = d;
            found = i;
        }
    }
    result.SetInteger(found);
}

void TdmScripts::fnFindClosestStarShipEval(const TArgList& args, TValue& result) {
    const int64_t x = args.Integer(0), y = args.Integer(1), range = args.Integer(2);
    const bool owned = args.Boolean(3);
    if (InBrainTurn_) {
        if (!SearchListsReady_) PrepareSearchLists();
        result.SetInteger(Closest(ShipCandidates_[owned ? 1 : 0], x, y, range));
        return;
    }
    int32_t found = -1;
    int64_t best = range + 1;
    if (CurrentBrain) {
        for (size_t i = 0; i < CurrentBrain->VisibleShips.size(); ++i) {
            const TStarShip& ship = *CurrentBrain->VisibleShips[i];
            const int64_t d = GridDistance(x, y, ship.X, ship.Y);
            if (d < range && d < best && OwnShip(ship) == owned) {
                best = d;
                found = static_cast<int32_t>(i);
            }
        }
    }
    result.SetInteger(found);
}

void TdmScripts::fnDistanceEval(const TArgList& args, TValue& result) {
    result.SetFloat(static_cast<double>(GridDistance(args.Integer(0), args.Integer(1), args.Integer(2), args.Integer(3))));
}

} // namespace qx
