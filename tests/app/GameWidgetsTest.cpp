#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QWheelEvent>

#include "app/BoardWidget.h"
#include "app/GameFileDialogs.h"
#include "app/GameHost.h"
#include "app/GameScreen.h"
#include "app/GameSettingsScreen.h"
#include "app/GameSoundOutput.h"
#include "app/GameWidgets.h"
#include "app/QtMainThreadExecutor.h"
#include "app/Screenshots.h"
#include "app/SelectBrainsForm.h"
#include "app/StrategicMapWidget.h"
#include "controls/ColorButton.h"
#include "controls/GraphicPanel.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSession.h"
#include "net/RealTimeEngine.h"
#include "render/AnimateThread.h"
#include "render/BoardArt.h"
#include "render/GameBoard.h"
#include "tests/app/GameFixture.h"

namespace qx {
namespace {

struct WithGameApp {
    WithGameApp() { test::GameApp(); }
};

// ---- Handing work to the main thread ----

TEST(QtMainThreadExecutor, AWorkersTaskRunsOnTheMainThreadWhileTheWorkerWaits) {
    test::GameApp();
    TQtMainThreadExecutor executor;
    std::atomic<bool> returned{false};
    std::thread::id ranOn;
    bool result = false;
    std::thread worker([&] {
        std::stop_source stop;
        result = executor.RunOnMainThread([&] { ranOn = std::this_thread::get_id(); }, stop.get_token());
        returned = true;
    });
    QThread::msleep(30);
    EXPECT_FALSE(returned) << "the worker waits for the main thread";
    ASSERT_TRUE(test::WaitFor([&] { return returned.load(); }, 5000));
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(QtMainThreadExecutor, AStopBeforeTheTaskStartedDropsItAndReleasesTheWorker) {
    test::GameApp();
    TQtMainThreadExecutor executor;
    std::stop_source stop;
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    std::thread worker([&] { result = executor.RunOnMainThread([&] { ran = true; }, stop.get_token()) ? 1 : 0; });
    QThread::msleep(30);
    // The main thread stops the worker and joins it without serving it: a
    // plain blocking queued call would wait here for ever.
    stop.request_stop();
    worker.join();
    EXPECT_EQ(result, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran) << "a dropped task never runs later";
}

TEST(QtMainThreadExecutor, TheBoardsFrameThreadStopsFromTheMainThreadAtAnyTime) {
    test::GameApp();
    auto executor = std::make_shared<TQtMainThreadExecutor>();
    std::atomic<int> frames{0};
    TAnimateThread thread(executor, [&] {
        ++frames;
        return 1;
    });
    for (int round = 0; round < 5; ++round) {
        thread.Resume();
        const int before = frames;
        ASSERT_TRUE(test::WaitFor([&] { return frames > before + 2; }, 5000));
        // The worker is waiting for its next frame to be served right now.
        QThread::msleep(5);
        thread.Suspend();
        EXPECT_FALSE(thread.Running());
    }
}

TEST(QtMainThreadExecutor, ATaskWhoseContextIsGoneIsDroppedNotWaitedFor) {
    test::GameApp();
    auto* context = new QObject;
    TQtMainThreadExecutor executor(context);
    std::atomic<int> result{-1};
    std::atomic<bool> ran{false};
    std::thread worker([&] {
        std::stop_source stop;
        result = executor.RunOnMainThread([&] { ran = true; }, stop.get_token()) ? 1 : 0;
    });
    QThread::msleep(30);
    delete context;
    worker.join();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ran);
}

// ---- Sounds and music ----

TEST(GameSoundOutput, SoundsGoByTheirBufferNamesAndMusicMovesOnWithItsTimer) {
    test::GameApp();
    test::TRecordingAudio audio;
    TGameSoundOutput output(audio);
    output.Play(TGameSound::Blast1, -120, 91);
    output.Play(TGameSound::Capital);
    output.StartLoop(TGameSound::Dragging);
    output.StopLoop(TGameSound::Dragging);
    ASSERT_EQ(audio.Played.size(), 2u);
    EXPECT_EQ(audio.Played[0].Name, "sndBlast1");
    EXPECT_EQ(audio.Played[0].Pan, -120);
    EXPECT_EQ(audio.Played[0].Pct, 91);
    EXPECT_EQ(audio.Played[1].Name, "sndCapital");
    audio.SetSoundOn(false);
    output.Play(TGameSound::Confirmed);
    EXPECT_EQ(audio.Played.size(), 2u) << "the Sound switch silences the game";

    EXPECT_FALSE(output.MusicTimer().isActive());
    output.Start();
    EXPECT_TRUE(output.MusicTimer().isActive());
    EXPECT_EQ(output.MusicTimer().interval(), 10000);
    output.Stop();
    EXPECT_FALSE(output.MusicTimer().isActive());
    EXPECT_EQ(audio.Calls, (std::vector<std::string>{"loop sndDragging", "stop sndDragging", "music start",
                                                     "music stop"}));
}

// ---- The board widget ----

class BoardWidgetTest : public WithGameApp, public ::testing::Test {
protected:
    void SetUp() override {
        host_ = std::make_unique<TGameHost>(test::BuildData(), audio_, nullptr);
        ASSERT_TRUE(host_->ArtLoaded()) << host_->ArtError().toStdString();
        TGameSession& session = host_->Session();
        session.AnimateBoard = false;
        session.AskEmpireName = [] { return std::optional<std::string>("Tester"); };
        session.SelectedShipTypes = {TShipType::WarShip, TShipType::ScanShip, TShipType::Drone, TShipType::Tug,
                                     TShipType::Freighter, TShipType::SpyShip};
        session.Setup().Enter(false);
        session.Setup().ScenarioFile = QDir(test::BuildData()).filePath("scenarios/Duel.qxscen").toStdString();
        host_->Engine().RulesRandom.Seed(11);
        ASSERT_TRUE(session.Proceed().Ok);
        session.StopGame();
        widget_ = std::make_unique<TBoardWidget>(host_->Board());
        widget_->resize(301, 203);
        widget_->show();
        host_->Board().RenderFrames(2);
    }
    TSquareGridSpriteSurface& Surface() { return host_->Board().Surface(); }

    test::TRecordingAudio audio_;
    std::unique_ptr<TGameHost> host_;
    std::unique_ptr<TBoardWidget> widget_;
};

TEST_F(BoardWidgetTest, ShowsTheFrameThroughThePaletteScaledByWholeNumbers) {
    EXPECT_EQ(host_->Board().ViewWidth(), 301) << "the view is the widget's size";
    EXPECT_EQ(Surface().Width(), 304) << "the frame's rows are rounded up to four bytes";
    const QImage frame = widget_->Frame();
    ASSERT_EQ(frame.format(), QImage::Format_Indexed8);
    ASSERT_EQ(frame.size(), QSize(301, 203));
    const TColorPalette& palette = host_->Art().Palette;
    const QImage one = TScreenshots::Grab(*widget_, 1);
    const QImage two = TScreenshots::Grab(*widget_, 2);
    ASSERT_EQ(two.size(), QSize(602, 406));
    int distinct = 0;
    QRgb last = 0;
    for (int y = 0; y < 203; y += 7)
        for (int x = 0; x < 301; x += 5) {
            const QRgb expected = palette.ArgbTable()[static_cast<size_t>(frame.pixelIndex(x, y))] | 0xFF000000u;
            ASSERT_EQ(one.pixel(x, y), expected) << x << "," << y;
            // Every frame pixel is a 2 x 2 block of the same colour.
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) ASSERT_EQ(two.pixel(2 * x + dx, 2 * y + dy), expected) << x << "," << y;
            distinct += expected != last;
            last = expected;
        }
    EXPECT_GT(distinct, 10) << "the board is not one colour";
    // The frame is the board's own pixels: a new frame shows without copying.
    widget_->ScrollBy(90, 0);
    widget_->repaint();
    EXPECT_NE(TScreenshots::Grab(*widget_, 1), one);
}

TEST_F(BoardWidgetTest, MouseAndWheelReachTheBoardInItsPixels) {
    Surface().SetOffsetX(60);
    Surface().SetOffsetY(30);
    // Cell (4, 3) lies at pixel (135, 105) of the plane, (75, 75) in the widget.
    QTest::mouseClick(widget_.get(), Qt::LeftButton, {}, QPoint(75, 75));
    EXPECT_EQ(Surface().CursorCell(), (TPoint{4, 3}));

    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget_.get(), &down);
    EXPECT_EQ(Surface().OffsetY(), 30 + 3 * TGameBoard::CellSize);
    for (int i = 0; i < 40; ++i) QCoreApplication::sendEvent(widget_.get(), &down);
    EXPECT_EQ(Surface().OffsetY(), Surface().VirtualHeight() - 203) << "never beyond the map";
    QWheelEvent sideways(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                         Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget_.get(), &sideways);
    EXPECT_EQ(Surface().OffsetX(), 0) << "Shift turns the wheel sideways";
}

TEST_F(BoardWidgetTest, APaintBeforeTheFrameFollowsANewSizeShowsOnlyTheOldFrame) {
    // While the frame thread runs, a resize waits for the next frame: the
    // paint in between must read only the pixels the old frame has.
    Surface().SetActive(true);
    widget_->resize(700, 500);
    EXPECT_EQ(Surface().FrameCanvas().Width(), 304) << "no new frame yet";
    const QImage shown = TScreenshots::Grab(*widget_, 1);
    Surface().SetActive(false);
    EXPECT_EQ(shown.pixel(650, 450), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(320, 100), qRgb(0, 0, 0)) << "right of the old frame";
    EXPECT_EQ(shown.pixel(100, 300), qRgb(0, 0, 0)) << "below the old frame";
}

TEST_F(BoardWidgetTest, AResizedViewKeepsItsMiddle) {
    Surface().SetOffsetX(150);
    Surface().SetOffsetY(300);
    const int centreX = 150 + 301 / 2, centreY = 300 + 203 / 2;
    widget_->resize(201, 143);
    EXPECT_EQ(Surface().OffsetX() + 201 / 2, centreX);
    EXPECT_EQ(Surface().OffsetY() + 143 / 2, centreY);
    widget_->resize(2000, 2000);
    EXPECT_EQ(Surface().OffsetX(), 0) << "a view wider than the map starts at its edge";
    EXPECT_EQ(Surface().OffsetY(), 0);
}

TEST_F(BoardWidgetTest, TheStrategicMapCentresTheBoardWhileDragged) {
    TStrategicMapWidget map;
    map.resize(177, 145);
    map.Map().QuorvexEngine = &host_->Engine();
    map.Map().SetSquareGridSpriteSurface(&Surface());
    map.Map().OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int32_t x, int32_t y) {
        host_->Session().MapPress(x, y);
    };
    map.Map().OnMouseMove = [&](TObject*, TShiftState, int32_t x, int32_t y) { host_->Session().MapMove(x, y); };
    map.Map().OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int32_t, int32_t) {
        host_->Session().MapRelease();
    };
    map.show();
    audio_.Calls.clear();
    const TPoint cell = map.Map().ControlToCell(88, 100);
    QTest::mousePress(&map, Qt::LeftButton, {}, QPoint(88, 100));
    const TPoint centre = TGameBoard::PixelPosition(cell.X, cell.Y);
    EXPECT_EQ(Surface().OffsetX() + Surface().Width() / 2, centre.X);
    QTest::mouseMove(&map, QPoint(20, 30));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 30), QPointF(20, 30), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&map, &move);
    const TPoint moved = map.Map().ControlToCell(20, 30);
    EXPECT_EQ(Surface().OffsetY() + Surface().Height() / 2,
              std::max(TGameBoard::PixelPosition(moved.X, moved.Y).Y, Surface().Height() / 2));
    QTest::mouseRelease(&map, Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_EQ(audio_.Calls, (std::vector<std::string>{"loop sndDragging", "stop sndDragging"}));
}

// ---- The setup screen, the brain window and the dialogs ----

class SetupScreenTest : public WithGameApp, public ::testing::Test {
protected:
    void SetUp() override {
        host_ = std::make_unique<TGameHost>(test::BuildData(), audio_, nullptr);
        screen_ = std::make_unique<TGameSettingsScreen>(*host_);
        screen_->ChooseScenario = [this] { return scenario_; };
        screen_->Message = [this](const QString& text) { messages_ << text; };
        screen_->show();
    }
    test::TDataHome data_;
    test::TRecordingAudio audio_;
    std::unique_ptr<TGameHost> host_;
    std::unique_ptr<TGameSettingsScreen> screen_;
    QString scenario_;
    QStringList messages_;
};

TEST_F(SetupScreenTest, RangesFollowThePlayersAndProceedWantsAScenario) {
    screen_->Enter(false);
    EXPECT_EQ(screen_->HumanPlayers()->minimum(), 0);
    EXPECT_EQ(screen_->HumanPlayers()->maximum(), 1);
    EXPECT_EQ(screen_->ComputerPlayers()->maximum(), 9);
    EXPECT_EQ(screen_->CapitalValue()->value(), 18);
    EXPECT_EQ(screen_->CapitalValue()->maximum(), 20);
    EXPECT_EQ(screen_->StartingResources()->value(), 100);
    EXPECT_EQ(screen_->StartingResources()->maximum(), 1000);
    EXPECT_FALSE(screen_->RegenerateButton()->isVisible()) << "nothing to regenerate yet";
    EXPECT_FALSE(screen_->BrainDuelLabel()->isVisible());

    screen_->HumanPlayers()->setValue(0);
    EXPECT_TRUE(screen_->BrainDuelLabel()->isVisible());
    EXPECT_EQ(screen_->ComputerPlayers()->value(), 2);
    screen_->HumanPlayers()->setValue(1);
    screen_->ComputerPlayers()->setValue(9);
    EXPECT_EQ(host_->Session().Setup().TotalPlayers(), 10);
    screen_->CapitalValue()->setValue(25);
    EXPECT_EQ(host_->Session().Setup().CapitalValue(), 20);

    EXPECT_FALSE(screen_->Proceed());
    EXPECT_EQ(messages_, QStringList{"You must first Open a Scenario File"});
    EXPECT_FALSE(host_->Clock().Active());

    // Logged in: the network's ranges, and no brains without computers.
    screen_->Enter(true);
    EXPECT_EQ(screen_->HumanPlayers()->minimum(), 2);
    EXPECT_EQ(screen_->ComputerPlayers()->value(), 0);
    EXPECT_FALSE(screen_->BrainsButton()->isVisible());
}

TEST_F(SetupScreenTest, ABrokenScenarioSaysWhyAndRegenerateMakesAnotherGalaxy) {
    QTemporaryDir folder;
    scenario_ = QDir(folder.path()).filePath("Broken.qxscen");
    QFile broken(scenario_);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("SetMapSize( 20, 10 ;\n");
    broken.close();
    screen_->btnOpenScenarioClick();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_FALSE(messages_.front().isEmpty());
    EXPECT_EQ(screen_->ScenarioName()->Caption(), "Broken.qxscen");

    scenario_ = QDir(test::BuildData()).filePath("scenarios/Galaxy.qxscen");
    screen_->btnOpenScenarioClick();
    EXPECT_EQ(messages_.size(), 1);
    const std::string first = host_->Engine().SaveToText();
    screen_->btnRegenerateClick();
    EXPECT_NE(host_->Engine().SaveToText(), first) << "each build differs";
    EXPECT_FALSE(host_->Clock().Active()) << "a preview is not a game";
}

TEST_F(SetupScreenTest, TheBrainWindowOffersTheBrainsOfBothFoldersForTheComputerRows) {
    QDir().mkpath(data_.Path() + "/quorvex/brains");
    QFile mine(data_.Path() + "/quorvex/brains/Mine.qxbrain");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("x");
    mine.close();
    TGameHost host(test::BuildData(), audio_, nullptr);
    TBrainSelection& brains = host.Brains();
    TfrmSelectBrains window(brains, host.Engine());
    EXPECT_EQ(window.windowTitle(), "Select Brains for Computer Players");
    window.Prepare(1, 3);
    QStringList offered;
    for (int i = 0; i < window.List()->count(); ++i) offered << window.List()->item(i)->text();
    EXPECT_EQ(offered, (QStringList{"Defender", "Mine", "Pathfinder", "Warden"}));
    EXPECT_EQ(window.List()->currentRow(), 0);
    for (int row = 0; row < TfrmSelectBrains::Rows; ++row)
        EXPECT_EQ(window.NameField(row)->isVisibleTo(&window), row == 1 || row == 2) << row;
    TPlayer second(&host.Engine());
    second.Index = 2;
    EXPECT_EQ(window.RowLabel(2)->palette().color(QPalette::WindowText), widgets::ToQColor(second.Color()));

    window.List()->setCurrentRow(1);
    QTest::mouseClick(window.RowButton(2), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(window.NameField(2)->text(), "Mine");
    window.NameField(1)->setText("  ");
    window.Proceed();
    EXPECT_EQ(brains.Name(2), "Mine");
    EXPECT_EQ(brains.Name(1), "Defender") << "an empty row takes the built-in brain";
}

TEST(GameFileDialogs, TitlesFiltersAndTheSaveFolder) {
    test::GameApp();
    test::TDataHome data;
    const QString saves = TGameHost::SaveFolder();
    EXPECT_TRUE(saves.startsWith(data.Path())) << "saved games live in the player's data folder";
    EXPECT_FALSE(QDir(saves).exists());
    const auto save = dialogs::MakeFileDialog(nullptr, dialogs::TFileKind::SaveGame, saves);
    EXPECT_TRUE(QDir(saves).exists()) << "made for the first save";
    EXPECT_EQ(save->windowTitle(), "Select Save Game File");
    EXPECT_EQ(save->nameFilters(), QStringList{"Quorvex (*.qx)"});
    EXPECT_EQ(save->defaultSuffix(), "qx");
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(QDir(save->directory()).absolutePath(), QDir(saves).absolutePath());
    const auto open = dialogs::MakeFileDialog(nullptr, dialogs::TFileKind::OpenGame, saves);
    EXPECT_EQ(open->windowTitle(), "Select Save Game File");
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    const auto scenario = dialogs::MakeFileDialog(nullptr, dialogs::TFileKind::Scenario, test::BuildData());
    EXPECT_EQ(scenario->windowTitle(), "Open Scenario File");
    EXPECT_EQ(scenario->nameFilters(), QStringList{"Quorvex Scenario (*.qxscen)"});
    EXPECT_EQ(scenario->defaultSuffix(), "qxscen");
    const auto name = dialogs::MakeEmpireNameDialog(nullptr);
    EXPECT_EQ(name->windowTitle(), "Player Info");
    EXPECT_EQ(name->labelText(), "What is the name of your Empire?");
}

} // namespace
} // namespace qx
