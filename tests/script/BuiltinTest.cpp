#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "ScriptTestSupport.h"
#include "script/Builtins.h"

namespace qx::test {
namespace {

TEST(Builtins, IncAndDecThroughTheVariableRules) {
    TScriptRun r;
    r.Run("i := 1; inc(i); inc(i, 5); dec(i); dec(i, 2); f := 1.5; inc(f, 2); m := 2147483647; inc(m);");
    EXPECT_EQ(r.Int("I"), 4);
    EXPECT_DOUBLE_EQ(r.Float("F"), 3.5);
    EXPECT_EQ(r.Int("M"), INT32_MIN);
    EXPECT_EQ(r.Error("i := 1; inc(i, 2.5);"),
              RuntimeMessage("Variable I expects type VAR INTEGER instead of type FLOAT.", 9));
}

TEST(Builtins, Rounding) {
    TScriptRun r;
    r.Run("a := Round(2.5); b := Round(3.5); c := Round(-2.5); d := Trunc(-2.7); e := Int(-2.7); f := Frac(2.75);"
          "g := Round(7 / 2);");
    EXPECT_EQ(r.Int("A"), 2);
    EXPECT_EQ(r.Int("B"), 4);
    EXPECT_EQ(r.Int("C"), -2);
    EXPECT_EQ(r.Int("D"), -2);
    EXPECT_DOUBLE_EQ(r.Float("E"), -2.0);
    EXPECT_DOUBLE_EQ(r.Float("F"), 0.75);
    EXPECT_EQ(r.Int("G"), 4);
    EXPECT_EQ(r.Error("x := 1e10; y := Round(x);"),
              RuntimeMessage("Floating point value out of the integer range", 17));
    EXPECT_EQ(r.Error("x := -1e10; y := Trunc(x);"),
              RuntimeMessage("Floating point value out of the integer range", 18));
}

TEST(Builtins, StringRoutines) {
    TScriptRun r;
    r.Run("a := copy('abcdef', 2, 3); b := pos('c', 'abc'); c := pos('x', 'abc'); d := length('hello');"
          "s := 'held'; insert('lo wor', s, 4); t := 'abcdef'; delete(t, 2, 3);"
          "e := copy('abc', 0, 2); f := copy('abc', 3, 99); g := copy('abc', 4, 1); h := copy('abc', 2, -1);"
          "u := 'ab'; insert('x', u, 99); v := 'ab'; insert('x', v, -5); w := 'abc'; delete(w, 5, 1);"
          "x := 'abc'; delete(x, 2, 100); y := IntToStr(-42); z := StrToInt('  17');");
    EXPECT_EQ(r.Str("A"), "bcd");
    EXPECT_EQ(r.Int("B"), 3);
    EXPECT_EQ(r.Int("C"), 0);
    EXPECT_EQ(r.Int("D"), 5);
    EXPECT_EQ(r.Str("S"), "hello word");
    EXPECT_EQ(r.Str("T"), "aef");
    EXPECT_EQ(r.Str("E"), "ab");
    EXPECT_EQ(r.Str("F"), "c");
    EXPECT_EQ(r.Str("G"), "");
    EXPECT_EQ(r.Str("H"), "");
    EXPECT_EQ(r.Str("U"), "abx");
    EXPECT_EQ(r.Str("V"), "xab");
    EXPECT_EQ(r.Str("W"), "abc");
    EXPECT_EQ(r.Str("X"), "a");
    EXPECT_EQ(r.Str("Y"), "-42");
    EXPECT_EQ(r.Int("Z"), 17);
    EXPECT_EQ(r.Error("n := StrToInt('abc');"), RuntimeMessage("'abc' is not a valid integer value", 6));
    EXPECT_EQ(r.Error("n := StrToInt('4294967296');"), RuntimeMessage("'4294967296' is not a valid integer value", 6));
}

TEST(Builtins, TypeReportsTheStoredKind) {
    TScriptRun r;
    r.Run("a := Type(u); i := 1; b := Type(i) = tINTEGER; f := 1.5; c := Type(f) = tFLOAT; s := '';"
          "d := Type(s) = tSTRING; e := Type(d) = tBOOLEAN; SetArray(q, 1); g := Type(q);");
    EXPECT_EQ(r.Int("A"), 1);
    EXPECT_TRUE(r.Bool("B"));
    EXPECT_TRUE(r.Bool("C"));
    EXPECT_TRUE(r.Bool("D"));
    EXPECT_TRUE(r.Bool("E"));
    EXPECT_EQ(r.Int("G"), 65);
}

TEST(Format, PiecesFollowTheValues) {
    TScriptRun r;
    r.Run("a := format('%d items', 5); b := format('a=%d b=%s', 1, 'x'); c := format('hello');"
          "d := format('%d and %d', 1); e := format('x=%d', 1, 2); f := format('plain', 3);");
    EXPECT_EQ(r.Str("A"), "5 items");
    EXPECT_EQ(r.Str("B"), "a=1 b=x");
    EXPECT_EQ(r.Str("C"), "");
    EXPECT_EQ(r.Str("D"), "1 and ");
    EXPECT_EQ(r.Str("E"), "x=1");
    EXPECT_EQ(r.Str("F"), "plain");
}

TEST(Format, PictureLanguage) {
    const TValue i(42), n(-7), f(3.14159), big(1234567.891), s("text");
    EXPECT_EQ(FormatOne("[%5d]", i), "[   42]");
    EXPECT_EQ(FormatOne("[%-5d]", i), "[42   ]");
    EXPECT_EQ(FormatOne("[%.4d]", n), "[-0007]");
    EXPECT_EQ(FormatOne("%x", TValue(255)), "FF");
    EXPECT_EQ(FormatOne("%u", n), "4294967289");
    EXPECT_EQ(FormatOne("%f", f), "3.14");
    EXPECT_EQ(FormatOne("%.3f", f), "3.142");
    EXPECT_EQ(FormatOne("%f", i), "42.00");
    EXPECT_EQ(FormatOne("%e", TValue(1.5)), "1.50000000000000E+000");
    EXPECT_EQ(FormatOne("%.3e", TValue(1234.5)), "1.23E+003");
    EXPECT_EQ(FormatOne("%g", TValue(3.5)), "3.5");
    EXPECT_EQ(FormatOne("%g", TValue(1e20)), "1E20");
    EXPECT_EQ(FormatOne("%n", big), "1,234,567.89");
    EXPECT_EQ(FormatOne("%.0n", TValue(-1234.0)), "-1,234");
    EXPECT_EQ(FormatOne("%s!", s), "text!");
    EXPECT_EQ(FormatOne("%.2s", s), "te");
    EXPECT_EQ(FormatOne("%s", i), "42");
    EXPECT_EQ(FormatOne("100%% %d", i), "100% 42");
    EXPECT_THROW(FormatOne("%d", f), ERTE);
    EXPECT_THROW(FormatOne("%d", s), ERTE);
    EXPECT_THROW(FormatOne("%q", i), ERTE);
    EXPECT_THROW(FormatOne("%5", i), ERTE);

    TScriptRun r;
    EXPECT_EQ(r.Error("x := format('%d', 'a');"),
              RuntimeMessage("Format '%d' invalid or incompatible with argument", 6));
    r.Run("y := format('%d%% of %s', 50, 'all');");
    EXPECT_EQ(r.Str("Y"), "50% of all");
}

TEST(DateTime, PicturesOfAKnownDate) {
    // 45000.5 is Wednesday 15 March 2023, noon; 0 is 30 December 1899.
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", 45000.5), "2023-03-15 12:00:00");
    EXPECT_EQ(FormatDateTime("d/m/yy", 45000.5), "15/3/23");
    EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", 45000.5), "Wed Wednesday Mar March");
    EXPECT_EQ(FormatDateTime("hh:mm", 45000.75), "18:00");  // m after h is the minute
    EXPECT_EQ(FormatDateTime("h:nn am/pm", 45000.75), "6:00 pm");
    EXPECT_EQ(FormatDateTime("'Day' d", 45000.25), "Day 15");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", 0), "1899-12-30");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    EXPECT_EQ(FormatDateTime("c", 45000.0), "2023-03-15");
    EXPECT_EQ(FormatDateTime("c", 45000.5), "2023-03-15 12:00:00");
    EXPECT_EQ(FormatDateTime("ss.zzz", 45000 + 1.5 / 86400), "01.500");
    EXPECT_THROW(FormatDateTime("yyyy", 1e300), ERTE);

    TScriptRun r;
    r.Run("s := formatdatetime('yyyy', 45000.0);");
    EXPECT_EQ(r.Str("S"), "2023");
}

TEST(DateTime, NowCountsDaysSince1899) {
    TScriptRun r;
    r.Run("t := now;");
    const double now = r.Float("T");
    std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    const std::string today = std::to_string(local.tm_year + 1900);
    EXPECT_EQ(FormatDateTime("yyyy", now), today);
    EXPECT_GT(now, 45000.0);
}

TEST(Builtins, CopyrightShowsItsMessage) {
    TScriptRun r;
    std::string shown;
    r.funcs.OnShowMessage = [&](const std::string& m) { shown = m; };
    r.Run("copyright");
    EXPECT_EQ(shown.rfind("Script 1.5\n\r", 0), 0u);
}

TEST(Builtins, RunawayStringsAndArraysAreRefused) {
    TScriptRun r;
    r.funcs.MaxStringLength = 1000;
    r.funcs.CallBudget = 100000;
    EXPECT_NE(r.Error("s := 'x'; while TRUE do s := s + s;").find("String too long"), std::string::npos);
    r.funcs.MaxArraySize = 10;
    EXPECT_EQ(r.Error("SetArray(a, 11);"), RuntimeMessage("Invalid array size (11)", 1));
}

} // namespace
} // namespace qx::test
