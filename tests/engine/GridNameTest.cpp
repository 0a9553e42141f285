#include <gtest/gtest.h>

#include <set>

#include "engine/CharMatrix.h"
#include "engine/NameGenerator.h"
#include "base/Random.h"

namespace qx {
namespace {

TEST(CharMatrix, RunLengthTextContinuesAcrossRows) {
    TCharMatrix grid;
    grid.SetSize(3, 2);
    grid.Fill('-');
    grid.SetChar(2, 0, 'N');
    grid.SetChar(0, 1, 'N');
    grid.SetChar(1, 1, 'N');
    EXPECT_EQ(grid.SaveToText(), "2,-3,N1,-");
}

TEST(CharMatrix, TextReadsBackWithLongRuns) {
    TCharMatrix grid;
    grid.SetSize(30, 4);
    grid.Fill('-');
    for (int x = 3; x < 20; ++x) grid.SetChar(x, 2, 'N');
    const std::string text = grid.SaveToText();
    EXPECT_EQ(text, "63,-17,N40,-");
    TCharMatrix copy;
    copy.SetSize(30, 4);
    copy.LoadFromText(text);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 30; ++x) EXPECT_EQ(copy.GetChar(x, y), grid.GetChar(x, y)) << x << "," << y;
}

TEST(CharMatrix, TextForALargerGridStopsAtTheLastCell) {
    TCharMatrix grid;
    grid.SetSize(2, 2);
    grid.LoadFromText("3,N100,-");
    EXPECT_EQ(grid.GetChar(0, 0), 'N');
    EXPECT_EQ(grid.GetChar(0, 1), 'N');
    EXPECT_EQ(grid.GetChar(1, 1), '-');
    EXPECT_THROW(grid.LoadFromText("3N"), std::invalid_argument);
    EXPECT_THROW(grid.LoadFromText("x,N"), std::invalid_argument);
}

TEST(CharMatrix, ResizingLosesTheContentAndOutsideReadsZero) {
    TCharMatrix grid;
    grid.SetSize(4, 4);
    grid.Fill('N');
    grid.SetColumns(5);
    EXPECT_EQ(grid.GetChar(0, 0), '\0');
    EXPECT_EQ(grid.GetChar(-1, 0), '\0');
    EXPECT_EQ(grid.GetChar(5, 0), '\0');
    grid.SetChar(7, 7, 'N');  // outside: nothing happens
    TCharMatrix empty;
    EXPECT_EQ(empty.GetChar(0, 0), '\0');
}

TEST(NameGenerator, StarSystemListGives1406DistinctNamesBeforeRepeating) {
    TRandom random(7);
    TNameGenerator names;
    names.Delimiter = "-";
    names.SetSyllables(TNameGenerator::StarSystemSyllables());
    names.Prepare();
    EXPECT_EQ(names.Prefixes().size(), 38u);
    EXPECT_EQ(names.Suffixes().size(), 37u);
    EXPECT_EQ(names.Capacity(), 1406);
    std::set<std::string> seen;
    for (int i = 0; i < 1406; ++i) EXPECT_TRUE(seen.insert(names.NewName(random)).second) << "repeat at " << i;
    EXPECT_TRUE(seen.count("Tau-Ceti"));
    EXPECT_TRUE(seen.count("Ju-Ceti"));
    // All used: the list starts over.
    EXPECT_TRUE(seen.count(names.NewName(random)));
}

TEST(NameGenerator, BrainListAndEmptyList) {
    TNameGenerator brains;
    brains.Delimiter = "-";
    brains.SetSyllables(TNameGenerator::BrainSyllables());
    brains.Prepare();
    EXPECT_EQ(brains.Capacity(), 64);
    TNameGenerator empty;
    TRandom random;
    EXPECT_EQ(empty.NewName(random), "");
}

} // namespace
} // namespace qx
