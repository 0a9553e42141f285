#include <gtest/gtest.h>

#include <algorithm>

#include "TestGalaxy.h"
#include "base/Random.h"

namespace qx {
namespace {

using test::TestGalaxy;

TEST(Visibility, ScanRangeIsEuclideanAndCloakNeedsContact) {
    TestGalaxy g(2);
    g.Ship(g.P(0), TShipType::ScanShip, 0, 0, 5, 5);
    TStarShip* inRange = g.Ship(g.P(1), TShipType::Drone, 3, 4);
    TStarShip* outOfRange = g.Ship(g.P(1), TShipType::Drone, 4, 4);
    TStarShip* cloaked = g.Ship(g.P(1), TShipType::Drone, 2, 0);
    cloaked->Cloaked = true;
    g.engine.UpdateVisibility();
    EXPECT_TRUE(inRange->Visible[0]);
    EXPECT_FALSE(outOfRange->Visible[0]);
    EXPECT_FALSE(cloaked->Visible[0]);
    EXPECT_FALSE(inRange->Known[0]);  // a ScanShip sees without identifying
    cloaked->X = 1;
    cloaked->Y = 1;
    g.engine.UpdateVisibility();
    EXPECT_TRUE(cloaked->Visible[0]);
}

TEST(Visibility, NebulaeShortenSight) {
    TestGalaxy g(2);
    TStarShip* scanner = g.Ship(g.P(0), TShipType::ScanShip, 5, 5, 5, 5);
    TStarShip* hidden = g.Ship(g.P(1), TShipType::Drone, 8, 5);
    g.map.SetChar(8, 5, 'N');
    g.engine.UpdateVisibility();
    EXPECT_FALSE(hidden->Visible[0]);
    hidden->X = 7;
    g.map.SetChar(5, 5, 'N');  // the scanner inside a nebula sees one cell
    g.engine.UpdateVisibility();
    EXPECT_FALSE(hidden->Visible[0]);
    hidden->X = 6;
    g.engine.UpdateVisibility();
    EXPECT_TRUE(hidden->Visible[0]);
    (void)scanner;
}

TEST(Visibility, SpyShipsIdentifyAndInkSpotsTag) {
    TestGalaxy g(2, 40, 40);
    g.Ship(g.P(0), TShipType::SpyShip, 10, 10, 5, 4);
    TStarShip* spotted = g.Ship(g.P(1), TShipType::WarShip, 13, 10);
    TStarShip* ink = g.Ship(g.P(0), TShipType::InkSpot, 20, 20);
    TStarShip* tagged = g.Ship(g.P(1), TShipType::Drone, 21, 20);
    g.engine.UpdateVisibility();
    EXPECT_TRUE(spotted->Known[0]);
    EXPECT_TRUE(tagged->Tagged[0]);
    EXPECT_TRUE(tagged->Known[0]);
    tagged->X = 35;
    tagged->Y = 2;
    g.engine.UpdateVisibility();
    EXPECT_TRUE(tagged->Visible[0]);  // tagged ships stay in sight
    EXPECT_FALSE(ink->Visible[1]);
}

TEST(Visibility, IntelligenceSharesOneWay) {
    TestGalaxy g(3, 40, 40);
    TStarShip* seenByZero = g.Ship(g.P(2), TShipType::Drone, 6, 5);
    g.Ship(g.P(0), TShipType::Drone, 5, 5);
    TStarShip* seenByOne = g.Ship(g.P(2), TShipType::Drone, 31, 30);
    g.Ship(g.P(1), TShipType::Drone, 30, 30);
    TStarSystem* system = g.System(20, 20, g.P(0));
    g.P(0)->Alliance[1] = 2;
    g.engine.UpdateVisibility();
    EXPECT_TRUE(seenByZero->Visible[1]);
    EXPECT_TRUE(system->Visible[1]);
    EXPECT_FALSE(seenByOne->Visible[0]);
    g.P(0)->Alliance[1] = 1;  // non-aggression shares nothing
    g.engine.UpdateVisibility();
    EXPECT_FALSE(seenByZero->Visible[1]);
}

TEST(Visibility, CloakDetectorPulsesOnAnyOtherPlayer) {
    TestGalaxy g(2);
    TStarShip* detector = g.Ship(g.P(0), TShipType::CloakDetector, 5, 5, 5, 3);
    TStarShip* other = g.Ship(g.P(1), TShipType::Drone, 8, 5);
    other->Cloaked = true;
    g.P(0)->Alliance[1] = 2;
    g.engine.CheckCloakDetector(detector);
    EXPECT_TRUE(detector->Pulsing);
    EXPECT_TRUE(g.Recorded("20:0:" + detector->Code + ":1:"));
    g.changes.clear();
    g.engine.CheckCloakDetector(detector);
    EXPECT_TRUE(g.changes.empty());  // unchanged: nothing recorded
    other->X = 9;
    g.engine.CheckCloakDetector(detector);
    EXPECT_FALSE(detector->Pulsing);
}

struct VictoryTest : ::testing::Test {
    TestGalaxy g{3};
    std::vector<int> winners;
    void SetUp() override {
        g.engine.OnVictory = [this](TObject*, TPlayer* p) { winners.push_back(p->Index); };
    }
};

TEST_F(VictoryTest, HoldCountsConsecutiveImpulses) {
    TStarSystem* target = g.System(5, 5);
    g.engine.SetVictoryCondition(1);
    g.engine.SetVictoryStarSystem(target);
    g.engine.SetVictoryAmount(3);
    target->SetOwner(g.P(0));
    g.engine.CheckVictory();  // impulse 10
    target->SetOwner(g.P(1));
    g.engine.CheckVictory();  // impulse 11: the enemy becomes the holder
    EXPECT_EQ(g.engine.VictoryHolder, 1);
    EXPECT_EQ(g.engine.VictoryCounter, 1);
    target->SetOwner(nullptr);
    g.engine.CheckVictory();  // nobody holds it: unchanged
    EXPECT_EQ(g.engine.VictoryCounter, 1);
    target->SetOwner(g.P(1));
    g.engine.CheckVictory();
    EXPECT_TRUE(winners.empty());
    g.engine.CheckVictory();
    EXPECT_EQ(winners, std::vector<int>{1});
    EXPECT_EQ(g.engine.VictoryText(), "Hold Sys0 for 3 Impulses");
}

TEST_F(VictoryTest, HoldForOneIsWonOnTheSecondImpulse) {
    TStarSystem* target = g.System(5, 5, g.P(2));
    g.engine.SetVictoryCondition(1);
    g.engine.SetVictoryStarSystem(target);
    g.engine.SetVictoryAmount(1);
    g.engine.CheckVictory();
    EXPECT_TRUE(winners.empty());
    g.engine.CheckVictory();
    EXPECT_EQ(winners, std::vector<int>{2});
}

TEST_F(VictoryTest, HordeAtCapitalWithoutATarget) {
    TStarSystem* capital = g.System(5, 5, g.P(1));
    capital->Capital = true;
    capital->Resources = 500;
    g.engine.SetVictoryCondition(2);
    g.engine.SetVictoryAmount(500);
    g.engine.CheckVictory();
    EXPECT_EQ(winners, std::vector<int>{1});
    EXPECT_EQ(g.engine.VictoryText(), "Horde 500 at Capital");
}

TEST_F(VictoryTest, BlockadeNeedsAllEightCells) {
    TStarSystem* target = g.System(5, 5);
    g.engine.SetVictoryCondition(3);
    g.engine.SetVictoryStarSystem(target);
    g.engine.SetVictoryAmount(1);
    for (int d = 0; d < 7; ++d) g.Ship(g.P(1), TShipType::Drone, 5 + DirectionDX[d], 5 + DirectionDY[d]);
    g.engine.CheckVictory();
    g.engine.CheckVictory();
    EXPECT_TRUE(winners.empty());
    g.Ship(g.P(1), TShipType::Drone, 5 + DirectionDX[7], 5 + DirectionDY[7]);
    g.engine.CheckVictory();
    EXPECT_TRUE(winners.empty());
    g.engine.CheckVictory();
    EXPECT_EQ(winners, std::vector<int>{1});
    EXPECT_EQ(g.engine.VictoryText(), "Blockade Sys0 for 1 Impulses");
}

TEST_F(VictoryTest, LastPlayerAliveWinsEveryImpulse) {
    g.P(1)->Alive = false;
    g.engine.CheckVictory();
    EXPECT_TRUE(winners.empty());
    g.P(2)->Alive = false;
    g.engine.CheckVictory();
    g.engine.CheckVictory();
    EXPECT_EQ(winners, (std::vector<int>{0, 0}));
    EXPECT_EQ(g.engine.VictoryText(), "Eliminate Enemy Capitals");
    // Hold without a target falls back to eliminating capitals.
    g.engine.SetVictoryCondition(1);
    EXPECT_EQ(g.engine.VictoryText(), "Eliminate Enemy Capitals");
    EXPECT_EQ(g.engine.VictoryCondition, 0);
}

} // namespace
} // namespace qx

// The bucketed and cell-by-cell searches must see exactly what testing every
// object sees.
TEST(SightIndex, SeesExactlyWhatAFullScanSees) {
    for (uint64_t seed = 1; seed <= 10; ++seed) {
        // Some galaxies have ships off the map (a damaged game), most do not.
        const bool offMap = seed % 3 == 0;
        qx::TRandom random(seed);
        qx::test::TestGalaxy fast(4, 70, 45), slow(4, 70, 45);
        slow.engine.UseSightIndex = false;
        for (auto* galaxy : {&fast, &slow})
            for (int x = 0; x < 70; ++x)
                for (int y = 0; y < 45; ++y)
                    if ((x * 7 + y * 3 + static_cast<int>(seed)) % 11 == 0) galaxy->map.SetChar(x, y, 'N');
        for (int i = 0; i < 40; ++i) {
            const int x = random.Random(70), y = random.Random(45), owner = random.Random(5) - 1;
            const int scanners = random.Random(12);
            for (auto* galaxy : {&fast, &slow}) {
                if (galaxy->engine.StarSystemAt(x, y)) continue;
                galaxy->System(x, y, owner >= 0 ? galaxy->P(owner) : nullptr)->Scanners = scanners;
            }
        }
        for (int i = 0; i < 300; ++i) {
            const int owner = random.Random(4);
            const auto type = static_cast<qx::TShipType>(random.Random(qx::ShipTypeCount));
            const int x = offMap ? random.Random(74) - 2 : random.Random(70);
            const int y = offMap ? random.Random(49) - 2 : random.Random(45);
            const int value = random.Random(15);
            const bool cloaked = random.Random(4) == 0;
            for (auto* galaxy : {&fast, &slow}) {
                qx::TStarShip* ship = galaxy->Ship(galaxy->P(owner), type, x, y, 3, value);
                ship->Cloaked = cloaked;
            }
        }
        for (int i = 0; i < 5; ++i) {
            const int x = random.Random(70), y = random.Random(45);
            for (auto* galaxy : {&fast, &slow}) galaxy->Wormhole(x, y, 1, 1);
        }
        fast.P(1)->Alliance[2] = slow.P(1)->Alliance[2] = 2;
        fast.P(3)->Alliance[0] = slow.P(3)->Alliance[0] = 2;
        // Two passes: between them every ship moves (the index is reused).
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1) {
                for (int p = 0; p < 4; ++p)
                    for (int i = 0; i < fast.P(p)->StarShipCount(); ++i) {
                        const int dx = random.Random(7) - 3, dy = random.Random(7) - 3;
                        for (auto* galaxy : {&fast, &slow}) {
                            qx::TStarShip* ship = galaxy->P(p)->GetStarShip(i);
                            ship->X = offMap ? ship->X + dx : std::clamp(ship->X + dx, 0, 69);
                            ship->Y = offMap ? ship->Y + dy : std::clamp(ship->Y + dy, 0, 44);
                        }
                    }
            }
            fast.engine.UpdateVisibility();
            slow.engine.UpdateVisibility();

            for (int i = 0; i < fast.engine.StarSystemCount(); ++i)
                ASSERT_EQ(fast.engine.GetStarSystem(i)->Visible, slow.engine.GetStarSystem(i)->Visible) << seed;
            for (int i = 0; i < fast.engine.WormholeCount(); ++i)
                ASSERT_EQ(fast.engine.GetWormhole(i)->Visible, slow.engine.GetWormhole(i)->Visible) << seed;
            for (int p = 0; p < 4; ++p)
                for (int i = 0; i < fast.P(p)->StarShipCount(); ++i) {
                    const qx::TStarShip& a = *fast.P(p)->GetStarShip(i);
                    const qx::TStarShip& b = *slow.P(p)->GetStarShip(i);
                    ASSERT_EQ(a.Visible, b.Visible) << seed << " pass " << pass;
                    ASSERT_EQ(a.Known, b.Known) << seed << " pass " << pass;
                    ASSERT_EQ(a.Tagged, b.Tagged) << seed << " pass " << pass;
                }
        }
    }
}
