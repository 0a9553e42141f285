#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QStackedWidget>

#include "app/BoardWidget.h"
#include "app/BuildPanel.h"
#include "app/GameHost.h"
#include "app/GameScreen.h"
#include "app/GameSettingsScreen.h"
#include "app/GameWidgets.h"
#include "app/GameListView.h"
#include "app/InGameWindows.h"
#include "app/StarShipForm.h"
#include "app/StarSystemForm.h"
#include "app/CommunicateForm.h"
#include "app/MainForm.h"
#include "app/QuickScrollerWidget.h"
#include "app/ShipPanel.h"
#include "app/StrategicMapWidget.h"
#include "controls/ColorButton.h"
#include "controls/DigitalReadout.h"
#include "controls/GraphicPanel.h"
#include "controls/StarShipListBox.h"
#include "engine/QuorvexEngine.h"
#include "game/BuildDefaults.h"
#include "game/GameSession.h"
#include "game/GameSetup.h"
#include "net/RealTimeEngine.h"
#include "render/BoardArt.h"
#include "render/GameBoard.h"
#include "render/SpriteLink.h"
#include "tests/app/GameFixture.h"

namespace qx {
namespace {

struct WithGameApp {
    WithGameApp() { test::GameApp(); }
};

// The real main window on the build's data, a short impulse, recorded audio
// and dialogs answered by the test.
class GameScreenTest : public WithGameApp, public ::testing::Test {
protected:
    void SetUp() override {
        auto audio = std::make_unique<test::TRecordingAudio>();
        audio_ = audio.get();
        window_ = std::make_unique<TfrmMain>(test::BuildData(), config_.SettingsFile(), std::move(audio));
        window_->SetTipsAtStart(false);
        window_->resize(800, 600);
        window_->show();
        QApplication::processEvents();
        host_ = &window_->GameHost();
        screen_ = window_->GameScreen();
        setup_ = window_->SetupScreen();
        host_->Clock().Interval = 20;
        host_->Engine().RulesRandom.Seed(20240607);
        host_->Board().PresentationRandom().Seed(3);
        // Every order the clock collects from this machine.
        auto collect = host_->Clock().OnCollectOrders;
        host_->Clock().OnCollectOrders = [this, collect](TObject* sender, const std::string& text,
                                                         const std::string& id) {
            collected_.push_back(text);
            collect(sender, text, id);
        };
        TGameScreen::TDialogs& dialogs = screen_->Dialogs();
        dialogs.AskEmpireName = [] { return std::optional<QString>("Tester"); };
        dialogs.Confirm = [this](const QString& question) {
            asked_ << question;
            return answer_;
        };
        dialogs.Message = [this](const QString& text) { messages_ << text; };
        dialogs.ChooseSaveFile = [this] { return savePath_; };
        dialogs.ChooseOpenFile = [this] { return openPath_; };
        setup_->Message = [this](const QString& text) { messages_ << text; };
        // Six types with the WarShip among them.
        TStarShipListBox* list = window_->ShipSelection()->List();
        list->clearSelection();
        for (TShipType type : {TShipType::WarShip, TShipType::ScanShip, TShipType::Drone, TShipType::Tug,
                               TShipType::Freighter, TShipType::SpyShip})
            list->SelectType(type);
        Click("btnSelectStarShips");
        Click("btnProceedShips");
    }
    void TearDown() override {
        host_->StopGame();
        window_.reset();
    }

    void Click(const char* name) {
        auto* button = window_->findChild<TColorButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isVisible()) << name;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, 4));
        QApplication::processEvents();
    }
    QString Current() const { return window_->CurrentScreen()->objectName(); }
    TQuorvexEngine& Engine() const { return host_->Engine(); }
    TPlayer* Me() const { return Engine().GetPlayer(0); }
    // Brings a cell into view by pressing on the strategic map, then clicks
    // it on the board widget.
    void ClickCell(int32_t x, int32_t y) {
        TStrategicMapWidget* map = screen_->StrategicMap();
        const TPoint onMap = map->Map().MapToControl(x, y);
        QTest::mousePress(map, Qt::LeftButton, {}, QPoint(onMap.X, onMap.Y));
        QTest::mouseRelease(map, Qt::LeftButton, {}, QPoint(onMap.X, onMap.Y));
        const TSquareGridSpriteSurface& surface = host_->Board().Surface();
        const TPoint at = TGameBoard::PixelPosition(x, y);
        const QPoint local(at.X - surface.OffsetX(), at.Y - surface.OffsetY());
        ASSERT_TRUE(screen_->Board()->rect().contains(local)) << x << "," << y << " is not in view";
        QTest::mouseClick(screen_->Board(), Qt::LeftButton, {}, local);
        QApplication::processEvents();
    }
    void Key(Qt::Key key) {
        QTest::keyClick(screen_->Board(), key);
        QApplication::processEvents();
    }
    QWidget* Panel() const { return screen_->Panels()->currentWidget(); }
    // The bundled Duel, one human and one Defender, through the setup screen.
    void StartDuel() {
        const QString duel = QDir(test::BuildData()).filePath("scenarios/Duel.qxscen");
        setup_->ChooseScenario = [duel] { return duel; };
        Click("btnBeginNewGame");
        Click("btnSetupProceed");
        ASSERT_EQ(Current(), "pnlMain") << messages_.join("|").toStdString();
    }
    // How many pixels of the middle band of the board's last frame are cyan.
    int CyanInTheMiddle() const {
        const QImage frame = screen_->Board()->Frame();
        const int cyan = host_->Art().Palette.NearestIndex(RgbColor(0, 255, 255));
        int lit = 0;
        for (int y = frame.height() / 2 - 20; y < frame.height() / 2 + 20; ++y)
            for (int x = 0; x < frame.width(); ++x) lit += frame.pixelIndex(x, y) == cyan;
        return lit;
    }

    test::TConfigFolder config_;
    test::TDataHome data_;
    test::TModalWatcher watcher_;
    test::TRecordingAudio* audio_ = nullptr;
    std::unique_ptr<TfrmMain> window_;
    TGameHost* host_ = nullptr;
    TGameScreen* screen_ = nullptr;
    TGameSettingsScreen* setup_ = nullptr;
    std::vector<std::string> collected_;
    QStringList asked_;
    QStringList messages_;
    bool answer_ = true;
    QString savePath_;
    QString openPath_;
};

TEST_F(GameScreenTest, ASoloDuelPlayedWithTheMouseSavedAndLoaded) {
    const QString duel = QDir(test::BuildData()).filePath("scenarios/Duel.qxscen");
    setup_->ChooseScenario = [&] { return duel; };
    Click("btnBeginNewGame");
    ASSERT_EQ(Current(), "pnlGameSettings");
    // The scenario dialog opened at once; the preview shows its galaxy.
    EXPECT_EQ(setup_->ScenarioName()->Caption(), "Duel.qxscen");
    EXPECT_TRUE(setup_->RegenerateButton()->isVisible());
    EXPECT_EQ(setup_->findChild<TGraphicPanel*>("gpnlMapWidth")->Caption(), "Map Width: 24");
    EXPECT_EQ(setup_->VictoryConditions()->Caption(), "Eliminate Enemy Capitals");
    EXPECT_TRUE(setup_->Description()->text().startsWith("Duel:"));
    const QImage preview = setup_->Preview()->Render();
    const QColor red = widgets::ToQColor(host_->Art().Palette.GetColor(249));
    int reds = 0;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x) reds += preview.pixelColor(x, y) == red;
    EXPECT_GT(reds, 4) << "the first player's capital shows in its colour";
    EXPECT_EQ(setup_->HumanPlayers()->value(), 1);
    EXPECT_EQ(setup_->ComputerPlayers()->value(), 1);

    Click("btnSetupProceed");
    ASSERT_EQ(Current(), "pnlMain") << messages_.join("|").toStdString();
    ASSERT_TRUE(host_->Clock().Active());
    EXPECT_EQ(Me()->Name, "Tester");
    EXPECT_EQ(Engine().GetPlayer(1)->BrainFile, "Defender.qxbrain");
    EXPECT_EQ(screen_->findChild<QLabel*>("gpnlPlayerName")->text(), "Player: Tester");
    EXPECT_NE(std::find(audio_->Calls.begin(), audio_->Calls.end(), "music start"), audio_->Calls.end())
        << "music starts with the clock";

    // Build a WarShip: the capital's cell, "Build StarShip", the type, its
    // engines, a direction.
    TStarSystem* capital = Me()->Capital();
    ASSERT_NE(capital, nullptr);
    ClickCell(capital->X, capital->Y);
    ASSERT_EQ(Panel()->objectName(), "pnlStarSystem");
    Click("btnBuildStarShip");
    ASSERT_EQ(Panel()->objectName(), "pnlBuildStarShip");
    TStarShipListBox* list = screen_->BuildPanel()->List();
    int warShipRow = -1;
    for (int row = 0; row < list->count(); ++row)
        if (list->ItemType(row) == TShipType::WarShip) warShipRow = row;
    ASSERT_GE(warShipRow, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(warShipRow)).center());
    QApplication::processEvents();
    EXPECT_EQ(host_->Session().Input().BuildPanel().SelectedType(), TShipType::WarShip);
    // A double-click on a number asks for the most the capital can pay for.
    QSpinBox* weapons = screen_->BuildPanel()->Weapons();
    QWidget* weaponsEdit = weapons->findChild<QLineEdit*>();
    ASSERT_NE(weaponsEdit, nullptr);
    const int weaponsBefore = weapons->value();
    QTest::mouseDClick(weaponsEdit, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_NE(weapons->value(), weaponsBefore);
    EXPECT_EQ(weapons->value(), host_->Session().Input().BuildPanel().Weapons());
    EXPECT_LE(host_->Session().Input().BuildPanel().Cost(), host_->Session().Input().BuildPanel().Available());
    screen_->BuildPanel()->Engines()->setValue(20);
    screen_->BuildPanel()->Weapons()->setValue(3);
    EXPECT_EQ(screen_->findChild<QLabel*>("gpnlCost")->text(),
              QString("Total Cost: %1").arg(host_->Session().Input().BuildPanel().Cost()));
    int direction = 0;
    while (direction < 8 && !screen_->BuildPanel()->Direction(direction)->isVisible()) ++direction;
    ASSERT_LT(direction, 8) << "a direction is free and affordable";
    QTest::mouseClick(screen_->BuildPanel()->Direction(direction), Qt::LeftButton, {}, QPoint(4, 4));
    QApplication::processEvents();
    EXPECT_FALSE(screen_->BuildPanel()->Direction(direction)->isVisible()) << "a used direction hides";
    ASSERT_TRUE(test::WaitFor([&] { return Me()->StarShipCount() == 1; }));
    // A ship is seen once its impulse has ended.
    const int32_t built = Engine().Impulse;
    ASSERT_TRUE(test::WaitFor([&] { return Engine().Impulse >= built + 2; }));
    TStarShip* ship = Me()->GetStarShip(0);
    EXPECT_EQ(ship->Engines, 20);

    // Select it on the board, "Move", a free cell three steps away.
    ClickCell(ship->X, ship->Y);
    ASSERT_EQ(Panel()->objectName(), "pnlStarShip")
        << "ship " << ship->X << "," << ship->Y << " cursor " << host_->Board().Surface().CursorCell().X << ","
        << host_->Board().Surface().CursorCell().Y << " selected "
        << (host_->Session().Input().SelectedStarShip() ? "ship" : "none") << " visible "
        << ship->IsVisibleTo(Me()) << " at " << (Engine().StarShipAt(ship->X, ship->Y) == ship);
    EXPECT_EQ(screen_->findChild<QLabel*>("gpnlStarShipName")->text(), QString("WarShip ") + ship->Code.c_str());
    int32_t toX = -1, toY = -1;
    for (int d = 0; d < 8 && toX < 0; ++d) {
        const int32_t x = ship->X + 3 * DirectionDX[d], y = ship->Y + 3 * DirectionDY[d];
        if (Engine().IsInsideMap(x, y) && Engine().IsEmpty(x, y) && !Engine().StarSystemAt(x, y)) toX = x, toY = y;
    }
    ASSERT_GE(toX, 0);
    // A hot key on the board, then Escape: keys go on working after clicks.
    Key(Qt::Key_M);
    EXPECT_EQ(Panel()->objectName(), "pnlOrderStarShip");
    EXPECT_EQ(screen_->OrderPrompt()->text(), "(Click Destination)");
    EXPECT_EQ(screen_->Board()->cursor().shape(), Qt::BitmapCursor) << "the targeting cursor";
    EXPECT_EQ(screen_->Board()->cursor().hotSpot(), window_->TargetCursor().hotSpot());
    Key(Qt::Key_Escape);
    EXPECT_EQ(Panel()->objectName(), "pnlStarShip");
    Click("btnMove");
    ClickCell(toX, toY);
    const std::string order = "2:" + ship->Code + ":" + std::to_string(toX) + ":" + std::to_string(toY) + ":";
    EXPECT_EQ(Panel()->objectName(), "pnlStarShip") << "the order is given, the mode ends";
    ASSERT_TRUE(test::WaitFor([&] {
        return std::find(collected_.begin(), collected_.end(), order) != collected_.end();
    })) << "the order reached the clock";
    // The ship steps there, and the board's frame thread slides its sprite.
    const TPoint cell = TGameBoard::PixelPosition(toX, toY);
    ASSERT_TRUE(test::WaitFor([&] {
        return ship->X == toX && ship->Y == toY && SpriteOf(ship)->X() == cell.X + 1 && SpriteOf(ship)->Y() == cell.Y + 1;
    })) << "ship at " << ship->X << "," << ship->Y << ", sprite at " << SpriteOf(ship)->X() << ","
        << SpriteOf(ship)->Y();
    EXPECT_GT(screen_->Board()->Paints(), 10) << "frames reach the widget";
    EXPECT_GT(screen_->ImpulseReadout()->Value(), 1);

    // Pause: the game stops, the button says so.
    Click("btnPause");
    EXPECT_TRUE(host_->Clock().Paused());
    EXPECT_EQ(window_->findChild<TColorButton*>("btnPause")->Caption(), "Resume");
    EXPECT_FALSE(window_->findChild<TColorButton*>("btnCenterCapital")->isEnabled());
    EXPECT_EQ(Panel()->objectName(), "pnlNothing");

    // Save, then play on, then load: the saved state comes back.
    savePath_ = QDir(data_.Path()).filePath("duel.qx");
    const std::string saved = Engine().SaveToText();
    Click("btnSaveGame");
    ASSERT_TRUE(QFile::exists(savePath_));
    EXPECT_EQ(screen_->MessageLine()->text(), "Game Saved");
    Click("btnPause");
    EXPECT_FALSE(host_->Clock().Paused());
    const int32_t impulse = Engine().Impulse;
    ASSERT_TRUE(test::WaitFor([&] { return Engine().Impulse >= impulse + 3; }));

    // A broken file is refused with its reason; the game goes on.
    QFile broken(QDir(data_.Path()).filePath("broken.qx"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("no saved game");
    broken.close();
    openPath_ = broken.fileName();
    messages_.clear();
    EXPECT_FALSE(screen_->OpenSavedGame());
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_TRUE(host_->Clock().Active());
    EXPECT_GE(Engine().Impulse, impulse + 3);

    openPath_ = savePath_;
    ASSERT_TRUE(screen_->OpenSavedGame());
    EXPECT_EQ(Engine().SaveToText(), saved) << "the same game state text";
    EXPECT_EQ(Me()->Name, "Tester");
    EXPECT_TRUE(host_->Clock().Active());
    EXPECT_EQ(window_->findChild<TColorButton*>("btnPause")->Caption(), "Pause");
    EXPECT_TRUE(window_->findChild<TColorButton*>("btnCenterCapital")->isEnabled());

    // Exit asks, offers to save, and leads to the title.
    answer_ = false;
    Click("btnExitGame");
    EXPECT_EQ(Current(), "pnlMain");
    EXPECT_TRUE(host_->Clock().Active());
    answer_ = true;
    savePath_ = QDir(data_.Path()).filePath("exit.qx");
    Click("btnExitGame");
    EXPECT_EQ(asked_, (QStringList{"Exit this Game?", "Exit this Game?", "Do you want to Save this Game?"}));
    EXPECT_TRUE(QFile::exists(savePath_));
    EXPECT_FALSE(host_->Clock().Active());
    EXPECT_FALSE(host_->Board().Surface().Active());
    EXPECT_EQ(Current(), "pnlTitle");
    EXPECT_TRUE(window_->TitlePalette());
    EXPECT_EQ(audio_->Calls.back(), "music stop") << "music stops with the clock";
}

TEST_F(GameScreenTest, ABrainDuelPlaysItselfToItsVictoryMessage) {
    QTemporaryDir folder;
    const QString scenario = QDir(folder.path()).filePath("Quick.qxscen");
    QFile file(scenario);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Version( 4.0 );\n"
               "SetMapSize( 20, 10 );\n"
               "SetDescription( 'Two homes' );\n"
               "CreateStarSystem( 3, 5, 'Alpha', 18, 12, 10, 100, 0, true );\n"
               "CreateStarSystem( 16, 5, 'Beta', 18, 12, 10, 100, 1, true );\n"
               "SetVictoryConditions( 1, 'Beta', 3 );\n");
    file.close();
    setup_->ChooseScenario = [&] { return scenario; };
    Click("btnBeginNewGame");
    ASSERT_EQ(Current(), "pnlGameSettings");
    EXPECT_FALSE(setup_->BrainDuelLabel()->isVisible());
    setup_->HumanPlayers()->setValue(0);
    EXPECT_TRUE(setup_->BrainDuelLabel()->isVisible());
    EXPECT_EQ(setup_->ComputerPlayers()->value(), 2) << "a duel needs two brains";
    EXPECT_EQ(setup_->ComputerPlayers()->minimum(), 2);
    EXPECT_TRUE(setup_->BrainsButton()->isVisible());
    EXPECT_EQ(setup_->Description()->text(), "Two homes");

    Click("btnSetupProceed");
    ASSERT_EQ(Current(), "pnlMain");
    EXPECT_EQ(messages_, QStringList{"This Scenario has the alternate Victory Condition: Hold Beta for 3 Impulses"});
    EXPECT_EQ(Engine().CurrentPlayer, nullptr);
    EXPECT_EQ(screen_->findChild<QLabel*>("gpnlPlayerName")->text(), "");
    EXPECT_EQ(screen_->findChild<QLabel*>("gpnlTechMultiple")->text(), "Brain Mode");
    ASSERT_TRUE(test::WaitFor([&] { return !host_->Clock().Active(); }));
    const std::string victory = Engine().GetPlayer(1)->Name + " is V I C T O R I O U S !";
    EXPECT_EQ(host_->Session().Presenter().CentreMessage(), victory);

    // The message is drawn over the board: cyan letters in its middle band.
    const int before = screen_->Board()->Paints();
    ASSERT_TRUE(test::WaitFor([&] { return screen_->Board()->Paints() > before + 2; }));
    EXPECT_GT(CyanInTheMiddle(), 50);
}

TEST_F(GameScreenTest, TheToolbarTheAlertsAndThePauseMessage) {
    StartDuel();
    TSquareGridSpriteSurface& surface = host_->Board().Surface();
    Click("btnGridLines");
    EXPECT_TRUE(surface.ShowGrid);
    Click("btnGridLines");
    EXPECT_FALSE(surface.ShowGrid);
    Click("btnQuickScroller");
    EXPECT_TRUE(screen_->QuickScroller()->isVisible());
    Click("btnQuickScroller");
    EXPECT_FALSE(screen_->QuickScroller()->isVisible());

    // An attack on the capital lights an alert; its button leads there.
    TStarSystem* capital = Me()->Capital();
    ASSERT_NE(capital, nullptr);
    host_->Session().Presenter().StarSystemAttacked(capital);
    QApplication::processEvents();
    TColorButton* alert = screen_->AlertButton(0);
    ASSERT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->Caption().toStdString(), capital->Name);
    EXPECT_TRUE(alert->font().underline()) << "a capital's alert is underlined";
    EXPECT_FALSE(screen_->AlertButton(1)->isVisible());
    surface.SetOffsetX(0);
    surface.SetOffsetY(surface.VirtualHeight());
    screen_->Board()->ClampView();
    Click("btnAlert1");
    EXPECT_EQ(host_->Session().Input().SelectedStarSystem(), capital);
    EXPECT_EQ(Panel()->objectName(), "pnlStarSystem");
    const TPoint at = TGameBoard::PixelPosition(capital->X, capital->Y);
    EXPECT_TRUE(at.Y >= surface.OffsetY() && at.Y < surface.OffsetY() + screen_->Board()->height())
        << "the view went back to the capital";

    // Pausing draws "P A U S E D" over the board although its frames stop;
    // Space resumes.
    EXPECT_EQ(CyanInTheMiddle(), 0);
    Click("btnPause");
    EXPECT_FALSE(surface.Active()) << "the board's frames stop";
    EXPECT_EQ(host_->Session().Presenter().CentreMessage(), "P A U S E D");
    EXPECT_GT(CyanInTheMiddle(), 50);
    Key(Qt::Key_Space);
    EXPECT_FALSE(host_->Clock().Paused());
    EXPECT_TRUE(surface.Active());
    EXPECT_EQ(window_->findChild<TColorButton*>("btnPause")->Caption(), "Pause");
    ASSERT_TRUE(test::WaitFor([&] { return CyanInTheMiddle() == 0; })) << "the message goes with the pause";

    // A drag on the board draws its band while the button is held.
    QTest::mousePress(screen_->Board(), Qt::LeftButton, {}, QPoint(20, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(120, 90), QPointF(120, 90), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(screen_->Board(), &move);
    EXPECT_TRUE(surface.Dragging());
    EXPECT_NE(surface.DownCell(), surface.CurrentCell());
    QTest::mouseRelease(screen_->Board(), Qt::LeftButton, {}, QPoint(120, 90));
    EXPECT_FALSE(surface.Dragging());
}

TEST_F(GameScreenTest, TheInGameWindowsFollowASoloGameAndCloseWithItsClock) {
    StartDuel();
    TInGameWindows* windows = window_->InGameWindows();
    ASSERT_EQ(windows->Host(), static_cast<IInGameHost*>(screen_));
    // Alone there is nobody to talk to or ally with, and the game pauses.
    for (const char* name : {"btnCommunicate", "btnAlliances"})
        EXPECT_FALSE(window_->findChild<TColorButton*>(name)->isVisibleTo(window_.get())) << name;
    EXPECT_TRUE(window_->findChild<TColorButton*>("btnPause")->isVisibleTo(window_.get()));

    // The lists open from the toolbar with this player's systems and ships,
    // and follow the game impulse by impulse.
    Click("btnStarSystemList");
    Click("btnStarShipList");
    TfrmStarSystemList* systems = windows->StarSystems();
    TfrmStarShipList* ships = windows->StarShips();
    ASSERT_TRUE(systems->isVisible() && ships->isVisible());
    EXPECT_EQ(systems->RowCount(), Me()->StarSystemCount());
    ASSERT_EQ(Me()->StarShipCount(), 0);
    EXPECT_EQ(ships->RowCount(), 0);
    // A ship built at the capital joins the list once its impulse is over.
    TStarSystem* capital = Me()->Capital();
    ClickCell(capital->X, capital->Y);
    Click("btnBuildStarShip");
    int direction = 0;
    while (direction < 8 && !screen_->BuildPanel()->Direction(direction)->isVisible()) ++direction;
    ASSERT_LT(direction, 8) << "a direction is free and affordable";
    QTest::mouseClick(screen_->BuildPanel()->Direction(direction), Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_TRUE(test::WaitFor([&] { return ships->RowCount() == 1; })) << Me()->StarShipCount();
    const int32_t resources = static_cast<int32_t>(capital->Resources);
    ASSERT_TRUE(test::WaitFor([&] {
        return systems->RowCount() == 1 && systems->RowTexts(0).value(2).toInt() != resources;
    })) << "the capital's row follows its resources";

    // A click on a row shows that ship on the board and selects it.
    const TStarShip& ship = *Me()->StarShips.front();
    int shipRow = -1;
    for (int i = 0; i < ships->RowCount(); ++i)
        if (ships->RowTexts(i).value(1).toStdString() == ship.Code) shipRow = i;
    ASSERT_GE(shipRow, 0);
    QTreeWidgetItem* item = ships->List()->topLevelItem(shipRow);
    ships->List()->scrollToItem(item);
    QTest::mouseClick(ships->List()->viewport(), Qt::LeftButton, {},
                      ships->List()->visualItemRect(item).center());
    QApplication::processEvents();
    EXPECT_EQ(host_->Session().Input().SelectedStarShip(), &ship);
    EXPECT_EQ(Panel()->objectName(), "pnlStarShip");
    const TSquareGridSpriteSurface& surface = host_->Board().Surface();
    const TPoint at = TGameBoard::PixelPosition(ship.X, ship.Y);
    EXPECT_TRUE(at.X >= surface.OffsetX() && at.X < surface.OffsetX() + screen_->Board()->width() &&
                at.Y >= surface.OffsetY() && at.Y < surface.OffsetY() + screen_->Board()->height());
    // The order keys work from the list as from the board.
    QTest::keyClick(ships->List(), Qt::Key_M);
    EXPECT_EQ(host_->Session().Input().Mode(), TCommandMode::Move);
    QTest::keyClick(ships->List(), Qt::Key_Escape);
    EXPECT_EQ(host_->Session().Input().Mode(), TCommandMode::Select);

    // Leaving the game stops its clock, and the windows close with it.
    answer_ = false;
    asked_.clear();
    Click("btnExitGame");
    EXPECT_EQ(asked_.value(0), "Exit this Game?");
    EXPECT_TRUE(systems->isVisible()) << "the player stayed";
    answer_ = true;
    savePath_.clear();
    Click("btnExitGame");
    EXPECT_FALSE(host_->Clock().Active());
    EXPECT_FALSE(systems->isVisible());
    EXPECT_FALSE(ships->isVisible());
    EXPECT_EQ(Current(), "pnlTitle");
}

TEST_F(GameScreenTest, TheBrainsAndBuildNumbersChosenInGameAreKeptInTheSettings) {
    host_->Brains().SetName(2, "Warden");
    host_->BuildDefaults().SetEngines(TShipType::Tug, 12);
    host_->BuildDefaults().SetWeapons(TShipType::WarShip, 7);
    ASSERT_TRUE(window_->SaveSettings());
    TRegistryManager reg(config_.SettingsFile());
    EXPECT_EQ(reg.ReadString("Brain2"), "Warden");
    EXPECT_EQ(reg.ReadString("Brain0"), "Defender");
    EXPECT_EQ(reg.ReadString(QString("%1Engine").arg(static_cast<int>(TShipType::Tug))), "12");
    EXPECT_EQ(reg.ReadString("0Value"), "7");

    // The next run's game starts from them.
    TfrmMain next(test::BuildData(), config_.SettingsFile(), std::make_unique<test::TRecordingAudio>());
    next.SetTipsAtStart(false);
    next.show();
    QApplication::processEvents();
    EXPECT_EQ(next.GameHost().Brains().Name(2), "Warden");
    EXPECT_EQ(next.GameHost().BuildDefaults().Engines(TShipType::Tug), 12);
    EXPECT_EQ(next.GameHost().BuildDefaults().Weapons(TShipType::WarShip), 7);
}

TEST_F(GameScreenTest, WithoutTheGalaxysPicturesNoGameStartsAndTheReasonIsShown) {
    QTemporaryDir empty;
    test::TRecordingAudio audio;
    TGameHost host(empty.path(), audio, nullptr);
    EXPECT_FALSE(host.ArtLoaded());
    EXPECT_FALSE(host.ArtError().isEmpty());
    TGameSettingsScreen setup(host);
    QStringList shown;
    setup.Message = [&](const QString& text) { shown << text; };
    setup.OpenScenario(QDir(test::BuildData()).filePath("scenarios/Duel.qxscen"));
    EXPECT_FALSE(setup.Proceed());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.front().startsWith("The galaxy cannot be shown: ")) << shown.front().toStdString();
    EXPECT_FALSE(host.Clock().Active());
}

} // namespace
} // namespace qx
