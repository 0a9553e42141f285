#include <gtest/gtest.h>

#include "TestGalaxy.h"
#include "base/Random.h"

namespace qx {
namespace {

using test::TestGalaxy;

// A galaxy with something of every kind, for the whole-game text.
void Populate(TestGalaxy& g) {
    g.P(0)->Computer = true;
    g.P(1)->ShipTypes = {TShipType::WarShip, TShipType::BattleStation};
    g.P(1)->BrainData = {"1key=value"};
    TStarSystem* capital = g.System(3, 3, g.P(0));
    capital->Capital = true;
    capital->Resources = 10.75;
    g.System(12, 12);
    g.System(7, 15, g.P(1))->BonusPercent = 5;
    TStarShip* station = g.Ship(g.P(1), TShipType::BattleStation, 8, 8, 5, 5);
    station->StationResources = 12.25;
    TStarShip* ship = g.Ship(g.P(0), TShipType::WarShip, 4, 4, 5, 3);
    ship->SetPatrol("1,1_5,5");
    ship->KnownValue[1] = 2;
    g.Ship(g.P(0), TShipType::Tug, 5, 4, 5);
    TWormhole* w = g.Wormhole(10, 2, 2, 10);
    w->Visible[1] = true;
    w->Known[1] = true;
    g.map.SetChar(4, 0, 'N');
    g.engine.SetMapText(g.map.SaveToText());
    g.engine.SetVictoryCondition(1);
    g.engine.SetVictoryStarSystem(g.engine.GetStarSystem(1));
    g.engine.SetVictoryAmount(30);
    g.engine.VictoryCounter = 2;
    g.engine.VictoryHolder = 1;
    g.engine.SetImpulse(77);
}

TEST(GameText, EmptyEngine) {
    TQuorvexEngine engine;
    EXPECT_EQ(engine.SaveToText(), "4;1;0;0;;0;-1;0;0;0;0;0;0;");
    engine.LoadFromText("4;1;0;0;;0;-1;0;0;0;0;0;0;");
    EXPECT_EQ(engine.SaveToText(), "4;1;0;0;;0;-1;0;0;0;0;0;0;");
}

TEST(GameText, WholeGameReadsBackAndAnnouncesOnlyShips) {
    TestGalaxy g(2);
    Populate(g);
    const std::string text = g.engine.SaveToText();
    TQuorvexEngine copy;
    std::vector<std::string> events;
    copy.OnStarShipCreate = [&](TObject* sender, TStarShip* s) {
        events.push_back(std::to_string(static_cast<TPlayer*>(sender)->Index) + s->Code);
    };
    copy.OnStarSystemConquer = [&](TObject*, TStarSystem*) { events.push_back("conquer"); };
    copy.LoadFromText(text);
    EXPECT_EQ(copy.SaveToText(), text);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_EQ(copy.Impulse, 77);
    EXPECT_EQ(copy.VictoryStarSystem, copy.GetStarSystem(1));
    EXPECT_EQ(copy.GetStarSystem(2)->Owner, copy.GetPlayer(1));
    EXPECT_EQ(copy.GetPlayer(1)->StarSystemCount(), 1);
    EXPECT_DOUBLE_EQ(copy.GetPlayer(1)->GetStarShip(0)->StationResources, 12.25);
    EXPECT_EQ(copy.StarShipCodes().size(), 3u);
    EXPECT_EQ(copy.MapText, g.map.SaveToText());
}

TEST(GameText, DamagedTextsFailCleanlyAndLeaveTheEngineEmpty) {
    TestGalaxy g(2);
    Populate(g);
    const std::string text = g.engine.SaveToText();
    std::vector<std::string> damaged;
    for (size_t cut : {size_t(1), size_t(20), text.size() / 3, text.size() / 2, text.size() - 5})
        damaged.push_back(text.substr(0, cut));
    damaged.push_back("");
    damaged.push_back("banana");
    damaged.push_back("4;1;10;10;;0;-1;0;0;0;11;0;0;");                  // too many players
    damaged.push_back("4;1;10;10;;0;-1;0;0;0;0;5;0;");                   // systems that are not there
    damaged.push_back("4;1;10;10;;9;-1;0;0;0;0;0;0;");                   // unknown condition
    damaged.push_back("4;1;10;10;;1;3;0;0;0;0;0;0;");                    // victory system missing
    damaged.push_back("4;1;5;100000;;0;-1;0;0;0;0;0;0;");                // a map no memory holds
    std::string badReal = text;
    badReal.replace(badReal.find("10.75"), 5, "1x.75");
    damaged.push_back(badReal);
    for (const std::string& bad : damaged) {
        TQuorvexEngine engine;
        engine.LoadFromText(text);
        EXPECT_THROW(engine.LoadFromText(bad), EGameStateError) << bad;
        EXPECT_EQ(engine.SaveToText(), "4;1;0;0;;0;-1;0;0;0;0;0;0;") << bad;
    }
}

TEST(GameText, RepeatedShipCodesAreRefused) {
    TestGalaxy g(2);
    g.P(0)->AddStarShip(std::make_unique<TStarShip>(&g.engine, "AAA"));
    g.P(1)->AddStarShip(std::make_unique<TStarShip>(&g.engine, "BBB"));
    std::string text = g.engine.SaveToText();
    TQuorvexEngine engine;
    engine.LoadFromText(text);
    text.replace(text.find("~BBB~"), 5, "~AAA~");
    EXPECT_THROW(engine.LoadFromText(text), EGameStateError);
    EXPECT_EQ(engine.PlayerCount(), 0);
}

struct ReplicaTest : ::testing::Test {
    TestGalaxy master{2, 30, 30};
    TQuorvexEngine replica;
    void SetUp() override { replica.Replica = true; }
    void Sync() { replica.LoadFromText(master.engine.SaveToText()); }
};

TEST_F(ReplicaTest, ChangesNamingNothingAreIgnored) {
    TStarShip* ship = master.Ship(master.P(0), TShipType::Freighter, 4, 4, 5, 5);
    master.System(6, 6, master.P(0));
    Sync();
    const std::string before = replica.SaveToText();
    for (const std::string& change : std::vector<std::string>{
             "9:0:ZZZ:", "9:7:" + ship->Code + ":", "9:1:" + ship->Code + ":", "4:9:3:2:", "5:-1:3:2:",
             "17:4:1:1:", "18:5:0:", "18:0:8:", "33:3:1:1:", "34:6:2:", "37:0:1:9:", "37:0:5:1:", "38:4:",
             "13:3:0:1:1:0:1:1:0::", "13:0:44:1:1:0:1:1:0::", "13:0:0:1:1:0:-60:1:0::", "36:ZZZ:0:1:1:0:1:1:0::",
             "11:0:" + ship->Code + ":8:", "14:0:" + ship->Code + ":0:3:", "29:0:" + ship->Code + ":1:1:2:2:",
             "3:0:" + ship->Code + ":99:99:2:", "3:0:" + ship->Code + ":5:5:8:", "4:0:3:x.y:", "99:0:",
             "", "garbage"})
        replica.ApplyChange(change);
    EXPECT_EQ(replica.SaveToText(), before);
}

TEST_F(ReplicaTest, MoveThenWormholeTravelFiresBothEvents) {
    TStarShip* ship = master.Ship(master.P(0), TShipType::Drone, 4, 5);
    master.Wormhole(5, 5, 20, 20);
    Sync();
    std::vector<std::string> events;
    replica.OnMoveStarShip = [&](TObject*, TStarShip*, int d) { events.push_back("move" + std::to_string(d)); };
    replica.OnWormholeTravel = [&](TObject*, TStarShip*, int d) { events.push_back("travel" + std::to_string(d)); };
    replica.ApplyChange("3:0:" + ship->Code + ":5:5:2:");
    replica.ApplyChange("29:0:" + ship->Code + ":5:5:20:20:");
    TStarShip* copy = replica.GetPlayer(0)->FindStarShip(ship->Code);
    EXPECT_EQ(copy->X, 20);
    EXPECT_EQ(copy->Y, 20);
    EXPECT_TRUE(replica.GetWormhole(0)->Known[0]);
    EXPECT_EQ(events, (std::vector<std::string>{"move2", "travel0"}));
}

TEST_F(ReplicaTest, ReplayedOperationsRecordNothing) {
    master.Ship(master.P(0), TShipType::HijackShip, 4, 4);
    master.Ship(master.P(1), TShipType::WarShip, 5, 4, 5, 3);
    master.System(10, 10, master.P(1))->Resources = 50;
    Sync();
    std::vector<std::string> recorded;
    replica.ChangeSink = [&](const std::string& c) { recorded.push_back(c); };
    TStarShip* hijacker = replica.GetPlayer(0)->GetStarShip(0);
    TStarShip* target = replica.GetPlayer(1)->GetStarShip(0);
    replica.ApplyChange("24:0:" + hijacker->Code + ":" + target->Code + ":");
    EXPECT_EQ(target->Owner, replica.GetPlayer(0));
    EXPECT_TRUE(hijacker->Destroyed);
    // A replayed build skips the cost test: the master already made it.
    replica.ApplyChange("13:0:0:5:3:0:1:0:500:AB7:");
    ASSERT_NE(replica.FindStarShipByCode("AB7"), nullptr);
    EXPECT_DOUBLE_EQ(replica.GetStarSystem(0)->Resources, -450);
    EXPECT_TRUE(recorded.empty());
}

} // namespace
} // namespace qx
