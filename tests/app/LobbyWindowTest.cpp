// The lobby in the real window, offscreen, against the real quorvex-lobby
// program on free ports of 127.0.0.1: logging in, chat and rooms between two
// windows, statistics, a network game from creation to its end, surrender,
// and connections that fail or go away.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTcpServer>
#include <QTreeWidget>

#include "app/AlliancesForm.h"
#include "app/CommunicateForm.h"
#include "app/GameHost.h"
#include "app/GameScreen.h"
#include "app/HistoryScreen.h"
#include "app/InGameWindows.h"
#include "app/LobbyClient.h"
#include "app/LobbyScreen.h"
#include "app/LocalLobby.h"
#include "app/LoginForm.h"
#include "app/RegistryManager.h"
#include "app/ServerStatsForm.h"
#include "app/SubjectList.h"
#include "controls/GraphicPanel.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSession.h"
#include "net/RealTimeEngine.h"
#include "net/game/NetworkGame.h"
#include "tests/app/LobbyWindowKit.h"

namespace qx {
namespace {

using test::ClickButton;
using test::ClickItem;
using test::Pump;
using test::WaitFor;

struct WithGameApp {
    WithGameApp() { test::GameApp(); }
};

class LobbyWindowTest : public WithGameApp, public ::testing::Test {
protected:
    test::TConfigFolder config;
    test::TAnswerer answers;
    TLocalLobby lobby{QUORVEX_LOBBY_PATH};
    std::vector<std::unique_ptr<TfrmMain>> windows;

    void TearDown() override {
        for (auto& window : windows) window->close();
        windows.clear();
        Pump(20);
    }

    void StartLobby(const QStringList& lines = {}) {
        lobby.Config = lines;
        QString why;
        ASSERT_TRUE(lobby.Start(&why)) << why.toStdString();
    }

    // A game window with six ship types chosen, its clock fast.
    TfrmMain& Window(const QString& name) {
        const QString file = config.Path() + "/" + name + ".ini";
        {
            TRegistryManager settings(file);
            const char* types[] = {"0", "1", "2", "5", "9", "14"};
            for (int i = 0; i < 6; ++i) settings.WriteString(QString("StarShipType%1").arg(i + 1), types[i]);
            settings.Flush();
        }
        auto window = test::OpenGameWindow(file);
        window->SetTipsAtStart(false);
        window->show();
        QApplication::processEvents();
        window->GameHost().Clock().Interval = 10;
        window->GameHost().Session().AnimateBoard = false;
        windows.push_back(std::move(window));
        return *windows.back();
    }

    // Fills the login window: our lobby through its web host, or another
    // server at the test's port.
    void FillLogin(QDialog& dialog, const QString& name, const QString& password, bool another = true) {
        dialog.findChild<QLineEdit*>("edtUserName")->setText(name);
        dialog.findChild<QLineEdit*>("edtPassword")->setText(password);
        if (another) {
            dialog.findChild<QRadioButton*>("rbAnother")->setChecked(true);
            dialog.findChild<QLineEdit*>("edtHost")->setText("127.0.0.1");
            dialog.findChild<QLineEdit*>("edtPort")->setText(QString::number(lobby.Port()));
        }
    }

    // Logs in through the login window (a new user through "Create a New User").
    void LogIn(TfrmMain& window, const QString& name, const QString& password = "pw", bool create = true) {
        answers.Handlers["frmLogin"] = [=, this](QDialog& dialog) {
            FillLogin(dialog, create ? QString() : name, password);
            if (!create) {
                dialog.accept();
                return;
            }
            answers.Handlers["frmUserInfo"] = [=](QDialog& user) {
                user.findChild<QLineEdit*>("edtUserId")->setText(name);
                user.findChild<QLineEdit*>("edtPassword")->setText(password);
                user.findChild<QLineEdit*>("edtRetype")->setText(password);
                user.accept();
            };
            static_cast<TfrmLogin&>(dialog).btnNewUserClick();
        };
        ClickButton(window, "btnLogin");
    }

    bool InLobby(TfrmMain& window, const std::string& subject = "Lobby Chat") {
        return WaitFor([&] {
            return window.LoggedIn() && window.Lobby().Kyrel().CurrentSubject() == subject &&
                   window.CurrentScreen() == window.LobbyScreen();
        });
    }

    static bool OnTitle(TfrmMain& window) {
        return window.CurrentScreen()->objectName() == "pnlTitle" && !window.LoggedIn() &&
               window.findChild<TColorButton*>("btnLogin")->isVisibleTo(&window) && !window.Lobby().Busy();
    }

    static int Row(TfrmMain& window, const QString& text) { return window.LobbyScreen()->List()->FindItem(text); }

    // The subject of a game as a window lists it.
    static QString GameSubject(TfrmMain& window, const QString& shown) {
        QString found;
        WaitFor([&] {
            TKyrelSubjectList* list = window.LobbyScreen()->List();
            for (int row = 0; row < list->count(); ++row)
                if (!list->IsUser(row) && list->Shown(row) == shown && list->SubjectOf(row).startsWith('~'))
                    found = list->SubjectOf(row);
            return !found.isEmpty();
        });
        return found;
    }

    // Ann hosts a Duel for two humans (and `brains` computer players) that
    // Bob joins; both windows reach the game screen.
    void PlayDuel(TfrmMain& ann, TfrmMain& bob, int brains) {
        answers.Texts["Enter a Name for this Game:"] = "Duel Night";
        ClickButton(*ann.LobbyScreen(), "btnKyrelNewGame");
        ASSERT_EQ(ann.CurrentScreen()->objectName(), "pnlGameSettings");
        TGameSession& host = ann.GameHost().Session();
        EXPECT_TRUE(host.Setup().LoggedIn());
        EXPECT_EQ(host.Setup().HumanMin(), 2);
        host.Setup().ScenarioFile = QX_SOURCE_DIR "/data/scenarios/Duel.qxscen";
        host.Setup().SetComputerPlayers(brains);
        // "Proceed" makes the game in the lobby, where it waits for Bob.
        ClickButton(ann, "btnSetupProceed");
        const QString subject = QString("~Duel Night;Duel.qxscen;%1;%2;18;100;4;").arg(2 + brains).arg(brains);
        ASSERT_TRUE(InLobby(ann, subject.toStdString()));
        EXPECT_EQ(ann.LobbyScreen()->SubjectCaption()->Caption(), "You are in Duel Night");
        EXPECT_TRUE(host.Network()->Host());

        ASSERT_EQ(GameSubject(bob, "Duel Night"), subject);
        ClickItem(bob.LobbyScreen()->List(), Row(bob, subject));
        EXPECT_TRUE(bob.LobbyScreen()->JoinGameButton()->isVisibleTo(&bob));
        EXPECT_EQ(bob.LobbyScreen()->ServerMessage()->Caption(),
                  QString("Scenario: Duel.qxscen  Players:%1  Brains:%2  CapValue:18  Resources:100")
                      .arg(2 + brains)
                      .arg(brains));
        ClickButton(*bob.LobbyScreen(), "btnKyrelJoinGame");
        ASSERT_TRUE(WaitFor([&] {
            return ann.CurrentScreen()->objectName() == "pnlMain" && bob.CurrentScreen()->objectName() == "pnlMain";
        }));
    }

    static int32_t Impulse(TfrmMain& window) { return window.GameHost().Clock().Impulse(); }
};

TEST_F(LobbyWindowTest, ANewUserLogsInLeavesAndComesBackWithItsPassword) {
    StartLobby();
    TfrmMain& ann = Window("ann");
    // "Create a New User": the user dialog checks its passwords first.
    bool mismatchRefused = false;
    answers.Handlers["frmLogin"] = [&](QDialog& dialog) {
        FillLogin(dialog, "", "");
        answers.Handlers["frmUserInfo"] = [&](QDialog& user) {
            EXPECT_EQ(user.windowTitle(), "New User Information");
            user.findChild<QLineEdit*>("edtUserId")->setText("Ann");
            user.findChild<QLineEdit*>("edtPassword")->setText("secret");
            user.findChild<QLineEdit*>("edtRetype")->setText("Secret");
            user.accept();
            mismatchRefused = user.isVisible() && answers.Told("Please make sure the Password fields match.");
            user.findChild<QLineEdit*>("edtRetype")->setText("secret");
            user.findChild<QLineEdit*>("edtCity")->setText("Lyon");
            user.accept();
        };
        static_cast<TfrmLogin&>(dialog).btnNewUserClick();
    };
    ClickButton(ann, "btnLogin");
    EXPECT_TRUE(mismatchRefused);
    ASSERT_TRUE(InLobby(ann)) << answers.Messages.join("; ").toStdString();
    EXPECT_EQ(ann.focusWidget(), ann.LobbyScreen()->ChatField()) << "the chat field has the focus";
    EXPECT_FALSE(ann.findChild<TColorButton*>("btnLogin")->isVisibleTo(&ann));
    EXPECT_EQ(ann.LobbyScreen()->SubjectCaption()->Caption(), "You are in Lobby Chat");
    EXPECT_GE(Row(ann, "Lobby Chat\\Ann"), Row(ann, "Lobby Chat") + 1) << "the user under the subject";
    EXPECT_EQ(ann.Lobby().Kyrel().CurrentUser()->City, "Lyon") << "the server took the new record";
    // Logged in, the ship type screen leads back to the lobby.
    ClickButton(*ann.LobbyScreen(), "btnLobbySelectShips");
    EXPECT_EQ(ann.CurrentScreen(), ann.ShipSelection());
    ClickButton(ann, "btnCancelShips");
    EXPECT_EQ(ann.CurrentScreen(), ann.LobbyScreen());

    // Disconnecting asks first.
    answers.Buttons["Are you sure you want to Disconnect?"] = QMessageBox::No;
    ClickButton(*ann.LobbyScreen(), "btnKyrelDisconnect");
    EXPECT_TRUE(ann.LoggedIn());
    answers.Buttons["Are you sure you want to Disconnect?"] = QMessageBox::Yes;
    ClickButton(*ann.LobbyScreen(), "btnKyrelDisconnect");
    EXPECT_TRUE(OnTitle(ann));
    EXPECT_TRUE(ann.TitlePalette());
    EXPECT_EQ(ann.LobbyScreen()->List()->count(), 0);

    // A wrong password: the server's reason, and back to the title.
    answers.Messages.clear();
    LogIn(ann, "Ann", "guess", false);
    ASSERT_TRUE(WaitFor([&] { return answers.Told("Login Failure: "); })) << answers.Messages.join("; ").toStdString();
    ASSERT_TRUE(WaitFor([&] { return OnTitle(ann); }));
    EXPECT_FALSE(ann.Lobby().Kyrel().Active());
    EXPECT_EQ(answers.Messages.size(), 1) << answers.Messages.join("; ").toStdString();

    // Our lobby, whose address the web host's /ip.adr gives, with the right password.
    ann.Lobby().WebHost = lobby.WebHost();
    answers.Handlers["frmLogin"] = [&](QDialog& dialog) {
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("rbVeltrano")->isChecked()) << "our lobby by default";
        EXPECT_FALSE(dialog.findChild<QLineEdit*>("edtHost")->isVisibleTo(&dialog));
        FillLogin(dialog, "Ann", "secret", false);
        dialog.accept();
    };
    ClickButton(ann, "btnLogin");
    ASSERT_TRUE(InLobby(ann)) << answers.Messages.join("; ").toStdString();
    EXPECT_EQ(ann.Lobby().ServerName(), QString("127.0.0.1:%1").arg(lobby.Port()));
}

TEST_F(LobbyWindowTest, FailedConnectionsSayWhyOnceAndLeadBackToTheTitle) {
    TfrmMain& ann = Window("ann");
    ann.Lobby().TimeoutMs = 3000;
    // Nobody listens on a port just given up.
    quint16 closed = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closed = probe.serverPort();
    }
    answers.Handlers["frmLogin"] = [&](QDialog& dialog) {
        FillLogin(dialog, "Ann", "pw");
        dialog.findChild<QLineEdit*>("edtPort")->setText(QString::number(closed));
        dialog.accept();
    };
    ClickButton(ann, "btnLogin");
    ASSERT_TRUE(WaitFor([&] { return answers.Told("KyrelServer connection failed: Error Code"); }))
        << answers.Messages.join("; ").toStdString();
    ASSERT_TRUE(WaitFor([&] { return OnTitle(ann); }));
    Pump(100);
    EXPECT_EQ(answers.Messages.size(), 1) << "one message, not a second for the disconnection";

    // A web host that does not answer.
    answers.Messages.clear();
    ann.Lobby().WebHost = QString("127.0.0.1:%1").arg(closed);
    answers.Handlers["frmLogin"] = [&](QDialog& dialog) {
        FillLogin(dialog, "Ann", "pw", false);
        dialog.accept();
    };
    ClickButton(ann, "btnLogin");
    ASSERT_TRUE(WaitFor([&] { return !answers.Messages.isEmpty(); }));
    EXPECT_TRUE(answers.Told("KyrelServer connection failed: the address of KyrelServer could not be fetched from "
                             "http://127.0.0.1:"))
        << answers.Messages.join("; ").toStdString();
    ASSERT_TRUE(WaitFor([&] { return OnTitle(ann); }));

    // A web host whose document names no server.
    QTcpServer web;
    ASSERT_TRUE(web.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&web, &QTcpServer::newConnection, [&web] {
        QTcpSocket* socket = web.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            socket->readAll();
            socket->write("HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nno|host\n\x01");
            socket->disconnectFromHost();
        });
    });
    answers.Messages.clear();
    ann.Lobby().WebHost = QString("http://127.0.0.1:%1/").arg(web.serverPort());
    answers.Handlers["frmLogin"] = [&](QDialog& dialog) {
        FillLogin(dialog, "Ann", "pw", false);
        dialog.accept();
    };
    ClickButton(ann, "btnLogin");
    ASSERT_TRUE(WaitFor([&] { return !answers.Messages.isEmpty(); }));
    EXPECT_EQ(answers.Messages.front(), QString("KyrelServer connection failed: http://127.0.0.1:%1/ip.adr does not "
                                                "name a KyrelServer")
                                            .arg(web.serverPort()));
    EXPECT_TRUE(WaitFor([&] { return OnTitle(ann); }));

    // The lobby going away while one waits in it.
    StartLobby();
    LogIn(ann, "Ann");
    ASSERT_TRUE(InLobby(ann));
    answers.Messages.clear();
    lobby.Kill();
    ASSERT_TRUE(WaitFor([&] { return answers.Told("You have been disconnected from KyrelServer"); }));
    EXPECT_TRUE(WaitFor([&] { return OnTitle(ann); }));
    EXPECT_EQ(ann.LobbyScreen()->List()->count(), 0);
    EXPECT_EQ(answers.Messages.size(), 1);
}

TEST_F(LobbyWindowTest, TwoWindowsChatMeetInARoomAndSeeEachOther) {
    StartLobby({"operators = Zed", "ping-interval = 1", "newest-build = 18"});
    TfrmMain& ann = Window("ann");
    TfrmMain& bob = Window("bob");
    LogIn(ann, "Ann");
    ASSERT_TRUE(InLobby(ann));
    // A newer build is announced at the login.
    ASSERT_TRUE(WaitFor([&] { return answers.Told("Quorvex build 18 has been released; you have build 17."); }))
        << answers.Messages.join("; ").toStdString();
    LogIn(bob, "Bob");
    ASSERT_TRUE(InLobby(bob));
    ASSERT_TRUE(WaitFor([&] { return Row(ann, "Lobby Chat\\Bob") >= 0; }));
    // Before the server's first ping nobody's latency is known.
    ClickItem(ann.LobbyScreen()->List(), Row(ann, "Lobby Chat\\Bob"));
    EXPECT_EQ(ann.LobbyScreen()->UserInfoCaption()->Caption(), "Bob's latency value is not yet known");

    // Chat: the sender's own line, the others' line.
    TLobbyScreen* annLobby = ann.LobbyScreen();
    annLobby->ChatField()->setText("Hello, Bob | anyone?");
    QTest::keyClick(annLobby->ChatField(), Qt::Key_Return);
    EXPECT_TRUE(annLobby->ChatField()->text().isEmpty());
    EXPECT_EQ(annLobby->ChatLines(), QStringList{"Ann> Hello, Bob | anyone?"});
    ASSERT_TRUE(WaitFor([&] { return !bob.LobbyScreen()->ChatLines().isEmpty(); }));
    EXPECT_EQ(bob.LobbyScreen()->ChatLines(), QStringList{"Ann: Hello, Bob | anyone?"});
    annLobby->ChatField()->setText("   ");
    ClickButton(*annLobby, "btnSendChat");
    EXPECT_EQ(annLobby->ChatLines().size(), 1) << "nothing to send";
    // The memo keeps the newest 500 lines.
    for (int i = 0; i < 510; ++i) bob.Lobby().Kyrel().OnChatReceived(nullptr, "line " + std::to_string(i), "Cid");
    const QStringList kept = bob.LobbyScreen()->ChatLines();
    ASSERT_EQ(kept.size(), 500);
    EXPECT_EQ(kept.front(), "Cid: line 10");
    EXPECT_EQ(kept.back(), "Cid: line 509");

    // The operator's shout reaches everyone.
    test::TRawLobbyUser zed(lobby.Port(), "Zed");
    zed.Send("SHOUT|Maintenance at midnight");
    ASSERT_TRUE(WaitFor([&] { return annLobby->ChatLines().contains("Veltrano: Maintenance at midnight"); }));

    // A room: names that would break the lobby's lines are refused.
    answers.Texts["Enter a Name for this Room:"] = "Bar;Grill";
    ClickButton(*bob.LobbyScreen(), "btnKyrelNewChat");
    EXPECT_TRUE(answers.Told("A Chat Room's name cannot contain any of ; | \\ ^ `."));
    answers.Texts["Enter a Name for this Room:"] = "~Sneaky";
    ClickButton(*bob.LobbyScreen(), "btnKyrelNewChat");
    EXPECT_TRUE(answers.Told("A Chat Room's name cannot begin with ~."));
    answers.Texts["Enter a Name for this Room:"] = "  Nebula Tavern ";
    ClickButton(*bob.LobbyScreen(), "btnKyrelNewChat");
    ASSERT_TRUE(InLobby(bob, "Nebula Tavern"));
    EXPECT_EQ(bob.LobbyScreen()->SubjectCaption()->Caption(), "You are in Nebula Tavern");
    EXPECT_EQ(bob.LobbyScreen()->ServerMessage()->Caption(), "You just joined Subject \"Nebula Tavern\"");
    EXPECT_EQ(bob.LobbyScreen()->ServerMessage()->FontColor(), QColor(0, 255, 255));
    EXPECT_TRUE(bob.LobbyScreen()->ChatLines().isEmpty()) << "a new subject, a new chat";
    ASSERT_TRUE(WaitFor([&] { return Row(ann, "Nebula Tavern") >= 0 && Row(ann, "Lobby Chat\\Bob") < 0; }));

    // Ann selects the room (the way in, no game details) and joins it.
    ClickItem(annLobby->List(), Row(ann, "Nebula Tavern"));
    EXPECT_TRUE(annLobby->JoinChatButton()->isVisibleTo(annLobby));
    EXPECT_FALSE(annLobby->JoinGameButton()->isVisibleTo(annLobby));
    EXPECT_TRUE(annLobby->ServerMessage()->Caption().isEmpty());
    ClickItem(annLobby->List(), Row(ann, "Nebula Tavern"), true);
    ASSERT_TRUE(InLobby(ann, "Nebula Tavern"));
    EXPECT_EQ(Row(ann, "Lobby Chat\\Ann"), -1) << "only the joined subject's users are listed";
    ASSERT_TRUE(WaitFor([&] { return Row(ann, "Nebula Tavern\\Bob") >= 0; }));

    // A click on a user tells the latency; the server's pings bring it.
    ASSERT_TRUE(WaitFor([&] { return ann.Lobby().Kyrel().FindUser("Bob")->AverageLatency() > 0; }, 4000));
    ClickItem(annLobby->List(), Row(ann, "Nebula Tavern\\Bob"));
    EXPECT_TRUE(annLobby->UserInfoCaption()->isVisibleTo(annLobby));
    EXPECT_TRUE(annLobby->UserInfoCaption()->Caption().startsWith("Bob has a latency of "));
    EXPECT_TRUE(annLobby->UserInfoCaption()->Caption().endsWith(" milliseconds"));
    EXPECT_FALSE(annLobby->JoinChatButton()->isVisibleTo(annLobby));

    // A double click shows another user's record for reading only.
    bool readOnly = false, shown = false;
    answers.Handlers["frmUserInfo"] = [&](QDialog& dialog) {
        readOnly = dialog.windowTitle() == "User Information" &&
                   dialog.findChild<QLineEdit*>("edtUserId")->text() == "Bob" &&
                   !dialog.findChild<TColorButton*>("btnEdit")->isVisibleTo(&dialog) &&
                   dialog.findChild<QLineEdit*>("edtCity")->isReadOnly() &&
                   !dialog.findChild<QLineEdit*>("edtPassword")->isVisibleTo(&dialog);
        shown = true;
        dialog.accept();
    };
    ClickItem(annLobby->List(), Row(ann, "Nebula Tavern\\Bob"), true);
    ASSERT_TRUE(WaitFor([&] { return shown; }));
    EXPECT_TRUE(readOnly);

    // One's own record can be edited; the server keeps the change.
    shown = false;
    answers.Handlers["frmUserInfo"] = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>("edtUserId")->text(), "Ann");
        ClickButton(dialog, "btnEdit");
        EXPECT_TRUE(dialog.findChild<QLineEdit*>("edtUserId")->isReadOnly()) << "the user id stays";
        dialog.findChild<QLineEdit*>("edtCity")->setText("Oslo");
        dialog.findChild<QLineEdit*>("edtPassword")->setText("pw");
        dialog.findChild<QLineEdit*>("edtRetype")->setText("pw");
        dialog.accept();
        shown = true;
    };
    ClickItem(annLobby->List(), Row(ann, "Nebula Tavern\\Ann"), true);
    ASSERT_TRUE(WaitFor([&] { return shown; }));
    EXPECT_EQ(ann.Lobby().Kyrel().CurrentUser()->City, "Oslo");
    bob.Lobby().Kyrel().RequestUserInfo("Ann");
    EXPECT_TRUE(WaitFor([&] { return bob.Lobby().Kyrel().FindUser("Ann")->City == "Oslo"; }));

    // What the server refuses shows in red while logged in.
    ann.Lobby().Kyrel().JoinSubject("No Such Room");
    ASSERT_TRUE(WaitFor([&] { return annLobby->ServerMessage()->Caption().startsWith("KyrelServer Error: "); }));
    EXPECT_EQ(annLobby->ServerMessage()->FontColor(), QColor(255, 64, 64));

    // The statistics open on the server's answer and refresh while open.
    bob.ServerStatsInterval = 50;
    int updates = 0;
    answers.Handlers["frmServerStats"] = [&](QDialog& dialog) {
        auto& stats = static_cast<TfrmServerStats&>(dialog);
        EXPECT_EQ(stats.windowTitle(), "Kyrel Server Statistics");
        EXPECT_EQ(stats.Value("Clients Connected:"), "3");
        EXPECT_TRUE(stats.Value("Time Active:").endsWith("sec") || stats.Value("Time Active:").endsWith("secs"));
        EXPECT_TRUE(stats.Value("Total Bytes Written:").contains(',')) << "#,##0";
        WaitFor([&] { return stats.Updates() >= 3; }, 3000);
        updates = stats.Updates();
        dialog.accept();
    };
    ClickButton(*bob.LobbyScreen(), "btnKyrelStats");
    ASSERT_TRUE(WaitFor([&] { return updates > 0; }));
    EXPECT_GE(updates, 3);
    // Closed, it gives the event back: a later answer opens nothing.
    bob.Lobby().Kyrel().RequestServerStats();
    Pump(200);
    EXPECT_EQ(answers.Dialogs.count("frmServerStats"), 1);
}

TEST_F(LobbyWindowTest, AGameMadeInOneWindowIsJoinedFromAnotherAndBothPlayIt) {
    StartLobby();
    TfrmMain& ann = Window("ann");
    TfrmMain& bob = Window("bob");
    LogIn(ann, "Ann");
    ASSERT_TRUE(InLobby(ann));
    LogIn(bob, "Bob");
    ASSERT_TRUE(InLobby(bob));

    // Games of another version, or of none that can be read, are not joined.
    test::TRawLobbyUser zed(lobby.Port(), "Zed");
    zed.Send("CREATESUBJECT|~Future;Duel.qxscen;2;0;18;100;5;|2|");
    ASSERT_FALSE(GameSubject(bob, "Future").isEmpty());
    ClickItem(bob.LobbyScreen()->List(), Row(bob, "~Future;Duel.qxscen;2;0;18;100;5;"), true);
    ASSERT_TRUE(WaitFor([&] { return !answers.Messages.isEmpty(); }));
    EXPECT_EQ(answers.Messages.front(), "This Game was created with Quorvex version 5, and you have version 4");
    Pump(100);
    EXPECT_EQ(bob.Lobby().Kyrel().CurrentSubject(), "Lobby Chat");

    // Ann's game: Bob joins; the host keeps hosting when she double-clicks it.
    TfrmMain* host = &ann;
    answers.Texts["Enter a Name for this Game:"] = "Duel Night";
    ClickButton(*ann.LobbyScreen(), "btnKyrelNewGame");
    TGameSession& session = host->GameHost().Session();
    session.Setup().ScenarioFile = QX_SOURCE_DIR "/data/scenarios/Duel.qxscen";
    session.Setup().SetComputerPlayers(1);
    session.Brains().SetName(2, "Warden");
    ann.NetworkSetupProceed();
    const std::string subject = "~Duel Night;Duel.qxscen;3;1;18;100;4;";
    ASSERT_TRUE(InLobby(ann, subject));
    ClickItem(ann.LobbyScreen()->List(), Row(ann, QString::fromStdString(subject)), true);
    Pump(50);
    EXPECT_TRUE(session.Network()->Host());

    ASSERT_EQ(GameSubject(bob, "Duel Night").toStdString(), subject);
    ClickItem(bob.LobbyScreen()->List(), Row(bob, QString::fromStdString(subject)), true);
    ASSERT_TRUE(WaitFor([&] {
        return ann.CurrentScreen()->objectName() == "pnlMain" && bob.CurrentScreen()->objectName() == "pnlMain";
    })) << answers.Messages.join("; ").toStdString();
    EXPECT_FALSE(ann.TitlePalette());

    // One galaxy on both machines, each with its own player.
    TQuorvexEngine& a = ann.GameHost().Engine();
    TQuorvexEngine& b = bob.GameHost().Engine();
    ASSERT_EQ(a.PlayerCount(), 3);
    EXPECT_EQ(a.GetPlayer(0)->Name, "Ann");
    EXPECT_EQ(a.GetPlayer(1)->Name, "Bob");
    EXPECT_TRUE(a.GetPlayer(2)->Computer);
    EXPECT_EQ(a.GetPlayer(2)->BrainFile, "Warden.qxbrain");
    EXPECT_EQ(a.CurrentPlayer, a.GetPlayer(0));
    EXPECT_EQ(b.CurrentPlayer, b.GetPlayer(1));
    EXPECT_EQ(a.MapWidth, b.MapWidth);
    EXPECT_TRUE(ann.GameHost().Clock().Active() && bob.GameHost().Clock().Active());
    // A game played through the lobby has chat and alliances, and no pause.
    for (TfrmMain* window : {&ann, &bob}) {
        for (const char* name : {"btnCommunicate", "btnAlliances"})
            EXPECT_TRUE(window->findChild<TColorButton*>(name)->isVisibleTo(window)) << name;
        EXPECT_FALSE(window->findChild<TColorButton*>("btnPause")->isVisibleTo(window));
    }

    // Chat goes to the Communications window of the one addressed, not to
    // his message line; his "Communicate" button blinks until he looks.
    ClickButton(ann, "btnCommunicate");
    TfrmCommunicate* annChat = ann.InGameWindows()->Communicate();
    TfrmCommunicate* bobChat = bob.InGameWindows()->Communicate();
    ASSERT_TRUE(annChat->isVisible());
    annChat->ChatField()->setText("Truce until the brain is gone?");
    annChat->Send();
    ASSERT_TRUE(WaitFor([&] { return bobChat->Lines().contains("Ann: Truce until the brain is gone?"); }))
        << bobChat->Lines().join("|").toStdString();
    EXPECT_EQ(annChat->Lines(), QStringList{"Ann> Truce until the brain is gone?"}) << "nobody hears himself twice";
    EXPECT_FALSE(bob.GameHost().Session().Presenter().MessageLine().starts_with("Ann"));
    TColorButton* bobCommunicate = bob.GameScreen()->CommunicateButton();
    ASSERT_TRUE(WaitFor([&] { return bobCommunicate->Color() == QColor(255, 255, 0); }));
    ClickButton(bob, "btnCommunicate");
    EXPECT_EQ(bobCommunicate->Color(), QColor(Qt::black));
    EXPECT_TRUE(bobChat->isVisible());
    Pump(60);
    EXPECT_EQ(bobCommunicate->Color(), QColor(Qt::black)) << "read: no more blinking";

    // Bob offers Ann non-aggression: the order reaches the master's game.
    ClickButton(bob, "btnAlliances");
    TfrmAlliances* bobAlliances = bob.InGameWindows()->Alliances();
    ASSERT_TRUE(bobAlliances->isVisible());
    EXPECT_FALSE(bobAlliances->NonAggressionButton(1)->isVisibleTo(bobAlliances)) << "no alliance with himself";
    QTest::mouseClick(bobAlliances->NonAggressionButton(0), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(WaitFor([&] { return a.GetPlayer(1)->Alliance[0] > 0; }));

    // Impulses go by on both; stopped at the same one, the games are alike.
    TNetworkGame* annGame = ann.GameHost().Session().Network();
    TNetworkGame* bobGame = bob.GameHost().Session().Network();
    const int32_t stop = std::max(25, std::max(Impulse(ann), Impulse(bob)) + 10);
    annGame->OnImpulseDone = [&](int32_t next) {
        if (next - 1 >= stop) annGame->Stop();
    };
    bobGame->OnImpulseDone = [&](int32_t next) {
        if (next - 1 >= stop) bobGame->Stop();
    };
    ASSERT_TRUE(WaitFor([&] { return !ann.GameHost().Clock().Active() && !bob.GameHost().Clock().Active(); }, 20000))
        << Impulse(ann) << " " << Impulse(bob);
    EXPECT_EQ(a.Impulse, stop + 1);
    EXPECT_EQ(a.SaveToText(), b.SaveToText());
    EXPECT_EQ(a.GetPlayer(1)->ShipTypes, b.GetPlayer(1)->ShipTypes) << "Bob's ship types reached the master";
    EXPECT_EQ(a.GetPlayer(1)->Alliance[0], b.GetPlayer(1)->Alliance[0]);
    // The windows closed with the clocks.
    EXPECT_FALSE(annChat->isVisible() || bobChat->isVisible() || bobAlliances->isVisible());
    EXPECT_EQ(answers.Messages.size(), 1) << answers.Messages.join("; ").toStdString();

    // The game is over here: "Exit" leads back to "Lobby Chat".
    ClickButton(bob, "btnExitGame");
    EXPECT_TRUE(InLobby(bob));
}

TEST_F(LobbyWindowTest, ASurrenderEndsTheGameAndTheHistoryKeepsIt) {
    StartLobby();
    TfrmMain& ann = Window("ann");
    TfrmMain& bob = Window("bob");
    LogIn(ann, "Ann");
    ASSERT_TRUE(InLobby(ann));
    LogIn(bob, "Bob");
    ASSERT_TRUE(InLobby(bob));
    PlayDuel(ann, bob, 0);
    ASSERT_TRUE(WaitFor([&] { return Impulse(bob) > 5; }, 10000));

    // Bob declines the surrender and stays in the game.
    answers.Buttons["Do you want to Surrender?"] = QMessageBox::No;
    answers.Buttons["Exit this Game?"] = QMessageBox::No;
    ClickButton(bob, "btnExitGame");
    EXPECT_EQ(bob.CurrentScreen()->objectName(), "pnlMain");
    EXPECT_TRUE(bob.GameHost().Clock().Active());

    // Then gives up: his player is out, Ann wins, both clocks stop.
    answers.Buttons["Do you want to Surrender?"] = QMessageBox::Yes;
    ClickButton(bob, "btnExitGame");
    EXPECT_EQ(bob.CurrentScreen()->objectName(), "pnlMain") << "he stays to see it taken";
    ASSERT_TRUE(WaitFor([&] { return !ann.GameHost().Clock().Active() && !bob.GameHost().Clock().Active(); }, 10000));
    EXPECT_FALSE(bob.GameHost().Engine().GetPlayer(1)->Alive);
    EXPECT_EQ(ann.GameHost().Session().Presenter().MessageLine(), "Bob has Surrendered");
    EXPECT_TRUE(ann.GameHost().Session().Presenter().VictoryShown());
    EXPECT_EQ(ann.GameHost().Session().Network()->Winner(), ann.GameHost().Engine().GetPlayer(0));

    // "Exit" after the end asks nothing and leads back to "Lobby Chat".
    answers.Messages.clear();
    ClickButton(bob, "btnExitGame");
    ASSERT_TRUE(InLobby(bob));
    ClickButton(ann, "btnExitGame");
    ASSERT_TRUE(InLobby(ann));
    EXPECT_TRUE(answers.Messages.isEmpty()) << answers.Messages.join("; ").toStdString();

    // The winner's machine told the lobby: the history shows the game.
    ClickButton(*ann.LobbyScreen(), "btnLobbySchedules");
    EXPECT_EQ(ann.CurrentScreen(), ann.HistoryScreen());
    QTreeWidget* log = ann.HistoryScreen()->GameLog();
    ASSERT_TRUE(WaitFor([&] { return log->topLevelItemCount() == 1; }));
    EXPECT_EQ(log->topLevelItem(0)->text(1), "Ann");
    EXPECT_EQ(log->topLevelItem(0)->text(2), "Bob");
    EXPECT_GT(log->topLevelItem(0)->text(3).toInt(), 5);
    EXPECT_EQ(ann.HistoryScreen()->HallOfFame()->topLevelItemCount(), 2);
    EXPECT_EQ(ann.HistoryScreen()->HallOfFame()->topLevelItem(0)->text(1), "Ann");
    EXPECT_EQ(ann.HistoryScreen()->Schedules()->topLevelItemCount(), 0) << "nobody told a schedule yet";

    // A schedule with the history's separators is refused; a good one is listed.
    answers.Texts["When are you usually logged in?"] = "Evenings; weekends";
    ClickButton(*ann.HistoryScreen(), "btnSubmitSchedule");
    EXPECT_TRUE(answers.Told("A schedule cannot contain any of % ; ~ | ^ `"));
    answers.Texts["When are you usually logged in?"] = "Evenings, 20:00 UTC";
    ClickButton(*ann.HistoryScreen(), "btnSubmitSchedule");
    QTreeWidget* schedules = ann.HistoryScreen()->Schedules();
    ASSERT_TRUE(WaitFor([&] { return schedules->topLevelItemCount() == 1; }));
    EXPECT_EQ(schedules->topLevelItem(0)->text(0), "Ann");
    EXPECT_EQ(schedules->topLevelItem(0)->text(1), "Evenings, 20:00 UTC");
    ClickButton(*ann.HistoryScreen(), "btnHistoryReturn");
    EXPECT_EQ(ann.CurrentScreen(), ann.LobbyScreen());
}

TEST_F(LobbyWindowTest, ALeavingPlayerIsDroppedAndTheLobbyGoingAwayEndsTheGame) {
    StartLobby();
    TfrmMain& ann = Window("ann");
    TfrmMain& bob = Window("bob");
    LogIn(ann, "Ann");
    ASSERT_TRUE(InLobby(ann));
    LogIn(bob, "Bob");
    ASSERT_TRUE(InLobby(bob));
    PlayDuel(ann, bob, 1);
    ASSERT_TRUE(WaitFor([&] { return Impulse(bob) > 5; }, 10000));

    // Bob leaves without surrendering (and without saving).
    answers.Buttons["Do you want to Surrender?"] = QMessageBox::No;
    answers.Buttons["Exit this Game?"] = QMessageBox::Yes;
    answers.Buttons["Do you want to Save this Game?"] = QMessageBox::No;
    ClickButton(bob, "btnExitGame");
    ASSERT_TRUE(InLobby(bob));
    EXPECT_FALSE(bob.GameHost().Clock().Active());
    ASSERT_TRUE(WaitFor(
        [&] { return ann.GameHost().Session().Presenter().MessageLine() == "Bob has dropped from the Game"; }));
    // Ann's game goes on with her and the brain.
    EXPECT_EQ(ann.GameHost().Clock().UserCount(), 1);
    const int32_t from = Impulse(ann);
    ASSERT_TRUE(WaitFor([&] { return Impulse(ann) > from + 5; }, 10000));

    // The lobby goes away mid-game: Ann's game stops, she is back at the title.
    answers.Messages.clear();
    lobby.Kill();
    ASSERT_TRUE(WaitFor([&] { return answers.Told("You have been disconnected from KyrelServer"); }));
    EXPECT_FALSE(ann.GameHost().Clock().Active());
    EXPECT_FALSE(ann.GameHost().Session().InNetworkGame());
    EXPECT_TRUE(WaitFor([&] { return OnTitle(ann) && OnTitle(bob); }));
    EXPECT_TRUE(ann.TitlePalette());
    EXPECT_EQ(answers.CountTold("You have been disconnected from KyrelServer"), 2) << "one for each window";
}

} // namespace
} // namespace qx
