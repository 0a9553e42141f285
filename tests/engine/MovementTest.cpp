#include <gtest/gtest.h>

#include <cstdint>

#include "TestGalaxy.h"

namespace qx {
namespace {

using test::TestGalaxy;

struct Step {
    std::string code;
    int direction;
};

struct MovementTest : ::testing::Test {
    TestGalaxy g{2, 30, 30};
    std::vector<Step> steps;
    void SetUp() override {
        g.engine.OnMoveStarShip = [this](TObject* sender, TStarShip* s, int d) {
            EXPECT_EQ(sender, &g.engine);
            steps.push_back({s->Code, d});
        };
    }
};

TEST_F(MovementTest, DiagonalsStraightenByDitherPhase) {
    TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 10, 10);
    const int expected[5] = {2, 2, 2, 3, 3};  // east at phases 0..2, south-east at 3 and 4
    for (int phase = 0; phase < 5; ++phase) {
        ship->X = 10;
        ship->Y = 10;
        g.engine.DitherPhase = phase;
        EXPECT_FALSE(g.engine.MoveTowards(ship, 13, 11));
        EXPECT_EQ(steps.back().direction, expected[phase]) << "phase " << phase;
    }
    // On the exact diagonal phase 0 goes straight along the vertical axis.
    ship->X = 10;
    ship->Y = 10;
    g.engine.DitherPhase = 0;
    g.engine.MoveTowards(ship, 7, 7);
    EXPECT_EQ(steps.back().direction, 0);
    g.engine.DitherPhase = 1;
    g.engine.MoveTowards(ship, 7, 7);
    EXPECT_EQ(steps.back().direction, 7);
    EXPECT_EQ(ship->X, 9);
    EXPECT_EQ(ship->Y, 8);
    EXPECT_TRUE(g.Recorded("3:0:" + ship->Code + ":9:8:7:"));
}

TEST_F(MovementTest, BlockedCellsFallBackThroughFiveDirections) {
    TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 10, 10);
    g.Ship(g.P(1), TShipType::Drone, 11, 10);  // east
    g.engine.DitherPhase = 0;
    g.engine.MoveTowards(ship, 15, 10);
    EXPECT_EQ(steps.back().direction, 3);  // d+1
    ship->X = 10;
    ship->Y = 10;
    g.Ship(g.P(1), TShipType::Drone, 11, 11);  // south-east
    g.engine.MoveTowards(ship, 15, 10);
    EXPECT_EQ(steps.back().direction, 1);  // d-1
    ship->X = 10;
    ship->Y = 10;
    g.Ship(g.P(1), TShipType::Drone, 11, 9);
    g.System(10, 11);  // south
    g.engine.MoveTowards(ship, 15, 10);
    EXPECT_EQ(steps.back().direction, 0);  // d-2, since d+2 holds a system
    ship->X = 10;
    ship->Y = 10;
    g.Ship(g.P(1), TShipType::Drone, 10, 9);
    steps.clear();
    EXPECT_FALSE(g.engine.MoveTowards(ship, 15, 10));
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(ship->X, 10);
    // A destroyed ship's cell may be entered in the same impulse.
    g.engine.DestroyStarShip(g.engine.StarShipAt(11, 10));
    g.engine.MoveTowards(ship, 15, 10);
    EXPECT_EQ(ship->X, 11);
}

TEST_F(MovementTest, ShipsStayInsideTheMap) {
    TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 0, 0);
    // West, north-west, south-west and north lie outside: it sidesteps south.
    EXPECT_FALSE(g.engine.MoveTowards(ship, -5, 0));
    EXPECT_EQ(ship->X, 0);
    EXPECT_EQ(ship->Y, 1);
    EXPECT_EQ(steps.back().direction, 4);
    g.Ship(g.P(1), TShipType::Drone, 0, 2);
    g.Ship(g.P(1), TShipType::Drone, 1, 2);
    g.Ship(g.P(1), TShipType::Drone, 1, 1);
    steps.clear();
    EXPECT_FALSE(g.engine.MoveTowards(ship, 0, 10));
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(g.engine.MoveTowards(ship, 0, 1));

    // A target at the far ends of the numbers an order may carry still lies
    // in its own direction: north, then west, never wrapped round to the south or east.
    TStarShip* far = g.Ship(g.P(0), TShipType::Drone, 15, 15);
    EXPECT_FALSE(g.engine.MoveTowards(far, 15, INT32_MIN));
    EXPECT_EQ(steps.back().direction, 0);
    EXPECT_FALSE(g.engine.MoveTowards(far, INT32_MIN, far->Y));
    EXPECT_EQ(steps.back().direction, 6);
    // North-east, straightened along its longer leg, the northern one.
    g.engine.DitherPhase = 0;
    EXPECT_FALSE(g.engine.MoveTowards(far, INT32_MAX, INT32_MIN));
    EXPECT_EQ(steps.back().direction, 0);
}

TEST_F(MovementTest, InkSpotKeepsAwayFromEnemiesUnlessChasing) {
    TStarShip* ink = g.Ship(g.P(0), TShipType::InkSpot, 10, 10);
    TStarShip* enemy = g.Ship(g.P(1), TShipType::Drone, 13, 10);
    g.SeeAll();
    g.engine.DitherPhase = 0;
    g.engine.MoveTowards(ink, 20, 10);
    // (11, 10) and its diagonal neighbours east lie next to nothing; (12, *) would.
    EXPECT_EQ(ink->X, 11);
    g.engine.MoveTowards(ink, 20, 10);
    EXPECT_EQ(ink->X, 11);  // every forward cell is next to the enemy
    ink->SetTargetStarShip(enemy);
    g.engine.MoveTowards(ink, 20, 10);
    EXPECT_EQ(ink->X, 12);
}

TEST_F(MovementTest, PatrolsTurnBackOrCircle) {
    auto visits = [&](const std::string& path, int count) {
        TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 0, 0, 20);
        ship->SetPatrol(path);
        std::vector<std::string> points;
        for (int i = 0; i < 200 && static_cast<int>(points.size()) < count; ++i) {
            const std::string before = ship->PatrolPoints[static_cast<size_t>(ship->PatrolIndex)];
            const int index = ship->PatrolIndex;
            g.engine.SubmitOrder(nullptr, "");
            g.engine.SetImpulse(i);
            g.engine.ProcessImpulse();
            if (ship->PatrolIndex != index) points.push_back(before);
        }
        g.engine.DestroyStarShip(ship);
        g.engine.RemoveDestroyedStarShips();
        return points;
    };
    EXPECT_EQ(visits("2,2_5,2_5,5_2,2", 7),
              (std::vector<std::string>{"2,2", "5,2", "5,5", "2,2", "5,2", "5,5", "2,2"}));
    EXPECT_EQ(visits("2,2_5,2_5,5", 7),
              (std::vector<std::string>{"2,2", "5,2", "5,5", "5,2", "2,2", "5,2", "5,5"}));
}

TEST_F(MovementTest, WormholeSendsShipToExitOrTheSpiral) {
    TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 4, 5);
    ship->SetMove(9, 9);
    g.Wormhole(5, 5, 20, 20);
    std::vector<std::string> travels;
    g.engine.OnWormholeTravel = [&](TObject*, TStarShip* s, int d) {
        travels.push_back(s->Code + std::to_string(d));
    };
    g.engine.DitherPhase = 0;
    g.engine.MoveTowards(ship, 9, 5);
    EXPECT_EQ(ship->X, 20);
    EXPECT_EQ(ship->Y, 20);
    EXPECT_EQ(ship->Order, ordNone);
    EXPECT_TRUE(g.engine.GetWormhole(0)->Known[0]);
    EXPECT_EQ(travels, (std::vector<std::string>{ship->Code + "0"}));
    const std::string code = ship->Code;
    EXPECT_EQ(g.changes, (std::vector<std::string>{"3:0:" + code + ":5:5:2:", "1:0:" + code + ":",
                                                   "29:0:" + code + ":5:5:20:20:"}));
    // Exit taken: north of it first, then east, then south twice ...
    TStarShip* second = g.Ship(g.P(1), TShipType::Drone, 4, 5);
    g.engine.MoveTowards(second, 9, 5);
    EXPECT_EQ(second->X, 20);
    EXPECT_EQ(second->Y, 19);
    TStarShip* third = g.Ship(g.P(1), TShipType::Drone, 4, 5);
    g.engine.MoveTowards(third, 9, 5);
    EXPECT_EQ(third->X, 21);
    EXPECT_EQ(third->Y, 19);
    TStarShip* fourth = g.Ship(g.P(1), TShipType::Drone, 4, 5);
    g.engine.MoveTowards(fourth, 9, 5);
    EXPECT_EQ(fourth->X, 21);
    EXPECT_EQ(fourth->Y, 20);
}

TEST_F(MovementTest, WormholeExitAtTheMapEdgeStaysInside) {
    TStarShip* blocker = g.Ship(g.P(1), TShipType::Drone, 29, 0);
    (void)blocker;
    g.Wormhole(5, 5, 29, 0);
    TStarShip* ship = g.Ship(g.P(0), TShipType::Drone, 4, 5);
    g.engine.MoveTowards(ship, 9, 5);
    EXPECT_TRUE(g.engine.IsInsideMap(ship->X, ship->Y));
    EXPECT_NE(ship->X * 100 + ship->Y, 2900);
    // An exit far outside the map is searched from the nearest cell inside.
    g.Wormhole(7, 7, 5000, -5000);
    TStarShip* other = g.Ship(g.P(0), TShipType::Drone, 6, 7);
    g.engine.MoveTowards(other, 9, 7);
    EXPECT_TRUE(g.engine.IsInsideMap(other->X, other->Y));
}

TEST_F(MovementTest, TugPullsItsTowIntoTheCellItLeft) {
    TStarShip* tug = g.Ship(g.P(0), TShipType::Tug, 10, 10);
    TStarShip* towed = g.Ship(g.P(1), TShipType::WarShip, 9, 10);
    g.engine.StartTowing(tug, towed);
    EXPECT_EQ(tug->Towing, towed->Code);
    EXPECT_EQ(towed->TowedBy, tug->Code);
    g.changes.clear();
    g.engine.DitherPhase = 0;
    g.engine.MoveTowards(tug, 15, 10);
    EXPECT_EQ(tug->X, 11);
    EXPECT_EQ(towed->X, 10);
    EXPECT_EQ(g.changes, (std::vector<std::string>{"3:0:" + tug->Code + ":11:10:2:", "3:1:" + towed->Code + ":10:10:2:"}));
    // A second tug takes the tow over.
    TStarShip* other = g.Ship(g.P(1), TShipType::Tug, 10, 11);
    g.engine.StartTowing(other, towed);
    EXPECT_TRUE(tug->Towing.empty());
    EXPECT_EQ(towed->TowedBy, other->Code);
}

TEST_F(MovementTest, GravShipDragsOnlyWhileAdjacent) {
    TStarSystem* system = g.System(10, 10);
    TStarShip* grav = g.Ship(g.P(0), TShipType::GravShip, 11, 10);
    g.engine.StartDragging(grav, system);
    std::vector<int> moved;
    g.engine.OnMoveStarSystem = [&](TObject*, TStarSystem* s) { moved.push_back(s->Index); };
    g.engine.DitherPhase = 0;
    g.engine.MoveTowards(grav, 15, 10);
    EXPECT_EQ(system->X, 11);
    EXPECT_TRUE(g.Recorded("33:0:11:10:"));
    EXPECT_EQ(moved, std::vector<int>{0});
    // Not adjacent any more: the drag ends and the ship moves alone.
    system->X = 5;
    g.changes.clear();
    g.engine.MoveTowards(grav, 15, 10);
    EXPECT_EQ(grav->DragSystem, -1);
    EXPECT_EQ(system->X, 5);
    EXPECT_EQ(g.changes.front(), "32:0:" + grav->Code + ":");
}

TEST_F(MovementTest, JumpGateIsMadeOncePerSystem) {
    TStarSystem* home = g.System(10, 10, g.P(0));
    TStarShip* first = g.Ship(g.P(0), TShipType::JumpGateShip, 20, 20);
    first->SourceSystem = 0;
    int created = 0;
    std::vector<int> countAtEvent;  // a gate is announced before it joins the list
    g.engine.OnCreateJumpGate = [&](TObject*, TWormhole* w) {
        ++created;
        countAtEvent.push_back(g.engine.WormholeCount());
        EXPECT_TRUE(w->IsJumpGate);
    };
    g.engine.SubmitOrder(g.P(0), "21:" + first->Code);
    g.engine.ProcessImpulse();
    ASSERT_EQ(g.engine.WormholeCount(), 1);
    TWormhole* gate = g.engine.GetWormhole(0);
    EXPECT_EQ(gate->X, 9);
    EXPECT_EQ(gate->Y, 9);
    EXPECT_EQ(gate->DestX, 20);
    EXPECT_TRUE(gate->Known[0]);
    EXPECT_TRUE(home->HasJumpGate);
    EXPECT_TRUE(first->Destroyed);
    TStarShip* second = g.Ship(g.P(0), TShipType::JumpGateShip, 22, 22);
    second->SourceSystem = 0;
    g.engine.SubmitOrder(g.P(0), "21:" + second->Code);
    g.engine.ProcessImpulse();
    EXPECT_EQ(g.engine.WormholeCount(), 1);
    EXPECT_TRUE(second->Destroyed);
    EXPECT_EQ(created, 1);
    // A system in the corner gets its gate inside the map.
    g.System(0, 0, g.P(0));
    TStarShip* third = g.Ship(g.P(0), TShipType::JumpGateShip, 25, 25);
    third->SourceSystem = 1;
    g.engine.CreateJumpGate(third);
    ASSERT_EQ(g.engine.WormholeCount(), 2);
    EXPECT_TRUE(g.engine.IsInsideMap(g.engine.GetWormhole(1)->X, g.engine.GetWormhole(1)->Y));
    EXPECT_EQ(countAtEvent, (std::vector<int>{0, 1}));
}

TEST_F(MovementTest, ShieldGeneratorGainsAPointAfterShieldsActingImpulses) {
    TStarSystem* system = g.System(10, 10);
    system->Shields = 3;
    TStarShip* gen = g.Ship(g.P(0), TShipType::ShieldGenerator, 11, 10, 20);
    gen->SetGenerate(system);
    for (int i = 0; i < 3; ++i) {
        g.engine.SetImpulse(i);
        g.engine.ProcessImpulse();
    }
    EXPECT_EQ(system->Shields, 4);
    EXPECT_EQ(gen->SourceSystem, 0);
    EXPECT_TRUE(g.Recorded("26:0:" + gen->Code + ":0:"));
}

TEST_F(MovementTest, FreighterShuttlesBetweenOwnSystems) {
    TStarSystem* a = g.System(5, 5, g.P(0));
    TStarSystem* b = g.System(9, 5, g.P(0));
    a->Resources = 7.5;
    TStarShip* freighter = g.Ship(g.P(0), TShipType::Freighter, 6, 5, 20, 10);
    freighter->SetTransport(a, b);
    g.engine.ProcessImpulse();
    EXPECT_EQ(freighter->Cargo, 8);  // all of 7.5, rounded to even
    EXPECT_DOUBLE_EQ(a->Resources, -0.5);
    for (int i = 0; i < 5; ++i) g.engine.ProcessImpulse();
    EXPECT_EQ(freighter->Cargo, 0);
    EXPECT_DOUBLE_EQ(b->Resources, 8);
    // An order between systems it does not own does nothing.
    b->SetOwner(g.P(1));
    const int x = freighter->X;
    g.engine.ProcessImpulse();
    EXPECT_EQ(freighter->X, x);
}

} // namespace
} // namespace qx
