#include <gtest/gtest.h>

#include <set>

#include "TestGalaxy.h"
#include "base/Random.h"

namespace qx {
namespace {

using test::TestGalaxy;

TEST(Combat, EqualWarShipsDestroyTheAttackerWhoLearns) {
    TestGalaxy g(2);
    TStarShip* attacker = g.Ship(g.P(0), TShipType::WarShip, 5, 5, 5, 5);
    TStarShip* defender = g.Ship(g.P(1), TShipType::WarShip, 6, 5, 5, 5);
    g.engine.AttackStarShip(attacker, defender);
    EXPECT_TRUE(attacker->Destroyed);
    EXPECT_EQ(attacker->Order, ordNone);
    EXPECT_FALSE(defender->Destroyed);
    EXPECT_GE(defender->KnownValue[0], 5);
    EXPECT_TRUE(g.Recorded("39:1:" + defender->Code + ":0:5:"));
}

TEST(Combat, StrongerWarShipDealsOneToItsStrength) {
    TestGalaxy g(2);
    std::set<int> lost;
    for (int seed = 0; seed < 200; ++seed) {
        g.engine.RulesRandom.Seed(static_cast<uint64_t>(seed));
        TStarShip* attacker = g.Ship(g.P(0), TShipType::WarShip, 5, 5, 5, 5);
        TStarShip* defender = g.Ship(g.P(1), TShipType::WarShip, 6, 5, 50, 4);
        g.engine.AttackStarShip(attacker, defender);
        const int points = (50 - defender->Engines) + (4 - defender->Value);
        ASSERT_GE(points, 1);
        ASSERT_LE(points, 5);
        if (!defender->Destroyed) lost.insert(points);
        EXPECT_FALSE(attacker->Destroyed);
        // The defender's owner learns the attacker beat its remaining rating.
        EXPECT_EQ(attacker->KnownValue[1], std::max(0, defender->Value + 1));
        g.engine.DestroyStarShip(attacker);
        g.engine.DestroyStarShip(defender);
        g.engine.RemoveDestroyedStarShips();
    }
    EXPECT_EQ(lost.size(), 5u);
}

TEST(Combat, DamageCutsCargoAndDestroysBelowOne) {
    TestGalaxy g(2);
    TStarShip* freighter = g.Ship(g.P(0), TShipType::Freighter, 1, 1, 5, 10);
    freighter->Cargo = 6;
    int damaged = 0;
    g.engine.OnStarShipDamage = [&](TObject*, TStarShip*) { ++damaged; };
    g.engine.DamageStarShip(freighter, 5, false);
    EXPECT_EQ(freighter->Value, 5);
    EXPECT_EQ(freighter->Cargo, 5);
    EXPECT_EQ(damaged, 1);
    EXPECT_TRUE(g.Recorded("8:0:" + freighter->Code + ":5:5:"));
    g.engine.DamageStarShip(freighter, 5, false);
    EXPECT_TRUE(freighter->Destroyed);
    EXPECT_EQ(damaged, 1);
    // A ship without an extra rating takes damage on its engines.
    TStarShip* drone = g.Ship(g.P(0), TShipType::Drone, 2, 2, 3);
    g.engine.DamageStarShip(drone, 1, false);
    EXPECT_EQ(drone->Engines, 2);
}

TEST(Combat, DroneOddsFollowTheEngineRatio) {
    TestGalaxy g(2);
    int wins = 0;
    for (int seed = 0; seed < 400; ++seed) {
        g.engine.RulesRandom.Seed(static_cast<uint64_t>(seed));
        TStarShip* drone = g.Ship(g.P(0), TShipType::Drone, 5, 5, 3);
        TStarShip* target = g.Ship(g.P(1), TShipType::Freighter, 6, 5, 6, 2);
        g.engine.AttackStarShip(drone, target);
        EXPECT_TRUE(drone->Destroyed);
        wins += target->Destroyed;
        g.engine.DestroyStarShip(target);
        g.engine.RemoveDestroyedStarShips();
    }
    EXPECT_GT(wins, 150);
    EXPECT_LT(wins, 250);
    TStarShip* drone = g.Ship(g.P(0), TShipType::Drone, 5, 5, 6);
    TStarShip* target = g.Ship(g.P(1), TShipType::Freighter, 6, 5, 6, 2);
    g.engine.AttackStarShip(drone, target);
    EXPECT_TRUE(target->Destroyed);  // at least the target's engines always wins
}

TEST(Combat, StarSystemShieldsAndConquest) {
    TestGalaxy g(2);
    TStarSystem* system = g.System(5, 5, g.P(1));
    system->Shields = 10;
    int attacks = 0;
    g.engine.OnStarSystemAttack = [&](TObject*, TStarSystem*) { ++attacks; };
    TStarShip* ten = g.Ship(g.P(0), TShipType::WarShip, 4, 5, 5, 10);
    g.engine.AttackStarSystem(ten, system);
    EXPECT_EQ(system->Shields, 0);
    EXPECT_EQ(system->Owner, g.P(1));
    EXPECT_TRUE(ten->Destroyed);
    EXPECT_TRUE(g.Recorded("17:0:0:0:"));
    system->Shields = 10;
    TStarShip* eleven = g.Ship(g.P(0), TShipType::WarShip, 4, 4, 5, 11);
    g.engine.AttackStarSystem(eleven, system);
    EXPECT_EQ(system->Owner, g.P(0));
    EXPECT_EQ(system->Shields, 0);
    EXPECT_TRUE(g.Recorded("18:0:0:"));
    EXPECT_EQ(attacks, 2);
    // A BattleStation wears shields down and survives.
    system->Shields = 2;
    TStarShip* station = g.Ship(g.P(1), TShipType::BattleStation, 6, 6, 5, 5);
    g.engine.AttackStarSystem(station, system);
    EXPECT_EQ(system->Shields, 1);
    EXPECT_FALSE(station->Destroyed);
}

TEST(Combat, MissilesStrikeShieldsAndResources) {
    TestGalaxy g(2);
    TStarSystem* system = g.System(5, 5, g.P(1));
    system->Shields = 3;
    system->Resources = 100;
    g.engine.AttackStarSystem(g.Ship(g.P(0), TShipType::DoomMissile, 4, 5, 5, 4), system);
    EXPECT_EQ(system->Shields, 0);  // never below zero
    g.engine.AttackStarSystem(g.Ship(g.P(0), TShipType::NukeMissile, 4, 4, 5, 2), system);
    EXPECT_GE(system->Resources, 25);
    EXPECT_LE(system->Resources, 100);
}

TEST(Combat, ConqueringACapitalTakesThePlayerOut) {
    TestGalaxy g(3);
    TStarSystem* capital = g.System(5, 5, g.P(1));
    capital->Capital = true;
    TStarSystem* colony = g.System(9, 9, g.P(1));
    TStarShip* ship = g.Ship(g.P(1), TShipType::ScanShip, 12, 12);
    ship->SetMove(1, 1);
    g.P(1)->ShipTypes = {TShipType::Tug};
    g.P(0)->ShipTypes = {TShipType::WarShip};
    std::vector<std::string> events;
    g.engine.OnPlayerConquered = [&](TObject*, TPlayer* p) {
        events.push_back("conquered " + std::to_string(p->Index) + " ships " + std::to_string(p->StarShipCount()));
    };
    g.engine.OnStarSystemConquer = [&](TObject*, TStarSystem* s) { events.push_back("system " + s->Name); };
    g.engine.Conquer(g.P(0), capital);
    EXPECT_EQ(events, (std::vector<std::string>{"conquered 1 ships 1", "system Sys0"}));
    EXPECT_FALSE(g.P(1)->Alive);
    EXPECT_FALSE(capital->Capital);
    EXPECT_EQ(colony->Owner, g.P(0));
    EXPECT_EQ(ship->Owner, g.P(0));
    EXPECT_EQ(ship->Order, ordMove);
    EXPECT_TRUE(ship->Known[0]);
    EXPECT_EQ(g.P(1)->StarShipCount(), 0);
    EXPECT_EQ(g.P(1)->StarSystemCount(), 0);
    EXPECT_EQ(g.P(0)->ShipTypes, (TShipTypeSet{TShipType::WarShip, TShipType::Tug}));
    // An old owner without ship types hands over the basic set.
    TStarSystem* other = g.System(15, 15, g.P(2));
    other->Capital = true;
    other->BonusPercent = 10;
    other->BonusShipType = TShipType::GravShip;
    g.engine.Conquer(g.P(0), other);
    EXPECT_TRUE(g.P(0)->ShipTypes.Contains(TShipType::Freighter));
    EXPECT_TRUE(g.P(0)->ShipTypes.Contains(TShipType::GravShip));
    EXPECT_FALSE(g.P(0)->ShipTypes.Contains(TShipType::HijackShip));
}

TEST(Combat, HijackMovesTheTargetWithoutCreateOrDestroy) {
    TestGalaxy g(2);
    TStarShip* hijacker = g.Ship(g.P(0), TShipType::HijackShip, 5, 5);
    TStarShip* target = g.Ship(g.P(1), TShipType::WarShip, 6, 5, 5, 8);
    target->SetMove(1, 1);
    int created = 0;
    g.engine.OnStarShipCreate = [&](TObject*, TStarShip*) { ++created; };
    TStarShip* hijacked = nullptr;
    g.engine.OnStarShipHijack = [&](TObject*, TStarShip* s) { hijacked = s; };
    g.engine.AttackStarShip(hijacker, target);
    EXPECT_EQ(target->Owner, g.P(0));
    EXPECT_EQ(g.P(0)->GetStarShip(g.P(0)->StarShipCount() - 1), target);
    EXPECT_EQ(g.P(1)->StarShipCount(), 0);
    EXPECT_EQ(target->Order, ordMove);
    EXPECT_TRUE(hijacker->Destroyed);
    EXPECT_EQ(hijacked, target);
    EXPECT_EQ(created, 0);
    EXPECT_EQ(g.changes.front(), "24:0:" + hijacker->Code + ":" + target->Code + ":");
}

TEST(Combat, MinesAndSweepers) {
    TestGalaxy g(2);
    TStarShip* sweeper = g.Ship(g.P(1), TShipType::MineSweeper, 6, 5, 3, 2);
    g.SeeAll();
    TStarShip* mine = g.Ship(g.P(0), TShipType::EMine, 5, 5, 1);
    g.SeeAll();
    g.engine.DetonateEMine(mine);
    EXPECT_TRUE(mine->Destroyed);
    EXPECT_EQ(sweeper->Value, 1);
    TStarShip* second = g.Ship(g.P(0), TShipType::EMine, 7, 6, 1);
    g.SeeAll();
    g.engine.DetonateEMine(second);
    EXPECT_TRUE(sweeper->Destroyed);
    // Without armor a sweeper pays with an engine point.
    TStarShip* bare = g.Ship(g.P(1), TShipType::MineSweeper, 10, 10, 3, 0);
    TStarShip* third = g.Ship(g.P(0), TShipType::EMine, 11, 10, 1);
    g.SeeAll();
    g.engine.DetonateEMine(third);
    EXPECT_EQ(bare->Engines, 2);
    // An ally is spared, and so is a ship the mine's owner cannot see.
    TStarShip* ally = g.Ship(g.P(1), TShipType::Drone, 15, 15);
    TStarShip* fourth = g.Ship(g.P(0), TShipType::EMine, 16, 15, 1);
    g.SeeAll();
    g.P(1)->Alliance[0] = 1;
    g.engine.DetonateEMine(fourth);
    EXPECT_FALSE(ally->Destroyed);
    g.P(1)->Alliance[0] = 0;
    ally->Visible[0] = false;
    g.engine.DetonateEMine(fourth);
    EXPECT_FALSE(fourth->Destroyed);
}

TEST(Combat, StarTilleryHitsTheNearestVisibleEnemyInRange) {
    TestGalaxy g(2);
    TStarShip* gun = g.Ship(g.P(0), TShipType::StarTillery, 5, 5, 5, 4);
    TStarShip* far = g.Ship(g.P(1), TShipType::Drone, 12, 5, 5);
    TStarShip* mine = g.Ship(g.P(1), TShipType::EMine, 6, 6, 1);
    g.SeeAll();
    g.engine.StarTilleryFire(gun);
    EXPECT_EQ(far->Engines, 5);  // 7 away, range 4
    EXPECT_EQ(mine->Engines, 1);  // mines are never targets
    TStarShip* near = g.Ship(g.P(1), TShipType::Drone, 8, 5, 5);
    g.SeeAll();
    g.engine.StarTilleryFire(gun);
    EXPECT_EQ(near->Engines, 4);
}

TEST(Combat, RepairRaisesTheWorseRating) {
    TestGalaxy g(2);
    TStarShip* ship = g.Ship(g.P(1), TShipType::WarShip, 6, 5, 10, 10);
    ship->Engines = 7;
    ship->Value = 9;
    TStarShip* station = g.Ship(g.P(0), TShipType::BattleStation, 5, 5, 5, 5);
    g.SeeAll();
    g.engine.BattleStationRepair(station);  // repairs an enemy too
    EXPECT_EQ(ship->Engines, 8);
    EXPECT_TRUE(g.Recorded("28:1:" + ship->Code + ":8:9:"));
    ship->Engines = 9;
    g.engine.Repair(station, ship);  // tie: the value
    EXPECT_EQ(ship->Value, 10);
    g.engine.Repair(station, ship);
    EXPECT_EQ(ship->Engines, 10);
    g.changes.clear();
    g.engine.Repair(station, ship);
    EXPECT_TRUE(g.changes.empty());
    station->Value = 3;
    g.engine.BattleStationRepair(station);  // itself first
    EXPECT_EQ(station->Value, 4);
}

TEST(Combat, CommandBonusAddsUpWithinRange) {
    TestGalaxy g(2);
    g.Ship(g.P(0), TShipType::CommandShip, 5, 5, 5, 3);
    g.Ship(g.P(0), TShipType::CommandShip, 9, 5, 5, 2);
    TStarShip* both = g.Ship(g.P(0), TShipType::WarShip, 7, 5, 5, 4);
    TStarShip* one = g.Ship(g.P(0), TShipType::WarShip, 5, 8, 5, 4);
    TStarShip* enemy = g.Ship(g.P(1), TShipType::WarShip, 6, 5, 5, 4);
    g.engine.UpdateCommandBonus();
    EXPECT_EQ(both->CommandBonus, 2);
    EXPECT_EQ(one->CommandBonus, 1);
    EXPECT_EQ(enemy->CommandBonus, 0);
    EXPECT_EQ(both->EffectiveValue(), 6);
}

TEST(Combat, ShieldsScannersAndResearch) {
    TestGalaxy g(1);
    TStarSystem* system = g.System(5, 5, g.P(0));
    system->Resources = 5.5;
    system->Scanners = 5;
    g.engine.BuildScanner(system);
    EXPECT_EQ(system->Scanners, 6);
    EXPECT_DOUBLE_EQ(system->Resources, -0.5);
    EXPECT_TRUE(g.Recorded("5:0:6:-0.5:"));
    g.engine.BuildScanner(system);
    EXPECT_EQ(system->Scanners, 6);
    system->Resources = 3;
    system->Shields = 2;
    g.engine.BuildShield(system);
    EXPECT_EQ(system->Shields, 3);
    EXPECT_DOUBLE_EQ(system->Resources, 0);
    TStarShip* tech = g.Ship(g.P(0), TShipType::TechShip, 1, 1, 3);
    g.engine.TechResearch(tech);
    EXPECT_GT(g.P(0)->TechMultiple, 1.0);
    EXPECT_LT(g.P(0)->TechMultiple, 1.001);
    EXPECT_EQ(g.changes.back(), "34:0:" + FloatToText(g.P(0)->TechMultiple) + ":");
}

TEST(Combat, BuildsPayAndStayInsideTheMap) {
    TestGalaxy g(2, 10, 10);
    TStarSystem* system = g.System(0, 5, g.P(0));
    system->Resources = 20;
    TBuildFields fields;
    fields.ShipType = TShipType::JumpGateShip;
    fields.Engines = 3;
    fields.Cost = 15;
    fields.DX = 1;
    TStarShip* built = g.engine.BuildStarShip(system, fields);
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->Owner, g.P(0));
    EXPECT_EQ(built->X, 1);
    EXPECT_EQ(built->SourceSystem, 0);
    EXPECT_DOUBLE_EQ(system->Resources, 5);
    EXPECT_TRUE(g.Recorded("13:0:20:3:0:0:1:0:15:" + built->Code + ":"));
    fields.Cost = 6;  // too dear
    fields.DY = 1;
    EXPECT_EQ(g.engine.BuildStarShip(system, fields), nullptr);
    fields.Cost = 1;
    fields.DY = 0;  // the cell is taken
    EXPECT_EQ(g.engine.BuildStarShip(system, fields), nullptr);
    fields.DX = -1;  // outside the map
    EXPECT_EQ(g.engine.BuildStarShip(system, fields), nullptr);
    EXPECT_DOUBLE_EQ(system->Resources, 5);
    // A war ship attacks adjacent enemies from the start; a given free code is kept.
    fields.ShipType = TShipType::WarShip;
    fields.DX = 0;
    fields.DY = 1;
    fields.Code = "Q1Q";
    TStarShip* war = g.engine.BuildStarShip(system, fields);
    ASSERT_NE(war, nullptr);
    EXPECT_TRUE(war->AttackAdjacent);
    EXPECT_EQ(war->Code, "Q1Q");
    // A code that names a living ship is replaced.
    fields.DY = -1;
    TStarShip* again = g.engine.BuildStarShip(system, fields);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->Code, "Q1Q");
}

TEST(Combat, BattleStationBuildsFromWhatItGathered) {
    TestGalaxy g(1, 20, 20);
    TStarShip* station = g.Ship(g.P(0), TShipType::BattleStation, 5, 5, 5, 5);
    for (int i = 0; i < 8; ++i) g.engine.MoveTowards(station, 5 + (i % 2 ? -1 : 1) * 3, 5);
    EXPECT_DOUBLE_EQ(station->StationResources, 2.0);
    TBuildFields fields;
    fields.ShipType = TShipType::Drone;
    fields.Engines = 2;
    fields.Cost = 3;
    fields.DY = 1;
    EXPECT_EQ(g.engine.BattleBuildStarShip(station, fields), nullptr);
    fields.Cost = 2;
    TStarShip* drone = g.engine.BattleBuildStarShip(station, fields);
    ASSERT_NE(drone, nullptr);
    EXPECT_DOUBLE_EQ(station->StationResources, 0);
    EXPECT_EQ(g.changes.back(), "36:" + station->Code + ":2:2:0:0:0:1:2:" + drone->Code + ":");
}

} // namespace
} // namespace qx
