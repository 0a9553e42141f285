#include <gtest/gtest.h>

#include <set>

#include "TestGalaxy.h"
#include "engine/ImpulseDriver.h"
#include "base/Random.h"
#include "net/RealTimeEngine.h"
#include "base/TaskQueueExecutor.h"

namespace qx {
namespace {

using test::TestGalaxy;

TEST(EngineCore, CodesAreUniqueAlsoAfterShipsAreFreed) {
    TestGalaxy g(1);
    g.engine.RulesRandom.Seed(1);
    std::set<std::string> codes;
    for (int i = 0; i < 3000; ++i) {
        const std::string code = g.engine.NewStarShipCode();
        ASSERT_EQ(code.size(), 3u);
        for (char c : code) ASSERT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
        ASSERT_TRUE(codes.insert(code).second) << code;
    }
    TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 1, 1);
    const std::string freed = ship->Code;
    g.engine.DestroyStarShip(ship);
    g.engine.RemoveDestroyedStarShips();
    EXPECT_TRUE(g.engine.IsStarShipCodeUsed(freed));
    EXPECT_EQ(g.engine.StarShipCodes().size(), 3001u);
}

TEST(EngineCore, ObjectReferencesResolveAndRejectBadIndices) {
    TestGalaxy g(2);
    TStarSystem* system = g.System(3, 3);
    TWormhole* wormhole = g.Wormhole(5, 5, 1, 1);
    TStarShip* ship = g.Ship(g.P(1), TShipType::Drone, 7, 7);
    EXPECT_EQ(g.engine.ObjectRef(system), "Y0");
    EXPECT_EQ(g.engine.ObjectRef(wormhole), "W0");
    EXPECT_EQ(g.engine.ObjectRef(ship), "I1" + ship->Code);
    EXPECT_EQ(g.engine.ObjectRef(nullptr), "?");
    EXPECT_EQ(g.engine.FindObjectByRef("Y0"), system);
    EXPECT_EQ(g.engine.FindObjectByRef("W0"), wormhole);
    EXPECT_EQ(g.engine.FindObjectByRef("I1" + ship->Code), ship);
    // The code must belong to the named player.
    EXPECT_EQ(g.engine.FindObjectByRef("I0" + ship->Code), nullptr);
    for (const char* bad : {"Y1", "Y-1", "Yx", "W7", "I9ABC", "I", "IA", "Q0", ""})
        EXPECT_EQ(g.engine.FindObjectByRef(bad), nullptr) << bad;
}

TEST(EngineCore, LookupsByCellAndEmptiness) {
    TestGalaxy g(2);
    TStarShip* dead = g.Ship(g.P(0), TShipType::Drone, 4, 4);
    g.engine.DestroyStarShip(dead);
    EXPECT_EQ(g.engine.StarShipAt(4, 4), dead);
    EXPECT_EQ(g.engine.StarShipAt(4, 4, false, false), nullptr);
    EXPECT_FALSE(g.engine.IsEmpty(4, 4));  // a destroyed ship still blocks until the impulse ends
    g.Wormhole(6, 6, 0, 0);
    EXPECT_FALSE(g.engine.IsEmpty(6, 6));
    EXPECT_TRUE(g.engine.IsEmpty(7, 7));
}

TEST(EngineCore, ChangeTextsOfShipsAndGame) {
    TestGalaxy g(2);
    TStarShip ship(&g.engine, "AB1");
    ship.Owner = g.P(1);
    g.engine.RecordChange<TChangeKind::Destroy>(&ship);
    g.engine.RecordChange<TChangeKind::Step>(&ship, 4, 5, 2);
    g.engine.RecordChange<TChangeKind::Destroy>(nullptr);
    g.engine.RecordGameChange<TChangeKind::TechMultiple>(1, 1.5);
    EXPECT_EQ(g.changes, (std::vector<std::string>{"9:1:AB1:", "3:1:AB1:4:5:2:", "34:1:1.5:"}));
    g.changes.clear();
    g.engine.Replica = true;  // only the master records
    g.engine.RecordChange<TChangeKind::Destroy>(&ship);
    g.engine.RecordGameChange<TChangeKind::Surrender>(0);
    EXPECT_TRUE(g.changes.empty());
}

TEST(EngineCore, ChangesShorterThanTheirKindOrOfUnknownKindsAreIgnored) {
    TestGalaxy g(2, 10, 10);
    g.engine.Replica = true;
    TStarShip* ship = g.Ship(g.P(0), TShipType::WarShip, 1, 1, 20, 5);
    TStarSystem* system = g.System(5, 5, g.P(1));
    system->Shields = 7;
    const std::string code = ship->Code;
    for (const std::string& change : std::vector<std::string>{"8:0:" + code + ":3:", "8:0:" + code, "17:0:2:", "4:0", "3:0:" + code + ":2:2:",
                                      "99:0:" + code + ":", "0:0:" + code + ":", "-9:0:" + code + ":"}) {
        g.engine.ApplyChange(change);
        EXPECT_EQ(ship->Engines, 20) << change;
        EXPECT_EQ(ship->Value, 5) << change;
        EXPECT_EQ(ship->X, 1) << change;
        EXPECT_FALSE(ship->Destroyed) << change;
        EXPECT_EQ(system->Shields, 7) << change;
    }
    // Whole changes still apply, also without their final separator.
    g.engine.ApplyChange("8:0:" + code + ":3:2");
    EXPECT_EQ(ship->Engines, 3);
    g.engine.ApplyChange("17:0:2:40:");
    EXPECT_EQ(system->Shields, 2);
}

TEST(EngineCore, BrainMemoryTravelsAsAChangeAndKeepsColonsInItsValue) {
    TestGalaxy g(2);
    g.engine.Replica = true;
    TPlayer* p = g.P(1);
    p->BrainData = {"1a=1", "1b=2"};
    g.engine.ApplyChange("42:1:1b=12:30:");
    g.engine.ApplyChange("42:1:1c=x:");
    g.engine.ApplyChange("42:1:1a=1");
    EXPECT_EQ(p->BrainData, (std::vector<std::string>{"1a=1", "1b=12:30", "1c=x"}));
    // Lines without a name, with the game text's separators, or for nobody
    // are not taken.
    for (const char* bad : {"42:1:nameless:", "42:1:1d=x;y:", "42:1:1e=~:", "42:7:1f=1:", "42:1:"})
        g.engine.ApplyChange(bad);
    EXPECT_EQ(p->BrainData.size(), 3u);
    EXPECT_TRUE(g.P(0)->BrainData.empty());
}

TEST(EngineCore, OrdersNamingNothingAreDropped) {
    TestGalaxy g(2, 10, 10);
    TStarShip* mine = g.Ship(g.P(0), TShipType::Freighter, 1, 1, 20, 5);
    TStarShip* theirs = g.Ship(g.P(1), TShipType::WarShip, 8, 8, 20, 5);
    g.System(5, 5, g.P(0));
    for (const std::string& order : std::vector<std::string>{
          "2:" + theirs->Code + ":3:3",  // another player's ship
          std::string("2:ZZZ:3:3"), "7:" + mine->Code + ":0:9", "7:" + mine->Code + ":-1:0",
          "9:" + mine->Code + ":5", "4:" + mine->Code + ":Y99", "4:" + mine->Code + ":I7ABC",
          "8:" + mine->Code + ":NOP", "10:42", "11:-3", "12:9:0:5:0:0:1:1:1:", "23:1:12", "23:5:1",
          std::string("3:") + mine->Code, "13:" + mine->Code, "99:" + mine->Code, "garbage", "",
          "6:" + mine->Code + ":", "6:" + mine->Code + ":1,1_2;2", "6:" + mine->Code + ":1,1_2~2",
          "6:" + mine->Code + ":1,1__2,2", "12:0:0:1:0:0:1:0:0:A;B", "18:" + mine->Code + ":1", "20:" + mine->Code + ":-1"})
        g.engine.SubmitOrder(g.P(0), order);
    g.engine.SubmitOrder(nullptr, "24:");
    g.engine.ProcessImpulse();
    EXPECT_EQ(mine->Order, ordNone);
    EXPECT_EQ(theirs->Order, ordNone);
    EXPECT_EQ(g.P(0)->Alliance[1], 0);
    EXPECT_TRUE(g.P(0)->Alive);
    EXPECT_TRUE(g.changes.empty()) << g.changes.front();
    EXPECT_TRUE(g.engine.Orders().empty());
}

TEST(EngineCore, AcceptedOrdersRecordTheirChangeAndSetTheOrder) {
    TestGalaxy g(2, 10, 10);
    TStarShip* ship = g.Ship(g.P(0), TShipType::WarShip, 1, 1, 1, 5);  // acts only at position 20
    TStarShip* other = g.Ship(g.P(1), TShipType::Drone, 8, 8, 1);
    g.System(5, 5, g.P(1));
    g.engine.SetImpulse(3);
    const std::string code = ship->Code;
    g.engine.SubmitOrder(g.P(0), "2:" + code + ":7:6");
    g.engine.ProcessImpulse();
    EXPECT_EQ(ship->Order, ordMove);
    EXPECT_EQ(ship->DestX, 7);
    EXPECT_TRUE(g.Recorded("2:0:" + code + ":7:6:"));

    g.engine.SubmitOrder(g.P(0), "8:" + code + ":" + other->Code);
    g.engine.SubmitOrder(g.P(0), "15:" + code + ":0");
    g.engine.SubmitOrder(g.P(0), "4:" + code + ":Y0");
    g.engine.ProcessImpulse();
    EXPECT_EQ(ship->Order, ordDefend);
    EXPECT_EQ(ship->TargetRef, "Y0");
    EXPECT_FALSE(ship->AttackAdjacent);
    EXPECT_TRUE(g.Recorded("10:0:" + code + ":" + other->Code + ":"));
    EXPECT_TRUE(g.Recorded("19:0:" + code + ":0:"));
    EXPECT_TRUE(g.Recorded("12:0:" + code + ":Y0:"));

    // A one-point patrol is a move.
    g.engine.SubmitOrder(g.P(0), "6:" + code + ":4,4");
    g.engine.ProcessImpulse();
    EXPECT_EQ(ship->Order, ordMove);
    EXPECT_EQ(ship->DestX, 4);
    EXPECT_EQ(ship->DestY, 4);
    g.engine.SubmitOrder(g.P(0), "6:" + code + ":4,4_6,6");
    g.engine.SubmitOrder(g.P(0), "1:" + code);
    g.engine.ProcessImpulse();
    EXPECT_EQ(ship->Order, ordNone);
    EXPECT_EQ(ship->PatrolPointCount(), 2);
    EXPECT_TRUE(g.Recorded("1:0:" + code + ":"));
}

TEST(EngineCore, AllianceAndSurrenderOrders) {
    TestGalaxy g(3);
    TPlayer* other = nullptr;
    g.engine.OnAllianceChange = [&](TObject* sender, TPlayer* p) {
        EXPECT_EQ(sender, &g.engine);
        other = p;
    };
    g.engine.SetCurrentPlayer(g.P(0));
    g.engine.SubmitOrder(g.P(0), "23:2:1");
    g.engine.SubmitOrder(g.P(0), "23:3:2");  // no such level
    g.engine.ProcessImpulse();
    EXPECT_EQ(g.P(0)->Alliance[1], 2);
    EXPECT_EQ(g.P(0)->Alliance[2], 0);
    EXPECT_EQ(g.P(1)->Alliance[0], 0);  // only the issuer's stance changes
    EXPECT_EQ(other, g.P(1));
    EXPECT_TRUE(g.Recorded("37:0:2:1:"));
    TPlayer* surrendered = nullptr;
    g.engine.OnPlayerSurrender = [&](TObject*, TPlayer* p) { surrendered = p; };
    g.engine.SubmitOrder(g.P(2), "24:");
    g.engine.ProcessImpulse();
    EXPECT_FALSE(g.P(2)->Alive);
    EXPECT_EQ(surrendered, g.P(2));
    EXPECT_TRUE(g.Recorded("38:2:"));
}

TEST(EngineCore, ScheduleTakesPositionFromTheImpulse) {
    TestGalaxy g(1);
    g.engine.SetImpulse(20);
    g.engine.ProcessImpulse();
    EXPECT_EQ(g.engine.DitherPhase, 1);
    g.engine.SetImpulse(19);
    g.engine.ProcessImpulse();
    EXPECT_EQ(g.engine.DitherPhase, 0);
}

TEST(EngineCore, ActingListRules) {
    TestGalaxy g(1, 30, 30);
    TPlayer* p = g.P(0);
    TStarShip* idle = g.Ship(p, TShipType::WarShip, 1, 1, 20);
    idle->AttackAdjacent = false;
    TStarShip* ink = g.Ship(p, TShipType::InkSpot, 3, 1, 20);
    TStarShip* guard = g.Ship(p, TShipType::WarShip, 5, 1, 20);
    guard->AttackAdjacent = true;
    TStarShip* slow = g.Ship(p, TShipType::Drone, 7, 1, 1);
    slow->SetMove(7, 9);
    TStarShip* towed = g.Ship(p, TShipType::Drone, 9, 1, 20);
    towed->SetMove(9, 9);
    towed->TowedBy = "XXX";
    g.System(12, 12);
    TStarShip* grav = g.Ship(p, TShipType::GravShip, 11, 11, 20);
    grav->DragSystem = 0;
    grav->SetMove(20, 20);
    grav->DragSystem = 0;
    g.engine.SetImpulse(0);  // position 1: one-engine ships do not act, one-engine drags do not either
    g.engine.ProcessImpulse();
    auto acting = [&](TStarShip* s) {
        const auto& list = g.engine.ActingStarShips();
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    EXPECT_FALSE(acting(idle));
    EXPECT_TRUE(acting(ink));
    EXPECT_TRUE(acting(guard));
    EXPECT_FALSE(acting(slow));
    EXPECT_FALSE(acting(towed));
    EXPECT_FALSE(acting(grav));  // a dragging GravShip acts as a one-engine ship
    g.engine.SetImpulse(19);  // position 20
    g.engine.ProcessImpulse();
    EXPECT_TRUE(acting(slow));
    EXPECT_TRUE(acting(grav));
    EXPECT_FALSE(acting(towed));
}

TEST(EngineCore, LifecycleSteps) {
    TestGalaxy g(2);
    TStarSystem* a = g.System(1, 1, g.P(0), 40);
    TStarSystem* b = g.System(2, 2, nullptr, 40);
    g.P(0)->TechMultiple = 1.5;
    g.engine.GenerateResources();
    EXPECT_DOUBLE_EQ(a->Resources, 1.5);
    EXPECT_DOUBLE_EQ(b->Resources, 0);

    std::vector<std::string> destroyed;
    g.engine.OnStarShipDestroy = [&](TObject* sender, TStarShip* s) {
        EXPECT_EQ(sender, s->Owner);
        destroyed.push_back(s->Code);
    };
    TStarShip* s1 = g.Ship(g.P(0), TShipType::Drone, 5, 5);
    TStarShip* s2 = g.Ship(g.P(0), TShipType::Drone, 6, 5);
    TStarShip* s3 = g.Ship(g.P(0), TShipType::Drone, 7, 5);
    const std::string c1 = s1->Code, c3 = s3->Code;
    g.engine.DestroyStarShip(s1);
    g.engine.DestroyStarShip(s3);
    g.engine.RemoveDestroyedStarShips();
    EXPECT_EQ(destroyed, (std::vector<std::string>{c3, c1}));
    ASSERT_EQ(g.P(0)->StarShipCount(), 1);
    EXPECT_EQ(g.P(0)->GetStarShip(0), s2);

    EXPECT_FALSE(g.engine.AllComputer());
    g.P(0)->Computer = g.P(1)->Computer = true;
    EXPECT_TRUE(g.engine.AllComputer());

    destroyed.clear();
    g.engine.SetImpulse(50);
    g.engine.ClearGame();
    EXPECT_TRUE(destroyed.empty());  // clearing is silent
    EXPECT_EQ(g.engine.PlayerCount(), 0);
    EXPECT_EQ(g.engine.Impulse, 1);
    EXPECT_TRUE(g.engine.StarShipCodes().empty());
    EXPECT_TRUE(g.engine.AllComputer());
}

TEST(EngineCore, ShuffleSortsSystemsByNewIds) {
    TestGalaxy g(1);
    g.engine.RulesRandom.Seed(3);
    for (int i = 0; i < 20; ++i) g.System(i, 0);
    g.engine.ShuffleStarSystems();
    for (int i = 1; i < 20; ++i) EXPECT_LE(g.engine.GetStarSystem(i - 1)->ID, g.engine.GetStarSystem(i)->ID);
    bool moved = false;
    for (int i = 0; i < 20; ++i) moved |= g.engine.GetStarSystem(i)->X != i;
    EXPECT_TRUE(moved);
}

TEST(ImpulseDriver, BrainsThinkInPlayerOrderEveryTenImpulses) {
    TestGalaxy g(3);
    g.P(1)->Computer = g.P(2)->Computer = true;
    TImpulseDriver driver(g.engine);
    std::vector<std::pair<int32_t, int>> turns;
    driver.BrainTurn = [&](TPlayer* p) { turns.emplace_back(g.engine.Impulse, p->Index); };
    g.engine.SetImpulse(1);
    for (int i = 0; i < 22; ++i) driver.RunImpulse();
    EXPECT_EQ(turns, (std::vector<std::pair<int32_t, int>>{{1, 1}, {2, 2}, {11, 1}, {12, 2}, {21, 1}, {22, 2}}));
    EXPECT_EQ(g.engine.Impulse, 23);
}

TEST(ImpulseDriver, StopsWhenTheLocalPlayerIsOut) {
    TestGalaxy g(2);
    TImpulseDriver driver(g.engine);
    bool stopped = false;
    driver.StopClock = [&] { stopped = true; };
    g.engine.SetCurrentPlayer(g.P(0));
    driver.QueueOrder(g.P(0), "24:");
    driver.RunImpulse();
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(driver.StopRequested());
}

TEST(ImpulseDriver, DrivesTheEngineFromASoloClock) {
    TestGalaxy g(2);
    TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 5, 5, 20);
    auto executor = std::make_shared<TaskQueueExecutor>();
    TRealTimeEngine clock(executor);
    clock.Interval = 0;
    clock.OnSoloUserInfo = [](TObject*, TKyrelUser* user) { user->UserId = "Player 1"; };
    TImpulseDriver driver(g.engine);
    driver.Attach(clock);
    clock.SetImpulse(g.engine.Impulse);
    clock.AddOrder("2:" + ship->Code + ":7:5");
    clock.AddOrder("2:ZZZ:1:1");
    clock.SetActive(true);
    ASSERT_TRUE(executor->RunUntil([&] { return g.engine.Impulse >= 4; }, std::chrono::seconds(5)));
    clock.SetActive(false);
    EXPECT_EQ(ship->X, 7);
    EXPECT_EQ(ship->Order, ordNone);
    EXPECT_TRUE(g.changes.empty());  // with a clock, changes go to the clock
    g.engine.RealTimeEngine = nullptr;
}

} // namespace
} // namespace qx
