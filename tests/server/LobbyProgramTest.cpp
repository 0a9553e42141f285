// The quorvex-lobby program as an operator runs it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpSocket>

#include <fstream>

#include "LobbyTestSupport.h"

using namespace qx;
using namespace qx::test;

namespace {

struct LobbyProgram : ::testing::Test {
    std::filesystem::path dir;
    void SetUp() override {
        QtApp();
        dir = std::filesystem::temp_directory_path() / ("lobby-program-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "lobby.conf") << "listen-address = 127.0.0.1\npassword-cost = minimum\n";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    QStringList Args(const std::string& database) const {
        return {"--port", "0", "--http-port", "0", "--database", QString::fromStdString((dir / database).string()),
                "--advertise", "lobby.example.org", "--config", QString::fromStdString((dir / "lobby.conf").string())};
    }
};

// Reads "quorvex-lobby listening on port N, http port M".
bool ReadPorts(QProcess& process, quint16& port, quint16& http) {
    if (!WaitFor([&] { return process.canReadLine(); }, 10000)) return false;
    const QString line = QString::fromUtf8(process.readLine()).trimmed();
    const QStringList words = line.split(' ');
    if (words.size() != 8 || !line.startsWith("quorvex-lobby listening on port ")) return false;
    port = static_cast<quint16>(words[4].chopped(1).toUInt());
    http = static_cast<quint16>(words[7].toUInt());
    return port != 0 && http != 0;
}

std::string HttpGet(quint16 port, const std::string& path) {
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", port);
    if (!socket.waitForConnected(3000)) return {};
    socket.write(("GET " + path + " HTTP/1.0\r\nHost: localhost\r\n\r\n").c_str());
    std::string reply;
    WaitFor([&] {
        reply += socket.readAll().toStdString();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }, 3000);
    reply += socket.readAll().toStdString();
    const size_t body = reply.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : reply.substr(body + 4);
}

} // namespace

TEST_F(LobbyProgram, ServesTheLobbyAndItsDocumentsAndStopsOnSigterm) {
    QProcess lobby;
    lobby.start(QUORVEX_LOBBY_PATH, Args("lobby.sqlite"));
    ASSERT_TRUE(lobby.waitForStarted(5000));
    quint16 port = 0, http = 0;
    ASSERT_TRUE(ReadPorts(lobby, port, http)) << lobby.readAllStandardError().toStdString();

    std::string address = HttpGet(http, "/ip.adr");
    TStringEncryptor(kGameKey).Decrypt(address);
    EXPECT_EQ(address, "lobby.example.org");

    Client ann(port);
    ASSERT_TRUE(ann.Enter("Ann", "pw", true));
    const std::string page = HttpGet(http, "/");
    EXPECT_NE(page.find("Lobby Chat (1): Ann"), std::string::npos) << page;
    EXPECT_NE(page.find("Clients Connected:</th><td>1"), std::string::npos) << page;

    lobby.terminate();  // SIGTERM
    ASSERT_TRUE(lobby.waitForFinished(10000));
    EXPECT_EQ(lobby.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lobby.exitCode(), 0);
    EXPECT_TRUE(ann.WaitSaw("disconnected"));
    const std::string log = lobby.readAllStandardError().toStdString();
    EXPECT_NE(log.find("Ann logged in"), std::string::npos) << log;
    EXPECT_NE(log.find("stopped"), std::string::npos) << log;
    EXPECT_TRUE(std::filesystem::exists(dir / "lobby.sqlite"));
}

TEST_F(LobbyProgram, HelpAndBadOptions) {
    QProcess help;
    help.start(QUORVEX_LOBBY_PATH, {"--help"});
    ASSERT_TRUE(help.waitForFinished(5000));
    EXPECT_EQ(help.exitCode(), 0);
    const std::string text = help.readAllStandardOutput().toStdString();
    for (const char* option : {"--port", "--http-port", "--database", "--advertise", "--config"})
        EXPECT_NE(text.find(option), std::string::npos) << option;

    for (const QStringList& args : {QStringList{"--bogus"}, QStringList{"--port"}, QStringList{"--port", "70000"},
                                    QStringList{"--config", "/nonexistent/lobby.conf"}}) {
        QProcess bad;
        bad.start(QUORVEX_LOBBY_PATH, args);
        ASSERT_TRUE(bad.waitForFinished(5000));
        EXPECT_EQ(bad.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_NE(bad.readAllStandardError().toStdString().find("quorvex-lobby: "), std::string::npos);
    }
}
