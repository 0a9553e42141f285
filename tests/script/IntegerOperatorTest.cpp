#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace qx::test {
namespace {

// Operators on two integer variables or constants take a shortcut past the
// scratch slots; these check it gives exactly what the general path gives.

TEST(IntegerOperators, ResultsWrapAndCompareLikeTheGeneralPath) {
    TScriptRun r;
    r.Run("a := 2147483647; b := 1; c := -2147483647 - 1;"
          "s := a + b; d := c - b; m := a * a; n := c * b; k := b - 3;"
          "g := a > b; l := a < b; e := b = 1; u := b <> 1; ge := c >= c; le := a <= c;");
    EXPECT_EQ(r.Int("S"), INT32_MIN);
    EXPECT_EQ(r.Int("D"), INT32_MAX);
    EXPECT_EQ(r.Int("M"), 1);
    EXPECT_EQ(r.Int("N"), INT32_MIN);
    EXPECT_EQ(r.Int("K"), -2);
    EXPECT_TRUE(r.Bool("G"));
    EXPECT_FALSE(r.Bool("L"));
    EXPECT_TRUE(r.Bool("E"));
    EXPECT_FALSE(r.Bool("U"));
    EXPECT_TRUE(r.Bool("GE"));
    EXPECT_FALSE(r.Bool("LE"));
}

TEST(IntegerOperators, OtherOperandTypesStillTakeTheGeneralPath) {
    TScriptRun r;
    r.Run("i := 3; f := 0.5; t := 'ab'; x := i + f; y := i * 2.0; z := t + t; w := f < i; v := 'a' < t;"
          "p := TRUE = TRUE;");
    EXPECT_DOUBLE_EQ(r.Float("X"), 3.5);
    EXPECT_DOUBLE_EQ(r.Float("Y"), 6.0);
    EXPECT_EQ(r.Str("Z"), "abab");
    EXPECT_TRUE(r.Bool("W"));
    EXPECT_TRUE(r.Bool("V"));
    EXPECT_TRUE(r.Bool("P"));
    EXPECT_EQ(r.Error("i := 3; t := 'a'; x := i - t;"),
              RuntimeMessage("Funktion - expects type INTEGER/FLOAT instead of type VAR STRING at argument 2", 26));
}

TEST(IntegerOperators, LoopsReadTheCurrentValueOnEveryPass) {
    TScriptRun r;
    r.Run("s := 0; for i := 1 to 10 do s := s + i; n := 0; while n < 7 do n := n + 1; q := 1;"
          "repeat q := q * 3 until q >= 100;");
    EXPECT_EQ(r.Int("S"), 55);
    EXPECT_EQ(r.Int("N"), 7);
    EXPECT_EQ(r.Int("Q"), 243);
}

TEST(IntegerOperators, UndefinedOperandsAreStillReported) {
    TScriptRun r;
    EXPECT_NE(r.Error("z := y + 1;").find("Arguments: (VOID, INTEGER)"), std::string::npos);
    const std::string error = r.Error("a := 1; z := a < y;");
    EXPECT_NE(error.find("Arguments: (VAR INTEGER, VOID)"), std::string::npos) << error;
    EXPECT_NE(error.find("Function: < [Position 16]"), std::string::npos) << error;
}

TEST(IntegerOperators, CountAsCallsForTheBudgetAndThePump) {
    // The same text once on integers (shortcut) and once on reals (general
    // path) must make the same number of calls and pump as often.
    auto measure = [](const std::string& text) {
        TScriptRun r;
        int pumped = 0;
        r.funcs.OnProcessMessages = [&] { ++pumped; };
        r.funcs.CallBudget = 1000000;
        r.Run(text);
        return std::make_pair(r.funcs.CallCount, pumped);
    };
    const auto integers = measure("a := 1; b := 2; c := a + b; d := a < b; e := a * 2 - b;");
    const auto reals = measure("a := 1.0; b := 2.0; c := a + b; d := a < b; e := a * 2 - b;");
    EXPECT_GT(integers.second, 4);
    EXPECT_EQ(integers, reals);

    TScriptRun r;
    r.funcs.CallBudget = 1000;
    EXPECT_NE(r.Error("n := 0; while n >= 0 do n := n + 0;").find("Script stopped."), std::string::npos);
    int pumped = 0;
    r.funcs.CallBudget = 0;
    r.funcs.OnProcessMessages = [&] {
        if (++pumped == 50) r.funcs.StopRequested = true;
    };
    EXPECT_NE(r.Error("n := 0; while n >= 0 do n := n + 1;").find("Script stopped."), std::string::npos);
    EXPECT_LT(r.Int("N"), 50);
}

} // namespace
} // namespace qx::test
