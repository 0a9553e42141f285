#include <gtest/gtest.h>

#include <stdexcept>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define QX_LEAKS_NOT_COUNTED __lsan::ScopedDisabler leaksNotCounted
#else
#define QX_LEAKS_NOT_COUNTED
#endif

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>

#include "app/GameAudio.h"
#include "app/GameDialogs.h"
#include "app/MainForm.h"
#include "app/Messages.h"
#include "app/Screens.h"
#include "controls/ColorButton.h"
#include "controls/StarShipListBox.h"
#include "tests/app/AppFixture.h"

namespace qx {
namespace {

// The application exists before the fixture's watcher starts its timer.
struct WithGameApp {
    WithGameApp() { test::GameApp(); }
};

class MainFormTest : public WithGameApp, public ::testing::Test {
protected:

    // A main window on the build's data with this test's settings, shown.
    std::unique_ptr<TfrmMain> Open(bool tips = false, const QString& data = test::BuildData()) {
        auto window = std::make_unique<TfrmMain>(data, config.SettingsFile(), std::make_unique<TSilentAudio>());
        window->SetTipsAtStart(tips);
        window->show();
        QApplication::processEvents();
        return window;
    }
    static void Click(TfrmMain& window, const char* button) {
        auto* found = window.findChild<TColorButton*>(button);
        ASSERT_NE(found, nullptr) << button;
        ASSERT_TRUE(found->isVisibleTo(&window) || true);
        QTest::mouseClick(found, Qt::LeftButton, {}, QPoint(5, 5));
    }
    static QString Current(const TfrmMain& window) { return window.CurrentScreen()->objectName(); }
    // Selects exactly these types in the selection list.
    static void Choose(TfrmMain& window, std::initializer_list<TShipType> types) {
        TStarShipListBox* list = window.ShipSelection()->List();
        list->clearSelection();
        for (TShipType type : types) list->SelectType(type);
    }
    QString Stored(const QString& name) {
        TRegistryManager reg(config.SettingsFile());
        return reg.ReadString(name);
    }

    test::TConfigFolder config;
    test::TModalWatcher watcher;
};

TEST_F(MainFormTest, OpensOnTheTitleScreenWithItsEightButtons) {
    auto window = Open();
    EXPECT_EQ(window->windowTitle(), "Quorvex 4.0");
    EXPECT_EQ(Current(*window), "pnlTitle");
    EXPECT_TRUE(window->TitlePalette());
    EXPECT_GE(window->width(), 640);
    EXPECT_GE(window->height(), 480);
    window->resize(320, 200);
    EXPECT_GE(window->width(), 640) << "never smaller than 640 x 480";
    EXPECT_GE(window->height(), 480);
    QStringList screens;
    for (QWidget* screen : window->AllScreens()) screens << screen->objectName();
    EXPECT_EQ(screens, (QStringList{"pnlTitle", "pnlHistory", "pnlGameSettings", "pnlSelectStarShips", "pnlEditors",
                                    "pnlLobby", "pnlMain"}));
    const QStringList captions{"Begin New Game", "Open Saved Game", "Select StarShips", "KyrelServer Login",
                               "Game Editors", "Help", "About", "Exit"};
    QStringList found;
    for (auto* button : window->Screen("pnlTitle")->findChildren<TColorButton*>())
        if (!button->Caption().isEmpty()) found << button->Caption();
    EXPECT_EQ(found, captions);
    EXPECT_TRUE(window->TargetCursorLoaded());
    EXPECT_EQ(window->TargetCursor().hotSpot(), QPoint(15, 15));
    EXPECT_TRUE(watcher.Messages.isEmpty()) << watcher.Messages.join("|").toStdString();
}

TEST_F(MainFormTest, FirstStartDefaults) {
    auto window = Open();
    EXPECT_TRUE(window->Audio().SoundOn());
    EXPECT_TRUE(window->Audio().MusicOn());
    EXPECT_TRUE(window->SoundItem()->isChecked());
    EXPECT_TRUE(window->MusicItem()->isChecked());
    for (const TBuildDefault& build : window->BuildDefaults()) {
        EXPECT_EQ(build.Engines, 8);
        EXPECT_EQ(build.Value, 3);
    }
    EXPECT_EQ(window->SelectedShipTypes(), TShipTypeSet{}) << "no ship types selected at first";
    for (const QString& brain : window->BrainNames()) EXPECT_EQ(brain, "Defender");

    // So "Begin New Game" asks for ship types first.
    Click(*window, "btnBeginNewGame");
    EXPECT_EQ(watcher.Messages, QStringList{"You must First Select 6 StarShip Types."});
    EXPECT_EQ(Current(*window), "pnlSelectStarShips");
}

TEST_F(MainFormTest, ExactlySixTypesMustBeSelected) {
    auto window = Open();
    Click(*window, "btnSelectStarShips");
    ASSERT_EQ(Current(*window), "pnlSelectStarShips");
    Choose(*window, {TShipType::WarShip, TShipType::ScanShip, TShipType::Drone, TShipType::EMine, TShipType::Tug});
    Click(*window, "btnProceedShips");
    Choose(*window, {TShipType::WarShip, TShipType::ScanShip, TShipType::Drone, TShipType::EMine, TShipType::Tug,
                     TShipType::SpyShip, TShipType::TechShip});
    Click(*window, "btnProceedShips");
    EXPECT_EQ(watcher.Messages, (QStringList{"Please select exactly 6 StarShip types.",
                                             "Please select exactly 6 StarShip types."}));
    EXPECT_EQ(Current(*window), "pnlSelectStarShips");
    EXPECT_EQ(Stored("StarShipType1"), "");

    Choose(*window, {TShipType::BattleStation, TShipType::Tug, TShipType::WarShip, TShipType::SpyShip,
                     TShipType::Freighter, TShipType::ScanShip});
    Click(*window, "btnProceedShips");
    EXPECT_EQ(watcher.Messages.size(), 2);
    EXPECT_EQ(Current(*window), "pnlTitle");
    EXPECT_TRUE(window->TitlePalette());
    QStringList stored;
    for (int i = 1; i <= 6; ++i) stored << Stored(QString("StarShipType%1").arg(i));
    EXPECT_EQ(stored, (QStringList{"0", "1", "4", "5", "8", "21"})) << "ascending type numbers";
    const TShipTypeSet chosen{TShipType::BattleStation, TShipType::Tug, TShipType::WarShip, TShipType::SpyShip,
                              TShipType::Freighter, TShipType::ScanShip};
    EXPECT_EQ(window->SelectedShipTypes(), chosen);

    // Cancel throws away changes and goes back to the stored choice.
    Click(*window, "btnSelectStarShips");
    Choose(*window, {TShipType::Drone});
    Click(*window, "btnCancelShips");
    EXPECT_EQ(Current(*window), "pnlTitle");
    EXPECT_EQ(window->ShipSelection()->List()->SelectedTypes(), chosen);

    // With six chosen, "Begin New Game" leads to the setup.
    Click(*window, "btnBeginNewGame");
    EXPECT_EQ(Current(*window), "pnlGameSettings");
    EXPECT_FALSE(window->TitlePalette());
    Click(*window, "btnSetupCancel");
    EXPECT_EQ(Current(*window), "pnlTitle");
    EXPECT_TRUE(window->TitlePalette());
}

TEST_F(MainFormTest, SelectionSurvivesARestart) {
    {
        auto window = Open();
        Click(*window, "btnSelectStarShips");
        Choose(*window, {TShipType::Drone, TShipType::EMine, TShipType::CloakDetector, TShipType::RepairShip,
                         TShipType::GravShip, TShipType::JumpGateShip});
        Click(*window, "btnProceedShips");
        window->close();
    }
    auto window = Open();
    const TShipTypeSet expected{TShipType::Drone, TShipType::EMine, TShipType::CloakDetector, TShipType::RepairShip,
                                TShipType::GravShip, TShipType::JumpGateShip};
    EXPECT_EQ(window->SelectedShipTypes(), expected);
    EXPECT_EQ(window->ShipSelection()->List()->SelectedTypes(), expected);
    // The last type read is the current item and its description shows.
    EXPECT_EQ(window->ShipSelection()->ShownType(), TShipType::JumpGateShip);
    auto* name = window->ShipSelection()->findChild<QLabel*>("lblShipName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "JumpGateShip");
    Click(*window, "btnBeginNewGame");
    EXPECT_EQ(Current(*window), "pnlGameSettings");
}

TEST_F(MainFormTest, ClickingATypeShowsItsNameAndDescription) {
    auto window = Open();
    Click(*window, "btnSelectStarShips");
    TStarShipListBox* list = window->ShipSelection()->List();
    const QRect row = list->visualItemRect(list->item(static_cast<int>(TShipType::Tug)));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(window->ShipSelection()->ShownType(), TShipType::Tug);
    EXPECT_TRUE(list->item(static_cast<int>(TShipType::Tug))->isSelected());
    auto* description = window->ShipSelection()->findChild<QLabel*>("lblShipDesc");
    EXPECT_TRUE(description->text().contains("tow")) << description->text().toStdString();
    auto* picture = window->ShipSelection()->findChild<QLabel*>("imgShip");
    EXPECT_FALSE(picture->pixmap().isNull());
}

TEST_F(MainFormTest, ScreenMoves) {
    auto window = Open();
    Click(*window, "btnGameEditors");
    EXPECT_EQ(Current(*window), "pnlEditors");
    Click(*window, "btnEditorClose");
    EXPECT_EQ(Current(*window), "pnlTitle");

    // The login window; cancelled, the title stays (the lobby's own tests log in).
    watcher.OnDialog = [](QDialog& dialog) { dialog.reject(); };
    Click(*window, "btnLogin");
    EXPECT_EQ(watcher.Dialogs, QStringList{"frmLogin"});
    EXPECT_EQ(Current(*window), "pnlTitle");
    watcher.Dialogs.clear();
    Click(*window, "btnSelectStarShips");
    Click(*window, "btnCancelShips");
    EXPECT_EQ(Current(*window), "pnlTitle") << "not logged in: back to the title";

    window->ShowScreen(window->Screen("pnlMain"));
    Click(*window, "btnExitGame");
    EXPECT_EQ(Current(*window), "pnlTitle") << "no game runs: nothing to ask";

    // A cancelled open dialog says nothing and stays.
    Click(*window, "btnOpenSavedGame");
    EXPECT_EQ(watcher.Messages.size(), 0);
    EXPECT_EQ(Current(*window), "pnlTitle");

    Click(*window, "btnAbout");
    EXPECT_EQ(watcher.Dialogs, (QStringList{"dlgOpenGame", "dlgAbout"}));

    Click(*window, "btnHelp");
    ASSERT_NE(window->HelpWindow(), nullptr);
    EXPECT_TRUE(window->HelpWindow()->isVisible());
    EXPECT_TRUE(window->HelpWindow()->Loaded());
    EXPECT_TRUE(window->HelpWindow()->Browser()->toPlainText().contains("Introduction"));

    // The title screen's lit letters press its buttons.
    window->HelpWindow()->close();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_S);
    EXPECT_EQ(Current(*window), "pnlSelectStarShips");
    QTest::keyClick(window.get(), Qt::Key_G);
    EXPECT_EQ(Current(*window), "pnlSelectStarShips") << "only on the title screen";

    window->ShowScreen(window->Screen("pnlTitle"));
    Click(*window, "btnExit");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainFormTest, SettingsAreWrittenAtExitAndReadAtFirstShow) {
    {
        TRegistryManager reg(config.SettingsFile());
        reg.WriteString("2Engine", "12");
        reg.WriteString("2Value", "5");
        reg.WriteString("4Engine", "55");  // out of range
        reg.WriteString("Music", "1");
        reg.WriteString("Brain3", "Pathfinder.qxbrain");
        reg.WriteString("Brain4", "my.own.brain.qxbrain");
        reg.WriteString("ShowTip", "1");
        ASSERT_TRUE(reg.Flush().isEmpty());
    }
    {
        auto window = Open();
        EXPECT_EQ(window->BuildDefaults()[2].Engines, 12);
        EXPECT_EQ(window->BuildDefaults()[2].Value, 5);
        EXPECT_EQ(window->BuildDefaults()[4].Engines, 8);
        EXPECT_TRUE(window->Audio().SoundOn());
        EXPECT_FALSE(window->Audio().MusicOn());
        EXPECT_FALSE(window->MusicItem()->isChecked());
        EXPECT_EQ(window->BrainNames()[3], "Pathfinder");
        EXPECT_EQ(window->BrainNames()[4], "my.own.brain");
        EXPECT_EQ(window->BrainNames()[5], "Defender");
        window->SoundItem()->trigger();
        EXPECT_FALSE(window->Audio().SoundOn());
        window->MusicItem()->trigger();
        EXPECT_TRUE(window->Audio().MusicOn());
        window->move(120, 90);
        window->close();
    }
    EXPECT_EQ(Stored("Sound"), "1");
    EXPECT_EQ(Stored("Music"), "0");
    EXPECT_EQ(Stored("2Engine"), "12");
    EXPECT_EQ(Stored("4Engine"), "8");
    EXPECT_EQ(Stored("4Value"), "3");
    EXPECT_EQ(Stored("Brain4"), "my.own.brain");
    EXPECT_EQ(Stored("MainWidth"), "640");
    EXPECT_FALSE(Stored("MainLeft").isEmpty());
    EXPECT_TRUE(watcher.Dialogs.isEmpty()) << "ShowTip 1: no tips";
}

TEST_F(MainFormTest, TipsAtStartHonourShowTipAndTipNum) {
    {
        TRegistryManager reg(config.SettingsFile());
        reg.WriteString("TipNum", "49");
        ASSERT_TRUE(reg.Flush().isEmpty());
    }
    int shown = -1;
    watcher.OnDialog = [&](QDialog& dialog) {
        auto& tips = static_cast<TTipsDialog&>(dialog);
        shown = tips.Current();
        tips.findChild<QCheckBox*>("cbShowTips")->setChecked(false);
        tips.accept();
    };
    {
        auto window = Open(true);
        QTest::qWait(100);
        ASSERT_EQ(watcher.Dialogs, QStringList{"dlgTips"});
        const int count = static_cast<int>(window->Tips().size());
        ASSERT_GE(count, 20);
        EXPECT_EQ(shown, 49 % count) << "TipNum is taken modulo the tips";
        EXPECT_EQ(Stored("ShowTip"), "1");
        EXPECT_EQ(Stored("TipNum"), QString::number((49 + 1) % count));
        window->close();
    }
    auto again = Open(true);
    QTest::qWait(50);
    EXPECT_EQ(watcher.Dialogs.size(), 1) << "unticked: no tips at the next start";
    // The tips picture opens them regardless.
    Click(*again, "imTips");
    EXPECT_EQ(watcher.Dialogs.size(), 2);
}

TEST_F(MainFormTest, MissingSyllablesAndTitlePictureAreReportedAndTheGameGoesOn) {
    QTemporaryDir empty;
    const int errors = TErrorHandler::Reported();
    auto window = Open(false, empty.path());
    ASSERT_GE(watcher.Messages.size(), 2);
    const QString syllables = QDir(empty.path()).filePath("syllable.txt");
    EXPECT_EQ(watcher.Messages[0],
              "Could not locate StarSystem names file, \"" + syllables + "\".  Using default names.");
    EXPECT_TRUE(watcher.Messages[1].startsWith("An internal error occured: ")) << watcher.Messages[1].toStdString();
    EXPECT_TRUE(watcher.Messages[1].contains("TitleScreen.bmp"));
    EXPECT_EQ(TErrorHandler::Reported(), errors + 1);
    EXPECT_EQ(window->Names().Syllables(), TNameGenerator::StarSystemSyllables()) << "the configured syllables stay";
    EXPECT_FALSE(window->TargetCursorLoaded()) << "a missing cursor is the ordinary one";
    Click(*window, "btnSelectStarShips");
    EXPECT_EQ(Current(*window), "pnlSelectStarShips");
}

TEST_F(MainFormTest, SyllablesComeFromTheDataFolder) {
    QTemporaryDir data;
    QFile file(QDir(data.path()).filePath("syllable.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# ours\n\nZor-anth\r\nMel-ivar\n");
    file.close();
    auto window = Open(false, data.path());
    EXPECT_EQ(window->Names().Syllables(), (std::vector<std::string>{"Zor-anth", "Mel-ivar"}));
}

TEST_F(MainFormTest, UnwritableSettingsAreReportedAtExit) {
    auto window = Open();
    QFile::remove(config.SettingsFile());
    QDir(config.Path() + "/quorvex").removeRecursively();
    QFile blocker(config.Path() + "/quorvex");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    window->close();
    ASSERT_EQ(watcher.Messages.size(), 1);
    EXPECT_TRUE(watcher.Messages[0].contains(config.Path() + "/quorvex")) << watcher.Messages[0].toStdString();
}

// A widget whose mouse handler fails, as a bug in an event handler would.
class TFailingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("the board lost a sprite"); }
};

TEST_F(MainFormTest, ErrorsThatEscapeAreShownAndTheProgramGoesOn) {
    auto window = Open();
    // From a slot.
    auto* about = window->findChild<TColorButton*>("btnAbout");
    int calls = 0;
    QObject::connect(about, &TColorButton::clicked, window.get(), GuardedSlot([&] {
                         ++calls;
                         throw std::runtime_error("boom");
                     }));
    Click(*window, "btnAbout");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(watcher.Messages, QStringList{"An internal error occured: boom"});
    // From an event handler, through the application object.
    {
        // Qt's event delivery is not exception safe: what it holds for the
        // event an exception leaves through is never freed, down to the
        // widget's guard made when it was shown. The program shows the error
        // and goes on; that small loss is Qt's, not ours.
        QX_LEAKS_NOT_COUNTED;
        TFailingWidget failing;
        failing.resize(20, 20);
        failing.show();
        QTest::mouseClick(&failing, Qt::LeftButton, {}, QPoint(3, 3));
    }
    ASSERT_EQ(watcher.Messages.size(), 2);
    EXPECT_EQ(watcher.Messages[1], "An internal error occured: the board lost a sprite");
    // And the program goes on.
    Click(*window, "btnSelectStarShips");
    EXPECT_EQ(Current(*window), "pnlSelectStarShips");
}

} // namespace
} // namespace qx
