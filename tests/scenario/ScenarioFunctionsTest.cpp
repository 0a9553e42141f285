#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/QuorvexEngine.h"
#include "base/Random.h"
#include "scenario/ScriptsModule.h"
#include "script/ScriptError.h"

using namespace qx;

namespace {

struct Scenario : ::testing::Test {
    TQuorvexEngine engine;
    TdmScripts scripts;
    TTextScenarioDisplay display;

    void SetUp() override {
        engine.RulesRandom.Seed(11);
        engine.CharMatrix = scripts.MatrixMap;
        scripts.Display = &display;
    }
    void Run(const std::string& text, int players = 2, int computers = 0, int capitalValue = 18,
             int resources = 100) {
        scripts.RunScenarioText(engine, text, capitalValue, resources, computers, players);
    }
    const TValue& Variable(const char* name) { return scripts.ScriptScenario().FindItem(name)->Value; }
    TStarSystem* SystemNamed(const std::string& name) {
        for (int i = 0; i < engine.StarSystemCount(); ++i)
            if (engine.GetStarSystem(i)->Name == name) return engine.GetStarSystem(i);
        return nullptr;
    }
};

} // namespace

TEST_F(Scenario, VersionFourPassesAndNewerStopsWithTheUpgradeMessage) {
    EXPECT_NO_THROW(Run("Version( 4.0 );"));
    try {
        Run("Version( 4.1 );");
        FAIL() << "a newer script ran";
    } catch (const ERuntimeError& error) {
        EXPECT_EQ(error.Inner(),
                  "This Script file was created for version 4.1 of Quorvex, and you have version 4.  "
                  "Please upgrade Quorvex before attempting to use this Script.");
    }
}

TEST_F(Scenario, RandomExcludesTheUpperBound) {
    Run("lo := 100; hi := -100;\n"
        "for i := 1 to 3000 do begin r := Random( 0, 20 ); if r < lo then lo := r; if r > hi then hi := r; end;\n"
        "same := Random( 5, 5 ); back := Random( 5, 2 );",
        0);
    EXPECT_EQ(Variable("LO").AsInteger(), 0);
    EXPECT_EQ(Variable("HI").AsInteger(), 19);
    EXPECT_EQ(Variable("SAME").AsInteger(), 5);
    EXPECT_EQ(Variable("BACK").AsInteger(), 5);
}

TEST_F(Scenario, StarSystemsKeepADistanceOfTwo) {
    Run("SetMapSize( 30, 30 );\n"
        "CreateStarSystem( 10, 10, '?', 5, 2, 3, 20, -1, false );\n"
        "CreateStarSystem( 11, 11, 'Near', 5, 2, 3, 20, -1, false );\n"
        "CreateStarSystem( 12, 10, 'Far', 5, 2, 3, 20, -1, false );\n"
        "CreateStarSystem( 30, 5, 'Outside', 5, 2, 3, 20, -1, false );",
        0);
    ASSERT_EQ(engine.StarSystemCount(), 2);
    EXPECT_EQ(SystemNamed("Near"), nullptr);
    EXPECT_EQ(SystemNamed("Outside"), nullptr);
    ASSERT_NE(SystemNamed("Far"), nullptr);
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        const TStarSystem& system = *engine.GetStarSystem(i);
        EXPECT_EQ(system.Index, i);
        EXPECT_EQ(system.Owner, nullptr);
        EXPECT_FALSE(system.Name.empty());
        EXPECT_NE(system.Name, "?");
    }
}

TEST_F(Scenario, ADroppedSystemLeavesNoTraceWithItsWouldBeOwner) {
    Run("SetMapSize( 30, 30 );\n"
        "CreateStarSystem( 5, 5, 'Home', 7, 3, 4, 55, 0, true );\n"
        "CreateStarSystem( 6, 6, 'Squeezed', 7, 3, 4, 55, 0, false );",
        1);
    EXPECT_EQ(engine.StarSystemCount(), 1);
    EXPECT_EQ(engine.GetPlayer(0)->StarSystemCount(), 1);
    EXPECT_EQ(engine.GetPlayer(0)->OwnedStarSystem(0)->Name, "Home");
}

TEST_F(Scenario, ScriptedCapitalsKeepTheirValuesUnlessTheSettingsDiffer) {
    const std::string text = "SetMapSize( 30, 30 ); CreateStarSystem( 5, 5, 'Home', 7, 3, 4, 55, 0, true );";
    Run(text, 1);
    TStarSystem* home = SystemNamed("Home");
    ASSERT_NE(home, nullptr);
    EXPECT_TRUE(home->Capital);
    EXPECT_EQ(home->Owner, engine.GetPlayer(0));
    EXPECT_EQ(home->Value, 7);
    EXPECT_EQ(home->Shields, 3);
    EXPECT_EQ(home->Scanners, 4);
    EXPECT_EQ(home->Resources, 55);

    Run(text, 1, 0, 25, 100);
    home = SystemNamed("Home");
    EXPECT_EQ(home->Value, 25);
    EXPECT_EQ(home->Resources, 55);
    Run(text, 1, 0, 18, 300);
    EXPECT_EQ(SystemNamed("Home")->Resources, 300);
}

TEST_F(Scenario, DefaultCapitalsPreferDistanceThenTakeAnyFreeSystem) {
    // Two systems 4 apart: the second player only gets one in the second pass;
    // a third player finds nothing left.
    Run("SetMapSize( 30, 30 ); CreateStarSystem( 0, 0, 'A', 3, 0, 0, 0, -1, false );"
        "CreateStarSystem( 4, 0, 'B', 3, 0, 0, 0, -1, false );",
        3, 1);
    EXPECT_TRUE(engine.GetPlayer(2)->Computer);
    EXPECT_FALSE(engine.GetPlayer(1)->Computer);
    for (int p = 0; p < 2; ++p) {
        const TStarSystem* capital = engine.GetPlayer(p)->Capital();
        ASSERT_NE(capital, nullptr) << p;
        EXPECT_EQ(capital->Value, 18);
        EXPECT_EQ(capital->Shields, 12);
        EXPECT_EQ(capital->Scanners, 10);
        EXPECT_EQ(capital->Resources, 100);
    }
    EXPECT_EQ(engine.GetPlayer(2)->Capital(), nullptr);
    EXPECT_EQ(engine.GetPlayer(0)->Name, "Player 1");
}

TEST_F(Scenario, AssignCapitalStaysInItsRegionAndIgnoresUnknownPlayers) {
    Run("SetMapSize( 40, 40 );\n"
        "for i := 0 to 9 do CreateStarSystem( i * 4, 2, '?', 3, 0, 0, 0, -1, false );\n"
        "for i := 0 to 9 do CreateStarSystem( i * 4, 30, '?', 3, 0, 0, 0, -1, false );\n"
        "AssignCapital( 0, 0, 25, 39, 39 ); AssignCapital( 7, 0, 0, 39, 39 ); AssignCapital( -1, 0, 0, 39, 39 );",
        1);
    const TStarSystem* capital = engine.GetPlayer(0)->Capital();
    ASSERT_NE(capital, nullptr);
    EXPECT_EQ(capital->Y, 30);
    int capitals = 0;
    for (int i = 0; i < engine.StarSystemCount(); ++i) capitals += engine.GetStarSystem(i)->Capital;
    EXPECT_EQ(capitals, 1);
}

TEST_F(Scenario, VictorySystemIsFoundByItsExactName) {
    Run("SetMapSize( 20, 20 ); CreateStarSystem( 5, 5, 'Sol', 3, 0, 0, 0, -1, false );"
        "SetVictoryConditions( 1, 'Vega', 100 );",
        0);
    EXPECT_EQ(engine.VictoryCondition, 1);
    EXPECT_EQ(engine.VictoryStarSystem, nullptr);
    EXPECT_EQ(engine.VictoryAmount, 100);
    Run("SetMapSize( 20, 20 ); CreateStarSystem( 5, 5, 'Sol', 3, 0, 0, 0, -1, false );"
        "SetVictoryConditions( 1, 'sol', 100 );",
        0);
    EXPECT_EQ(engine.VictoryStarSystem, nullptr);
    Run("SetMapSize( 20, 20 ); CreateStarSystem( 5, 5, 'Sol', 3, 0, 0, 0, -1, false );"
        "SetVictoryConditions( 3, 'Sol', 40 );",
        0);
    ASSERT_NE(engine.VictoryStarSystem, nullptr);
    EXPECT_EQ(engine.VictoryText(), "Blockade Sol for 40 Impulses");
}

TEST_F(Scenario, StarClustersLieAlongTheDiagonalApartAndInside) {
    Run("SetMapSize( 50, 50 ); CreateStarCluster( 30, 0, 0, 49, 49, 5, 3 );", 0);
    ASSERT_GT(engine.StarSystemCount(), 10);
    EXPECT_LE(engine.StarSystemCount(), 30);
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        const TStarSystem& a = *engine.GetStarSystem(i);
        EXPECT_TRUE(engine.IsInsideMap(a.X, a.Y));
        EXPECT_LE(std::abs(a.X - a.Y), 14) << a.X << "," << a.Y;  // offsets of at most 4/3 x 5 each way
        EXPECT_GE(a.Value, 1);
        EXPECT_LE(a.Value, 20);
        EXPECT_LT(a.Shields, std::max(a.Value, 1));
        EXPECT_NE(a.Scanners, 1);
        EXPECT_TRUE(a.BonusPercent == 0 || a.BonusPercent >= 5);
        EXPECT_NE(a.BonusShipType, TShipType::BattleStation);
        for (int j = i + 1; j < engine.StarSystemCount(); ++j) {
            const TStarSystem& b = *engine.GetStarSystem(j);
            EXPECT_FALSE(std::abs(a.X - b.X) < 2 && std::abs(a.Y - b.Y) < 2);
        }
    }
    // Zero samples would divide by zero; it counts as one.
    EXPECT_NO_THROW(Run("SetMapSize( 50, 50 ); CreateStarCluster( 5, 0, 0, 49, 49, 3, 0 );", 0));
}

TEST_F(Scenario, WormholesNeedBothEndsOnTheMap) {
    Run("SetMapSize( 20, 20 ); CreateWormhole( 1, 1, 18, 18 ); CreateWormhole( 20, 1, 5, 5 );"
        "CreateWormhole( 2, 2, 5, 25 );",
        0);
    ASSERT_EQ(engine.WormholeCount(), 1);
    EXPECT_EQ(engine.GetWormhole(0)->DestX, 18);
}

TEST_F(Scenario, NebulaeAreDrawnIntoTheMapText) {
    Run("SetMapSize( 4, 2 ); CreateNebula( 1, 1, 3, 0 ); SetNebula( 3, 0, true ); SetNebula( 9, 9, true );"
        "SetDescription( 'Tiny' );",
        0);
    EXPECT_EQ(engine.MapText, "3,-1,N4,-");
    EXPECT_TRUE(engine.IsNebula(3, 0));
    EXPECT_EQ(display.Description, "Tiny");
    EXPECT_EQ(display.MapWidthText, "4");
    EXPECT_EQ(display.MapHeightText, "2");
}

TEST_F(Scenario, BadArgumentsAreRunTimeErrorsNotCrashes) {
    EXPECT_THROW(Run("SetMapSize( 100000, 100000 );", 0), ERuntimeError);
    EXPECT_THROW(Run("SetMapSize( 0, 5 );", 0), ERuntimeError);
    EXPECT_THROW(Run("SetMapSize( 9, 9 ); CreateStarSystem( 1, 1, 'Semi;colon', 1, 0, 0, 0, -1, false );", 0),
                 ERuntimeError);
    EXPECT_THROW(Run("SetVictoryConditions( 7, '', 0 );", 0), ERuntimeError);
}
