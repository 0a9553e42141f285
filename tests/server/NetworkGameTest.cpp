// The network game without a screen, between machines in one process that
// meet through the real lobby server on 127.0.0.1.
#include <fstream>
#include <sstream>

#include "LobbyTestSupport.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "net/RealTimeEngine.h"
#include "net/game/GameSubject.h"
#include "net/game/NetworkGame.h"
#include "net/qt/QtMainThreadExecutor.h"
#include "scenario/ScriptsModule.h"

using namespace qx;
using namespace qx::test;

namespace {

std::string DuelScenario() {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/data/scenarios/Duel.qxscen");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One player's machine: its engine, scripts, clock, lobby connection and game.
struct Machine {
    TQtKyrelTransport transport;
    TKyrelConnection kyrel{transport};
    TStringEncryptor encryptor{kGameKey};
    TQuorvexEngine engine;
    TdmScripts scripts;
    TRealTimeEngine clock{std::make_shared<TQtMainThreadExecutor>()};
    TImpulseDriver driver{engine};
    std::unique_ptr<TNetworkGame> game;
    std::vector<std::string> messages, chats;
    int32_t impulse = 0;
    int32_t stopAt = 0;  // stop after this impulse (0: never)
    bool observing = false;

    explicit Machine(quint16 port) {
        kyrel.UseEncryptor(&encryptor);
        kyrel.SetHost("127.0.0.1");
        kyrel.SetPort(port);
        kyrel.SetSubjectCode("Quorvex");
        game = std::make_unique<TNetworkGame>(engine, scripts, clock, kyrel, driver);
        clock.Interval = 1;
        game->OnMessage = [this](const std::string& m) { messages.push_back(m); };
        game->OnGameChat = [this](const std::string& from, const std::string& text) { chats.push_back(from + ": " + text); };
        game->OnObserving = [this] { observing = true; };
        game->OnImpulseDone = [this](int32_t next) {
            impulse = next - 1;
            if (stopAt > 0 && impulse >= stopAt) game->Stop();
        };
    }
    ~Machine() { game.reset(); }

    bool Enter(const std::string& name) {
        kyrel.SetActive(true);
        if (!WaitFor([&] { return kyrel.Active(); })) return false;
        TKyrelUser user(name);
        user.Password = "pw";
        kyrel.LoginNew(name, user.ToText());
        return WaitFor([&] { return kyrel.CurrentSubject() == "Lobby Chat"; });
    }
    bool Said(const std::string& prefix) const {
        return std::any_of(messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
    }
};

struct NetworkGame : LobbyFixture {
    std::unique_ptr<Machine> Join(const std::string& name) {
        auto machine = std::make_unique<Machine>(Port());
        EXPECT_TRUE(machine->Enter(name)) << name;
        return machine;
    }
    static TNetworkGameSetup Setup(const std::string& name, int humans, int computers) {
        TNetworkGameSetup setup;
        setup.GameName = name;
        setup.ScenarioFile = "Duel.qxscen";
        setup.ScenarioText = DuelScenario();
        setup.Humans = humans;
        setup.Computers = computers;
        return setup;
    }
    // The subject as the lobby lists it once the host has made it.
    static std::string SubjectOf(Machine& joiner, const std::string& game) {
        std::string found;
        WaitFor([&] {
            for (const std::string& s : joiner.kyrel.Subjects())
                if (TGameSubject::Shown(s) == game) found = s;
            return !found.empty();
        });
        return found;
    }
    // A raw user in the lobby, for messages no game would send.
    std::unique_ptr<RawClient> Intruder(const std::string& name) {
        auto raw = std::make_unique<RawClient>(Port());
        TKyrelUser user(name);
        user.Password = "pw";
        raw->Send("LOGINNEW|" + name + "|Quorvex|" + user.ToText());
        EXPECT_TRUE(raw->WaitLine("JOINSUBJECT|Lobby Chat"));
        return raw;
    }
};

} // namespace

TEST(GameSubject, NameDetailsVersionAndHistoryTexts) {
    TGameSubject game;
    game.GameName = "Duel";
    game.Scenario = "Galaxy.qxscen";
    game.Players = 3;
    game.Computers = 1;
    game.CapitalValue = 18;
    game.StartingResources = 100;
    EXPECT_EQ(game.ToText(), "~Duel;Galaxy.qxscen;3;1;18;100;4;");
    TGameSubject read;
    ASSERT_TRUE(TGameSubject::Parse(game.ToText(), read));
    EXPECT_EQ(read.ToText(), game.ToText());
    EXPECT_EQ(TGameSubject::Shown(game.ToText()), "Duel");
    EXPECT_EQ(TGameSubject::Shown("Lobby Chat"), "Lobby Chat");
    EXPECT_FALSE(TGameSubject::Parse("Lobby Chat", read));
    EXPECT_FALSE(TGameSubject::Parse("~Duel;x;three;1;18;100;4;", read));
    EXPECT_EQ(game.Details(), "Scenario: Galaxy.qxscen  Players:3  Brains:1  CapValue:18  Resources:100");
    game.Scenario = "Restored Game";
    EXPECT_EQ(game.Details(), "Scenario: Restored Game");

    EXPECT_EQ(VersionNotice("4|17"), "");
    EXPECT_NE(VersionNotice("5|1").find("version 5"), std::string::npos);
    EXPECT_NE(VersionNotice("4|18").find("build 18"), std::string::npos);
    EXPECT_EQ(VersionNotice("four|x"), "");

    const TGameHistory history = TGameHistory::Parse("d1%Ann%Bob%5;d2%Bob%Ann%9;~1516 Commander%Ann;~");
    ASSERT_EQ(history.Games.size(), 2u);
    EXPECT_EQ(history.Games[1], (std::vector<std::string>{"d2", "Bob", "Ann", "9"}));
    EXPECT_EQ(history.HallOfFame[0], (std::vector<std::string>{"1516 Commander", "Ann"}));
    EXPECT_TRUE(history.Schedules.empty());  // an empty schedule section leaves the list empty
}

TEST_F(NetworkGame, HostAndJoinerStartTheSameGameAndStayAlike) {
    Start();
    auto ann = Join("Ann");
    auto bob = Join("Bob");
    bob->game->SelectedShipTypes = {TShipType::WarShip, TShipType::Drone, TShipType(9)};
    ann->game->CreateGame(Setup("Alike", 2, 1));
    const std::string subject = SubjectOf(*bob, "Alike");
    ASSERT_EQ(subject, "~Alike;Duel.qxscen;3;1;18;100;4;");
    ann->stopAt = bob->stopAt = 40;
    ASSERT_TRUE(bob->game->JoinGame(subject));
    ASSERT_TRUE(WaitFor([&] { return ann->game->Started() && bob->game->Started(); }));
    EXPECT_TRUE(ann->game->Host());
    EXPECT_EQ(ann->engine.GetPlayer(0)->Name, "Ann");
    EXPECT_EQ(ann->engine.GetPlayer(1)->Name, "Bob");
    EXPECT_TRUE(ann->engine.GetPlayer(2)->Computer);
    EXPECT_EQ(bob->engine.CurrentPlayer, bob->engine.GetPlayer(1));
    ASSERT_TRUE(WaitFor([&] { return ann->impulse >= 40 && bob->impulse >= 40; }, 20000));
    ASSERT_TRUE(WaitFor([&] { return !ann->clock.Active() && !bob->clock.Active(); }));
    // Bob's ship types reached the master, and both machines hold one game.
    EXPECT_EQ(ann->engine.GetPlayer(1)->ShipTypes, bob->game->SelectedShipTypes);
    EXPECT_EQ(ann->engine.SaveToText(), bob->engine.SaveToText());
    EXPECT_EQ(ann->engine.Impulse, 41);
}

TEST_F(NetworkGame, GameInfoComesOnlyFromTheHostWhileWaitingAndOnce) {
    Start();
    auto ann = Join("Ann");
    auto bob = Join("Bob");
    ann->game->CreateGame(Setup("Guarded", 4, 0));
    const std::string subject = SubjectOf(*bob, "Guarded");
    ASSERT_TRUE(bob->game->JoinGame(subject));
    auto eve = Intruder("Eve");
    eve->Send("JOINSUBJECT|" + subject);
    ASSERT_TRUE(WaitFor([&] { return bob->kyrel.UserCount() == 3; }));
    // Eve (not the subject's first user) hands Bob a game of her own.
    TQuorvexEngine fake;
    fake.MapWidth = fake.MapHeight = 4;
    fake.MapText = "16,-";
    auto player = std::make_unique<TPlayer>(&fake);
    player->Name = "Bob";
    fake.AddPlayer(std::move(player));
    eve->Send("SEND|DATA|GAMEINFO:" + fake.SaveToText());
    Pump(150);
    EXPECT_FALSE(bob->game->Started());
    // The fourth user begins the game: the host's game is the one Bob plays.
    auto dan = Intruder("Dan");
    dan->Send("JOINSUBJECT|" + subject);
    ASSERT_TRUE(WaitFor([&] { return bob->game->Started(); }));
    EXPECT_EQ(bob->engine.PlayerCount(), 4);
    EXPECT_EQ(bob->engine.GetPlayer(0)->Name, "Ann");
    const int bobIndex = bob->engine.CurrentPlayer->Index;
    const std::string after = bob->engine.GetPlayer(0)->Name;
    // A second GAMEINFO, even from the host, changes nothing any more.
    ann->kyrel.SendData("GAMEINFO:" + fake.SaveToText());
    Pump(100);
    EXPECT_EQ(bob->engine.PlayerCount(), 4);
    EXPECT_EQ(bob->engine.CurrentPlayer->Index, bobIndex);

    // SHIPTYPES: only for the sender's own player, only types 0..21.
    const int eveIndex = ann->engine.FindPlayerByName("Eve")->Index;
    const TShipTypeSet bobTypes = ann->engine.GetPlayer(bobIndex)->ShipTypes;
    eve->Send("SEND|DATA|" + TNetworkGame::ShipTypesMessage(bobIndex, {TShipType(20)}));
    eve->Send("SEND|DATA|SHIPTYPES:" + std::to_string(eveIndex) + ":0:22:");
    eve->Send("SEND|DATA|SHIPTYPES:" + std::to_string(eveIndex) + ":0:x:");
    Pump(100);
    EXPECT_EQ(ann->engine.GetPlayer(bobIndex)->ShipTypes, bobTypes);
    EXPECT_TRUE(ann->engine.GetPlayer(eveIndex)->ShipTypes.Empty());
    eve->Send("SEND|DATA|" + TNetworkGame::ShipTypesMessage(eveIndex, {TShipType(3), TShipType(21)}));
    ASSERT_TRUE(WaitFor([&] { return !ann->engine.GetPlayer(eveIndex)->ShipTypes.Empty(); }));
    EXPECT_EQ(ann->engine.GetPlayer(eveIndex)->ShipTypes, (TShipTypeSet{TShipType(3), TShipType(21)}));

    // GAMECHAT: one flag per player; a short list is addressed to nobody.
    std::vector<bool> flags(4, false);
    flags[static_cast<size_t>(bobIndex)] = true;
    ann->game->SendGameChat(flags, "to Bob: hold the line");
    flags[static_cast<size_t>(bobIndex)] = false;
    ann->game->SendGameChat(flags, "not for Bob");
    ann->kyrel.SendData("GAMECHAT:1:1:short");
    ASSERT_TRUE(WaitFor([&] { return !bob->chats.empty(); }));
    Pump(100);
    EXPECT_EQ(bob->chats, std::vector<std::string>{"Ann: to Bob: hold the line"});
}

TEST_F(NetworkGame, AJoinerWhoseGameCannotStartGoesBackToTheLobby) {
    Start();
    auto bob = Join("Bob");
    auto eve = Intruder("Eve");
    const std::string subject = "~Trap;Duel.qxscen;3;0;18;100;4;";
    eve->Send("CREATESUBJECT|" + subject + "|3|");
    ASSERT_EQ(SubjectOf(*bob, "Trap"), subject);
    ASSERT_TRUE(bob->game->JoinGame(subject));
    ASSERT_TRUE(WaitFor([&] { return bob->kyrel.CurrentSubject() == subject; }));
    eve->Send("SEND|DATA|GAMEINFO:4;1;not a game");
    ASSERT_TRUE(WaitFor([&] { return bob->kyrel.CurrentSubject() == "Lobby Chat"; }));
    EXPECT_TRUE(bob->Said("The Game could not be loaded"));
    EXPECT_FALSE(bob->game->Started());
    EXPECT_FALSE(bob->clock.Active());

    // A game without a player of Bob's name: the same way back.
    ASSERT_TRUE(bob->game->JoinGame(subject));
    ASSERT_TRUE(WaitFor([&] { return bob->kyrel.CurrentSubject() == subject; }));
    TQuorvexEngine other;
    other.MapWidth = other.MapHeight = 2;
    other.MapText = "4,-";
    auto player = std::make_unique<TPlayer>(&other);
    player->Name = "Eve";
    other.AddPlayer(std::move(player));
    eve->Send("SEND|DATA|GAMEINFO:" + other.SaveToText());
    ASSERT_TRUE(WaitFor([&] { return bob->kyrel.CurrentSubject() == "Lobby Chat"; }));
    EXPECT_TRUE(bob->Said("A Player named Bob was not found in this Game."));

    // A game of another version is not joined at all.
    std::string why;
    EXPECT_FALSE(bob->game->JoinGame("~New;Duel.qxscen;2;0;18;100;5;", &why));
    EXPECT_EQ(why, "This Game was created with Quorvex version 5, and you have version 4");
}

TEST_F(NetworkGame, ASurrenderingPlayerLeavesTheClockAndTheGameGoesOnWhileHeFollowsIt) {
    Start();
    auto ann = Join("Ann");
    auto bob = Join("Bob");
    ann->game->CreateGame(Setup("Giveup", 2, 1));
    ASSERT_TRUE(bob->game->JoinGame(SubjectOf(*bob, "Giveup")));
    ASSERT_TRUE(WaitFor([&] { return bob->impulse >= 15; }, 20000));
    bob->game->Surrender();
    ASSERT_TRUE(WaitFor([&] { return bob->observing; }, 10000));
    EXPECT_FALSE(bob->clock.Active());
    EXPECT_FALSE(bob->engine.CurrentPlayer->Alive);
    // The master no longer waits for Bob, and Bob still follows every impulse.
    ASSERT_TRUE(WaitFor([&] { return ann->clock.UserCount() == 1; }));
    const int32_t from = ann->impulse;
    ann->stopAt = bob->stopAt = from + 30;
    ASSERT_TRUE(WaitFor([&] { return ann->impulse >= from + 30 && bob->impulse >= from + 30; }, 20000));
    ASSERT_TRUE(WaitFor([&] { return !ann->clock.Active(); }));
    EXPECT_EQ(ann->engine.SaveToText(), bob->engine.SaveToText());
}

TEST_F(NetworkGame, LosingTheConnectionStopsTheClockAndTheOthersGoOn) {
    Start();
    auto ann = Join("Ann");
    auto bob = Join("Bob");
    bool lost = false;
    bob->game->OnConnectionLost = [&] {
        lost = true;
        EXPECT_FALSE(bob->clock.Active());  // stopped before anything else
    };
    ann->game->CreateGame(Setup("Cut", 2, 0));
    ASSERT_TRUE(bob->game->JoinGame(SubjectOf(*bob, "Cut")));
    ASSERT_TRUE(WaitFor([&] { return bob->impulse >= 10; }, 20000));
    server->Shutdown();  // the lobby goes away under both
    ASSERT_TRUE(WaitFor([&] { return lost; }));
    EXPECT_FALSE(bob->clock.Active());
    EXPECT_FALSE(ann->clock.Active());
    EXPECT_EQ(bob->kyrel.UserCount(), 0);
}

TEST_F(NetworkGame, TheWinnerReportsTheResultWithTheOtherHumansAndBrains) {
    Start();
    auto ann = Join("Ann");
    auto bob = Join("Bob");
    ann->game->CreateGame(Setup("Result", 2, 2));
    ASSERT_TRUE(bob->game->JoinGame(SubjectOf(*bob, "Result")));
    ASSERT_TRUE(WaitFor([&] { return ann->game->Started(); }));
    ann->game->Stop();
    const std::string text = ann->game->GameResultText(*ann->engine.GetPlayer(1));
    // date % winner % the other humans and the brains % impulse
    const size_t first = text.find('%');
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.substr(first), "%Bob%Ann and 2 Brains%" + std::to_string(ann->clock.Impulse()));
    EXPECT_EQ(text.size() - text.substr(first).size(), 10u);  // mm/dd/yyyy
}
