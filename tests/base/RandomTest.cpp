#include <gtest/gtest.h>

#include <set>

#include "base/Random.h"

using namespace qx;

TEST(Random, SameSeedRepeatsTheSequence) {
    TRandom a(7), b(7), c(8);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const int x = a.Random(1000);
        EXPECT_EQ(x, b.Random(1000));
        differs |= x != c.Random(1000);
    }
    EXPECT_TRUE(differs);
}

TEST(Random, RangesHoldAndEveryValueComesUp) {
    TRandom random(1);
    std::set<int> seen;
    for (int i = 0; i < 10000; ++i) {
        const int x = random.Random(26);
        ASSERT_GE(x, 0);
        ASSERT_LT(x, 26);
        seen.insert(x);
        const double r = random.RandomReal();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
    EXPECT_EQ(seen.size(), 26u);
    EXPECT_EQ(random.Random(0), 0);
    EXPECT_EQ(random.Random(-5), 0);
    EXPECT_EQ(random.Random(1), 0);
}
