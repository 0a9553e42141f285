#include <gtest/gtest.h>

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "app/AlliancesForm.h"
#include "app/CommunicateForm.h"
#include "app/GameAudio.h"
#include "app/GameListView.h"
#include "app/InGameHost.h"
#include "app/InGameWindows.h"
#include "app/MainForm.h"
#include "app/RegistryManager.h"
#include "app/StarShipForm.h"
#include "app/StarSystemForm.h"
#include "controls/ColorButton.h"
#include "controls/GraphicPanel.h"
#include "tests/app/AppFixture.h"
#include "tests/engine/TestGalaxy.h"

namespace qx {
namespace {

// The game screen as the windows see it: a hand-made galaxy and a record of
// everything the windows asked for.
class TFakeHost : public IInGameHost {
public:
    explicit TFakeHost(TQuorvexEngine& engine) : engine_(engine) {}
    const TQuorvexEngine* Engine() const override { return &engine_; }
    const TPlayer* LocalPlayer() const override { return engine_.CurrentPlayer; }
    void CenterOn(int x, int y) override { Centred.push_back({x, y}); }
    void AddOrder(const std::string& order) override { Orders.push_back(order); }
    void SendData(const std::string& text) override { Sent.push_back(text); }
    void PlaySound(TWindowSound sound) override { Sounds.push_back(sound); }
    void KeyPressed(QKeyEvent& event) override { Keys.push_back(event.key()); }

    std::vector<QPoint> Centred;
    std::vector<std::string> Orders;
    std::vector<std::string> Sent;
    std::vector<TWindowSound> Sounds;
    std::vector<int> Keys;

private:
    TQuorvexEngine& engine_;
};

// Ten clearly different colours, one per palette entry a player uses.
class TColorPaletteStub : public IColorPalette {
public:
    uint32_t GetColor(int index) const override {
        return static_cast<uint32_t>((index * 37) & 0xFF) | static_cast<uint32_t>((index * 91) & 0xFF) << 8 |
               static_cast<uint32_t>((255 - index) & 0xFF) << 16;
    }
};

// Four players ("Player 1" .. "Player 4"); this machine plays player 2.
struct WithGameApp {
    WithGameApp() { test::GameApp(); }
};

class InGameWindowsTest : public WithGameApp, public ::testing::Test {
protected:
    InGameWindowsTest() : galaxy(4), host(galaxy.engine), windows(&main, test::BuildData()) {
        galaxy.engine.SetCurrentPlayer(galaxy.P(1));
        windows.SetHost(&host);
    }
    TPlayer* Local() { return galaxy.P(1); }
    static QPoint RowCentre(QTreeWidget& list, int row) {
        return list.visualItemRect(list.topLevelItem(row)).center();
    }
    static void ClickHeader(QTreeWidget& list, int column) {
        QHeaderView* header = list.header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    static QStringList Codes(const TfrmStarShipList& list) {
        QStringList codes;
        for (const TShipRow& row : list.Rows()) codes << QString::fromStdString(row.Code);
        return codes;
    }

    test::TestGalaxy galaxy;
    TFakeHost host;
    QWidget main;
    TInGameWindows windows;
};

TEST_F(InGameWindowsTest, TheFourWindowsStartHiddenWithTheirCaptions) {
    QStringList captions;
    for (TInGameForm* form : windows.All()) {
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(form->isWindow()) << "floats beside the main window";
        captions << form->windowTitle();
    }
    EXPECT_EQ(captions, (QStringList{"Star Systems", "StarShips", "Communications", "Alliances"}));
    QStringList headings;
    for (QTreeWidget* list : {static_cast<QTreeWidget*>(windows.StarShips()->List()),
                              static_cast<QTreeWidget*>(windows.StarSystems()->List())})
        for (int c = 0; c < list->columnCount(); ++c) headings << list->headerItem()->text(c);
    EXPECT_EQ(headings, (QStringList{"Type", "Code", "Value", "Engines", "Name", "Value", "Resources", "Shields",
                                     "Scanners"}));
}

TEST_F(InGameWindowsTest, ShipListFollowsTheLocalPlayersShips) {
    TStarShip* war = galaxy.Ship(Local(), TShipType::WarShip, 3, 4, 8, 12);
    TStarShip* tug = galaxy.Ship(Local(), TShipType::Tug, 5, 5, 6);
    TStarShip* enemy = galaxy.Ship(galaxy.P(0), TShipType::ScanShip, 9, 9, 4, 3);
    windows.GameStarted();
    TfrmStarShipList& list = *windows.StarShips();
    ASSERT_EQ(list.RowCount(), 2);
    const QString letter(QChar(ShipTypeInfo(TShipType::WarShip).Letter));
    EXPECT_EQ(list.RowTexts(0), (QStringList{"WarShip", QString::fromStdString(war->Code), letter + "12", "8"}));
    EXPECT_EQ(list.RowTexts(1), (QStringList{"Tug", QString::fromStdString(tug->Code), "", "6"}));
    EXPECT_FALSE(list.TypeIcon(TShipType::Tug).isNull()) << "pictures from the ship sheet";
    EXPECT_FALSE(list.List()->topLevelItem(0)->icon(0).isNull());

    // Damage shows as value/maximum after the next impulse.
    war->Value = 7;
    war->Engines = 5;
    windows.AfterImpulse();
    EXPECT_EQ(list.RowTexts(0), (QStringList{"WarShip", QString::fromStdString(war->Code), letter + "7/12", "5/8"}));

    // A ship hijacked from the local player leaves; one it hijacks joins.
    std::unique_ptr<TStarShip> taken = Local()->ExtractStarShip(tug);
    galaxy.P(0)->AdoptStarShip(std::move(taken));
    std::unique_ptr<TStarShip> won = galaxy.P(0)->ExtractStarShip(enemy);
    Local()->AdoptStarShip(std::move(won));
    windows.AfterImpulse();
    EXPECT_EQ(Codes(list), (QStringList{QString::fromStdString(war->Code), QString::fromStdString(enemy->Code)}));

    // A destroyed ship leaves at once; RemoveShip takes a row by itself.
    war->Destroyed = true;
    windows.AfterImpulse();
    EXPECT_EQ(Codes(list), QStringList{QString::fromStdString(enemy->Code)});
    list.RemoveShip(*enemy);
    EXPECT_EQ(list.RowCount(), 0);

    // A new game empties the list.
    list.UpdateShip(*enemy);
    galaxy.engine.SetCurrentPlayer(galaxy.P(2));
    windows.GameStarted();
    EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(InGameWindowsTest, HeadingsSortOnceAndClicksCentreOnTheShip) {
    TStarShip* slow = galaxy.Ship(Local(), TShipType::WarShip, 1, 1, 3, 9);
    TStarShip* fast = galaxy.Ship(Local(), TShipType::Drone, 2, 2, 14, 2);
    TStarShip* mid = galaxy.Ship(Local(), TShipType::ScanShip, 4, 6, 8, 4);
    windows.GameStarted();
    TfrmStarShipList& list = *windows.StarShips();
    list.show();
    QApplication::processEvents();
    const QString s = QString::fromStdString(slow->Code), f = QString::fromStdString(fast->Code),
                  m = QString::fromStdString(mid->Code);
    ClickHeader(*list.List(), 3);  // "Engines", descending
    EXPECT_EQ(Codes(list), (QStringList{f, m, s}));
    ClickHeader(*list.List(), 0);  // "Type", ascending by name
    EXPECT_EQ(Codes(list), (QStringList{f, m, s}));
    ClickHeader(*list.List(), 2);  // "Value", descending
    EXPECT_EQ(Codes(list), (QStringList{s, m, f}));

    // Sorted once: a ship added later goes to the end, and a change of
    // engines does not move rows.
    TStarShip* later = galaxy.Ship(Local(), TShipType::WarShip, 7, 7, 9, 20);
    fast->Engines = 1;
    windows.AfterImpulse();
    EXPECT_EQ(Codes(list), (QStringList{s, m, f, QString::fromStdString(later->Code)}));

    // A click centres on where the ship stands now.
    mid->X = 11;
    mid->Y = 12;
    QTest::mouseClick(list.List()->viewport(), Qt::LeftButton, {}, RowCentre(*list.List(), 1));
    ASSERT_EQ(host.Centred.size(), 1u);
    EXPECT_EQ(host.Centred[0], QPoint(11, 12));
    // A row whose ship is gone centres on nothing and goes.
    Local()->RemoveStarShip(slow);
    QTest::mouseClick(list.List()->viewport(), Qt::LeftButton, {}, RowCentre(*list.List(), 0));
    QApplication::processEvents();
    EXPECT_EQ(host.Centred.size(), 1u);
    EXPECT_EQ(list.RowCount(), 3);
}

TEST_F(InGameWindowsTest, OrderKeysGoToTheGameScreenAndArrowsStayInTheList) {
    galaxy.Ship(Local(), TShipType::WarShip, 1, 1, 3, 9);
    galaxy.Ship(Local(), TShipType::WarShip, 2, 1, 3, 9);
    galaxy.System(4, 4, Local());
    windows.GameStarted();
    for (QTreeWidget* list : {static_cast<QTreeWidget*>(windows.StarShips()->List()),
                              static_cast<QTreeWidget*>(windows.StarSystems()->List())}) {
        list->setCurrentItem(list->topLevelItem(0));
        host.Keys.clear();
        QTest::keyClick(list, Qt::Key_M);
        QTest::keyClick(list, Qt::Key_Escape);
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(host.Keys, (std::vector<int>{Qt::Key_M, Qt::Key_Escape}));
    }
    EXPECT_EQ(windows.StarShips()->List()->currentItem(), windows.StarShips()->List()->topLevelItem(1));
}

// The main window as the keys' receiver when no game screen is there.
class TKeyWindow : public QWidget {
public:
    std::vector<int> Keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { Keys.push_back(event->key()); }
};

TEST_F(InGameWindowsTest, WithoutAGameScreenKeysReachTheMainWindow) {
    TKeyWindow mainWindow;
    TInGameWindows alone(&mainWindow, test::BuildData());
    galaxy.System(4, 4, Local());
    alone.StarSystems()->Synchronize(Local());
    QTest::keyClick(alone.StarSystems()->List(), Qt::Key_G);
    EXPECT_EQ(mainWindow.Keys, std::vector<int>{Qt::Key_G});
}

TEST_F(InGameWindowsTest, StarSystemListShowsTruncatedResourcesAndSortsByThem) {
    TStarSystem* a = galaxy.System(2, 3, Local(), 12);
    TStarSystem* b = galaxy.System(6, 3, Local(), 20);
    TStarSystem* c = galaxy.System(9, 9, Local(), 4);
    galaxy.System(12, 9, galaxy.P(0), 30);
    a->Name = "Zeta";
    b->Name = "alpha";
    c->Name = "Mira";
    a->Resources = 10.9;
    b->Resources = 10.2;
    c->Resources = 33.5;
    b->Shields = 4;
    c->Scanners = 2;
    windows.GameStarted();
    TfrmStarSystemList& list = *windows.StarSystems();
    ASSERT_EQ(list.RowCount(), 3);
    EXPECT_EQ(list.RowTexts(0), (QStringList{"Zeta", "12", "10", "0", "0"}));
    EXPECT_EQ(list.RowTexts(2), (QStringList{"Mira", "4", "33", "0", "2"}));
    list.show();
    QApplication::processEvents();
    ClickHeader(*list.List(), 2);
    // 33, then the two tens in name order (they show alike).
    EXPECT_EQ(list.RowTexts(0).first(), "Mira");
    EXPECT_EQ(list.RowTexts(1).first(), "alpha");
    EXPECT_EQ(list.RowTexts(2).first(), "Zeta");
    ClickHeader(*list.List(), 0);
    EXPECT_EQ(list.RowTexts(0).first(), "alpha");
    EXPECT_EQ(list.RowTexts(2).first(), "Zeta");

    // Conquered away, it leaves; a system dragged elsewhere is centred where it is.
    c->SetOwner(galaxy.P(0));
    a->X = 15;
    windows.AfterImpulse();
    EXPECT_EQ(list.RowCount(), 2);
    QTest::mouseClick(list.List()->viewport(), Qt::LeftButton, {}, RowCentre(*list.List(), 1));
    ASSERT_EQ(host.Centred.size(), 1u);
    EXPECT_EQ(host.Centred[0], QPoint(15, 3));
}

TEST_F(InGameWindowsTest, PlayerButtonsShowTheOtherPlayersInTheirColours) {
    TColorPaletteStub palette;
    galaxy.engine.ColorPalette = &palette;
    windows.GameStarted();
    TfrmCommunicate& chat = *windows.Communicate();
    for (int slot = 0; slot < MaxPlayers; ++slot) {
        TColorButton* button = chat.PlayerButton(slot);
        EXPECT_EQ(button->Caption(), QString::number(slot + 1));
        EXPECT_EQ(button->property("tag").toInt(), slot);
        const bool shown = slot < 4 && slot != 1;
        EXPECT_EQ(button->isVisibleTo(&chat), shown) << slot;
        if (!shown) continue;
        EXPECT_TRUE(button->Down());
        EXPECT_EQ(button->toolTip(), QString("Mute Player %1").arg(slot + 1));
        const uint32_t rgb = galaxy.P(slot)->Color();
        EXPECT_EQ(button->ColorShadow(), QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
    }
    EXPECT_NE(chat.PlayerButton(0)->ColorShadow(), chat.PlayerButton(2)->ColorShadow()) << "told apart by colour";
    galaxy.engine.ColorPalette = nullptr;
}

TEST_F(InGameWindowsTest, ChatGoesToThePlayersWhoseButtonsAreDown) {
    windows.GameStarted();
    TfrmCommunicate& chat = *windows.Communicate();
    chat.show();
    QApplication::processEvents();
    // Every button up but player 3's: a single "1:".
    QTest::mouseClick(chat.PlayerButton(0), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(chat.PlayerButton(3), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(host.Sounds, (std::vector<TWindowSound>{TWindowSound::Button, TWindowSound::Button}));
    EXPECT_EQ(chat.PlayerButton(0)->toolTip(), "Listen to Player 1");
    QTest::keyClicks(chat.ChatField(), "Meet at Sys4");
    QTest::keyClick(chat.ChatField(), Qt::Key_Return);
    ASSERT_EQ(host.Sent.size(), 1u);
    EXPECT_EQ(host.Sent[0], "GAMECHAT:0:0:1:0:Meet at Sys4");
    EXPECT_EQ(chat.Lines(), QStringList{"Player 2> Meet at Sys4"});
    EXPECT_TRUE(chat.ChatField()->text().isEmpty());

    // Blank text sends nothing.
    chat.ChatField()->setText("   ");
    chat.Send();
    EXPECT_EQ(host.Sent.size(), 1u);
    // With every button up nobody would hear it: nothing is sent, and the
    // memo says why.
    QTest::mouseClick(chat.PlayerButton(2), Qt::LeftButton, {}, QPoint(5, 5));
    chat.ChatField()->setText("anyone?");
    chat.Send();
    EXPECT_EQ(host.Sent.size(), 1u);
    EXPECT_EQ(chat.ChatField()->text(), "anyone?");
    EXPECT_EQ(chat.Lines().size(), 2);
    // In brain mode there is no one to speak for.
    galaxy.engine.SetCurrentPlayer(nullptr);
    windows.GameStarted();
    EXPECT_FALSE(chat.ChatField()->isEnabled());
    chat.Send();
    EXPECT_EQ(host.Sent.size(), 1u);
}

TEST_F(InGameWindowsTest, ReceivedChatShowsOnlyFromListenedPlayersAndWhenAddressed) {
    windows.GameStarted();
    TfrmCommunicate& chat = *windows.Communicate();
    EXPECT_TRUE(windows.ReceiveData("GAMECHAT:0:1:0:0:hello two", "Player 1"));
    EXPECT_TRUE(windows.ReceiveData("GAMECHAT:1:0:1:1:not for two", "Player 1"));
    EXPECT_TRUE(windows.ReceiveData("GAMECHAT:0:1:0:0:who am I", "Stranger"));
    EXPECT_TRUE(windows.ReceiveData("GAMECHAT:0:1:0:hi", "Player 3")) << "too few flags: dropped";
    EXPECT_TRUE(windows.ReceiveData("GAMECHAT:0:1:0:0:my own echo", "Player 2"));
    EXPECT_FALSE(windows.ReceiveData("SHIPTYPES:0:1:", "Player 1")) << "not chat: left for others";
    EXPECT_EQ(chat.Lines(), QStringList{"Player 1: hello two"});
    // Muted: whatever its flags say, nothing shows.
    QTest::mouseClick(chat.PlayerButton(2), Qt::LeftButton, {}, QPoint(5, 5));
    windows.ReceiveData("GAMECHAT:1:1:1:1:from three", "Player 3");
    EXPECT_EQ(chat.Lines().size(), 1);
    windows.ReceiveData("GAMECHAT:0:1:0:0:from four", "Player 4");
    EXPECT_EQ(chat.Lines().last(), "Player 4: from four");
    chat.Clear();
    EXPECT_TRUE(chat.Lines().isEmpty());
}

TEST_F(InGameWindowsTest, UnreadChatBlinksTheReminderUntilTheWindowIsSeen) {
    windows.GameStarted();
    TfrmCommunicate& chat = *windows.Communicate();
    EXPECT_EQ(chat.ReminderColor(1), QColor(Qt::black));
    windows.ReceiveData("GAMECHAT:1:1:1:1:psst", "Player 1");
    EXPECT_TRUE(chat.HasUnread());
    EXPECT_EQ(chat.ReminderColor(7), QColor(255, 255, 0));
    EXPECT_EQ(chat.ReminderColor(8), QColor(Qt::black));
    chat.show();
    QApplication::processEvents();
    EXPECT_FALSE(chat.HasUnread());
    // However the window is closed, what it showed counts as read.
    chat.hide();
    EXPECT_FALSE(chat.HasUnread());
    EXPECT_EQ(chat.ReminderColor(7), QColor(Qt::black));
    // The memo's line limit does not hide new lines from the reminder.
    for (int i = 0; i < TfrmCommunicate::MaxMemoLines + 3; ++i)
        windows.ReceiveData("GAMECHAT:1:1:1:1:line " + std::to_string(i), "Player 1");
    chat.show();
    chat.hide();
    windows.ReceiveData("GAMECHAT:1:1:1:1:one more", "Player 1");
    EXPECT_EQ(chat.Lines().size(), TfrmCommunicate::MaxMemoLines);
    EXPECT_TRUE(chat.HasUnread());
}

TEST_F(InGameWindowsTest, AllianceButtonsQueueTheTablesOrdersWithClicks) {
    Local()->Alliance[2] = 2;
    Local()->Alliance[3] = 1;
    galaxy.P(3)->Alliance[1] = 2;
    windows.GameStarted();
    TfrmAlliances& alliances = *windows.Alliances();
    alliances.show();
    QApplication::processEvents();
    for (int slot = 0; slot < MaxPlayers; ++slot) {
        const bool shown = slot < 4 && slot != 1;
        EXPECT_EQ(alliances.NamePanel(slot)->isVisible(), shown) << slot;
        EXPECT_EQ(alliances.NonAggressionButton(slot)->isVisible(), shown) << slot;
    }
    EXPECT_EQ(alliances.NamePanel(0)->Caption(), "Player 1");
    EXPECT_EQ(alliances.NonAggressionButton(0)->toolTip(), "Do not Attack your Allies StarShips");
    EXPECT_EQ(alliances.IntelligenceButton(0)->toolTip(), "Share your Visibility with your Allies");
    EXPECT_EQ(alliances.Buttons(0).Level(), 0);
    EXPECT_EQ(alliances.Buttons(2).Level(), 2);
    EXPECT_EQ(alliances.Buttons(3).Level(), 1);
    EXPECT_TRUE(alliances.IntelligenceButton(2)->Down());
    EXPECT_FALSE(alliances.IntelligenceButton(3)->Down());
    EXPECT_EQ(alliances.StanceLabel(3)->text(), "Non-Aggression, Intelligence");
    EXPECT_EQ(alliances.StanceLabel(0)->text(), "nothing");
    galaxy.P(0)->Alive = false;
    windows.AfterImpulse();
    EXPECT_EQ(alliances.StanceLabel(0)->text(), "out of the game");

    const auto click = [](TColorButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5)); };
    click(alliances.NonAggressionButton(0));  // down: 1
    click(alliances.IntelligenceButton(3));   // down: 2, non-aggression stays down
    click(alliances.NonAggressionButton(2));  // up: 0, intelligence goes up
    click(alliances.IntelligenceButton(0));   // down: 2
    click(alliances.IntelligenceButton(0));   // up: 1
    EXPECT_EQ(host.Orders, (std::vector<std::string>{"23:1:0", "23:2:3", "23:0:2", "23:2:0", "23:1:0"}));
    EXPECT_EQ(host.Sounds, (std::vector<TWindowSound>{TWindowSound::ClickOn, TWindowSound::ClickOn,
                                                      TWindowSound::ClickOff, TWindowSound::ClickOn,
                                                      TWindowSound::ClickOff}));
    EXPECT_FALSE(alliances.IntelligenceButton(2)->Down());
    EXPECT_FALSE(alliances.NonAggressionButton(2)->Down());
    EXPECT_TRUE(alliances.NonAggressionButton(0)->Down());
    EXPECT_FALSE(alliances.IntelligenceButton(0)->Down());

    // Pressed, then released off the button: no order, and the button shows
    // the level held again.
    TColorButton* button = alliances.NonAggressionButton(3);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->Down());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-30, -30));
    QApplication::processEvents();
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(host.Orders.size(), 5u);
}

TEST_F(InGameWindowsTest, PlacesAreKeptInTheSettingsAndTheClockStopClosesAll) {
    test::TConfigFolder config;
    const QList<QRect> screens{QRect(0, 0, 1920, 1080)};
    windows.StarShips()->setGeometry(300, 200, 330, 280);
    windows.StarShips()->show();
    windows.Alliances()->show();
    windows.Alliances()->move(700, 120);
    QApplication::processEvents();
    {
        TRegistryManager reg(config.SettingsFile());
        windows.SavePositions(reg);
        ASSERT_TRUE(reg.Flush().isEmpty());
    }
    TRegistryManager reg(config.SettingsFile());
    EXPECT_EQ(reg.ReadInteger("StarShipListLeft"), windows.StarShips()->x());
    EXPECT_EQ(reg.ReadInteger("StarShipListWidth"), windows.StarShips()->width());
    EXPECT_EQ(reg.ReadInteger("AlliancesLeft"), windows.Alliances()->x());
    EXPECT_TRUE(reg.ReadString("CommunicateLeft").isEmpty()) << "never shown: nothing to keep";

    windows.CloseAll();
    for (TInGameForm* form : windows.All()) EXPECT_FALSE(form->isVisible()) << form->objectName().toStdString();

    QWidget other;
    TInGameWindows again(&other, test::BuildData());
    again.RestorePositions(reg, screens);
    EXPECT_EQ(again.StarShips()->pos(), windows.StarShips()->pos());
    EXPECT_EQ(again.StarShips()->size(), windows.StarShips()->size());
    EXPECT_TRUE(again.StarShips()->Placed());
    EXPECT_FALSE(again.Communicate()->Placed());
}

TEST_F(InGameWindowsTest, TheMainWindowRestoresAndSavesTheirPlaces) {
    test::TConfigFolder config;
    {
        TRegistryManager reg(config.SettingsFile());
        reg.WriteInteger("CommunicateLeft", 140);
        reg.WriteInteger("CommunicateTop", 90);
        reg.WriteInteger("CommunicateWidth", 430);
        reg.WriteInteger("CommunicateHeight", 300);
        reg.WriteInteger("StarSystemListLeft", 0);  // not restored
        reg.WriteInteger("StarSystemListTop", 50);
        reg.WriteInteger("StarSystemListWidth", 400);
        reg.WriteInteger("StarSystemListHeight", 300);
        ASSERT_TRUE(reg.Flush().isEmpty());
    }
    {
        TfrmMain window(test::BuildData(), config.SettingsFile(), std::make_unique<TSilentAudio>());
        window.SetTipsAtStart(false);
        window.show();
        QApplication::processEvents();
        TfrmCommunicate* chat = window.InGameWindows()->Communicate();
        EXPECT_EQ(chat->geometry().size(), QSize(430, 300));
        EXPECT_TRUE(chat->Placed());
        EXPECT_FALSE(window.InGameWindows()->StarSystems()->Placed());
        chat->resize(450, 310);
        window.close();
    }
    TRegistryManager reg(config.SettingsFile());
    EXPECT_EQ(reg.ReadInteger("CommunicateWidth"), 450);
    EXPECT_EQ(reg.ReadInteger("CommunicateHeight"), 310);
    EXPECT_EQ(reg.ReadInteger("StarSystemListLeft"), 0) << "left as it was";
}

#ifdef QX_HAVE_SOUND
TEST_F(InGameWindowsTest, WindowSoundsPlayTheGamesClicksWhileSoundIsOn) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    TGameAudio audio(test::BuildData().toStdString());
    if (!audio.Audible()) GTEST_SKIP() << "no OpenAL device here";
    PlayWindowSound(audio, TWindowSound::ClickOn);
    EXPECT_TRUE(audio.Sounds().IsPlaying(TGameSound::ClickOn));
    EXPECT_FALSE(audio.Sounds().IsPlaying(TGameSound::ClickOff));
    audio.Sounds().StopAll();
    audio.SetSoundOn(false);
    PlayWindowSound(audio, TWindowSound::Button);
    EXPECT_FALSE(audio.Sounds().IsPlaying(TGameSound::Button));
}
#endif

} // namespace
} // namespace qx
