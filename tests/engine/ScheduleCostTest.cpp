#include <gtest/gtest.h>

#include "engine/ImpulseAssigner.h"
#include "engine/ShipCostCalculator.h"
#include "engine/StarSystem.h"

namespace qx {
namespace {

int Cost(TShipType type, int engines, int extra, bool cloaked, const TStarSystem* system = nullptr) {
    TImpulseAssigner schedule;
    TShipCostCalculator calc;
    calc.SetImpulseAssigner(&schedule);
    calc.ShipType = type;
    calc.Engines = engines;
    calc.Extra = extra;
    calc.Cloaked = cloaked;
    calc.StarSystem = system;
    return calc.Cost();
}

TEST(ShipCost, WarShipEngineRowKeepsSinglePrecisionShortfalls) {
    // 9 and 11 at 9 and 10 engines: the single-precision sums fall just short.
    const int expected[20] = {1, 1, 2, 3, 4, 5, 6, 8, 9, 11, 14, 16, 19, 22, 25, 28, 31, 35, 39, 43};
    for (int engines = 1; engines <= 20; ++engines)
        EXPECT_EQ(Cost(TShipType::WarShip, engines, 0, false), expected[engines - 1]) << engines << " engines";
}

TEST(ShipCost, ExtraRatingAndCloakDoubling) {
    EXPECT_EQ(Cost(TShipType::WarShip, 5, 3, false), 7);
    EXPECT_EQ(Cost(TShipType::WarShip, 5, 3, true), 14);
    EXPECT_EQ(Cost(TShipType::Drone, 1, 0, false), 1);
    // A type without an extra attribute pays nothing for it.
    EXPECT_EQ(Cost(TShipType::Drone, 1, 10, false), 1);
    EXPECT_EQ(Cost(TShipType::SpyShip, 20, 10, true), 214);
}

TEST(ShipCost, FixedEngineTypesPayNoEngines) {
    EXPECT_EQ(Cost(TShipType::EMine, 1, 0, false), 10);
    EXPECT_EQ(Cost(TShipType::EMine, 20, 0, false), 10);
    EXPECT_EQ(Cost(TShipType::EMine, 20, 0, true), 20);
    EXPECT_EQ(Cost(TShipType::TechShip, 3, 0, false), 25);
    // BattleStation: 100 + hull steps 0.6 → trunc 0,1,1,2,3 = 7.
    EXPECT_EQ(Cost(TShipType::BattleStation, 5, 5, false), 107);
}

TEST(ShipCost, BonusAppliesOnlyToItsTypeWithBankersRounding) {
    TStarSystem system(nullptr);
    system.BonusPercent = 12;
    system.BonusShipType = TShipType::SpyShip;
    EXPECT_EQ(Cost(TShipType::SpyShip, 20, 10, true, &system), 188);
    EXPECT_EQ(Cost(TShipType::WarShip, 5, 3, false, &system), 7);
    // 50 % of 7 is 3.5: halves go to the even neighbour.
    system.BonusPercent = 50;
    system.BonusShipType = TShipType::WarShip;
    EXPECT_EQ(Cost(TShipType::WarShip, 5, 3, false, &system), 4);
    EXPECT_EQ(Cost(TShipType::WarShip, 1, 0, false, &system), 0);  // 0.5 → 0
}

TEST(ShipCost, EngineUnitFollowsTheLinkedCycle) {
    TShipCostCalculator calc;
    EXPECT_FLOAT_EQ(calc.EngineUnit, 0.2f);
    TImpulseAssigner schedule;
    schedule.SetImpulses(10);
    calc.SetImpulseAssigner(&schedule);
    EXPECT_FLOAT_EQ(calc.EngineUnit, 0.4f);
    calc.SetImpulseAssigner(nullptr);
    EXPECT_FLOAT_EQ(calc.EngineUnit, 1.0f);
}

TEST(ImpulseSchedule, StoredTableIsTheExtendedPrecisionRule) {
    TImpulseAssigner schedule;
    ASSERT_EQ(schedule.ImpulseActions().size(), 20u);
    EXPECT_EQ(schedule.ImpulseActions()[2], "00000010000001000000");  // only two acts for 3 engines
    // A double-precision generator gets rows 2, 3, 6, 8, 12, 13, 16 and 19 wrong.
    EXPECT_EQ(TImpulseAssigner::GenerateTable(20), schedule.ImpulseActions());
}

TEST(ImpulseSchedule, OtherCycleLengthsAreGenerated) {
    TImpulseAssigner schedule;
    schedule.SetImpulses(4);
    EXPECT_EQ(schedule.ImpulseActions(), (std::vector<std::string>{"0001", "0010", "0110", "1111"}));
    schedule.SetImpulses(1);
    EXPECT_EQ(schedule.ImpulseActions(), (std::vector<std::string>{"1"}));
    schedule.SetImpulses(0);
    EXPECT_TRUE(schedule.ImpulseActions().empty());
    EXPECT_FALSE(schedule.CanAct(1, 1));
}

TEST(ImpulseSchedule, CanAct) {
    TImpulseAssigner schedule;
    EXPECT_TRUE(schedule.CanAct(20, 1));
    for (int p = 1; p <= 19; ++p) EXPECT_FALSE(schedule.CanAct(p, 1)) << p;
    for (int p = 1; p <= 20; ++p) EXPECT_TRUE(schedule.CanAct(p, 20)) << p;
    EXPECT_FALSE(schedule.CanAct(20, 3));
    EXPECT_TRUE(schedule.CanAct(7, 3));
    // Out of the table: never, and never a crash.
    EXPECT_FALSE(schedule.CanAct(0, 20));
    EXPECT_FALSE(schedule.CanAct(21, 20));
    EXPECT_FALSE(schedule.CanAct(5, 0));
    EXPECT_FALSE(schedule.CanAct(5, 21));
}

} // namespace
} // namespace qx
