// Orders arrive at the master from other machines: whatever a careless or
// hostile peer writes, only what its own player may do is carried out.
#include <gtest/gtest.h>

#include "TestGalaxy.h"
#include "engine/ImpulseDriver.h"
#include "engine/ShipCostCalculator.h"

using namespace qx;
using qx::test::TestGalaxy;

namespace {

struct ForgedOrders : ::testing::Test {
    TestGalaxy g{2};
    TStarSystem* mine = nullptr;
    TStarSystem* theirs = nullptr;
    TStarShip* ship = nullptr;

    void SetUp() override {
        mine = g.System(5, 5, g.P(0));
        theirs = g.System(12, 12, g.P(1));
        mine->Resources = theirs->Resources = 500;
        g.P(0)->ShipTypes = {TShipType::WarShip, TShipType::Drone};
        ship = g.Ship(g.P(0), TShipType::WarShip, 8, 8);
    }

    void Run(TPlayer* player, const std::string& order) {
        g.engine.SubmitOrder(player, order);
        g.engine.ProcessImpulse();
    }

    int Price(TShipType type, int engines, int value, bool cloaked, const TStarSystem* system) {
        TShipCostCalculator calc;
        calc.ShipType = type;
        calc.Engines = engines;
        calc.Extra = value;
        calc.Cloaked = cloaked;
        calc.StarSystem = system;
        return calc.Cost();
    }
};

} // namespace

TEST_F(ForgedOrders, BuildingAtAnotherPlayersSystemIsRefused) {
    const double before = theirs->Resources;
    Run(g.P(0), "10:" + std::to_string(theirs->Index));  // shield
    Run(g.P(0), "11:" + std::to_string(theirs->Index));  // scanner
    Run(g.P(0), "12:" + std::to_string(theirs->Index) + ":0:5:5:0:1:0:1::");
    EXPECT_EQ(theirs->Shields, 0);
    EXPECT_EQ(theirs->Scanners, 0);
    EXPECT_EQ(theirs->Resources, before);
    EXPECT_EQ(g.P(1)->StarShipCount(), 0);
    // The same orders at the player's own system are carried out.
    Run(g.P(0), "10:" + std::to_string(mine->Index));
    EXPECT_EQ(mine->Shields, 1);
}

TEST_F(ForgedOrders, BuildsArePricedByTheMasterNotTheSender) {
    const int price = Price(TShipType::WarShip, 9, 5, false, mine);
    ASSERT_GT(price, 1);
    Run(g.P(0), "12:" + std::to_string(mine->Index) + ":0:9:5:0:1:0:1:");  // claims a cost of 1
    ASSERT_EQ(g.P(0)->StarShipCount(), 2);
    EXPECT_DOUBLE_EQ(mine->Resources, 500.0 - price);
    // The change the replicas apply carries the master's price.
    const std::string built = g.changes.back();
    EXPECT_EQ(built.rfind("13:" + std::to_string(mine->Index) + ":0:9:5:0:1:0:" + std::to_string(price) + ":", 0),
              0u)
        << built;

    // A cheap claim cannot buy what the system cannot pay for.
    mine->Resources = price - 1;
    Run(g.P(0), "12:" + std::to_string(mine->Index) + ":0:9:5:0:0:1:0:");
    EXPECT_EQ(g.P(0)->StarShipCount(), 2);
}

TEST_F(ForgedOrders, OnlyBuildableTypesAreBuilt) {
    const std::string at = "12:" + std::to_string(mine->Index) + ":";
    Run(g.P(0), at + "7:5:3:0:1:0:999:");  // a type the player may not build
    EXPECT_EQ(g.P(0)->StarShipCount(), 1);
    // The system's bonus type may be built there.
    mine->BonusPercent = 50;
    mine->BonusShipType = TShipType(7);
    Run(g.P(0), at + "7:5:3:0:1:0:999:");
    ASSERT_EQ(g.P(0)->StarShipCount(), 2);
    EXPECT_EQ(g.P(0)->GetStarShip(1)->ShipType, TShipType(7));
    // Computer players run their brains on the master and build any type.
    g.P(0)->Computer = true;
    mine->BonusPercent = 0;
    Run(g.P(0), at + "9:5:3:0:0:1:0:");
    EXPECT_EQ(g.P(0)->StarShipCount(), 3);
}

TEST_F(ForgedOrders, MalformedNumbersDropTheOrderInsteadOfReadingZero) {
    const std::string code = ship->Code;
    ship->SetMove(8, 8);
    for (const std::string& order : std::vector<std::string>{"2:" + code + ":x:3", "2:" + code + ":4:", "2:" + code + ":4:3.5",
                                    "x2:" + code + ":4:3", "15:" + code + ":yes", "9:" + code + ":first"}) {
        g.changes.clear();
        Run(g.P(0), order);
        EXPECT_TRUE(g.changes.empty()) << order << " gave " << (g.changes.empty() ? "" : g.changes.front());
    }
    EXPECT_EQ(ship->DestX, 8);
    // Build fields too: a cost or an engine count that is no number.
    Run(g.P(0), "12:" + std::to_string(mine->Index) + ":0:five:5:0:1:0:9:");
    Run(g.P(0), "12:" + std::to_string(mine->Index) + ":0:5:5:maybe:1:0:9:");
    Run(g.P(0), "12:" + std::string("first") + ":0:5:5:0:1:0:9:");
    EXPECT_EQ(g.P(0)->StarShipCount(), 1);
    // A well-formed move still works.
    Run(g.P(0), "2:" + code + ":4:3");
    EXPECT_EQ(ship->DestX, 4);
    EXPECT_EQ(ship->DestY, 3);
}

TEST_F(ForgedOrders, OrdersThroughTheClockGoOnlyToTheSendersOwnPlayer) {
    TImpulseDriver driver(g.engine);
    g.P(1)->Computer = true;
    g.P(1)->Name = "Krell";
    TStarShip* brainShip = g.Ship(g.P(1), TShipType::WarShip, 15, 15);
    // A user who shares the computer player's name cannot steer its ships, and
    // a user's orders for another player's ship find nothing.
    driver.CollectOrder("2:" + brainShip->Code + ":1:1", "Krell");
    driver.CollectOrder("2:" + brainShip->Code + ":1:1", "Player 1");
    driver.CollectOrder("2:" + ship->Code + ":2:2", "Player 1");
    driver.ProcessOrders();
    EXPECT_EQ(brainShip->Order, ordNone);
    EXPECT_EQ(ship->DestX, 2);
}
