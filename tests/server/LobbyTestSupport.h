#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/KyrelConnection.h"
#include "net/LineBuffer.h"
#include "net/StringEncryptor.h"
#include "net/qt/QtKyrelTransport.h"
#include "server/LobbyServer.h"
#include "server/LobbyStore.h"

namespace qx::test {

inline QCoreApplication& QtApp() {
    static int argc = 1;
    static char name[] = "lobby-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                : new QCoreApplication(argc, argv);
    return *app;
}

// Runs the event loop until Done() or Ms have passed.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

inline void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

// A game client as the program uses it: the lobby connection over the Qt
// socket, scrambled with the game's key; every event is written to a log.
struct Client {
    TQtKyrelTransport transport;
    TKyrelConnection kyrel{transport};
    TStringEncryptor encryptor{kGameKey};
    std::vector<std::string> log;
    std::vector<std::string> lines;  // every line read, unscrambled

    explicit Client(quint16 port) {
        kyrel.UseEncryptor(&encryptor);
        kyrel.SetHost("127.0.0.1");
        kyrel.SetPort(port);
        kyrel.SetSubjectCode("Quorvex");
        kyrel.OnConnected = [this](TObject*) { log.push_back("connected"); };
        kyrel.OnDisconnected = [this](TObject*) { log.push_back("disconnected"); };
        kyrel.OnLoginSuccess = [this](TObject*, TKyrelUser* u) { log.push_back("login " + u->UserId); };
        kyrel.OnLoginFailed = [this](TObject*, const std::string& t) { log.push_back("login failed " + t); };
        kyrel.OnAddSubject = [this](TObject*, const std::string& s) { log.push_back("add " + s); };
        kyrel.OnRemoveSubject = [this](TObject*, const std::string& s) { log.push_back("remove " + s); };
        kyrel.OnJoinSubject = [this](TObject*, const std::string& s) { log.push_back("join " + s); };
        kyrel.OnAddUser = [this](TObject*, TKyrelUser* u) { log.push_back("user+ " + u->UserId); };
        kyrel.OnRemoveUser = [this](TObject*, TKyrelUser* u) { log.push_back("user- " + u->UserId); };
        kyrel.OnBeginSubject = [this](TObject*) { log.push_back("begin"); };
        kyrel.OnChatReceived = [this](TObject*, const std::string& t, const std::string& id) {
            log.push_back("chat " + id + " " + t);
        };
        kyrel.OnDataReceived = [this](TObject*, const std::string& t, const std::string& id) {
            log.push_back("data " + id + " " + t);
        };
        kyrel.OnServerError = [this](TObject*, const std::string& t) { log.push_back("error " + t); };
        kyrel.OnShout = [this](TObject*, const std::string& t) { log.push_back("shout " + t); };
        kyrel.OnCustomMessage = [this](TObject*, const std::string& type, const std::string& text) {
            log.push_back("custom " + type + " " + text);
        };
        kyrel.OnUserInfo = [this](TObject*, TKyrelUser* u) { log.push_back("info " + u->UserId + " " + u->City); };
        kyrel.OnServerStatus = [this](TObject*, TKyrelServerStats* s) {
            log.push_back("stats " + std::to_string(s->CurrentConnections));
        };
        kyrel.OnStringRead = [this](TObject*, const std::string& line) { lines.push_back(line); };
    }

    bool Connect() {
        kyrel.SetActive(true);
        return WaitFor([this] { return kyrel.Active() || Saw("disconnected"); }) && kyrel.Active();
    }
    bool Saw(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    bool SawPrefix(const std::string& prefix) const {
        return std::any_of(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
    int Count(const std::string& entry) const { return static_cast<int>(std::count(log.begin(), log.end(), entry)); }
    bool WaitSaw(const std::string& entry, int ms = 5000) {
        return WaitFor([&] { return Saw(entry); }, ms);
    }
    bool WaitPrefix(const std::string& prefix, int ms = 5000) {
        return WaitFor([&] { return SawPrefix(prefix); }, ms);
    }
    // Creates the account (first time) or logs in; true once in Lobby Chat.
    bool Enter(const std::string& name, const std::string& password, bool create) {
        if (!kyrel.Active() && !Connect()) return false;
        log.clear();
        if (create) {
            TKyrelUser user(name);
            user.Password = password;
            kyrel.LoginNew(name, user.ToText());
        } else {
            kyrel.Login(name, password);
        }
        return WaitFor([&] { return kyrel.CurrentSubject() == "Lobby Chat" || SawPrefix("login failed"); }) &&
               kyrel.LoggedIn();
    }
};

// A socket that speaks raw lines (scrambled like the game's), for what the
// game itself never sends.
struct RawClient {
    QTcpSocket socket;
    TStringEncryptor encryptor{kGameKey};
    TLineBuffer buffer;
    std::vector<std::string> lines;
    bool closed = false;

    explicit RawClient(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = socket.readAll();
            buffer.Append(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), [this](std::string l) {
                encryptor.DecryptLine(l);
                lines.push_back(l);
                return true;
            });
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
        socket.connectToHost("127.0.0.1", port);
        WaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState || closed; });
    }
    void Send(std::string line) {
        encryptor.EncryptLine(line);
        line += '\n';
        socket.write(line.data(), static_cast<qint64>(line.size()));
    }
    void SendBytes(const std::string& bytes) { socket.write(bytes.data(), static_cast<qint64>(bytes.size())); }
    bool Has(const std::string& prefix) const {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    }
    bool WaitLine(const std::string& prefix, int ms = 5000) {
        return WaitFor([&] { return Has(prefix); }, ms);
    }
};

// A lobby server on a free port of 127.0.0.1, with its database in a
// temporary folder and cheap password hashing.
struct LobbyFixture : ::testing::Test {
    std::filesystem::path dir;
    lobby::TLobbyOptions options;
    std::unique_ptr<lobby::TLobbyStore> store;
    std::unique_ptr<lobby::TLobbyServer> server;
    std::vector<std::string> serverLog;

    void SetUp() override {
        QtApp();
        dir = std::filesystem::temp_directory_path() /
              ("lobby-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        options.ListenAddress = QHostAddress::LocalHost;
        options.Port = 0;
        options.HashCost = lobby::TPasswordHasher::TCost::Minimum;
    }
    void TearDown() override {
        server.reset();
        store.reset();
        Pump(20);
        std::filesystem::remove_all(dir);
    }
    void Start() {
        store = std::make_unique<lobby::TLobbyStore>(QString::fromStdString((dir / "lobby.sqlite").string()));
        server = std::make_unique<lobby::TLobbyServer>(options, *store);
        server->Log = [this](const std::string& line) { serverLog.push_back(line); };
        std::string why;
        ASSERT_TRUE(server->Listen(&why)) << why;
    }
    void Restart() {
        server.reset();
        store.reset();
        Pump(20);
        Start();
    }
    quint16 Port() const { return server->Port(); }
    std::unique_ptr<Client> NewClient() { return std::make_unique<Client>(Port()); }
    std::unique_ptr<Client> Enter(const std::string& name, bool create = true, const std::string& password = "pw") {
        auto client = NewClient();
        EXPECT_TRUE(client->Enter(name, password, create)) << name;
        return client;
    }
};

} // namespace qx::test
