#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/FieldCodec.h"
#include "engine/ShipTypes.h"
#include "game/BuildPanelModel.h"
#include "game/SelectionPanels.h"
#include "render/RenderTypes.h"
#include "render/SpriteEvents.h"

namespace qx {

class IGameSounds;
class TAutoBuildTable;
class TBuildDefaults;
class TGameBoard;
class TPlayer;
class TQuorvexEngine;
class TSprite;
class TSquareGridSpriteSurface;
class TStarShip;
class TStarSystem;
enum class TGameSound : int;

// What a click on the board means.
enum class TCommandMode : uint8_t {
    Select, Move, FirstPatrolPoint, NextPatrolPoint, Escort, Target, Defend, TransportFrom, TransportTo, Tug,
    Generate, Repair, Drag
};

enum class TBoardCursor : uint8_t { Default, Target };

// Selection and command input on the game screen. Clicks, drags, buttons and
// keys come in; order texts for the clock's AddOrder, sounds, the panel in
// front, the prompt, the cursor and the panels' contents go out. Nothing the
// player does changes the game directly: every command is an order text that
// the next impulse carries out. The widgets forward their events here and
// show what the getters say (and repaint when OnChanged fires).
class TCommandInput {
public:
    TCommandInput(TQuorvexEngine& engine, TBuildDefaults& defaults, TAutoBuildTable& autoBuild);
    TCommandInput(const TCommandInput&) = delete;
    TCommandInput& operator=(const TCommandInput&) = delete;

    // Links, all optional.
    TGameBoard* Board = nullptr;      // cursor cell and group marks
    IGameSounds* Sounds = nullptr;
    std::function<void(const std::string&)> AddOrder;
    // Keys act only while the clock runs (true when unset).
    std::function<bool()> ClockRunning;
    // Something the widgets show has changed.
    TNotifyEvent OnChanged;

    // The selection.
    TStarShip* SelectedStarShip() const { return SelectedStarShip_; }
    TStarSystem* SelectedStarSystem() const { return SelectedStarSystem_; }
    const std::vector<TStarShip*>& SelectedStarShips() const { return SelectedStarShips_; }
    // The selection takes orders from this machine's player: its own ship,
    // or a group. Order buttons and keys act only then.
    bool OwnSelection() const;
    TOrderSet GroupOrders() const { return GroupOrderSet(SelectedStarShips_); }

    TCommandMode Mode() const { return Mode_; }
    const std::vector<std::string>& PatrolPoints() const { return PatrolPoints_; }
    TStarSystem* TransportSource() const { return TransportSource_; }
    TSidePanel Panel() const { return Panel_; }
    // The prompt of the order panel, e.g. "(Click Destination)".
    std::string Prompt() const;
    bool CompleteOrderVisible() const { return Mode_ == TCommandMode::NextPatrolPoint; }
    TBoardCursor Cursor() const { return Mode_ == TCommandMode::Select ? TBoardCursor::Default : TBoardCursor::Target; }
    // The ship panel: the selected ship, else the group.
    TShipPanelView ShipPanel() const;
    TStarSystemPanelView StarSystemPanel() const;
    TBuildPanelModel& BuildPanel() { return BuildPanel_; }
    const TBuildPanelModel& BuildPanel() const { return BuildPanel_; }

    void SetMode(TCommandMode mode);
    // Leaves any command mode and puts the empty panel in front (pause).
    void ShowNothing();

    // The board. A press starts a gesture (in select mode without Shift it
    // empties the group); a click is a press and release on one cell; a drag
    // reports each sprite in its rectangle, then ends once.
    void BoardPress(TShiftState shift);
    void BoardClick(int32_t x, int32_t y, TShiftState shift);
    void BoardSpriteSelected(TSprite* sprite);
    void BoardDragEnded(int32_t x, int32_t y, TShiftState shift);
    // Wires the board's cell events to the four above (keeping handlers set
    // before). The board reports a drag's release twice; it acts once.
    void AttachBoard(TSquareGridSpriteSurface& board);
    // Selects what stands at a cell as a click would, leaving any command
    // mode first and putting the cursor there (toolbar and alerts).
    void SelectAt(int32_t x, int32_t y);

    // The ship panel.
    void OrderButtonClick(int button);
    void AttackAdjacentClick(bool checked);
    void CompleteOrderClick();
    void CancelOrderClick();
    // A key on the board or the panel; Escape is 27. True when it acted.
    bool KeyPress(char key);

    // The star system panel.
    void BuildShieldClick();
    void BuildScannerClick();
    void BuildStarShipClick();
    // "..." (or a double-click on the auto-build caption): choose the type
    // the system builds by itself.
    void ChooseAutoShipTypeClick();
    void AutoShieldsClick(bool checked);
    void AutoScannersClick(bool checked);
    void AutoStarShipClick(bool checked);

    // The build panel.
    void BuildDirectionClick(int button);
    void CancelBuildClick();
    void SelectAutoShipTypeClick();
    void CancelAutoShipTypeClick();

    // The order text of each selected ship that offers `order` (all of the
    // group's when no single ship is selected), except `skip`; returns how
    // many were queued.
    int IssueOrder(TOrder order, std::initializer_list<TokenValue> args = {}, const TStarShip* skip = nullptr);

    // A new game: no selection, no group, select mode, no patrol points or
    // transport source, nothing in the panels.
    void Reset();
    // A ship leaves the game (its object is about to be freed).
    void ForgetStarShip(TStarShip* ship);
    // After every impulse: the panels show the game anew.
    void Refresh();

private:
    TPlayer* Local() const;
    TStarShip* ShipAt(int32_t x, int32_t y) const;
    void Play(TGameSound sound);
    void Queue(const std::string& order);
    void ShowPanel(TSidePanel panel);
    void Changed();
    void SelectCell(int32_t x, int32_t y, TShiftState shift);
    void ShowGroup();
    void ClearGroup();
    void MarkSprite(TStarShip* ship, bool selected);
    void UpdateBuilder();
    void ModeClick(int32_t x, int32_t y);
    bool TargetsStarShips() const;
    bool TargetsStarSystems() const;
    void CompletePatrol();
    void OpenBuildPanel(bool choosingAutoType);
    bool OwnSystemSelected() const;

    TQuorvexEngine& Engine_;
    TAutoBuildTable& AutoBuild_;
    TBuildPanelModel BuildPanel_;
    TStarShip* SelectedStarShip_ = nullptr;
    TStarSystem* SelectedStarSystem_ = nullptr;
    std::vector<TStarShip*> SelectedStarShips_;
    TCommandMode Mode_ = TCommandMode::Select;
    std::vector<std::string> PatrolPoints_;
    TStarSystem* TransportSource_ = nullptr;
    TSidePanel Panel_ = TSidePanel::pnlNothing;
    int DragReleases_ = 0;
};

} // namespace qx
