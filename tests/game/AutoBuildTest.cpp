#include <gtest/gtest.h>

#include "engine/QuorvexEngine.h"
#include "game/AutoBuildTable.h"
#include "tests/game/GameFixture.h"

namespace qx {
namespace {

using test::InputScene;
using T = TShipType;
using V = std::vector<std::string>;

TEST(AutoBuild, ShieldsAndScannersSpendWhatThePassHasLeft) {
    test::TestGalaxy g{2, 20, 20};
    TStarSystem* a = g.System(5, 5, g.P(0));
    a->Shields = 2;
    a->Resources = 10.7;
    TAutoBuildTable table;
    table.SetAutoShields(a->Index, true);
    // Costs 3 and 4 leave 3 of the 10 whole resources: two shields.
    EXPECT_EQ(table.Orders(g.engine, g.P(0)), (V{"10:0", "10:0"}));

    // Scanners then get only what the shields left: 3 pays for scanner 1 and 2.
    a->Scanners = 0;
    table.SetAutoScanners(a->Index, true);
    EXPECT_EQ(table.Orders(g.engine, g.P(0)), (V{"10:0", "10:0", "11:0", "11:0"}));

    // A ship is built only from what is still left after them.
    g.P(0)->ShipTypes = {T::Drone};
    table.SetAutoStarShip(a->Index, true);
    table.SetAutoShipType(a->Index, {T::Drone, 3, 1, false});
    EXPECT_EQ(table.Orders(g.engine, g.P(0)).size(), 4u) << "nothing is left for the Drone";
    a->Resources = 11.9;
    // 11: shields 3 + 4 (left 4), scanners 1 + 2 (left 1), a Drone of one engine costs 1.
    EXPECT_EQ(table.Orders(g.engine, g.P(0)),
              (V{"10:0", "10:0", "11:0", "11:0", "12:0:2:1:0:0:-1:-1:1::"}));

    // Only the local player's systems build; brain mode has none.
    a->SetOwner(g.P(1));
    EXPECT_TRUE(table.Orders(g.engine, g.P(0)).empty());
    EXPECT_TRUE(table.Orders(g.engine, nullptr).empty());
}

TEST(AutoBuild, OneShipAtTheFirstFreeNeighbourOfABuildableType) {
    test::TestGalaxy g{2, 20, 20};
    g.P(0)->ShipTypes = {T::WarShip};
    TStarSystem* a = g.System(5, 5, g.P(0));
    a->Resources = 50;
    g.Ship(g.P(1), T::Drone, 4, 4);
    g.Ship(g.P(1), T::Drone, 4, 5);
    TAutoBuildTable table;
    table.SetAutoStarShip(a->Index, true);
    EXPECT_TRUE(table.Orders(g.engine, g.P(0)).empty()) << "no type chosen";
    table.SetAutoShipType(a->Index, {T::WarShip, 3, 5, true});
    EXPECT_EQ(table.Orders(g.engine, g.P(0)), V{"12:0:0:5:3:1:-1:1:14::"}) << "(-1,-1) and (-1,0) are taken";
    table.SetAutoShipType(a->Index, {T::Tug, 3, 5, false});
    EXPECT_TRUE(table.Orders(g.engine, g.P(0)).empty()) << "a type the player cannot build here";
    a->BonusPercent = 50;
    a->BonusShipType = T::Tug;
    EXPECT_EQ(table.Orders(g.engine, g.P(0)), V{"12:0:8:5:0:0:-1:1:4::"}) << "9 at half price, 4.5 rounded to even";
    table.SetAutoStarShip(a->Index, false);
    EXPECT_TRUE(table.Orders(g.engine, g.P(0)).empty());
}

TEST(AutoBuild, SettingsAreKeptPerSystemIndexWithTheirCaption) {
    test::TestGalaxy g{2, 20, 20};
    TStarSystem* a = g.System(5, 5, g.P(0));
    TStarSystem* b = g.System(9, 9, g.P(0));
    b->Name = a->Name;  // two systems of one name
    TAutoBuildTable table;
    table.SetAutoShields(b->Index, true);
    EXPECT_FALSE(table.AutoShields(a->Index));
    EXPECT_TRUE(table.AutoShields(b->Index));
    table.SetAutoShipType(a->Index, {T::WarShip, 3, 8, true});
    table.SetAutoShipType(b->Index, {T::Drone, 3, 5, false});
    EXPECT_EQ(table.Caption(a->Index), "WarShip W3 E8 (clk)");
    EXPECT_EQ(table.Caption(b->Index), "Drone E5");
    EXPECT_EQ(TAutoBuildTable::Caption({T::BattleStation, 4, 5, false}), "BattleStation H4 E5");
    EXPECT_EQ(table.Lines(), (V{"0AutoShipType=0;3;8;1;", "1AutoShields=1", "1AutoShipType=2;3;5;0;"}));
    table.Clear();
    EXPECT_TRUE(table.Lines().empty());
    EXPECT_EQ(table.Caption(a->Index), "");
}

TEST(AutoBuild, TheStarSystemPanelSwitchesItAndAsksForAType) {
    InputScene s;
    s.Me()->ShipTypes = {T::WarShip, T::Drone};
    TStarSystem* home = s.galaxy.System(5, 5, s.Me());
    home->Resources = 40;
    s.Show();
    s.Click(5, 5);
    EXPECT_TRUE(s.input.StarSystemPanel().Own);
    s.input.AutoShieldsClick(true);
    s.input.AutoStarShipClick(true);
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlBuildStarShip) << "no type chosen yet: the choice opens";
    EXPECT_TRUE(s.input.BuildPanel().ChoosingAutoType);
    s.input.BuildPanel().SelectType(T::Drone);
    s.input.BuildPanel().SetEngines(6);
    s.input.SelectAutoShipTypeClick();
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlStarSystem);
    const TStarSystemPanelView v = s.input.StarSystemPanel();
    EXPECT_TRUE(v.AutoShields && v.AutoStarShip && !v.AutoScanners);
    EXPECT_EQ(v.AutoShipCaption, "Drone E6");

    s.input.ChooseAutoShipTypeClick();
    s.input.CancelAutoShipTypeClick();
    EXPECT_FALSE(s.input.StarSystemPanel().AutoStarShip);
    EXPECT_EQ(s.input.StarSystemPanel().AutoShipCaption, "Drone E6") << "the type is kept for later";

    // The panel's buttons and boxes act only on one's own systems.
    TStarSystem* theirs = s.galaxy.System(12, 12, s.Enemy());
    s.Click(12, 12);
    s.input.AutoScannersClick(true);
    s.input.BuildShieldClick();
    EXPECT_FALSE(s.autoBuild.AutoScanners(theirs->Index));
    EXPECT_TRUE(s.orders.empty());
    s.Click(5, 5);
    s.input.BuildShieldClick();
    s.input.BuildScannerClick();
    EXPECT_EQ(s.TakeOrders(), (V{"10:0", "11:0"}));
}

TEST(StarSystemPanel, ShowsWhatTheLocalPlayerSees) {
    InputScene s;
    TStarSystem* home = s.galaxy.System(5, 5, s.Me());
    home->Resources = 12.9;
    home->BonusPercent = 12;
    home->BonusShipType = T::SpyShip;
    TStarSystem* free = s.galaxy.System(9, 9);
    s.Show();
    s.Click(5, 5);
    const TStarSystemPanelView v = s.input.StarSystemPanel();
    EXPECT_EQ(v.Resources, "12");
    EXPECT_EQ(v.Bonus.Text, "12% SpyShip Bonus");
    EXPECT_TRUE(v.Seen && v.Own);
    s.Click(9, 9);
    EXPECT_EQ(s.input.StarSystemPanel().Owner.Text, "(Independent)");
    free->Visible.fill(false);
    EXPECT_EQ(s.input.StarSystemPanel().Owner.Text, "(Unknown)");
    EXPECT_FALSE(s.input.StarSystemPanel().Seen);
}

} // namespace
} // namespace qx
