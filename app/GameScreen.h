#pragma once

#include <array>
#include <functional>
#include <optional>

#include <QCursor>
#include <QPointer>
#include <QString>

#include "app/InGameHost.h"
#include "app/InGameWindows.h"
#include "app/Screens.h"

class QKeyEvent;
class QLabel;
class QStackedWidget;

namespace qx {

class TBoardWidget;
class TBuildPanel;
class TColorButton;
class TDigitalReadout;
class TGameHost;
class TGraphicPanel;
class TInGameWindows;
class TQuickScrollerWidget;
class TStarShipPanel;
class TStarSystemPanel;
class TStrategicMapWidget;

// The game screen (pnlMain): the toolbar, the board with its quick
// scroller, the strategic map and the selection panels at the side, the
// message line and the four alert buttons below. It forwards clicks, drags
// and keys to the game session's command input and shows what the session's
// models say; nothing of the game's logic lives here. It is also what the
// four in-game windows act through.
class TGameScreen : public TScreen, public IInGameHost {
    Q_OBJECT
public:
    static constexpr int ToolbarHeight = 28;
    static constexpr int StatusHeight = 24;
    static constexpr int SideWidth = 187;

    // The questions the screen asks, answered by Qt dialogs unless replaced
    // (tests answer them themselves).
    struct TDialogs {
        std::function<QString()> ChooseOpenFile;  // empty when cancelled
        std::function<QString()> ChooseSaveFile;
        std::function<std::optional<QString>()> AskEmpireName;
        std::function<bool(const QString&)> Confirm;
        std::function<void(const QString&)> Message;
    };

    TGameScreen(TGameHost& host, QWidget* parent = nullptr);
    ~TGameScreen() override;

    TDialogs& Dialogs() { return dialogs_; }
    TGameHost& Host() const { return host_; }
    void SetTargetCursor(const QCursor& cursor) { targetCursor_ = cursor; }
    // The StarShips, Star Systems, Communications and Alliances windows (not
    // owned): the toolbar shows them, the screen keeps them up to date.
    void SetInGameWindows(TInGameWindows* windows);
    TInGameWindows* InGameWindows() const { return windows_; }

    // A game has started, new or loaded: the screen shows it.
    void GameStarted();
    // "Open Saved Game": the dialog, then the game. False when no game
    // started (cancelled, or refused with the reason shown).
    bool OpenSavedGame();
    // Shows the models' state now (it is otherwise shown once events settle).
    void RefreshNow();

    // The toolbar.
    void btnGridLinesClick();
    void btnCenterCapitalClick();
    void btnPauseClick();
    void btnQuickScrollerClick();
    void btnSaveGameClick();
    void btnExitGameClick();
    void btnStarSystemListClick();
    void btnStarShipListClick();
    void btnCommunicateClick();
    void btnAlliancesClick();
    // A key from the board (or anywhere on the screen that passes it on);
    // true when the game used it.
    bool KeyPress(QKeyEvent* event);

    TBoardWidget* Board() const { return board_; }
    TStrategicMapWidget* StrategicMap() const { return map_; }
    TQuickScrollerWidget* QuickScroller() const { return scroller_; }
    QStackedWidget* Panels() const { return panels_; }
    TStarShipPanel* ShipPanel() const { return shipPanel_; }
    TStarSystemPanel* StarSystemPanel() const { return systemPanel_; }
    TBuildPanel* BuildPanel() const { return buildPanel_; }
    TDigitalReadout* ImpulseReadout() const { return impulses_; }
    TColorButton* AlertButton(int i) const { return alerts_[static_cast<size_t>(i)]; }
    QLabel* MessageLine() const { return message_; }
    QLabel* OrderPrompt() const { return prompt_; }
    TColorButton* CommunicateButton() const { return communicate_; }

    // What the in-game windows may ask of the game.
    const TQuorvexEngine* Engine() const override;
    const TPlayer* LocalPlayer() const override;
    void CenterOn(int x, int y) override;
    void AddOrder(const std::string& order) override;
    void SendData(const std::string& text) override;
    void PlaySound(TWindowSound sound) override;
    void KeyPressed(QKeyEvent& event) override;

signals:
    // The player left the game (exit accepted): the title or the lobby next.
    void Left();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateToolbar();
    void CreateSide();
    void CreateStatusBar();
    void WireSession();
    void Layout();
    void ScheduleRefresh();
    void Refresh();
    // The board shows a changed view at once even while it is not animating.
    void RedrawBoard();
    // After every impulse played and shown here.
    void ImpulseDone(int32_t impulse);
    void ShowWindow(QWidget* window);
    bool NetworkButtons() const;

    TGameHost& host_;
    TDialogs dialogs_;
    QCursor targetCursor_{Qt::CrossCursor};
    bool refreshQueued_ = false;

    QWidget* toolbar_ = nullptr;
    TColorButton* gridLines_ = nullptr;
    TColorButton* centerCapital_ = nullptr;
    TColorButton* quickScroller_ = nullptr;
    TColorButton* saveGame_ = nullptr;
    TColorButton* starSystemList_ = nullptr;
    TColorButton* starShipList_ = nullptr;
    TColorButton* communicate_ = nullptr;
    TColorButton* alliances_ = nullptr;
    QPointer<TInGameWindows> windows_;
    bool networkButtons_ = false;
    TColorButton* pause_ = nullptr;
    TColorButton* exit_ = nullptr;
    QLabel* player_ = nullptr;
    QLabel* techMultiple_ = nullptr;
    TDigitalReadout* impulses_ = nullptr;

    TBoardWidget* board_ = nullptr;
    TQuickScrollerWidget* scroller_ = nullptr;
    QWidget* side_ = nullptr;
    TStrategicMapWidget* map_ = nullptr;
    QStackedWidget* panels_ = nullptr;
    QWidget* nothing_ = nullptr;
    TStarShipPanel* shipPanel_ = nullptr;
    QWidget* orderPanel_ = nullptr;
    QLabel* prompt_ = nullptr;
    TColorButton* completeOrder_ = nullptr;
    TStarSystemPanel* systemPanel_ = nullptr;
    TBuildPanel* buildPanel_ = nullptr;

    QWidget* status_ = nullptr;
    QLabel* message_ = nullptr;
    std::array<TColorButton*, 4> alerts_{};
};

} // namespace qx
