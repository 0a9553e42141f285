#include "app/LobbyScreenshots.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <QApplication>
#include <QDate>
#include <QEventLoop>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>

#include "app/HistoryScreen.h"
#include "app/LobbyClient.h"
#include "app/LobbyScreen.h"
#include "app/LocalLobby.h"
#include "app/LoginForm.h"
#include "app/MainForm.h"
#include "app/ServerStatsForm.h"
#include "app/SubjectList.h"
#include "app/UserInfoForm.h"
#include "controls/GameStyle.h"
#include "net/KyrelConnection.h"
#include "net/StringEncryptor.h"
#include "net/qt/QtKyrelTransport.h"

namespace qx {

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

// A round badge in a colour with the user's initial: a glyph that reads at
// the list's 16 pixels as well as at 32.
TKyrelGlyph Badge(QChar initial, const QColor& color) {
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color.lighter(150), 2));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(2, 2, 28, 28));
    painter.setPen(Qt::white);
    painter.setFont(DisplayFont(20, true));
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QString(initial));
    painter.end();
    return ImageToGlyph(picture);
}

// Another Star Lord in the lobby, played by this program.
struct TVisitor {
    TQtKyrelTransport transport;
    TKyrelConnection kyrel{transport};
    TStringEncryptor encryptor{kGameKey};

    TVisitor(quint16 port, const std::string& name, const QColor& color, const std::string& city) {
        kyrel.UseEncryptor(&encryptor);
        kyrel.SetHost("127.0.0.1");
        kyrel.SetPort(port);
        kyrel.SetSubjectCode("Quorvex");
        kyrel.SetActive(true);
        if (!WaitFor([this] { return kyrel.Active(); })) return;
        TKyrelUser user(name);
        user.Password = "stars";
        user.City = city;
        user.Country = "Outer Rim";
        user.HomePage = "https://" + QString::fromStdString(name).toLower().toStdString() + ".example.org";
        user.Comments = "Plays fair, builds fast. ";
        user.Glyph = Badge(QChar(name.front()), color);
        kyrel.LoginNew(name, user.ToText());
        WaitFor([this] { return kyrel.CurrentSubject() == "Lobby Chat"; });
    }
    bool In(const std::string& subject) const { return kyrel.CurrentSubject() == subject; }
};

void Say(TVisitor& who, const std::string& text) {
    who.kyrel.SendChat(text);
    Pump(40);
}

} // namespace

void TLobbyScreenshots::Take(TfrmMain& window, const TSave& save) {
    // The login window as it opens, with a name typed in.
    {
        TfrmLogin login(&window);
        login.SetWebHost(window.Lobby().WebHost);
        login.findChild<QLineEdit*>("edtUserName")->setText("Orion");
        login.findChild<QLineEdit*>("edtPassword")->setText("secret");
        login.adjustSize();
        login.show();
        QApplication::processEvents();
        save(login, "login");
    }
    // "Create a New User", filled in.
    {
        TKyrelUser user;
        TfrmUserInfo form(user, true, {}, &window);
        form.setWindowTitle("New User Information");
        form.findChild<QLineEdit*>("edtUserId")->setText("Orion");
        form.findChild<QLineEdit*>("edtPassword")->setText("secret");
        form.findChild<QLineEdit*>("edtRetype")->setText("secret");
        form.findChild<QLineEdit*>("edtFirstName")->setText("Ada");
        form.findChild<QLineEdit*>("edtCity")->setText("Port Hesper");
        form.findChild<QLineEdit*>("edtCountry")->setText("Orion Arm");
        form.findChild<QLineEdit*>("edtEMail")->setText("orion@example.org");
        form.findChild<QPlainTextEdit*>("memoComments")->setPlainText("Looking for allies on the big maps.");
        form.SetGlyph(Badge('O', QColor(220, 160, 20)));
        form.adjustSize();
        form.show();
        QApplication::processEvents();
        save(form, "newuser");
    }

    TLocalLobby server;
    server.Config << "ping-interval = 1";
    QString why;
    TLobbyScreen* lobby = window.LobbyScreen();
    if (!server.Start(&why)) {
        std::fprintf(stderr, "quorvex: the lobby's screens are shown without a lobby: %s\n", qPrintable(why));
        window.Screens()->setCurrentWidget(lobby);
        QApplication::processEvents();
        save(window, "lobby");
        window.Screens()->setCurrentWidget(window.HistoryScreen());
        QApplication::processEvents();
        save(window, "history");
        window.Screens()->setCurrentWidget(window.Screen("pnlTitle"));
        return;
    }

    // Other Star Lords: a finished game for the history, a game waiting for
    // players, a chat room, and talk in the lobby.
    std::vector<std::unique_ptr<TVisitor>> visitors;
    const auto visit = [&](const std::string& name, const QColor& color, const std::string& city) -> TVisitor& {
        visitors.push_back(std::make_unique<TVisitor>(server.Port(), name, color, city));
        return *visitors.back();
    };
    TVisitor& vega = visit("Vega", QColor(200, 60, 60), "New Tycho");
    TVisitor& talos = visit("Talos", QColor(40, 120, 220), "Deneb Yards");
    TVisitor& nyx = visit("Nyx", QColor(140, 60, 200), "Shroud");
    TVisitor& lyra = visit("Lyra", QColor(30, 160, 90), "Arcadia");
    const std::string skirmish = "~Skirmish;Duel.qxscen;2;0;18;100;4;";
    talos.kyrel.CreateSubject(skirmish, 2);
    WaitFor([&] { return talos.In(skirmish); });
    nyx.kyrel.JoinSubject(skirmish);
    WaitFor([&] { return nyx.In(skirmish); });
    Pump(100);
    const std::string today = QDate::currentDate().toString("MM/dd/yyyy").toStdString();
    talos.kyrel.SendCustom("QXUPDATE", today + "%Talos%Nyx%412");
    Pump(100);
    talos.kyrel.JoinSubject("Lobby Chat");
    nyx.kyrel.JoinSubject("Lobby Chat");
    WaitFor([&] { return talos.In("Lobby Chat") && nyx.In("Lobby Chat"); });
    vega.kyrel.SendCustom("QXSCHEDULE", "Evenings, 19:00 to 23:00 UTC");
    talos.kyrel.SendCustom("QXSCHEDULE", "Weekends, any time");
    lyra.kyrel.SendCustom("QXSCHEDULE", "Lunch breaks");
    lyra.kyrel.CreateSubject("Nebula Tavern", 0);
    const std::string rimWars = "~Rim Wars;Galaxy.qxscen;4;1;18;150;4;";
    nyx.kyrel.CreateSubject(rimWars, 3);
    WaitFor([&] { return lyra.In("Nebula Tavern") && nyx.In(rimWars); });

    // The window logs in as a player would.
    TLoginRequest request;
    request.UserName = "Orion";
    request.Password = "secret";
    TKyrelUser orion("Orion");
    orion.Password = "secret";
    orion.City = "Port Hesper";
    orion.Glyph = Badge('O', QColor(220, 160, 20));
    request.NewUserRecord = QString::fromStdString(orion.ToText());
    request.AnotherServer = true;
    request.Host = "127.0.0.1";
    request.Port = server.Port();
    window.Lobby().LogIn(request);
    if (!WaitFor([&] { return window.LoggedIn() && window.Lobby().Kyrel().UserCount() >= 3; })) {
        std::fprintf(stderr, "quorvex: the window could not log in to its own lobby\n");
        return;
    }
    window.Screens()->setCurrentWidget(lobby);
    Say(vega, "Anyone up for Rim Wars? Nyx is hosting, one seat left.");
    Say(talos, "gg Nyx, that Duel was close");
    lobby->ChatField()->setText("Count me in, I'll bring the Drones.");
    lobby->btnSendChatClick();
    Say(vega, "Welcome, Orion!");
    lobby->ChatField()->setText("Thanks! Nice glyph, Vega.");
    // Latencies come with the server's pings.
    WaitFor([&] {
        const TKyrelUser* user = window.Lobby().Kyrel().FindUser("Vega");
        return user && user->AverageLatency() > 0;
    }, 3000);
    const int game = lobby->List()->FindItem(QString::fromStdString(rimWars));
    if (game >= 0) {
        lobby->List()->setCurrentRow(game);
        lobby->lbKyrelSubjectsClick(game);
    }
    QApplication::processEvents();
    save(window, "lobby");

    // A user's record, as a double click shows it.
    if (TKyrelUser* user = window.Lobby().Kyrel().FindUser("Talos")) {
        window.Lobby().Kyrel().RequestUserInfo("Talos");
        WaitFor([&] { return !user->InfoValue("QxRank").empty(); }, 2000);
        TKyrelUser copy = *user;
        TfrmUserInfo form(copy, false, {"QxWins", "QxLosses", "QxScore", "QxRank"}, &window);
        form.setWindowTitle("User Information");
        form.adjustSize();
        form.show();
        QApplication::processEvents();
        save(form, "userinfo");
    }

    // The server's statistics.
    {
        TKyrelConnection& kyrel = window.Lobby().Kyrel();
        bool answered = false;
        const TStatusEvent previous = kyrel.OnServerStatus;
        kyrel.OnServerStatus = [&answered](TObject*, TKyrelServerStats*) { answered = true; };
        kyrel.RequestServerStats();
        WaitFor([&] { return answered; });
        kyrel.OnServerStatus = previous;
        TfrmServerStats form(kyrel, &window);
        form.setWindowTitle("Kyrel Server Statistics");
        form.ShowStats(kyrel.ServerStats());
        form.adjustSize();
        form.show();
        QApplication::processEvents();
        save(form, "serverstats");
    }

    // The game history.
    THistoryScreen* history = window.HistoryScreen();
    history->RequestHistory();
    WaitFor([&] { return history->Schedules()->topLevelItemCount() > 0; });
    window.Screens()->setCurrentWidget(history);
    QApplication::processEvents();
    save(window, "history");

    window.Lobby().LogOut();
    window.LobbyScreen()->Reset();
    window.Screens()->setCurrentWidget(window.Screen("pnlTitle"));
    visitors.clear();
    Pump(50);
}

} // namespace qx
