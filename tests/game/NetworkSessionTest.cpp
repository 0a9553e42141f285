// The session's network path without a server: the lobby connection reads
// the server's lines from the test and writes its own into a list.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "base/TaskQueueExecutor.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "engine/SavedGame.h"
#include "game/GameSession.h"
#include "net/KyrelConnection.h"
#include "net/RealTimeEngine.h"
#include "net/game/GameSubject.h"
#include "net/game/NetworkGame.h"
#include "scenario/ScriptsModule.h"
#include "tests/game/GameFixture.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using T = TShipType;

// A socket that is always connected: what the client writes is kept line by line.
struct LineTransport : IKyrelTransport {
    TEvents events;
    std::vector<std::string> lines;
    void SetEvents(TEvents e) override { events = std::move(e); }
    void Open(const std::string&, bool, int) override {}
    void Close() override {}
    void Write(std::string_view bytes) override {
        std::string text(bytes);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        lines.push_back(text);
    }
    bool Sent(const std::string& prefix) const {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    }
    std::string Last(const std::string& prefix) const {
        for (auto it = lines.rbegin(); it != lines.rend(); ++it)
            if (it->rfind(prefix, 0) == 0) return *it;
        return {};
    }
};

std::string Record(const std::string& name) { return TKyrelUser(name).ToText(); }

// One machine: the session as the window has it, on a lobby connection the
// test plays the server for.
struct NetworkScene {
    // The connection outlives the session, as the window's does.
    LineTransport transport;
    TKyrelConnection kyrel{transport};
    std::shared_ptr<TaskQueueExecutor> executor = std::make_shared<TaskQueueExecutor>();
    TRealTimeEngine clock{executor};
    TQuorvexEngine engine;
    TdmScripts scripts;
    TGameBoard board{test::BoardArt(), nullptr};
    TGameSession session{engine, scripts, clock, board};
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::map<std::string, bool> answers;

    explicit NetworkScene(const std::string& me) {
        clock.Interval = 0;
        engine.RulesRandom.Seed(77);
        session.AnimateBoard = false;
        session.ShowMessage = [this](const std::string& m) { messages.push_back(m); };
        session.Confirm = [this](const std::string& q) {
            questions.push_back(q);
            return answers[q];
        };
        session.SelectedShipTypes = {T::WarShip, T::ScanShip, T::Drone, T::EMine, T::Tug, T::SpyShip};
        session.Brains().Folders = {QX_SOURCE_DIR "/data/brains"};
        session.AttachLobby(kyrel);
        kyrel.SetSubjectCode("Quorvex");
        kyrel.SetActive(true);
        transport.events.Connected();
        Server("LOGIN|SUCCESS|" + Record(me));
        Server("JOINSUBJECT|Lobby Chat|" + Record(me));
    }
    ~NetworkScene() { session.StopGame(); }

    void Server(const std::string& line) { kyrel.Receive(line + "\n"); }
    // The setup screen entered from the lobby, Duel for two humans and a brain.
    void SetUpDuel(int humans, int computers) {
        session.Setup().Enter(true);
        session.Setup().ScenarioFile = QX_SOURCE_DIR "/data/scenarios/Duel.qxscen";
        session.Setup().SetHumanPlayers(humans);
        session.Setup().SetComputerPlayers(computers);
        session.NetworkGameName = "Night Raid";
    }
    bool Said(const std::string& prefix) const {
        return std::any_of(messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
    }
};

TEST(NetworkSession, TheHostCreatesTheGameAndBuildsItWhenTheServerBeginsIt) {
    NetworkScene s("Ann");
    s.SetUpDuel(2, 1);
    EXPECT_EQ(s.session.Setup().HumanMin(), 2);
    EXPECT_EQ(s.session.Setup().HumanMax(), 10);
    s.session.Brains().SetName(2, "Warden");
    const TGameResult created = s.session.Proceed();
    ASSERT_TRUE(created.Ok) << created.Message;
    EXPECT_EQ(s.transport.Last("CREATESUBJECT|"), "CREATESUBJECT|~Night Raid;Duel.qxscen;3;1;18;100;4;|2|");
    EXPECT_TRUE(s.session.Network()->Host());
    EXPECT_FALSE(s.clock.Active()) << "the game waits for the server";
    // A brain chosen later is not the one the game was created with.
    s.session.Brains().SetName(2, "Pathfinder");

    // The server puts the host first; one more user than humans is there.
    const std::string subject = "~Night Raid;Duel.qxscen;3;1;18;100;4;";
    s.Server("JOINSUBJECT|" + subject + "|" + Record("Ann") + "|" + Record("Bob") + "|" + Record("Cid"));
    // Joining the own game again sends nothing and keeps this machine the host.
    const size_t sent = s.transport.lines.size();
    EXPECT_TRUE(s.session.JoinNetworkGame(subject));
    EXPECT_EQ(s.transport.lines.size(), sent);
    ASSERT_TRUE(s.session.Network()->Host());

    s.Server("BEGINSUBJECT|");
    ASSERT_TRUE(s.session.InNetworkGame());
    ASSERT_TRUE(s.clock.Active());
    EXPECT_EQ(s.clock.KyrelConnection(), &s.kyrel);
    ASSERT_EQ(s.engine.PlayerCount(), 3);
    EXPECT_EQ(s.engine.GetPlayer(0)->Name, "Ann");
    EXPECT_EQ(s.engine.GetPlayer(1)->Name, "Bob");
    TPlayer* brain = s.engine.GetPlayer(2);
    ASSERT_TRUE(brain->Computer);
    EXPECT_NE(brain->Name, "Cid") << "a user beyond the human players renames no brain";
    EXPECT_NE(brain->Name, "Player 3") << "the brain got its name at the game's begin";
    EXPECT_EQ(brain->BrainFile, "Warden.qxbrain") << "the brain chosen when the game was created";
    EXPECT_EQ(s.engine.CurrentPlayer, s.engine.GetPlayer(0));
    EXPECT_EQ(s.engine.CurrentPlayer->ShipTypes, s.session.SelectedShipTypes);
    const std::string info = s.transport.Last("SEND|DATA|GAMEINFO:");
    ASSERT_FALSE(info.empty());
    EXPECT_EQ(info.substr(19), s.engine.SaveToText());

    // A network game does not pause: the others would wait on this machine.
    s.session.TogglePause();
    EXPECT_FALSE(s.clock.Paused());
    EXPECT_FALSE(s.session.Paused());
}

TEST(NetworkSession, WithoutAWindowTheBrainsKeepTheirNamesAndFilesToo) {
    // The network game on its own (as qxtool netplay runs it): the computer
    // player keeps the galaxy's name and takes the setup's brain file.
    LineTransport transport;
    TKyrelConnection kyrel{transport};
    auto executor = std::make_shared<TaskQueueExecutor>();
    TRealTimeEngine clock{executor};
    TQuorvexEngine engine;
    TdmScripts scripts;
    TImpulseDriver driver{engine};
    TNetworkGame game(engine, scripts, clock, kyrel, driver);
    kyrel.SetActive(true);
    transport.events.Connected();
    kyrel.Receive("LOGIN|SUCCESS|" + Record("Ann") + "\n");
    TNetworkGameSetup setup;
    setup.GameName = "Raid";
    setup.ScenarioFile = "Duel.qxscen";
    std::ifstream in(QX_SOURCE_DIR "/data/scenarios/Duel.qxscen");
    setup.ScenarioText.assign(std::istreambuf_iterator<char>(in), {});
    setup.Humans = 2;
    setup.Computers = 1;
    setup.BrainFiles = {"Warden.qxbrain"};
    game.CreateGame(setup);
    kyrel.Receive("JOINSUBJECT|~Raid;Duel.qxscen;3;1;18;100;4;|" + Record("Ann") + "|" + Record("Bob") + "|" +
                  Record("Cid") + "\n");
    kyrel.Receive("BEGINSUBJECT|\n");
    ASSERT_TRUE(game.Started());
    EXPECT_EQ(engine.GetPlayer(1)->Name, "Bob");
    EXPECT_EQ(engine.GetPlayer(2)->Name, "Player 3") << "Cid is no player of this game";
    EXPECT_EQ(engine.GetPlayer(2)->BrainFile, "Warden.qxbrain");
    game.Stop();
}

TEST(NetworkSession, ExitAsksForTheSurrenderFirstAndLeavesForLobbyChat) {
    NetworkScene s("Ann");
    s.SetUpDuel(2, 0);
    ASSERT_TRUE(s.session.Proceed().Ok);
    s.Server("JOINSUBJECT|~Night Raid;Duel.qxscen;2;0;18;100;4;|" + Record("Ann") + "|" + Record("Bob"));
    s.Server("BEGINSUBJECT|");
    ASSERT_TRUE(s.clock.Active());

    // Yes: the surrender goes out as an order; the player stays to see it taken.
    s.answers["Do you want to Surrender?"] = true;
    EXPECT_FALSE(s.session.ExitGame());
    EXPECT_EQ(s.clock.PendingOrders(), "24:~");
    EXPECT_TRUE(s.clock.Active());
    EXPECT_EQ(s.questions, std::vector<std::string>{"Do you want to Surrender?"});

    // No, and no to leaving: the game goes on.
    s.questions.clear();
    s.answers["Do you want to Surrender?"] = false;
    EXPECT_FALSE(s.session.ExitGame());
    EXPECT_TRUE(s.clock.Active());
    EXPECT_EQ(s.questions, (std::vector<std::string>{"Do you want to Surrender?", "Exit this Game?"}));

    // Leaving without a surrender: stopped, not saved, back to "Lobby Chat".
    s.questions.clear();
    s.answers["Exit this Game?"] = true;
    EXPECT_TRUE(s.session.ExitGame());
    EXPECT_FALSE(s.clock.Active());
    EXPECT_EQ(s.questions,
              (std::vector<std::string>{"Do you want to Surrender?", "Exit this Game?", "Do you want to Save this Game?"}));
    EXPECT_EQ(s.transport.Last("JOINSUBJECT|"), "JOINSUBJECT|Lobby Chat");
    EXPECT_FALSE(s.session.InNetworkGame());

    s.questions.clear();
    EXPECT_TRUE(s.session.ExitGame()) << "a stopped game leaves without questions";
    EXPECT_TRUE(s.questions.empty());
}

TEST(NetworkSession, TheLastUserInAGameIsNotAskedToSurrender) {
    NetworkScene s("Ann");
    s.SetUpDuel(2, 0);
    ASSERT_TRUE(s.session.Proceed().Ok);
    s.Server("JOINSUBJECT|~Night Raid;Duel.qxscen;2;0;18;100;4;|" + Record("Ann"));
    s.Server("BEGINSUBJECT|");
    ASSERT_TRUE(s.clock.Active());
    ASSERT_EQ(s.clock.UserCount(), 1);
    s.answers["Exit this Game?"] = true;
    EXPECT_TRUE(s.session.ExitGame());
    EXPECT_EQ(s.questions, (std::vector<std::string>{"Exit this Game?", "Do you want to Save this Game?"}));
    EXPECT_EQ(s.clock.PendingOrders(), "");
}

TEST(NetworkSession, NamesThatWouldBreakTheSubjectAreRefused) {
    NetworkScene s("Ann");
    s.SetUpDuel(2, 0);
    for (const std::string& bad : std::vector<std::string>{"Raid;4", "Pipe|Dream", "~Tilde", "Back\\slash", "Bell\a"}) {
        s.session.NetworkGameName = bad;
        const TGameResult refused = s.session.Proceed();
        EXPECT_FALSE(refused.Ok) << bad;
        EXPECT_NE(refused.Message.find("A Game's name cannot"), std::string::npos) << refused.Message;
    }
    EXPECT_FALSE(s.transport.Sent("CREATESUBJECT|"));

    std::string name;
    EXPECT_EQ(CheckSubjectName("  Night Raid  ", name, "A Game's name"), "");
    EXPECT_EQ(name, "Night Raid");
    EXPECT_EQ(CheckSubjectName("   ", name, "X"), "");
    EXPECT_TRUE(name.empty()) << "an empty answer is no name";
    EXPECT_NE(CheckSubjectName(std::string(41, 'a'), name, "X"), "");
    EXPECT_EQ(CheckSubjectName(std::string(40, 'a'), name, "X"), "");
    // Characters, not bytes: forty umlauts are a name.
    std::string umlauts;
    for (int i = 0; i < 40; ++i) umlauts += "\xc3\xa4";
    EXPECT_EQ(CheckSubjectName(umlauts, name, "X"), "");

    // A scenario file whose name holds ";" cannot travel in the subject.
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qx-netsession-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(QX_SOURCE_DIR "/data/scenarios/Duel.qxscen", dir / "Du;el.qxscen",
                               std::filesystem::copy_options::overwrite_existing);
    s.session.NetworkGameName = "Fine";
    s.session.Setup().ScenarioFile = (dir / "Du;el.qxscen").string();
    const TGameResult file = s.session.Proceed();
    EXPECT_FALSE(file.Ok);
    EXPECT_NE(file.Message.find("The Scenario file's name cannot"), std::string::npos) << file.Message;
    s.session.Setup().ScenarioFile = (dir / "Missing.qxscen").string();
    EXPECT_NE(s.session.Proceed().Message.find("could not be read"), std::string::npos);
    EXPECT_FALSE(s.transport.Sent("CREATESUBJECT|"));
    std::filesystem::remove_all(dir);
}

TEST(NetworkSession, OnlyGamesOfThisVersionAreJoined) {
    NetworkScene s("Bob");
    std::string why;
    EXPECT_FALSE(s.session.JoinNetworkGame("~New;Duel.qxscen;2;0;18;100;5;", &why));
    EXPECT_EQ(why, "This Game was created with Quorvex version 5, and you have version 4");
    // A version field that cannot be read is another version, not this one.
    EXPECT_FALSE(s.session.JoinNetworkGame("~Odd;Duel.qxscen;2;0;18;100;four;", &why));
    EXPECT_EQ(why, "This Game was created with Quorvex version four, and you have version 4");
    EXPECT_FALSE(s.session.JoinNetworkGame("~Short;Duel.qxscen;2", &why));
    EXPECT_EQ(why, "This Game was created with Quorvex version unknown, and you have version 4");
    EXPECT_FALSE(s.session.JoinNetworkGame("~Half;Duel.qxscen;2;0;18;100;4.5;", &why));
    EXPECT_FALSE(s.transport.Sent("JOINSUBJECT|"));
    EXPECT_TRUE(s.session.JoinNetworkGame("~Ok;Duel.qxscen;2;0;18;100;4;", &why));
    EXPECT_EQ(s.transport.Last("JOINSUBJECT|"), "JOINSUBJECT|~Ok;Duel.qxscen;2;0;18;100;4;");
}

TEST(NetworkSession, ARestoredGameIsOfferedForTheHumansStillInPlay) {
    NetworkScene s("Bob");
    // A saved game of Ann, Bob and a brain.
    s.SetUpDuel(2, 1);
    s.session.Setup().Enter(false);
    s.session.Setup().ScenarioFile = QX_SOURCE_DIR "/data/scenarios/Duel.qxscen";
    s.session.Setup().SetComputerPlayers(2);
    ASSERT_TRUE(s.session.BuildPreview().Ok);
    s.engine.GetPlayer(0)->Name = "Ann";
    s.engine.GetPlayer(1)->Name = "Bob";
    s.engine.GetPlayer(1)->Computer = false;
    s.engine.SetImpulse(57);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qx-restore-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "Long Night.qx").string();
    TSavedGame::SaveFile(file, s.engine);

    const TGameResult restored = s.session.RestoreNetworkGame(file);
    ASSERT_TRUE(restored.Ok) << restored.Message;
    EXPECT_EQ(s.transport.Last("CREATESUBJECT|"), "CREATESUBJECT|~Long Night;Restored Game;3;1;0;0;4;|2|");
    EXPECT_EQ(s.engine.CurrentPlayer->Name, "Bob");
    EXPECT_TRUE(s.session.Network()->Restored());
    // When the game begins the loaded galaxy is played, not a new one.
    s.Server("JOINSUBJECT|~Long Night;Restored Game;3;1;0;0;4;|" + Record("Bob") + "|" + Record("Ann"));
    s.Server("BEGINSUBJECT|");
    ASSERT_TRUE(s.clock.Active());
    EXPECT_EQ(s.engine.Impulse, 57);
    EXPECT_EQ(s.engine.GetPlayer(0)->Name, "Ann");

    // Somebody else's saved game: said so, nothing created.
    NetworkScene eve("Eve");
    const TGameResult foreign = eve.session.RestoreNetworkGame(file);
    EXPECT_FALSE(foreign.Ok);
    EXPECT_EQ(foreign.Message, "A Player named Eve was not found in this Game.");
    EXPECT_FALSE(eve.transport.Sent("CREATESUBJECT|"));
    // A file name that cannot travel in a subject is refused before loading.
    const std::string bad = (dir / "Bad;Name.qx").string();
    std::filesystem::copy_file(file, bad);
    EXPECT_NE(eve.session.RestoreNetworkGame(bad).Message.find("cannot contain"), std::string::npos);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace qx
