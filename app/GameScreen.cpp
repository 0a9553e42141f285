#include "app/GameScreen.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QStackedWidget>

#include "app/AppInfo.h"
#include "app/AlliancesForm.h"
#include "app/BoardWidget.h"
#include "app/BuildPanel.h"
#include "app/CommunicateForm.h"
#include "app/GameFileDialogs.h"
#include "app/GameHost.h"
#include "app/GameWidgets.h"
#include "app/Messages.h"
#include "app/QuickScrollerWidget.h"
#include "app/ShipPanel.h"
#include "app/StarShipForm.h"
#include "app/StarSystemForm.h"
#include "app/StarSystemPanel.h"
#include "app/StrategicMapWidget.h"
#include "controls/ColorButton.h"
#include "controls/DigitalReadout.h"
#include "controls/GraphicPanel.h"
#include "controls/GameStyle.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSession.h"
#include "net/RealTimeEngine.h"
#include "render/BoardArt.h"
#include "render/GameBoard.h"
#include "scenario/ScriptsModule.h"

namespace qx {

namespace {

// The side panels in the order of TSidePanel.
constexpr int kPanelCount = 5;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A dark bevelled strip the screen's parts sit on.
TGraphicPanel* Frame(QWidget* parent, const char* name) {
    TGraphicPanel* panel = widgets::Panel(parent, name, style::Aqua());
    panel->SetColor(QColor(0, 20, 28));
    panel->SetBevelOuter(TBevelCut::Raised);
    panel->SetColorHighlight(QColor(0, 110, 110));
    panel->SetColorShadow(QColor(0, 40, 48));
    return panel;
}

} // namespace

TGameScreen::TGameScreen(TGameHost& host, QWidget* parent) : TScreen("pnlMain", parent), host_(host) {
    dialogs_.ChooseOpenFile = [this] {
        return dialogs::ChooseFile(this, dialogs::TFileKind::OpenGame, TGameHost::SaveFolder());
    };
    dialogs_.ChooseSaveFile = [this] {
        return dialogs::ChooseFile(this, dialogs::TFileKind::SaveGame, TGameHost::SaveFolder());
    };
    dialogs_.AskEmpireName = [this] { return dialogs::AskEmpireName(this); };
    dialogs_.Confirm = [this](const QString& question) { return dialogs::Confirm(this, question); };
    dialogs_.Message = [this](const QString& text) { TMessages::Show(this, text); };

    CreateToolbar();
    board_ = new TBoardWidget(host_.Board(), this);
    board_->OnKey = [this](QKeyEvent* event) { return KeyPress(event); };
    board_->OnViewChanged = [this] { map_->update(); };
    scroller_ = new TQuickScrollerWidget(host_.Board().Surface(), this);
    scroller_->hide();
    CreateSide();
    CreateStatusBar();
    WireSession();

    auto* save = new QShortcut(QKeySequence::Save, this);
    save->setContext(Qt::WidgetWithChildrenShortcut);
    connect(save, &QShortcut::activated, this, GuardedSlot([this] { btnSaveGameClick(); }));
    resize(app::DesignWidth, app::DesignHeight);
    Layout();
}

TGameScreen::~TGameScreen() {
    if (windows_ && windows_->Host() == this) windows_->SetHost(nullptr);
    TGameSession& session = host_.Session();
    session.AskEmpireName = nullptr;
    session.Confirm = nullptr;
    session.ChooseSaveFile = nullptr;
    session.ShowMessage = nullptr;
    session.Input().OnChanged = nullptr;
    session.Presenter().OnChanged = nullptr;
    session.Presenter().OnMapChanged = nullptr;
    session.Presenter().OnImpulseDone = nullptr;
    session.Presenter().OnClockStopped = nullptr;
    host_.Board().Surface().OnOffsetChange = nullptr;
}

void TGameScreen::CreateToolbar() {
    using namespace widgets;
    toolbar_ = Frame(this, "pnlToolbar");
    gridLines_ = ToolButton(toolbar_, "btnGridLines", "View Gridlines", Glyph(TGlyph::Grid));
    gridLines_->SetStayDown(true);
    centerCapital_ = ToolButton(toolbar_, "btnCenterCapital", "Center on Capital StarSystem (Home)",
                                Glyph(TGlyph::Capital));
    quickScroller_ = ToolButton(toolbar_, "btnQuickScroller", "View QuickScroller", Glyph(TGlyph::Scroller));
    quickScroller_->SetStayDown(true);
    saveGame_ = ToolButton(toolbar_, "btnSaveGame", "Save the Game (Ctrl+S)", Glyph(TGlyph::Save));
    starSystemList_ =
        ToolButton(toolbar_, "btnStarSystemList", "View StarSystem List", Glyph(TGlyph::StarSystems));
    starShipList_ = ToolButton(toolbar_, "btnStarShipList", "View StarShip List", Glyph(TGlyph::StarShips));
    communicate_ =
        ToolButton(toolbar_, "btnCommunicate", "Communicate with other Star Lords", Glyph(TGlyph::Communicate));
    alliances_ = ToolButton(toolbar_, "btnAlliances", "Establish and Break Alliances", Glyph(TGlyph::Alliances));
    communicate_->hide();
    alliances_->hide();
    pause_ = Button(toolbar_, "btnPause", "Pause", QChar('P'));
    pause_->setToolTip("Pause or resume the game (Space)");
    exit_ = Button(toolbar_, "btnExitGame", "Exit", QChar('x'));
    exit_->setToolTip("Leave this game");
    player_ = Caption(toolbar_, "gpnlPlayerName", 14, Qt::white);
    techMultiple_ = Caption(toolbar_, "gpnlTechMultiple", 13, style::Aqua(), Qt::AlignRight | Qt::AlignVCenter);
    impulses_ = new TDigitalReadout(toolbar_);
    impulses_->setObjectName("digitImpulses");
    impulses_->SetAutoSize(false);
    impulses_->SetBevelOuter(TBevelCut::Lowered);
    impulses_->SetColor(Qt::black);
    impulses_->SetColorHighlight(style::Teal());
    impulses_->SetColorShadow(QColor(0, 64, 64));
    const QImage digits(QDir(host_.DataFolder()).filePath("Digits.bmp"));
    if (!digits.isNull()) impulses_->SetNumbers(digits.convertToFormat(QImage::Format_RGB32));
    impulses_->SetNumberWidth(12);
    impulses_->SetFormatWidth(4);
    impulses_->setToolTip("Impulse");

    connect(gridLines_, &TColorButton::clicked, this, GuardedSlot([this] { btnGridLinesClick(); }));
    connect(centerCapital_, &TColorButton::clicked, this, GuardedSlot([this] { btnCenterCapitalClick(); }));
    connect(quickScroller_, &TColorButton::clicked, this, GuardedSlot([this] { btnQuickScrollerClick(); }));
    connect(saveGame_, &TColorButton::clicked, this, GuardedSlot([this] { btnSaveGameClick(); }));
    connect(pause_, &TColorButton::clicked, this, GuardedSlot([this] { btnPauseClick(); }));
    connect(exit_, &TColorButton::clicked, this, GuardedSlot([this] { btnExitGameClick(); }));
    connect(starSystemList_, &TColorButton::clicked, this, GuardedSlot([this] { btnStarSystemListClick(); }));
    connect(starShipList_, &TColorButton::clicked, this, GuardedSlot([this] { btnStarShipListClick(); }));
    connect(communicate_, &TColorButton::clicked, this, GuardedSlot([this] { btnCommunicateClick(); }));
    connect(alliances_, &TColorButton::clicked, this, GuardedSlot([this] { btnAlliancesClick(); }));
}

void TGameScreen::CreateSide() {
    using namespace widgets;
    TGameSession& session = host_.Session();
    side_ = Frame(this, "pnlSide");
    map_ = new TStrategicMapWidget(this);
    map_->setObjectName("strategicMain");
    map_->setToolTip("The whole galaxy: press and drag to move the board's view");
    TStrategicMap& map = map_->Map();
    map.QuorvexEngine = &host_.Engine();
    map.CharMatrix = host_.Scripts().MatrixMap;
    map.SetColorPalette(&host_.Art().Palette);
    map.SetSquareGridSpriteSurface(&host_.Board().Surface());
    map.StarSystemRadius = 2;
    map.WormholeRadius = 2;
    map.ShowScanners = true;
    map.ShowStarShips = true;
    map.OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int32_t x, int32_t y) {
        host_.Session().MapPress(x, y);
        RedrawBoard();
    };
    map.OnMouseMove = [this](TObject*, TShiftState, int32_t x, int32_t y) {
        host_.Session().MapMove(x, y);
        RedrawBoard();
    };
    map.OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int32_t, int32_t) { host_.Session().MapRelease(); };

    panels_ = new QStackedWidget(this);
    panels_->setObjectName("pnlControls");
    nothing_ = new QWidget(panels_);
    nothing_->setObjectName("pnlNothing");
    QLabel* hint = Caption(nothing_, "lblNothingHint", 13, style::Teal(), Qt::AlignLeft | Qt::AlignTop);
    hint->setWordWrap(true);
    hint->setText("Click a StarShip or a StarSystem to see it and give orders.\n\n"
                  "Drag a rectangle to command a group; Shift+click adds or removes a ship.\n\n"
                  "Press on the map above and drag to move the view.");
    hint->setGeometry(6, 6, TStarShipPanel::DesignWidth - 12, 200);

    shipPanel_ = new TStarShipPanel(session.Input(), panels_);
    orderPanel_ = new QWidget(panels_);
    orderPanel_->setObjectName("pnlOrderStarShip");
    prompt_ = Caption(orderPanel_, "lblStarShipOrder", 15, QColor(255, 220, 0), Qt::AlignCenter);
    prompt_->setWordWrap(true);
    prompt_->setGeometry(4, 10, TStarShipPanel::DesignWidth - 8, 60);
    TColorButton* cancel = Button(orderPanel_, "btnCancelOrder", "Cancel Order", QChar('C'));
    cancel->setToolTip("Cancel the order (Esc)");
    cancel->setGeometry(2, 80, 89, 21);
    completeOrder_ = Button(orderPanel_, "btnCompleteOrder", "Complete Order", QChar('o'));
    completeOrder_->setGeometry(94, 80, 89, 21);
    completeOrder_->setToolTip("Send the patrol path entered so far");
    connect(cancel, &TColorButton::clicked, this, GuardedSlot([this] {
                host_.Session().Input().CancelOrderClick();
                Refresh();
            }));
    connect(completeOrder_, &TColorButton::clicked, this, GuardedSlot([this] {
                host_.Session().Input().CompleteOrderClick();
                Refresh();
            }));
    systemPanel_ = new TStarSystemPanel(session.Input(), panels_);
    buildPanel_ = new TBuildPanel(session.Input(), host_.DataFolder(), &host_.Engine(), panels_);
    for (QWidget* panel : {nothing_, static_cast<QWidget*>(shipPanel_), orderPanel_,
                           static_cast<QWidget*>(systemPanel_), static_cast<QWidget*>(buildPanel_)})
        panels_->addWidget(panel);
    connect(shipPanel_, &TStarShipPanel::Used, this, [this] { Refresh(); });
    connect(systemPanel_, &TStarSystemPanel::Used, this, [this] { Refresh(); });
    connect(buildPanel_, &TBuildPanel::Used, this, [this] { Refresh(); });
}

void TGameScreen::CreateStatusBar() {
    using namespace widgets;
    status_ = Frame(this, "pnlStatus");
    message_ = Caption(status_, "lblMessage", 13, QColor(255, 220, 0));
    for (int i = 0; i < 4; ++i) {
        TColorButton* alert = Button(status_, QString("btnAlert%1").arg(i + 1), QString());
        alert->SetColor(QColor(96, 0, 0));
        alert->SetColorHighlight(QColor(255, 80, 80));
        alert->SetColorShadow(QColor(128, 0, 0));
        alert->SetFontColor(QColor(255, 230, 230));
        alert->setToolTip("Under attack: click to go there");
        alert->hide();
        connect(alert, &TColorButton::clicked, this, GuardedSlot([this, i] {
                    host_.Session().AlertClicked(i);
                    RedrawBoard();
                    Refresh();
                }));
        alerts_[static_cast<size_t>(i)] = alert;
    }
}

void TGameScreen::WireSession() {
    TGameSession& session = host_.Session();
    session.AskEmpireName = [this]() -> std::optional<std::string> {
        const std::optional<QString> answer = dialogs_.AskEmpireName();
        if (!answer) return std::nullopt;
        return answer->toStdString();
    };
    session.Confirm = [this](const std::string& question) { return dialogs_.Confirm(Text(question)); };
    session.ChooseSaveFile = [this] { return dialogs_.ChooseSaveFile().toStdString(); };
    session.ShowMessage = [this](const std::string& text) { dialogs_.Message(Text(text)); };
    session.Input().OnChanged = [this](TObject*) { ScheduleRefresh(); };
    session.Presenter().OnChanged = [this](TObject*) { ScheduleRefresh(); };
    session.Presenter().OnMapChanged = [this] { map_->update(); };
    session.Presenter().OnImpulseDone = [this](int32_t impulse) { ImpulseDone(impulse); };
    session.Presenter().OnClockStopped = [this] {
        if (windows_) windows_->CloseAll();
    };
    host_.Board().Surface().OnOffsetChange = [this](TObject*) { map_->update(); };
}

void TGameScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void TGameScreen::Layout() {
    const int w = width(), h = height();
    const int boardWidth = std::max(w - SideWidth, 1);
    const int middle = std::max(h - ToolbarHeight - StatusHeight, 1);
    toolbar_->setGeometry(0, 0, w, ToolbarHeight);
    int x = 4;
    for (TColorButton* button : {gridLines_, centerCapital_, quickScroller_, saveGame_, starSystemList_,
                                 starShipList_, communicate_, alliances_}) {
        // "Communicate" and "Alliances" take no room while they are hidden.
        if ((button == communicate_ || button == alliances_) && !networkButtons_) continue;
        button->setGeometry(x, 2, 24, 24);
        x += 25;
    }
    x += 5;
    if (!pause_->isHidden()) {
        pause_->setGeometry(x, 3, 60, 22);
        x += 63;
    }
    exit_->setGeometry(x, 3, 44, 22);
    x += 50;
    const int readoutLeft = w - 61;
    impulses_->setGeometry(readoutLeft, 3, 57, 21);
    const int techWidth = 136;
    techMultiple_->setGeometry(readoutLeft - techWidth - 6, 3, techWidth, 22);
    player_->setGeometry(x, 3, std::max(readoutLeft - techWidth - 10 - x, 0), 22);

    board_->setGeometry(0, ToolbarHeight, boardWidth, middle);
    scroller_->move(6, ToolbarHeight + middle - TQuickScrollerWidget::Side - 6);
    scroller_->raise();
    const int side = w - SideWidth;
    side_->setGeometry(side, ToolbarHeight, SideWidth, middle);
    map_->setGeometry(side + 5, ToolbarHeight + 2, 177, 145);
    panels_->setGeometry(side + 1, ToolbarHeight + 149, SideWidth - 2, std::max(middle - 149, 1));

    status_->setGeometry(0, h - StatusHeight, w, StatusHeight);
    constexpr int kAlertWidth = 96;
    const int alertsLeft = w - 4 * (kAlertWidth + 4);
    for (int i = 0; i < 4; ++i)
        alerts_[static_cast<size_t>(i)]->setGeometry(alertsLeft + i * (kAlertWidth + 4), 2, kAlertWidth, 20);
    message_->setGeometry(6, 2, std::max(alertsLeft - 10, 0), 20);
}

void TGameScreen::ScheduleRefresh() {
    if (refreshQueued_) return;
    refreshQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!refreshQueued_) return;
            Guarded([this] { Refresh(); });
        },
        Qt::QueuedConnection);
}

void TGameScreen::RefreshNow() { Refresh(); }

void TGameScreen::Refresh() {
    using namespace widgets;
    refreshQueued_ = false;
    TGameSession& session = host_.Session();
    TCommandInput& input = session.Input();
    TGamePresenter& presenter = session.Presenter();

    const int panel = static_cast<int>(input.Panel());
    if (panel >= 0 && panel < kPanelCount && panels_->currentIndex() != panel) panels_->setCurrentIndex(panel);
    switch (input.Panel()) {
    case TSidePanel::pnlStarShip: shipPanel_->Refresh(); break;
    case TSidePanel::pnlStarSystem: systemPanel_->Refresh(); break;
    case TSidePanel::pnlBuildStarShip: buildPanel_->Refresh(); break;
    case TSidePanel::pnlOrderStarShip:
        SetText(prompt_, Text(input.Prompt()));
        SetVisible(completeOrder_, input.CompleteOrderVisible());
        break;
    case TSidePanel::pnlNothing: break;
    }
    if (input.Cursor() == TBoardCursor::Target)
        board_->setCursor(targetCursor_);
    else
        board_->unsetCursor();

    Show(player_, presenter.PlayerCaption());
    SetText(techMultiple_, Text(presenter.TechMultipleText()));
    if (impulses_->Value() != presenter.ImpulseReadout()) impulses_->SetValue(presenter.ImpulseReadout());
    SetText(message_, Text(presenter.MessageLine()).trimmed());
    for (int i = 0; i < 4; ++i) {
        const TAlert& alert = presenter.Alerts().Button(i);
        TColorButton* button = alerts_[static_cast<size_t>(i)];
        if (button->Caption() != Text(alert.Caption)) button->SetCaption(Text(alert.Caption));
        if (button->font().underline() != alert.Underlined) {
            QFont font = button->font();
            font.setUnderline(alert.Underlined);
            button->setFont(font);
        }
        SetVisible(button, alert.Visible);
    }
    const QString pause = Text(session.PauseCaption());
    if (pause_->Caption() != pause) pause_->SetCaption(pause);
    // While paused only what does not move the game stays at hand.
    centerCapital_->setEnabled(!session.Paused());
    quickScroller_->setEnabled(!session.Paused());
}

void TGameScreen::RedrawBoard() {
    TGameBoard& board = host_.Board();
    if (!board.Surface().Active() && board.Game() && board.Surface().FrameBits()) board.RenderFrames(1);
    board_->update();
    map_->update();
}

void TGameScreen::GameStarted() {
    map_->Map().ResetBackground();
    // A new map may be smaller than the view was.
    board_->ClampView();
    RedrawBoard();
    if (!host_.Board().Surface().FrameBits()) {
        host_.Board().RenderFrames(1);
        board_->update();
    }
    // A game played through the lobby never pauses; its chat and alliances
    // are at hand. (A solo game, even while logged in, has nobody to talk to.)
    const bool network = host_.Session().InNetworkGame();
    networkButtons_ = network;
    pause_->setVisible(!network);
    communicate_->setVisible(network);
    alliances_->setVisible(network);
    communicate_->SetColor(Qt::black);
    Layout();
    if (windows_) windows_->GameStarted();
    board_->setFocus(Qt::OtherFocusReason);
    Refresh();
}

void TGameScreen::SetInGameWindows(TInGameWindows* windows) {
    if (windows_ && windows_->Host() == this) windows_->SetHost(nullptr);
    windows_ = windows;
    if (windows_) windows_->SetHost(this);
}

bool TGameScreen::NetworkButtons() const { return networkButtons_; }

void TGameScreen::ImpulseDone(int32_t impulse) {
    if (!windows_) return;
    windows_->AfterImpulse();
    // Unread chat makes the "Communicate" button blink.
    if (networkButtons_) {
        const QColor reminder = windows_->Communicate()->ReminderColor(impulse);
        if (communicate_->Color() != reminder) communicate_->SetColor(reminder);
    }
}

void TGameScreen::ShowWindow(QWidget* window) {
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

void TGameScreen::btnStarSystemListClick() {
    if (windows_) ShowWindow(windows_->StarSystems());
}

void TGameScreen::btnStarShipListClick() {
    if (windows_) ShowWindow(windows_->StarShips());
}

void TGameScreen::btnCommunicateClick() {
    communicate_->SetColor(Qt::black);
    if (windows_) ShowWindow(windows_->Communicate());
}

void TGameScreen::btnAlliancesClick() {
    if (windows_) ShowWindow(windows_->Alliances());
}

const TQuorvexEngine* TGameScreen::Engine() const {
    const TQuorvexEngine& engine = host_.Engine();
    return engine.PlayerCount() > 0 ? &engine : nullptr;
}

const TPlayer* TGameScreen::LocalPlayer() const {
    const TQuorvexEngine* engine = Engine();
    return engine ? engine->CurrentPlayer : nullptr;
}

void TGameScreen::CenterOn(int x, int y) {
    host_.Session().ShowCell(x, y);
    RedrawBoard();
    Refresh();
}

void TGameScreen::AddOrder(const std::string& order) {
    if (host_.Clock().Active()) host_.Clock().AddOrder(order);
}

void TGameScreen::SendData(const std::string& text) { host_.Session().SendGameData(text); }

void TGameScreen::PlaySound(TWindowSound sound) { PlayWindowSound(host_.Audio(), sound); }

void TGameScreen::KeyPressed(QKeyEvent& event) { KeyPress(&event); }

bool TGameScreen::OpenSavedGame() {
    const QString path = dialogs_.ChooseOpenFile();
    const TGameResult loaded = host_.Session().LoadGame(path.toStdString());
    if (!loaded.Ok) {
        if (!loaded.Message.empty()) dialogs_.Message(Text(loaded.Message));
        return false;
    }
    GameStarted();
    return true;
}

void TGameScreen::btnGridLinesClick() {
    host_.Board().Surface().ShowGrid = gridLines_->Down();
    RedrawBoard();
}

void TGameScreen::btnCenterCapitalClick() {
    host_.Session().CenterOnCapital();
    RedrawBoard();
    Refresh();
}

void TGameScreen::btnPauseClick() {
    TGameSession& session = host_.Session();
    session.TogglePause();
    // The board shows "P A U S E D" although its frames stop.
    TGameBoard& board = host_.Board();
    if (board.Game() && board.Surface().FrameBits()) board.RenderFrames(1);
    board_->update();
    Refresh();
}

void TGameScreen::btnQuickScrollerClick() {
    scroller_->setVisible(quickScroller_->Down());
    scroller_->raise();
}

void TGameScreen::btnSaveGameClick() {
    const QString path = dialogs_.ChooseSaveFile();
    const TGameResult saved = host_.Session().SaveGame(path.toStdString());
    if (!saved.Ok && !saved.Message.empty()) dialogs_.Message(Text(saved.Message));
    Refresh();
}

void TGameScreen::btnExitGameClick() {
    if (!host_.Session().ExitGame()) return;
    Refresh();
    emit Left();
}

bool TGameScreen::KeyPress(QKeyEvent* event) {
    TGameSession& session = host_.Session();
    bool used = false;
    Guarded([&] {
        switch (event->key()) {
        case Qt::Key_Escape: used = session.Input().KeyPress(27); break;
        case Qt::Key_Space:
            if (pause_->isVisible() && pause_->isEnabled()) {
                btnPauseClick();
                used = true;
            }
            break;
        case Qt::Key_Home:
            if (centerCapital_->isEnabled()) {
                btnCenterCapitalClick();
                used = true;
            }
            break;
        default: {
            const QString text = event->text();
            if (text.size() == 1 && text[0].isLetter() && text[0].unicode() < 128 &&
                !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                used = session.Input().KeyPress(static_cast<char>(text[0].unicode()));
        }
        }
    });
    if (used) Refresh();
    return used;
}

void TGameScreen::keyPressEvent(QKeyEvent* event) {
    if (!KeyPress(event)) TScreen::keyPressEvent(event);
}

} // namespace qx
