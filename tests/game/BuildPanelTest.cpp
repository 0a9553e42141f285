#include <gtest/gtest.h>

#include "engine/QuorvexEngine.h"
#include "game/BuildPanelModel.h"
#include "game/SettingsStore.h"
#include "tests/game/GameFixture.h"

namespace qx {
namespace {

using test::InputScene;
using T = TShipType;

struct BuildScene : InputScene {
    TStarSystem* home;
    BuildScene() {
        Me()->ShipTypes = {T::WarShip, T::Drone, T::EMine, T::SpyShip, T::JumpGateShip, T::BattleStation};
        home = galaxy.System(5, 5, Me());
        home->Resources = 100;
    }
    TBuildPanelModel& Panel() { return input.BuildPanel(); }
    void OpenAtHome() {
        Show();
        Click(home->X, home->Y);
        input.BuildStarShipClick();
    }
    int VisibleDirections() {
        int n = 0;
        for (int b = 0; b < TBuildPanelModel::DirectionCount; ++b) n += Panel().DirectionVisible(b) ? 1 : 0;
        return n;
    }
};

TEST(BuildPanel, OffersThePlayersTypesWithTheSystemsBonusAndWithoutASecondGate) {
    BuildScene s;
    s.home->BonusPercent = 12;
    s.home->BonusShipType = T::Tug;
    EXPECT_EQ(TBuildPanelModel::TypesForStarSystem(s.Me(), *s.home),
              (std::vector<T>{T::WarShip, T::Drone, T::EMine, T::SpyShip, T::JumpGateShip, T::BattleStation, T::Tug}));
    s.home->HasJumpGate = true;
    s.home->BonusShipType = T::Drone;  // a bonus type the player has already is not offered twice
    EXPECT_EQ(TBuildPanelModel::TypesForStarSystem(s.Me(), *s.home),
              (std::vector<T>{T::WarShip, T::Drone, T::EMine, T::SpyShip, T::BattleStation}));
    EXPECT_EQ(TBuildPanelModel::TypesForStation(s.Me()),
              (std::vector<T>{T::WarShip, T::Drone, T::EMine, T::SpyShip, T::BattleStation}));
    EXPECT_TRUE(TBuildPanelModel::TypesOf(nullptr).empty()) << "brain mode builds nothing";

    // The chosen type stays chosen while the list has it.
    s.OpenAtHome();
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlBuildStarShip);
    EXPECT_EQ(s.Panel().SelectedType(), T::WarShip) << "the first type when none was chosen";
    s.Panel().SelectType(T::SpyShip);
    s.Panel().SetTypes({T::WarShip, T::SpyShip});
    EXPECT_EQ(s.Panel().SelectedIndex(), 1);
    s.Panel().SetTypes({T::WarShip});
    EXPECT_FALSE(s.Panel().SelectedType());
}

TEST(BuildPanel, PricesTheDesignWithTheBonusAndFixedEngines) {
    BuildScene s;
    s.OpenAtHome();
    TBuildPanelModel& p = s.Panel();
    p.SelectType(T::WarShip);
    p.SetEngines(5);
    p.SetWeapons(3);
    EXPECT_EQ(p.Cost(), 7);
    p.SetCloaked(true);
    EXPECT_EQ(p.Cost(), 14);
    p.SetCloaked(false);
    EXPECT_TRUE(p.WeaponsVisible());
    EXPECT_EQ(p.WeaponsLabel(), "Weapons");

    s.home->BonusPercent = 12;
    s.home->BonusShipType = T::SpyShip;
    p.SelectType(T::SpyShip);
    p.SetEngines(20);
    p.SetWeapons(10);
    p.SetCloaked(true);
    EXPECT_EQ(p.Cost(), 188) << "214 less the system's 12 %";
    EXPECT_EQ(p.WeaponsLabel(), "Scanners");

    // Fixed engines: shown, not chosen, and a higher default comes down.
    s.defaults.SetEngines(T::BattleStation, 9);
    p.SetCloaked(false);
    p.SelectType(T::BattleStation);
    EXPECT_FALSE(p.EnginesEnabled());
    EXPECT_EQ(p.Engines(), 5);
    EXPECT_EQ(s.defaults.Engines(T::BattleStation), 5);
    p.SetEngines(12);
    EXPECT_EQ(p.Engines(), 5);
    p.SelectType(T::EMine);
    EXPECT_EQ(p.Engines(), 1);
    EXPECT_FALSE(p.WeaponsVisible());
    EXPECT_EQ(p.Cost(), 10);

    // A spinner's value is the type's new default; typed values are clamped.
    p.SelectType(T::Drone);
    p.SetEngines(99);
    p.SelectType(T::WarShip);
    EXPECT_EQ(p.Engines(), 5);
    EXPECT_EQ(s.defaults.Engines(T::Drone), 20);
}

TEST(BuildPanel, HidesOccupiedOffMapAndUnaffordableDirectionsAndWritesTheBuildOrder) {
    BuildScene s;
    s.Ship(s.Me(), T::Drone, 4, 4);       // up-left
    s.galaxy.System(6, 6, s.Enemy());     // down-right
    s.galaxy.Wormhole(5, 4, 9, 9);        // up
    s.OpenAtHome();
    TBuildPanelModel& p = s.Panel();
    p.SelectType(T::WarShip);
    p.SetEngines(5);
    p.SetWeapons(3);
    const std::vector<bool> expected = {false, false, true, true, true, true, true, false};
    for (int b = 0; b < 8; ++b) EXPECT_EQ(p.DirectionVisible(b), expected[static_cast<size_t>(b)]) << b;

    s.input.BuildDirectionClick(2);  // up-right: dX 1, dY -1
    EXPECT_EQ(s.TakeOrders(), std::vector<std::string>{"12:0:0:5:3:0:1:-1:7::"});
    EXPECT_EQ(s.sounds.Last(), TGameSound::Confirmed);
    EXPECT_FALSE(p.DirectionVisible(2)) << "a clicked button hides until the panel is recalculated";
    s.input.BuildDirectionClick(2);
    EXPECT_TRUE(s.orders.empty());

    // A type without an extra attribute carries no value.
    p.SelectType(T::Drone);
    s.input.BuildDirectionClick(3);
    EXPECT_EQ(s.TakeOrders(), std::vector<std::string>{"12:0:2:8:0:0:-1:0:" + std::to_string(p.Cost()) + "::"});

    // Resources below the price hide every direction.
    s.home->Resources = 6.9;
    p.SelectType(T::WarShip);
    EXPECT_EQ(s.VisibleDirections(), 0);
    s.home->Resources = 7;
    p.Recalculate();
    EXPECT_EQ(s.VisibleDirections(), 5);

    // At the map's edge the cells outside are no place to build.
    TStarSystem* corner = s.galaxy.System(0, 0, s.Me());
    corner->Resources = 100;
    s.Click(0, 0);
    s.input.BuildStarShipClick();
    s.Panel().SelectType(T::WarShip);
    EXPECT_EQ(s.VisibleDirections(), 3);

    // Another player's system builds nothing here.
    TStarSystem* theirs = s.galaxy.System(12, 12, s.Enemy());
    theirs->Resources = 100;
    s.Click(12, 12);
    s.input.BuildStarShipClick();
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlStarSystem);
    EXPECT_EQ(s.VisibleDirections(), 0);
}

TEST(BuildPanel, DoubleClickTakesTheMostTheBuilderCanPay) {
    BuildScene s;
    s.home->Resources = 12;
    s.OpenAtHome();
    TBuildPanelModel& p = s.Panel();
    p.SelectType(T::WarShip);
    p.SetWeapons(1);
    p.MaximiseEngines();
    // One weapon costs nothing; 10 engines cost 11 (the single-precision sum
    // falls short of 12), 11 engines 14.
    EXPECT_EQ(p.Engines(), 10);
    EXPECT_LE(p.Cost(), 12);
    p.SetEngines(1);
    p.MaximiseWeapons();
    EXPECT_EQ(p.Weapons(), 5);  // 1.2 + (0+1+2+2+3) = 9.2; a sixth weapon makes it 13
    s.home->Resources = 0;
    p.MaximiseWeapons();
    EXPECT_EQ(p.Weapons(), 1) << "1 when nothing is affordable";
}

TEST(BuildPanel, ABattleStationBuildsFromItsOwnResources) {
    BuildScene s;
    TStarShip* station = s.Ship(s.Me(), T::BattleStation, 10, 10, 5, 3);
    station->StationResources = 12.5;
    s.Show();
    s.SelectShip(station);
    EXPECT_TRUE(s.input.ShipPanel().Buttons[btnBattleBuildStarShip]);
    s.input.KeyPress('b');
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlBuildStarShip);
    TBuildPanelModel& p = s.Panel();
    EXPECT_EQ(p.Station(), station);
    EXPECT_DOUBLE_EQ(p.Available(), 12.5);
    p.SelectType(T::WarShip);
    p.SetEngines(5);
    p.SetWeapons(3);
    s.input.BuildDirectionClick(6);  // down
    EXPECT_EQ(s.TakeOrders(), std::vector<std::string>{"22:" + station->Code + ":0:5:3:0:0:1:7::"});
    s.input.CancelBuildClick();
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlStarShip);
}

TEST(BuildDefaults, ReadTheirSettingsAndFallBackOnNonsense) {
    TMemorySettingsStore settings;
    settings.Values = {{"0Engine", "12"}, {"0Value", "7"}, {"1Engine", "0"}, {"1Value", "25"}, {"2Engine", "abc"}};
    TBuildDefaults defaults;
    defaults.Load(settings);
    EXPECT_EQ(defaults.Engines(T::WarShip), 12);
    EXPECT_EQ(defaults.Weapons(T::WarShip), 7);
    EXPECT_EQ(defaults.Engines(T::ScanShip) * 10 + defaults.Weapons(T::ScanShip), 83) << "out of range: 8 and 3";
    EXPECT_EQ(defaults.Engines(T::Drone), 8);
    TMemorySettingsStore saved;
    defaults.Save(saved);
    EXPECT_EQ(saved.Values.size(), 44u);
    EXPECT_EQ(saved.ReadString("0Engine"), "12");
    EXPECT_EQ(saved.ReadString("21Value"), "3");
}

} // namespace
} // namespace qx
