#include "game/CommandInput.h"

#include <algorithm>
#include <cctype>

#include "engine/QuorvexEngine.h"
#include "game/AutoBuildTable.h"
#include "game/GameSounds.h"
#include "render/GameBoard.h"
#include "render/SpriteLink.h"
#include "render/StarShipSprite.h"

namespace qx {

namespace {

constexpr char kEscape = 27;

// Chains a handler after the one a slot held before.
template <class Slot, class Handler>
void Chain(Slot& slot, Handler handler) {
    slot = [previous = slot, handler](auto... args) {
        if (previous) previous(args...);
        handler(args...);
    };
}

} // namespace

TCommandInput::TCommandInput(TQuorvexEngine& engine, TBuildDefaults& defaults, TAutoBuildTable& autoBuild)
    : Engine_(engine), AutoBuild_(autoBuild), BuildPanel_(defaults) {}

TPlayer* TCommandInput::Local() const { return Engine_.CurrentPlayer; }

TStarShip* TCommandInput::ShipAt(int32_t x, int32_t y) const { return Engine_.StarShipAt(x, y, false, true); }

void TCommandInput::Play(TGameSound sound) {
    if (Sounds) Sounds->Play(sound);
}

void TCommandInput::Queue(const std::string& order) {
    if (AddOrder) AddOrder(order);
}

void TCommandInput::Changed() {
    if (OnChanged) OnChanged(nullptr);
}

void TCommandInput::ShowPanel(TSidePanel panel) { Panel_ = panel; }

bool TCommandInput::OwnSelection() const {
    if (SelectedStarShip_) return Local() && SelectedStarShip_->Owner == Local();
    return Local() && !SelectedStarShips_.empty() && !SelectedStarSystem_;
}

bool TCommandInput::OwnSystemSelected() const {
    return SelectedStarSystem_ && Local() && SelectedStarSystem_->Owner == Local();
}

std::string TCommandInput::Prompt() const {
    switch (Mode_) {
    case TCommandMode::Select: return "";
    case TCommandMode::Move: return "(Click Destination)";
    case TCommandMode::FirstPatrolPoint: return "(Click First Patrol Point)";
    case TCommandMode::NextPatrolPoint: return "(Click Next Patrol Point)";
    case TCommandMode::Escort: return "(Click StarShip to Escort)";
    case TCommandMode::Target: {
        const char* what = TargetsStarShips() ? (TargetsStarSystems() ? "StarSystem or StarShip" : "StarShip")
                                              : "StarSystem";
        return std::string("(Click on ") + what + " to Target)";
    }
    case TCommandMode::Defend: return "(Click Map Object to Defend)";
    case TCommandMode::TransportFrom: return "(Click StarSystem to Transport From)";
    case TCommandMode::TransportTo: return "(Click StarSystem to Transport To)";
    case TCommandMode::Tug: return "(Click StarShip to Tug)";
    case TCommandMode::Generate: return "(Click StarSystem to Generate Shields At)";
    case TCommandMode::Repair: return "(Click StarShip to Repair)";
    case TCommandMode::Drag: return "(Click StarSystem to Drag)";
    }
    return "";
}

TShipPanelView TCommandInput::ShipPanel() const {
    if (SelectedStarShip_) return ShipPanelView(*SelectedStarShip_, Local());
    if (!SelectedStarShips_.empty()) return GroupPanelView(GroupOrders(), Local() != nullptr);
    return {};
}

TStarSystemPanelView TCommandInput::StarSystemPanel() const {
    if (!SelectedStarSystem_) return {};
    return StarSystemPanelView(*SelectedStarSystem_, Local(), AutoBuild_);
}

bool TCommandInput::TargetsStarShips() const {
    if (SelectedStarShip_) return SelectedStarShip_->AvailableOrders().Contains(ordTargetStarShip);
    return GroupOrders().Contains(ordTargetStarShip);
}

bool TCommandInput::TargetsStarSystems() const {
    if (SelectedStarShip_) return SelectedStarShip_->AvailableOrders().Contains(ordTargetStarSystem);
    return GroupOrders().Contains(ordTargetStarSystem);
}

void TCommandInput::SetMode(TCommandMode mode) {
    Mode_ = mode;
    if (mode == TCommandMode::Select) {
        PatrolPoints_.clear();
        TransportSource_ = nullptr;
        if (SelectedStarShip_ || !SelectedStarShips_.empty())
            ShowPanel(TSidePanel::pnlStarShip);
        else if (SelectedStarSystem_)
            ShowPanel(TSidePanel::pnlStarSystem);
        else
            ShowPanel(TSidePanel::pnlNothing);
        if (Board && SelectedStarShip_) Board->Surface().SetCursorCell({SelectedStarShip_->X, SelectedStarShip_->Y});
    } else {
        if (mode == TCommandMode::FirstPatrolPoint) PatrolPoints_.clear();
        ShowPanel(TSidePanel::pnlOrderStarShip);
    }
    Changed();
}

void TCommandInput::ShowNothing() {
    Mode_ = TCommandMode::Select;
    PatrolPoints_.clear();
    TransportSource_ = nullptr;
    ShowPanel(TSidePanel::pnlNothing);
    Changed();
}

// ---- The board ----

void TCommandInput::BoardPress(TShiftState shift) {
    DragReleases_ = 0;
    if (Mode_ == TCommandMode::Select && !(shift & ssShift)) ClearGroup();
}

void TCommandInput::BoardClick(int32_t x, int32_t y, TShiftState shift) {
    if (!Engine_.IsInsideMap(x, y)) return;
    if (Mode_ == TCommandMode::Select)
        SelectCell(x, y, shift);
    else
        ModeClick(x, y);
    Changed();
}

void TCommandInput::BoardSpriteSelected(TSprite* sprite) {
    auto* shipSprite = dynamic_cast<TStarShipSprite*>(sprite);
    TStarShip* ship = shipSprite ? shipSprite->StarShip() : nullptr;
    if (Mode_ != TCommandMode::Select || !ship || !Local() || ship->Owner != Local() || ship->Destroyed) return;
    if (std::find(SelectedStarShips_.begin(), SelectedStarShips_.end(), ship) != SelectedStarShips_.end()) return;
    SelectedStarShips_.push_back(ship);
    MarkSprite(ship, true);
}

void TCommandInput::BoardDragEnded(int32_t x, int32_t y, TShiftState shift) {
    // A drag that caught ships of one's own selects them as a group;
    // otherwise it acts as a click where it ended.
    if (Mode_ == TCommandMode::Select && !SelectedStarShips_.empty() && !(shift & ssShift)) {
        // The group's orders go out in the game's own ship order, not in
        // the order the board happened to hold the sprites.
        std::vector<TStarShip*> ordered;
        for (int p = 0; p < Engine_.PlayerCount(); ++p)
            for (const auto& ship : Engine_.GetPlayer(p)->StarShips)
                if (std::find(SelectedStarShips_.begin(), SelectedStarShips_.end(), ship.get()) !=
                    SelectedStarShips_.end())
                    ordered.push_back(ship.get());
        SelectedStarShips_ = std::move(ordered);
        ShowGroup();
        Changed();
        return;
    }
    BoardClick(x, y, shift);
}

void TCommandInput::AttachBoard(TSquareGridSpriteSurface& board) {
    Chain(board.OnCellMouseDown, [this](TObject*, TMouseButton, TShiftState shift, int32_t, int32_t) {
        BoardPress(shift);
    });
    TSquareGridSpriteSurface* surface = &board;
    Chain(board.OnCellMouseUp, [this, surface](TObject*, TMouseButton, TShiftState shift, int32_t x, int32_t y) {
        if (surface->DownCell() == surface->CurrentCell()) {
            BoardClick(x, y, shift);
        } else if (++DragReleases_ == 2) {
            // The first release of a drag comes before its sprites are
            // reported, the second after them.
            BoardDragEnded(x, y, shift);
        }
    });
    Chain(board.OnSpriteSelected, [this](TObject*, TSprite* sprite) { BoardSpriteSelected(sprite); });
}

void TCommandInput::SelectAt(int32_t x, int32_t y) {
    if (Mode_ != TCommandMode::Select) SetMode(TCommandMode::Select);
    if (Board) Board->Surface().SetCursorCell({x, y});
    BoardPress(0);
    BoardClick(x, y, 0);
}

void TCommandInput::SelectCell(int32_t x, int32_t y, TShiftState shift) {
    if (shift & ssShift) {
        TStarShip* ship = ShipAt(x, y);
        if (!ship) return;
        // The ship chosen alone before joins the group the Shift click starts.
        if (SelectedStarShips_.empty() && SelectedStarShip_ && SelectedStarShip_ != ship) {
            SelectedStarShips_.push_back(SelectedStarShip_);
            MarkSprite(SelectedStarShip_, true);
        }
        const auto found = std::find(SelectedStarShips_.begin(), SelectedStarShips_.end(), ship);
        if (found != SelectedStarShips_.end()) {
            SelectedStarShips_.erase(found);
            MarkSprite(ship, false);
        } else {
            SelectedStarShips_.push_back(ship);
            MarkSprite(ship, true);
        }
        // Orders go to the single selection first, so a group leaves none.
        SelectedStarShip_ = nullptr;
        SelectedStarSystem_ = nullptr;
        UpdateBuilder();
        ShowPanel(SelectedStarShips_.empty() ? TSidePanel::pnlNothing : TSidePanel::pnlStarShip);
        return;
    }
    if (!SelectedStarShips_.empty()) {
        ShowGroup();
        return;
    }
    SelectedStarShip_ = ShipAt(x, y);
    SelectedStarSystem_ = Engine_.StarSystemAt(x, y);
    if (SelectedStarShip_) {
        Play(TGameSound::SelectShip);
        BuildPanel_.SetTypes(TBuildPanelModel::TypesForStation(Local()));
        UpdateBuilder();
        ShowPanel(TSidePanel::pnlStarShip);
    } else if (SelectedStarSystem_) {
        Play(TGameSound::SelectSystem);
        BuildPanel_.SetTypes(TBuildPanelModel::TypesForStarSystem(Local(), *SelectedStarSystem_));
        UpdateBuilder();
        ShowPanel(TSidePanel::pnlStarSystem);
    } else {
        Play(TGameSound::Click);
        UpdateBuilder();
        ShowPanel(TSidePanel::pnlNothing);
    }
}

void TCommandInput::ShowGroup() {
    SelectedStarShip_ = nullptr;
    SelectedStarSystem_ = nullptr;
    UpdateBuilder();
    Play(TGameSound::SelectShip);
    ShowPanel(TSidePanel::pnlStarShip);
}

void TCommandInput::ClearGroup() {
    for (TStarShip* ship : SelectedStarShips_) MarkSprite(ship, false);
    SelectedStarShips_.clear();
    if (Board) {
        TSpriteEngine& ships = Board->StarShips();
        for (int32_t i = 0; i < ships.SpriteCount(); ++i) ships.Sprites(i)->Selected = false;
    }
}

void TCommandInput::MarkSprite(TStarShip* ship, bool selected) {
    if (TSprite* sprite = SpriteOf(ship); sprite && Board && Board->StarShips().Holds(sprite)) sprite->Selected = selected;
}

void TCommandInput::UpdateBuilder() {
    TStarShip* ship = SelectedStarShip_;
    if (ship && Local() && ship->Owner == Local() && ship->ShipType == TShipType::BattleStation)
        BuildPanel_.SetStation(ship);
    else if (OwnSystemSelected())
        BuildPanel_.SetStarSystem(SelectedStarSystem_);
    else
        BuildPanel_.ClearBuilder();
}

void TCommandInput::ModeClick(int32_t x, int32_t y) {
    TPlayer* local = Local();
    auto confirm = [this](TCommandMode next) {
        Play(TGameSound::Confirmed);
        SetMode(next);
    };
    auto fail = [this] { Play(TGameSound::Error); };
    switch (Mode_) {
    case TCommandMode::Select: return;
    case TCommandMode::Move:
        if (Engine_.StarSystemAt(x, y)) return fail();
        IssueOrder(ordMove, {x, y});
        return confirm(TCommandMode::Select);
    case TCommandMode::FirstPatrolPoint:
    case TCommandMode::NextPatrolPoint:
        if (Engine_.StarSystemAt(x, y)) return fail();
        Play(TGameSound::Confirmed);
        SetMode(TCommandMode::NextPatrolPoint);
        PatrolPoints_.push_back(std::to_string(x) + "," + std::to_string(y));
        // Back at the first point after three clicks: the circuit is closed.
        if (PatrolPoints_.size() >= 3 && PatrolPoints_.front() == PatrolPoints_.back()) CompletePatrol();
        return;
    case TCommandMode::Escort: {
        TStarShip* escorted = ShipAt(x, y);
        if (!escorted || escorted == SelectedStarShip_) return fail();
        std::vector<TStarShip*> escorts =
            SelectedStarShip_ ? std::vector<TStarShip*>{SelectedStarShip_} : SelectedStarShips_;
        int queued = 0;
        for (TStarShip* ship : escorts) {
            if (ship == escorted || !ship->AvailableOrders().Contains(ordEscort)) continue;
            Queue("5:" + ship->Code + ":" + escorted->Code + ":" + std::to_string(ship->X - escorted->X) + ":" +
                  std::to_string(ship->Y - escorted->Y) + ":");
            ++queued;
        }
        if (queued == 0) return fail();
        return confirm(TCommandMode::Select);
    }
    case TCommandMode::Target: {
        TStarShip* ship = ShipAt(x, y);
        if (ship && ((local && ship->Owner == local) || !TargetsStarShips())) ship = nullptr;
        TStarSystem* system = Engine_.StarSystemAt(x, y);
        if (system && ((local && system->Owner == local) || !TargetsStarSystems())) system = nullptr;
        if (ship)
            IssueOrder(ordTargetStarShip, {ship->Code});
        else if (system)
            IssueOrder(ordTargetStarSystem, {system->Index});
        else
            return fail();
        return confirm(TCommandMode::Select);
    }
    case TCommandMode::Defend: {
        TQxMapObject* object = Engine_.ObjectAt(x, y, true);
        if (!object) return fail();
        IssueOrder(ordDefend, {Engine_.ObjectRef(object)});
        return confirm(TCommandMode::Select);
    }
    case TCommandMode::TransportFrom: {
        TStarSystem* system = Engine_.StarSystemAt(x, y);
        if (!system || !local || system->Owner != local) return fail();
        Play(TGameSound::Confirmed);
        SetMode(TCommandMode::TransportTo);
        TransportSource_ = system;
        return;
    }
    case TCommandMode::TransportTo: {
        TStarSystem* system = Engine_.StarSystemAt(x, y);
        if (!system || !local || system->Owner != local || system == TransportSource_ || !TransportSource_)
            return fail();
        IssueOrder(ordTransport, {TransportSource_->Index, system->Index});
        return confirm(TCommandMode::Select);
    }
    case TCommandMode::Tug: {
        TStarShip* target = ShipAt(x, y);
        if (!target || target == SelectedStarShip_) return fail();
        // A tug of the group that was clicked on does not tug itself.
        IssueOrder(ordTug, {target->Code}, target);
        return confirm(TCommandMode::Select);
    }
    case TCommandMode::Generate: {
        TStarSystem* system = Engine_.StarSystemAt(x, y);
        if (!system) return fail();
        IssueOrder(ordGenerate, {system->Index});
        return confirm(TCommandMode::Select);
    }
    case TCommandMode::Repair: {
        TStarShip* target = ShipAt(x, y);
        if (!target) return fail();
        IssueOrder(ordRepair, {target->Code});
        return confirm(TCommandMode::Select);
    }
    case TCommandMode::Drag: {
        TStarSystem* system = Engine_.StarSystemAt(x, y);
        if (!system) return fail();
        IssueOrder(ordDrag, {system->Index});
        return confirm(TCommandMode::Select);
    }
    }
}

int TCommandInput::IssueOrder(TOrder order, std::initializer_list<TokenValue> args, const TStarShip* skip) {
    const std::string tail = args.size() == 0 ? std::string() : Tokenize(args, ':');
    int queued = 0;
    auto issue = [&](const TStarShip* ship) {
        if (ship == skip || !ship->AvailableOrders().Contains(order)) return;
        Queue(std::to_string(static_cast<int>(order)) + ":" + ship->Code + ":" + tail);
        ++queued;
    };
    if (SelectedStarShip_)
        issue(SelectedStarShip_);
    else
        for (const TStarShip* ship : SelectedStarShips_) issue(ship);
    return queued;
}

// ---- The ship panel ----

void TCommandInput::OrderButtonClick(int button) {
    if (button < 0 || button >= OrderButtonCount || !OwnSelection()) return;
    if (!ShipPanel().Buttons[static_cast<size_t>(button)]) return;
    switch (static_cast<TShipOrderButton>(button)) {
    case btnMove: SetMode(TCommandMode::Move); break;
    case btnTarget: SetMode(TCommandMode::Target); break;
    case btnDefend: SetMode(TCommandMode::Defend); break;
    case btnEscort: SetMode(TCommandMode::Escort); break;
    case btnPatrol: SetMode(TCommandMode::FirstPatrolPoint); break;
    case btnTransport: SetMode(TCommandMode::TransportFrom); break;
    case btnClearOrders: IssueOrder(ordClear); break;
    case btnTug: SetMode(TCommandMode::Tug); break;
    case btnRelease:
        IssueOrder(ordRelease);
        Play(TGameSound::Confirmed);
        break;
    case btnGenerate: SetMode(TCommandMode::Generate); break;
    case btnRepair: SetMode(TCommandMode::Repair); break;
    case btnDrag: SetMode(TCommandMode::Drag); break;
    case btnCreateGate: IssueOrder(ordCreateGate); break;
    case btnBattleBuildStarShip: OpenBuildPanel(false); break;
    }
    Changed();
}

void TCommandInput::AttackAdjacentClick(bool checked) {
    if (!OwnSelection() || !ShipPanel().AttackAdjacentVisible) return;
    IssueOrder(ordAttackAdjacent, {checked});
}

void TCommandInput::CompleteOrderClick() {
    if (Mode_ != TCommandMode::NextPatrolPoint) return;
    // A patrol needs two points to go between.
    if (PatrolPoints_.size() < 2) return Play(TGameSound::Error);
    CompletePatrol();
    Changed();
}

void TCommandInput::CompletePatrol() {
    IssueOrder(ordPatrol, {JoinStrings(PatrolPoints_, '_')});
    PatrolPoints_.clear();
    SetMode(TCommandMode::Select);
}

void TCommandInput::CancelOrderClick() {
    PatrolPoints_.clear();
    SetMode(TCommandMode::Select);
}

bool TCommandInput::KeyPress(char key) {
    if ((ClockRunning && !ClockRunning()) || !OwnSelection()) return false;
    if (key == kEscape) {
        if (Mode_ == TCommandMode::Select) return false;
        CancelOrderClick();
        return true;
    }
    const TShipPanelView panel = ShipPanel();
    const int wanted = std::toupper(static_cast<unsigned char>(key));
    for (int b = 0; b < OrderButtonCount; ++b) {
        if (!panel.Buttons[static_cast<size_t>(b)]) continue;
        if (std::toupper(static_cast<unsigned char>(OrderButtonInfo(b).HotKey)) != wanted) continue;
        OrderButtonClick(b);
        return true;
    }
    return false;
}

// ---- The star system panel ----

void TCommandInput::BuildShieldClick() {
    if (OwnSystemSelected()) Queue("10:" + std::to_string(SelectedStarSystem_->Index));
}

void TCommandInput::BuildScannerClick() {
    if (OwnSystemSelected()) Queue("11:" + std::to_string(SelectedStarSystem_->Index));
}

void TCommandInput::BuildStarShipClick() {
    if (OwnSystemSelected()) OpenBuildPanel(false);
}

void TCommandInput::ChooseAutoShipTypeClick() {
    if (OwnSystemSelected()) OpenBuildPanel(true);
}

void TCommandInput::OpenBuildPanel(bool choosingAutoType) {
    UpdateBuilder();
    BuildPanel_.ChoosingAutoType = choosingAutoType;
    BuildPanel_.SelectFirstWhenNone();
    BuildPanel_.Recalculate();
    ShowPanel(TSidePanel::pnlBuildStarShip);
    Changed();
}

void TCommandInput::AutoShieldsClick(bool checked) {
    if (OwnSystemSelected()) AutoBuild_.SetAutoShields(SelectedStarSystem_->Index, checked);
}

void TCommandInput::AutoScannersClick(bool checked) {
    if (OwnSystemSelected()) AutoBuild_.SetAutoScanners(SelectedStarSystem_->Index, checked);
}

void TCommandInput::AutoStarShipClick(bool checked) {
    if (!OwnSystemSelected()) return;
    AutoBuild_.SetAutoStarShip(SelectedStarSystem_->Index, checked);
    // Building by itself needs a type: ticking without one asks for it.
    if (checked && !AutoBuild_.AutoShipType(SelectedStarSystem_->Index)) OpenBuildPanel(true);
    Changed();
}

// ---- The build panel ----

void TCommandInput::BuildDirectionClick(int button) {
    if (Panel_ != TSidePanel::pnlBuildStarShip) return;
    const TQxMapObject* builder = BuildPanel_.StarSystem() ? static_cast<const TQxMapObject*>(BuildPanel_.StarSystem())
                                                           : BuildPanel_.Station();
    const TPlayer* owner = BuildPanel_.StarSystem() ? BuildPanel_.StarSystem()->Owner
                           : BuildPanel_.Station()  ? BuildPanel_.Station()->Owner
                                                    : nullptr;
    if (!builder || !Local() || owner != Local()) return;
    const std::string order = BuildPanel_.ClickDirection(button);
    if (order.empty()) return;
    Queue(order);
    Play(TGameSound::Confirmed);
    Changed();
}

void TCommandInput::CancelBuildClick() {
    BuildPanel_.ChoosingAutoType = false;
    ShowPanel(SelectedStarShip_ ? TSidePanel::pnlStarShip
              : SelectedStarSystem_ ? TSidePanel::pnlStarSystem
                                    : TSidePanel::pnlNothing);
    Changed();
}

void TCommandInput::SelectAutoShipTypeClick() {
    if (!BuildPanel_.ChoosingAutoType) return;  // "Select" shows only while choosing
    const std::optional<TShipType> type = BuildPanel_.SelectedType();
    if (OwnSystemSelected() && type) {
        AutoBuild_.SetAutoStarShip(SelectedStarSystem_->Index, true);
        AutoBuild_.SetAutoShipType(SelectedStarSystem_->Index,
                                   {*type, BuildPanel_.Weapons(), BuildPanel_.Engines(), BuildPanel_.Cloaked()});
    }
    CancelBuildClick();
}

void TCommandInput::CancelAutoShipTypeClick() {
    if (!BuildPanel_.ChoosingAutoType) return;
    if (OwnSystemSelected()) AutoBuild_.SetAutoStarShip(SelectedStarSystem_->Index, false);
    CancelBuildClick();
}

// ---- Life of a game ----

void TCommandInput::Reset() {
    ClearGroup();
    SelectedStarShip_ = nullptr;
    SelectedStarSystem_ = nullptr;
    Mode_ = TCommandMode::Select;
    PatrolPoints_.clear();
    TransportSource_ = nullptr;
    BuildPanel_.ChoosingAutoType = false;
    BuildPanel_.ClearBuilder();
    BuildPanel_.SetTypes({});
    Panel_ = TSidePanel::pnlNothing;
    DragReleases_ = 0;
    Changed();
}

void TCommandInput::ForgetStarShip(TStarShip* ship) {
    if (!ship) return;
    bool lost = false;
    if (SelectedStarShip_ == ship) {
        SelectedStarShip_ = nullptr;
        lost = true;
    }
    const auto found = std::find(SelectedStarShips_.begin(), SelectedStarShips_.end(), ship);
    if (found != SelectedStarShips_.end()) {
        SelectedStarShips_.erase(found);
        lost = lost || SelectedStarShips_.empty();
    }
    if (BuildPanel_.Station() == ship) BuildPanel_.ClearBuilder();
    // With nothing left to command, the panels go back to the selection.
    if (lost && !SelectedStarShip_ && SelectedStarShips_.empty() && Panel_ != TSidePanel::pnlStarSystem) {
        SetMode(TCommandMode::Select);
    }
}

void TCommandInput::Refresh() {
    UpdateBuilder();
    Changed();
}

} // namespace qx
