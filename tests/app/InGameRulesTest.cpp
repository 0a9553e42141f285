#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "app/InGameRules.h"

namespace qx {
namespace {

TShipRow Ship(const std::string& code, TShipType type, int value, int maxValue, int engines, int maxEngines) {
    TShipRow row;
    row.Code = code;
    row.Type = type;
    row.Value = value;
    row.MaxValue = maxValue;
    row.Engines = engines;
    row.MaxEngines = maxEngines;
    return row;
}

TSystemRow System(int index, const std::string& name, int value, double resources, int shields, int scanners) {
    TSystemRow row;
    row.Index = index;
    row.Name = name;
    row.Value = value;
    row.Resources = resources;
    row.Shields = shields;
    row.Scanners = scanners;
    return row;
}

TEST(InGameRulesTest, ShipColumnsShowTheExtraLetterAndDamage) {
    const TShipRow whole = Ship("A1B", TShipType::WarShip, 12, 12, 8, 8);
    EXPECT_EQ(whole.TypeText(), "WarShip");
    EXPECT_EQ(whole.ValueText(), std::string(1, ShipTypeInfo(TShipType::WarShip).Letter) + "12");
    EXPECT_EQ(whole.EnginesText(), "8");
    const TShipRow hurt = Ship("A1C", TShipType::WarShip, 7, 12, 5, 8);
    EXPECT_EQ(hurt.ValueText(), std::string(1, ShipTypeInfo(TShipType::WarShip).Letter) + "7/12");
    EXPECT_EQ(hurt.EnginesText(), "5/8");
    // A type without an extra attribute shows no value at all.
    for (int t = 0; t < ShipTypeCount; ++t) {
        const auto type = static_cast<TShipType>(t);
        if (HasExtraAttribute(type)) continue;
        EXPECT_EQ(Ship("X", type, 0, 0, 3, 3).ValueText(), "") << ShipTypeName(type);
    }
}

TEST(InGameRulesTest, ResourcesTruncateSafely) {
    EXPECT_EQ(TruncateResources(10.9), 10);
    EXPECT_EQ(TruncateResources(-2.7), -2);
    EXPECT_EQ(TruncateResources(std::nan("")), 0);
    EXPECT_EQ(TruncateResources(std::numeric_limits<double>::infinity()), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(TruncateResources(-1e300), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(TruncateResources(9223372036854775808.0), std::numeric_limits<int64_t>::max());
}

// A comparator fit for sorting never calls two different rows equal one way
// and ordered the other: irreflexive, asymmetric, transitive, and total on
// distinct rows.
template <typename Row, typename Column, typename Before>
void ExpectStrictTotalOrder(const std::vector<Row>& rows, Column column, Before before) {
    for (const Row& a : rows) {
        EXPECT_FALSE(before(a, a, column));
        for (const Row& b : rows) {
            if (&a == &b) continue;
            EXPECT_NE(before(a, b, column), before(b, a, column)) << "two rows rank alike";
            for (const Row& c : rows) {
                if (before(a, b, column) && before(b, c, column)) {
                    EXPECT_TRUE(before(a, c, column));
                }
            }
        }
    }
}

std::vector<TSystemRow> ResourceChain() {
    // Each neighbour within 1 of the next: "within 1 counts as equal" would
    // make the first and last equal to the middle but not to each other.
    return {System(0, "Ares", 5, 10.2, 1, 0), System(1, "Brax", 5, 10.9, 1, 0), System(2, "Cyd", 7, 11.6, 2, 1),
            System(3, "Dorn", 7, 12.3, 2, 1), System(4, "ares", 9, 10.2, 3, 2), System(5, "Eld", 9, std::nan(""), 0, 0)};
}

TEST(InGameRulesTest, SystemOrderingsAreStrictForEveryColumn) {
    const std::vector<TSystemRow> rows = ResourceChain();
    for (int c = 0; c < SystemColumnCount; ++c)
        ExpectStrictTotalOrder(rows, static_cast<TSystemColumn>(c), SystemRowBefore);
}

TEST(InGameRulesTest, ShipOrderingsAreStrictForEveryColumn) {
    const std::vector<TShipRow> rows{Ship("AAA", TShipType::WarShip, 5, 5, 8, 8), Ship("aaa", TShipType::WarShip, 5, 5, 8, 8),
                                     Ship("B0B", TShipType::Tug, 0, 0, 8, 8), Ship("C0C", TShipType::ScanShip, 9, 9, 3, 3),
                                     Ship("D0D", TShipType::Drone, 2, 2, 12, 12)};
    for (int c = 0; c < ShipColumnCount; ++c) ExpectStrictTotalOrder(rows, static_cast<TShipColumn>(c), ShipRowBefore);
}

std::vector<std::string> Names(const std::vector<TSystemRow>& rows) {
    std::vector<std::string> names;
    for (const TSystemRow& row : rows) names.push_back(row.Name);
    return names;
}

TEST(InGameRulesTest, SortingGivesOneOrderWhateverTheStartingOrder) {
    std::vector<TSystemRow> rows = ResourceChain();
    SortSystemRows(rows, TSystemColumn::Resources);
    // Descending as shown: 12, 11, then the three tens by name; the unreadable
    // amount counts as 0.
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"Dorn", "Cyd", "Ares", "ares", "Brax", "Eld"}));
    std::mt19937 shuffle(7);
    for (int round = 0; round < 20; ++round) {
        std::vector<TSystemRow> again = ResourceChain();
        std::shuffle(again.begin(), again.end(), shuffle);
        SortSystemRows(again, TSystemColumn::Resources);
        EXPECT_EQ(Names(again), Names(rows));
    }

    std::vector<TSystemRow> byName = ResourceChain();
    SortSystemRows(byName, TSystemColumn::Name);
    EXPECT_EQ(Names(byName), (std::vector<std::string>{"Ares", "ares", "Brax", "Cyd", "Dorn", "Eld"}));
    std::vector<TSystemRow> byShields = ResourceChain();
    SortSystemRows(byShields, TSystemColumn::Shields);
    EXPECT_EQ(Names(byShields).front(), "ares");
    EXPECT_EQ(Names(byShields).back(), "Eld");

    std::vector<TShipRow> ships{Ship("b2", TShipType::Tug, 0, 0, 3, 3), Ship("A1", TShipType::WarShip, 4, 4, 9, 9),
                                Ship("a1", TShipType::ScanShip, 7, 9, 5, 8)};
    SortShipRows(ships, TShipColumn::Code);
    EXPECT_EQ(ships[0].Code, "A1");  // case counts: upper case first
    EXPECT_EQ(ships[1].Code, "a1");
    SortShipRows(ships, TShipColumn::Type);
    EXPECT_EQ(ships[0].Code, "a1");  // ScanShip, Tug, WarShip
    EXPECT_EQ(ships[2].Code, "A1");
    SortShipRows(ships, TShipColumn::Value);
    EXPECT_EQ(ships[0].Code, "a1");  // 7, 4, 0: the current value counts
    SortShipRows(ships, TShipColumn::Engines);
    EXPECT_EQ(ships[0].Code, "A1");
    EXPECT_EQ(ships[2].Code, "b2");
}

TEST(InGameRulesTest, ChatAddressesEachPlayerByAFlag) {
    std::array<bool, MaxPlayers> to{};
    to[1] = true;
    const std::string message = TGameChat::Compose(to, 4, "hello: all");
    EXPECT_EQ(message, "GAMECHAT:0:1:0:0:hello: all");
    EXPECT_EQ(std::count(message.begin(), message.end(), '1'), 1);

    const auto parsed = TGameChat::Parse(message, 4);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Text, "hello: all");
    EXPECT_TRUE(parsed->Addressed[1]);
    EXPECT_FALSE(parsed->Addressed[0]);
    EXPECT_FALSE(parsed->Addressed[3]);

    // Texts from the network are untrusted: anything malformed is dropped.
    EXPECT_FALSE(TGameChat::Parse("GAMECHAT:0:1:0:", 4));           // a flag short
    EXPECT_FALSE(TGameChat::Parse("GAMECHAT:0:2:0:0:hi", 4));       // not a flag
    EXPECT_FALSE(TGameChat::Parse("GAMECHAT:0;1:0:0:hi", 4));       // wrong separator
    EXPECT_FALSE(TGameChat::Parse("SHIPTYPES:0:1:0:0:hi", 4));      // another message
    EXPECT_FALSE(TGameChat::Parse("GAMECHAT:1:hi", 0));             // no players
    EXPECT_FALSE(TGameChat::Parse("GAMECHAT:1:1:1:1:1:1:1:1:1:1:1:hi", 11));
    const auto empty = TGameChat::Parse("GAMECHAT:1:0:", 2);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Text, "");
    const auto controls = TGameChat::Parse(std::string("GAMECHAT:1:a\nb\x1b[2Jc\x7f"), 1);
    ASSERT_TRUE(controls);
    EXPECT_EQ(controls->Text, "ab[2Jc");

    EXPECT_EQ(TGameChat::CleanText("  \tgo  east \r\n"), "go  east");
    EXPECT_EQ(TGameChat::CleanText(" \x01 "), "");
}

TEST(InGameRulesTest, AllianceButtonsFollowTheTable) {
    const TAllianceButtons none = TAllianceButtons::ForLevel(0);
    const TAllianceButtons pact = TAllianceButtons::ForLevel(1);
    const TAllianceButtons shared = TAllianceButtons::ForLevel(2);
    EXPECT_EQ(none.Level(), 0);
    EXPECT_EQ(pact.Level(), 1);
    EXPECT_EQ(shared.Level(), 2);
    EXPECT_TRUE(shared.NonAggression);
    EXPECT_EQ(TAllianceButtons::ForLevel(7).Level(), 2);
    EXPECT_EQ(TAllianceButtons::ForLevel(-3).Level(), 0);

    // "Non-Aggression" down: level 1.
    TAlliancePress press = none.PressNonAggression();
    EXPECT_EQ(press.Level, 1);
    EXPECT_EQ(press.Buttons, pact);
    // "Non-Aggression" up: level 0, and "Intelligence" goes up with it.
    press = shared.PressNonAggression();
    EXPECT_EQ(press.Level, 0);
    EXPECT_EQ(press.Buttons, none);
    // "Intelligence" down: level 2, and "Non-Aggression" goes down with it.
    press = none.PressIntelligence();
    EXPECT_EQ(press.Level, 2);
    EXPECT_EQ(press.Buttons, shared);
    // "Intelligence" up: level 1.
    press = shared.PressIntelligence();
    EXPECT_EQ(press.Level, 1);
    EXPECT_EQ(press.Buttons, pact);
    // What is sent always matches what the buttons then show.
    for (int level = 0; level <= 2; ++level) {
        const TAllianceButtons start = TAllianceButtons::ForLevel(level);
        EXPECT_EQ(start.PressNonAggression().Level, start.PressNonAggression().Buttons.Level());
        EXPECT_EQ(start.PressIntelligence().Level, start.PressIntelligence().Buttons.Level());
    }
    EXPECT_EQ(AllianceOrder(2, 3), "23:2:3");
    EXPECT_EQ(AllianceOrder(0, 9), "23:0:9");
}

} // namespace
} // namespace qx
