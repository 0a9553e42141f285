// Whole network games: the real quorvex-lobby on a free port of 127.0.0.1
// and three qxtool netplay processes. Every process is killed at the end of
// each test, also when it fails.
#include <gtest/gtest.h>

#include <QProcess>

#include <fstream>
#include <memory>

#include "LobbyTestSupport.h"

using namespace qx::test;

namespace {

constexpr int kGameSeconds = 45;

struct Netplay : ::testing::Test {
    std::filesystem::path dir;
    std::vector<std::unique_ptr<QProcess>> processes;
    quint16 port = 0;

    void SetUp() override {
        QtApp();
        dir = std::filesystem::temp_directory_path() /
              ("netplay-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        // Games here run at hundreds of impulses a second: the line limits
        // of a public lobby would take them for floods.
        std::ofstream(dir / "lobby.conf") << "listen-address = 127.0.0.1\npassword-cost = minimum\n"
                                             "lines-per-second = 20000\nline-burst = 40000\n"
                                             "bytes-per-second = 1000000000\n";
    }
    void TearDown() override {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
        processes.clear();
        std::filesystem::remove_all(dir);
    }

    QProcess& Start(const QString& program, const QStringList& args) {
        processes.push_back(std::make_unique<QProcess>());
        QProcess& process = *processes.back();
        process.setWorkingDirectory(QString::fromStdString(dir.string()));
        process.start(program, args);
        EXPECT_TRUE(process.waitForStarted(5000)) << program.toStdString();
        return process;
    }

    void StartLobby() {
        QProcess& lobby = Start(QUORVEX_LOBBY_PATH, {"--port", "0", "--http-port", "0", "--database",
                                                     QString::fromStdString((dir / "lobby.sqlite").string()),
                                                     "--config", QString::fromStdString((dir / "lobby.conf").string())});
        ASSERT_TRUE(WaitFor([&] { return lobby.canReadLine(); }, 10000));
        const QStringList words = QString::fromUtf8(lobby.readLine()).trimmed().split(' ');
        ASSERT_EQ(words.size(), 8);
        port = static_cast<quint16>(words[4].chopped(1).toUInt());
        ASSERT_NE(port, 0);
    }

    QProcess& Player(const std::string& name, const QStringList& role) {
        QStringList args{"netplay", "--server", "127.0.0.1:" + QString::number(port), "--user",
                         QString::fromStdString(name), "--password", "pw-" + QString::fromStdString(name),
                         "--new-user", "--interval", "2", "--max-impulses", "4000"};
        args += role;
        return Start(QXTOOL_PATH, args);
    }

    QProcess& Host() {
        return Player("Ann", {"--host", QString(QX_SOURCE_DIR) + "/data/scenarios/Duel.qxscen", "--game", "Final",
                              "--humans", "3", "--computers", "1", "--seed", "5", "--save",
                              QString::fromStdString((dir / "final.qx").string())});
    }

    static std::vector<std::string> Lines(QProcess& process) {
        std::vector<std::string> lines;
        for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
            if (!line.isEmpty()) lines.push_back(line.toStdString());
        return lines;
    }
};

bool Finished(const std::vector<QProcess*>& players) {
    return std::all_of(players.begin(), players.end(), [](QProcess* p) { return p->state() == QProcess::NotRunning; });
}

} // namespace

TEST_F(Netplay, ThreeMachinesPlayToAVictoryAndEndWithTheSameGame) {
    StartLobby();
    QProcess& ann = Host();
    QProcess& bob = Player("Bob", {"--join", "Final"});
    QProcess& cid = Player("Cid", {"--join", "Final"});
    ASSERT_TRUE(WaitFor([&] { return Finished({&ann, &bob, &cid}); }, kGameSeconds * 1000));

    std::vector<std::string> digests, victories;
    for (QProcess* player : {&ann, &bob, &cid}) {
        const std::string errors = player->readAllStandardError().toStdString();
        EXPECT_EQ(player->exitCode(), 0) << errors;
        const std::vector<std::string> lines = Lines(*player);
        ASSERT_GE(lines.size(), 2u) << errors;
        EXPECT_EQ(lines.back().rfind("DIGEST ", 0), 0u) << lines.back();
        EXPECT_EQ(lines.back().size(), 7u + 64u);
        digests.push_back(lines.back());
        std::string victory;
        for (const std::string& line : lines)
            if (line.rfind("VICTORY ", 0) == 0) victory = line;
        EXPECT_FALSE(victory.empty()) << lines[lines.size() - 2];
        victories.push_back(victory);
    }
    EXPECT_EQ(digests[0], digests[1]);
    EXPECT_EQ(digests[0], digests[2]);
    EXPECT_EQ(victories[0], victories[1]);
    EXPECT_EQ(victories[0], victories[2]);
    // The host saved the same final game.
    EXPECT_TRUE(std::filesystem::exists(dir / "final.qx"));
}

TEST_F(Netplay, KillingTheMasterMidGameHandsTheGameToTheNextMachine) {
    StartLobby();
    QProcess& ann = Host();
    QProcess& bob = Player("Bob", {"--join", "Final"});
    QProcess& cid = Player("Cid", {"--join", "Final"});
    // Wait until the game is well under way, then kill the master outright.
    std::string annOut;
    ASSERT_TRUE(WaitFor([&] {
        annOut += ann.readAllStandardOutput().toStdString();
        return annOut.find("impulse 200 (master)") != std::string::npos;
    }, kGameSeconds * 1000)) << annOut;
    ann.kill();
    ASSERT_TRUE(ann.waitForFinished(5000));
    ASSERT_TRUE(WaitFor([&] { return Finished({&bob, &cid}); }, kGameSeconds * 1000));

    std::vector<std::vector<std::string>> outputs;
    for (QProcess* player : {&bob, &cid}) {
        const std::string errors = player->readAllStandardError().toStdString();
        EXPECT_EQ(player->exitCode(), 0) << errors;
        outputs.push_back(Lines(*player));
        ASSERT_GE(outputs.back().size(), 2u) << errors;
    }
    const auto& bobLines = outputs[0];
    const auto& cidLines = outputs[1];
    EXPECT_EQ(bobLines.back().rfind("DIGEST ", 0), 0u);
    EXPECT_EQ(bobLines.back(), cidLines.back());
    // Both saw the same end: a victory (or the impulse cap) at the same impulse.
    EXPECT_EQ(bobLines[bobLines.size() - 2], cidLines[cidLines.size() - 2]);
    const bool dropped = std::any_of(bobLines.begin(), bobLines.end(), [](const std::string& l) {
        return l == "message: Ann has dropped from the Game";
    });
    EXPECT_TRUE(dropped);
    // Someone became the master after Ann.
    const bool masterAfter = std::any_of(outputs.begin(), outputs.end(), [](const auto& lines) {
        return std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find("(master)") != std::string::npos;
        });
    });
    EXPECT_TRUE(masterAfter);
}
