#include <gtest/gtest.h>

#include <vector>

#include "TestGalaxy.h"
#include "engine/ShipCellIndex.h"
#include "base/Random.h"

namespace qx {
namespace {

using test::TestGalaxy;

// The ships of one cell as the index lists them.
std::vector<TStarShip*> CellShips(const TShipCellIndex& index, int x, int y) {
    std::vector<TStarShip*> ships;
    for (int32_t e = index.First(x, y); e >= 0; e = index.Entry(e).Next) ships.push_back(index.Entry(e).Ship);
    return ships;
}

// The ships of one cell in player and list order, by walking every list.
std::vector<TStarShip*> WalkCell(const TShipCellIndex::TPlayerList& players, int x, int y) {
    std::vector<TStarShip*> ships;
    for (const auto& player : players)
        for (const auto& ship : player->StarShips)
            if (ship->X == x && ship->Y == y) ships.push_back(ship.get());
    return ships;
}

struct ShipCellIndexTest : ::testing::Test {
    TQuorvexEngine engine;  // hands out the ships' codes
    TShipCellIndex::TPlayerList players;

    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            players.push_back(std::make_unique<TPlayer>(nullptr));
            players.back()->Index = i;
        }
    }
    TStarShip* Ship(int player, int x, int y) {
        auto ship = std::make_unique<TStarShip>(&engine);
        ship->X = x;
        ship->Y = y;
        return players[static_cast<size_t>(player)]->AddStarShip(std::move(ship));
    }
    void Move(TShipCellIndex& index, TStarShip* ship, int x, int y) {
        const int oldX = ship->X, oldY = ship->Y;
        ship->X = x;
        ship->Y = y;
        index.Moved(ship, oldX, oldY);
    }
};

TEST_F(ShipCellIndexTest, ShipsOfACellKeepPlayerAndListOrderThroughMoves) {
    TStarShip* late = Ship(2, 3, 3);
    TStarShip* second = Ship(0, 5, 5);
    TStarShip* first = Ship(0, 3, 3);
    TStarShip* other = Ship(1, 3, 3);
    TShipCellIndex index;
    ASSERT_TRUE(index.Ready(players, 10, 10));
    EXPECT_EQ(CellShips(index, 3, 3), (std::vector<TStarShip*>{first, other, late}));

    // Leaving and coming back puts a ship where the lists have it, not at the end.
    Move(index, first, 4, 3);
    EXPECT_EQ(CellShips(index, 3, 3), (std::vector<TStarShip*>{other, late}));
    EXPECT_EQ(CellShips(index, 4, 3), std::vector<TStarShip*>{first});
    Move(index, second, 3, 3);
    Move(index, first, 3, 3);
    EXPECT_EQ(CellShips(index, 3, 3), (std::vector<TStarShip*>{second, first, other, late}));
    EXPECT_TRUE(CellShips(index, 5, 5).empty());
    EXPECT_TRUE(CellShips(index, 4, 3).empty());
    // Cells off the map hold nothing.
    EXPECT_EQ(index.First(-1, 3), -1);
    EXPECT_EQ(index.First(3, 10), -1);
}

TEST_F(ShipCellIndexTest, ListChangesAndUnknownMovesRebuildAndShipsOffTheMapDecline) {
    TStarShip* a = Ship(0, 1, 1);
    TShipCellIndex index;
    ASSERT_TRUE(index.Ready(players, 8, 8));

    // A move the index did not hear of, then one from the wrong cell: it starts over.
    a->X = 2;
    TStarShip* b = Ship(1, 6, 6);
    b->X = 7;
    index.Moved(b, 6, 5);
    ASSERT_TRUE(index.Ready(players, 8, 8));
    EXPECT_EQ(CellShips(index, 2, 1), std::vector<TStarShip*>{a});
    EXPECT_EQ(CellShips(index, 7, 6), std::vector<TStarShip*>{b});
    EXPECT_TRUE(CellShips(index, 1, 1).empty());

    Move(index, b, 8, 6);  // off the map
    EXPECT_FALSE(index.Ready(players, 8, 8));
    Move(index, b, 7, 7);
    EXPECT_FALSE(index.Ready(players, 8, 8));  // still stale: only a rebuild may say yes
    index.Invalidate();
    ASSERT_TRUE(index.Ready(players, 8, 8));
    EXPECT_EQ(CellShips(index, 7, 7), std::vector<TStarShip*>{b});

    // A new map size is a new grid, on which b may stand outside.
    ASSERT_TRUE(index.Ready(players, 12, 9));
    EXPECT_EQ(CellShips(index, 2, 1), std::vector<TStarShip*>{a});
    EXPECT_EQ(CellShips(index, 7, 7), std::vector<TStarShip*>{b});
    EXPECT_EQ(index.First(11, 8), -1);
    EXPECT_FALSE(index.Ready(players, 3, 3));
    EXPECT_FALSE(index.Ready(players, 0, 5));
}

TEST_F(ShipCellIndexTest, RandomMovesAgreeWithWalkingTheLists) {
    TRandom random(17);
    auto Random = [&random](int n) { return random.Random(n); };
    std::vector<TStarShip*> ships;
    for (int i = 0; i < 60; ++i) ships.push_back(Ship(Random(3), Random(6), Random(6)));
    TShipCellIndex index;
    ASSERT_TRUE(index.Ready(players, 6, 6));
    for (int round = 0; round < 400; ++round) {
        TStarShip* ship = ships[static_cast<size_t>(Random(60))];
        Move(index, ship, Random(6), Random(6));
        ASSERT_TRUE(index.Ready(players, 6, 6));
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y)
                ASSERT_EQ(CellShips(index, x, y), WalkCell(players, x, y)) << "round " << round << " cell " << x << "," << y;
    }
}

// The engine's answers while ships act against a plain walk over the lists:
// fleets fight and move on a crowded map, wrecks keep their cells until the
// impulse ends, and every step is checked around the ship that made it.
TStarShip* WalkShipAt(TQuorvexEngine& engine, int x, int y, bool includeDestroyed) {
    for (int p = 0; p < engine.PlayerCount(); ++p)
        for (const auto& ship : engine.GetPlayer(p)->StarShips)
            if (ship->X == x && ship->Y == y && (includeDestroyed || !ship->Destroyed)) return ship.get();
    return nullptr;
}

TStarShip* WalkAdjacentEnemy(TQuorvexEngine& engine, const TPlayer* player, int x, int y) {
    for (int cx = x + 1; cx >= x - 1; --cx)
        for (int cy = y + 1; cy >= y - 1; --cy) {
            if (cx == x && cy == y) continue;
            for (int p = 0; p < engine.PlayerCount(); ++p) {
                const TPlayer* owner = engine.GetPlayer(p);
                if (owner == player || owner->IsAllied(player) != 0) continue;
                for (const auto& ship : owner->StarShips)
                    if (ship->X == cx && ship->Y == cy && !ship->Destroyed && ship->IsVisibleTo(player))
                        return ship.get();
            }
        }
    return nullptr;
}

TEST(ShipCellLookups, AgreeWithWalkingTheListsWhileShipsActAndFight) {
    TRandom random(3);
    auto Random = [&random](int n) { return random.Random(n); };
    TestGalaxy g{3, 14, 14};
    g.System(7, 7, g.P(0));
    for (int i = 0; i < 70; ++i) {
        const int x = Random(14), y = Random(14);
        if (g.engine.StarShipAt(x, y) || (x == 7 && y == 7)) continue;
        TStarShip* ship = g.Ship(g.P(Random(3)), i % 7 == 0 ? TShipType::EMine : TShipType::WarShip, x, y,
                                 1 + Random(8), 1 + Random(6));
        ship->AttackAdjacent = true;
        ship->SetMove(Random(14), Random(14));
    }
    g.P(0)->Alliance[1] = 1;
    int checks = 0, wrecks = 0;
    auto check = [&](TStarShip* mover) {
        for (int x = mover->X - 2; x <= mover->X + 2; ++x)
            for (int y = mover->Y - 2; y <= mover->Y + 2; ++y) {
                for (bool destroyed : {false, true})
                    ASSERT_EQ(g.engine.StarShipAt(x, y, destroyed, false), WalkShipAt(g.engine, x, y, destroyed));
                for (int p = 0; p < 3; ++p)
                    ASSERT_EQ(g.engine.AdjacentEnemy(g.P(p), x, y), WalkAdjacentEnemy(g.engine, g.P(p), x, y));
                ++checks;
            }
    };
    g.engine.OnMoveStarShip = [&](TObject*, TStarShip* ship, int) { check(ship); };
    g.engine.OnStarShipDamage = [&](TObject*, TStarShip* ship) { check(ship); };
    g.engine.UpdateVisibility();
    for (int impulse = 0; impulse < 60; ++impulse) {
        for (int p = 0; p < 3; ++p)
            for (auto& ship : g.P(p)->StarShips)
                if (ship->Order == ordNone) ship->SetMove(Random(14), Random(14));
        g.engine.ProcessImpulse();
        for (int p = 0; p < 3; ++p)
            for (auto& ship : g.P(p)->StarShips) wrecks += ship->Destroyed ? 1 : 0;
        g.engine.SetImpulse(g.engine.Impulse + 1);
        g.engine.RemoveDestroyedStarShips();
        g.engine.UpdateVisibility();
    }
    EXPECT_GT(checks, 1000);
    EXPECT_GT(wrecks, 0);  // the fights really left wrecks to step around
}

// The first star system at a cell in list order, by walking the list.
TStarSystem* WalkSystemAt(const TQuorvexEngine& engine, int x, int y) {
    for (int i = 0; i < engine.StarSystemCount(); ++i)
        if (engine.GetStarSystem(i)->X == x && engine.GetStarSystem(i)->Y == y) return engine.GetStarSystem(i);
    return nullptr;
}

TEST(ShipCellLookups, StarSystemsByCellFollowTheSystemsGravShipsDrag) {
    TRandom random(8);
    TestGalaxy g{2, 16, 16};
    for (int i = 0; i < 24; ++i) g.System(random.Random(16), random.Random(16), g.P(i % 2));
    g.System(g.engine.GetStarSystem(3)->X, g.engine.GetStarSystem(3)->Y);  // a second system on one cell
    for (int i = 0; i < 12; ++i) {
        TStarSystem* home = g.engine.GetStarSystem(i);
        TStarShip* grav = g.Ship(g.P(i % 2), TShipType::GravShip, std::min(home->X + 1, 15), home->Y, 6);
        grav->SetDrag(home);
    }
    int checks = 0, dragged = 0;
    auto check = [&](int cx, int cy) {
        for (int x = cx - 2; x <= cx + 2; ++x)
            for (int y = cy - 2; y <= cy + 2; ++y) {
                ASSERT_EQ(g.engine.StarSystemAt(x, y), WalkSystemAt(g.engine, x, y)) << x << "," << y;
                ASSERT_EQ(g.engine.IsEmpty(x, y), !WalkSystemAt(g.engine, x, y) && !g.engine.StarShipAt(x, y) &&
                                                      !g.engine.WormholeAt(x, y, false));
                ++checks;
            }
    };
    int handX = 0, handY = 0;  // where system 20 stood before a hand moved it
    g.engine.OnMoveStarShip = [&](TObject*, TStarShip* ship, int) {
        check(ship->X, ship->Y);
        check(handX, handY);
        check(g.engine.GetStarSystem(20)->X, g.engine.GetStarSystem(20)->Y);
    };
    g.engine.OnMoveStarSystem = [&](TObject*, TStarSystem* system) {
        ++dragged;
        check(system->X, system->Y);
    };
    for (int impulse = 0; impulse < 40; ++impulse) {
        for (int p = 0; p < 2; ++p)
            for (auto& ship : g.P(p)->StarShips)
                if (ship->DragSystem >= 0 && ship->Order == ordNone) ship->SetMove(random.Random(16), random.Random(16));
                else if (ship->Order == ordNone) ship->SetDrag(g.engine.GetStarSystem(random.Random(12)));
        g.engine.ProcessImpulse();
        g.engine.SetImpulse(g.engine.Impulse + 1);
        // Outside the actions, setup code may move a system by hand.
        handX = g.engine.GetStarSystem(20)->X;
        handY = g.engine.GetStarSystem(20)->Y;
        g.engine.GetStarSystem(20)->X = random.Random(16);
        check(g.engine.GetStarSystem(20)->X, g.engine.GetStarSystem(20)->Y);
    }
    EXPECT_GT(dragged, 20);
    EXPECT_GT(checks, 2000);
}

} // namespace
} // namespace qx
