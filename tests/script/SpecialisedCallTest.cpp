#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ScriptTestSupport.h"

namespace qx::test {
namespace {

// Calls of the built-in statements and operators take specialised paths; the
// general path is the reference. Random programs (valid ones, and ones that
// fail in every way a program can) must give the same variables, errors,
// call counts and pumps either way.

class TProgramMaker {
public:
    // Without a call budget a program must end by itself: no FOR loops then
    // (their bodies may reset the counter).
    TProgramMaker(uint32_t seed, bool endless) : rng_(seed), endless_(endless) {}

    std::string Program() {
        std::string text;
        if (P(15)) text += "const K1 = " + Expr(4, 3) + "; const K2 = " + Expr(16, 3) + ";\n";
        if (P(75)) {
            text += "i1 := 1; i2 := 2; i3 := 3; n := 0; f1 := 1.5; s1 := 'ab'; s2 := 'c'; b1 := TRUE; "
                    "SetArray(ai, 5); ai[0] := 7; SetArray(as, 3); as[1] := 'z'; SetArray(aw, 2);\n";
            if (P(50)) text += "for i3 := 0 to 4 do ai[i3] := i3 * 3;\n";
        }
        for (int i = 0, n = 1 + R(10); i < n; ++i) text += Statement(0) + ";\n";
        return text;
    }

private:
    int R(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
    bool P(int percent) { return R(100) < percent; }
    template <size_t N>
    std::string Pick(const char* const (&names)[N]) {
        return names[R(static_cast<int>(N))];
    }

    std::string Leaf(int type) {
        static const char* const ints[] = {"i1", "i2", "i3", "n"};
        static const char* const strs[] = {"s1", "s2"};
        static const char* const arrays[] = {"ai", "ai", "ai", "as"};
        static const char* const any[] = {"i1", "f1", "s1", "b1", "w1", "ai"};
        if (P(4)) return Pick(any);
        if (P(10)) return Pick(arrays) + "[" + (P(70) ? std::to_string(R(P(90) ? 5 : 7) - 1) : Pick(ints)) + "]";
        switch (type) {
        case 4: return P(50) ? Pick(ints) : std::to_string(R(7) == 0 ? 2147483647 : R(20));
        case 8: return P(50) ? std::string("f1") : std::to_string(R(9)) + ".5";
        case 16: return P(50) ? Pick(strs) : std::string("'") + "abZ1 "[R(5)] + "'";
        default: return P(40) ? std::string("b1") : (P(50) ? "TRUE" : "FALSE");
        }
    }

    std::string Expr(int type, int depth) {
        if (depth > 3 || P(30)) return Leaf(type);
        const int d = depth + 1;
        if (P(3)) type = (const int[]){4, 8, 16, 2}[R(4)];
        static const char* const relations[] = {"=", "<>", "<", "<=", ">", ">="};
        switch (type) {
        case 4:
            switch (R(11)) {
            case 0: return "(" + Expr(4, d) + " + " + Expr(4, d) + ")";
            case 1: return "(" + Expr(4, d) + " - " + Expr(4, d) + ")";
            case 2: return Expr(4, d) + " * " + Expr(4, d);
            case 3: return "(" + Expr(4, d) + " div " + Expr(4, d) + ")";
            case 4: return "(" + Expr(4, d) + " mod " + Expr(4, d) + ")";
            case 5: return "-" + Expr(4, d);
            case 6: return "Round(" + Expr(8, d) + ")";
            case 7: return "length(" + Expr(16, d) + ")";
            case 8: return "Add3(" + Expr(4, d) + ", " + Expr(4, d) + ", " + Expr(4, d) + ")";
            case 9: return std::string("Type(") + (P(50) ? "w1" : "s1") + ")";
            default: return "Echo(" + Expr(4, d) + ")";
            }
        case 8:
            switch (R(4)) {
            case 0: return "(" + Expr(8, d) + " + " + Expr(4, d) + ")";
            case 1: return "(" + Expr(4, d) + " / " + Expr(4, d) + ")";
            case 2: return "-" + Expr(8, d);
            default: return Expr(8, d) + " * " + Expr(8, d);
            }
        case 16:
            switch (R(4)) {
            case 0: return "(" + Expr(16, d) + " + " + Expr(16, d) + ")";
            case 1: return "IntToStr(" + Expr(4, d) + ")";
            case 2: return "copy(" + Expr(16, d) + ", " + Expr(4, d) + ", 2)";
            default: return "Echo(" + Expr(16, d) + ")";
            }
        default:
            switch (R(6)) {
            case 0: return "(" + Expr(4, d) + " " + Pick(relations) + " " + Expr(4, d) + ")";
            case 1: return "(" + Expr(16, d) + " " + Pick(relations) + " " + Expr(16, d) + ")";
            case 2: return "(" + Expr(2, d) + " and " + Expr(2, d) + ")";
            case 3: return "(" + Expr(2, d) + " or " + Expr(2, d) + ")";
            case 4: return "not " + Expr(2, d);
            default: return "(" + Expr(2, d) + " xor " + Expr(2, d) + ")";
            }
        }
    }

    std::string Statement(int depth) {
        static const char* const ints[] = {"i1", "i2", "i3", "n"};
        if (depth > 2) return Pick(ints) + " := " + Expr(4, 2);
        switch (R(14)) {
        case 0:
        case 1:
        case 2: {
            static const char* const targets[] = {"i1", "f1", "s1", "b1", "w1", "n"};
            static const int types[] = {4, 8, 16, 2, 0, 4};
            const int t = R(6);
            return std::string(targets[t]) + " := " + Expr(P(90) ? types[t] : 4, 0);
        }
        case 3: return std::string(P(70) ? "ai[" : "as[") + std::to_string(R(6) - 1) + "] := " + Expr(P(80) ? 4 : 16, 0);
        case 4: return "if " + Expr(2, 1) + " then " + Statement(depth + 1);
        case 5: return "if " + Expr(2, 1) + " then " + Statement(depth + 1) + " else " + Statement(depth + 1);
        case 6:
            if (!endless_) return Pick(ints) + " := " + Expr(4, 1);
            return "for " + Pick(ints) + " := " + Expr(4, 2) + (P(70) ? " to " : " downto ") + Expr(4, 2) + " do " +
                   Statement(depth + 1);
        case 7: {
            const std::string c = "c" + std::to_string(depth);
            return "begin " + c + " := 0; while " + c + " < " + std::to_string(R(5)) + " do begin " + c + " := " + c +
                   " + 1; " + Statement(depth + 1) + " end end";
        }
        case 8: {
            const std::string c = "r" + std::to_string(depth);
            return "begin " + c + " := 0; repeat " + c + " := " + c + " + 1; " + Statement(depth + 1) + " until " + c +
                   " >= " + std::to_string(R(4)) + " end";
        }
        case 9: return std::string(P(50) ? "inc(" : "dec(") + (P(75) ? Pick(ints) : std::string("f1")) +
                       (P(50) ? "" : ", " + Expr(P(80) ? 4 : 8, 2)) + ")";
        case 10: return "begin " + Statement(depth + 1) + "; " + Statement(depth + 1) + " end";
        case 11: return P(50) ? "SetArray(aw, " + std::to_string(R(4)) + ")" : "aw[" + std::to_string(R(3)) + "] := " + Expr(0, 1);
        case 12: return "Bump(" + (P(70) ? Pick(ints) : std::string("ai[") + std::to_string(R(5)) + "]") + ")";
        default: return "w1 := " + Expr(0, 1);
        }
    }

    std::mt19937 rng_;
    bool endless_;
};

std::string Dump(const TValue& v) {
    switch (v.Kind()) {
    case TValueKind::Empty: return "E";
    case TValueKind::Integer: return "I" + std::to_string(v.AsInteger());
    case TValueKind::Float: return "F" + std::to_string(v.AsFloat());
    case TValueKind::String: return "S'" + v.AsString() + "'";
    case TValueKind::Boolean: return v.AsBoolean() ? "B1" : "B0";
    case TValueKind::Array: {
        std::string text = "A[";
        for (const TValue& e : v.AsArray()) text += Dump(e) + ",";
        return text + "]";
    }
    }
    return "?";
}

// Everything a program shows: per run the outcome, calls, pumps and items.
// A pump (stopAt 0: none) and a call budget (0: none) change which paths run.
std::string Outcome(const std::string& text, bool specialised, uint64_t budget, int stopAt) {
    TScriptRun r;
    r.funcs.SpecialisedCalls = specialised;
    r.funcs.CallBudget = budget;
    r.funcs.MaxArraySize = 100;
    int pumped = 0;
    if (stopAt != 0) {
        r.funcs.OnProcessMessages = [&] {
            if (++pumped == stopAt) r.funcs.StopRequested = true;
        };
    }
    r.funcs.Declare("Add3( integer, integer, integer ): integer", [](TObject*, const TArgList& a, TValue& out) {
        out.SetInteger(static_cast<int32_t>((int64_t{a.Integer(0)} + a.Integer(1) + a.Integer(2)) % 100000));
    });
    r.funcs.Declare("Echo( all ): all", [](TObject*, const TArgList& a, TValue& out) { out = a.Value(0); });
    r.funcs.Declare("Bump( var integer )", [](TObject*, const TArgList& a, TValue&) {
        a.Assign(0, TValue(a.Value(0).ToInteger() + 1));
    });
    r.script.SetText(text);
    std::string out;
    for (int run = 0; run < 2; ++run) {
        try {
            r.script.Run();
            out += "ok";
        } catch (const std::exception& error) {
            out += error.what();
        }
        out += " calls " + std::to_string(r.funcs.CallCount) + " pumped " + std::to_string(pumped) + "\n";
        for (size_t i = 0; i < r.script.ItemCount(); ++i) {
            const TDataItem& item = r.script.Item(i);
            out += item.Name() + ":" + std::to_string(item.Type) + "=" + Dump(item.Value) + " ";
        }
        out += "\n";
    }
    return out;
}

TEST(SpecialisedCalls, RandomProgramsBehaveExactlyAsOnTheGeneralPath) {
    int ran = 0, failed = 0, stopped = 0;
    for (uint32_t seed = 1; seed <= 600; ++seed) {
        const uint64_t budget = seed % 5 == 0 ? 60 + seed % 200 : seed % 3 == 0 ? 0 : 3000;
        TProgramMaker maker(seed, budget != 0);
        const std::string text = maker.Program();
        const int stopAt = seed % 7 == 0 ? static_cast<int>(seed % 90) + 1 : seed % 4 == 0 ? -1 : 0;
        const std::string general = Outcome(text, false, budget, stopAt);
        ASSERT_EQ(Outcome(text, true, budget, stopAt), general) << "program " << seed << ":\n" << text;
        ran += general.rfind("ok", 0) == 0;
        failed += general.find("Runtimeerror") != std::string::npos;
        stopped += general.find("Script stopped.") != std::string::npos;
    }
    // The programs reach both ends: clean runs, run-time errors and stops.
    EXPECT_GT(ran, 40);
    EXPECT_GT(failed, 300);
    EXPECT_GT(stopped, 15);
}

TEST(SpecialisedCalls, ABudgetEndsAWholeExpressionAtTheCallThatExhaustsIt) {
    // Pure expressions are computed at once; a budget that runs out inside
    // one must still stop at the very call (its position, the variables as
    // they were, the calls counted) where the general path stops.
    const std::string text = "SetArray(a, 8); for k := 0 to 7 do a[k] := k; s := 0; b := FALSE;"
                             "for i := 1 to 20 do begin s := (s + i * 3 - i div 7) mod 1000003;"
                             " a[i mod 8] := a[(i + 3) mod 8] + s mod 5; b := (s > 40) and not b;"
                             " if (a[i mod 8] > 2) or b then n := i end;";
    for (uint64_t budget = 1; budget <= 420; ++budget) {
        const std::string general = Outcome(text, false, budget, 0);
        ASSERT_EQ(Outcome(text, true, budget, 0), general) << "budget " << budget;
    }
    EXPECT_EQ(Outcome(text, true, 0, 0), Outcome(text, false, 0, 0));
    EXPECT_NE(Outcome(text, true, 0, 0).find("ok"), std::string::npos);
}

TEST(SpecialisedCalls, AVariableThatChangesTypeIsCheckedAnew) {
    // The first run decides the loop's pattern while I was never assigned
    // (then fails on its start value); in the second run I holds a real, and
    // the loop must fail its pattern as a first call with a real would, not
    // assign an integer start to it.
    auto secondRun = [](bool specialised) {
        TScriptRun r;
        r.funcs.SpecialisedCalls = specialised;
        r.funcs.Declare("Start( integer ): all", [](TObject*, const TArgList& a, TValue& out) {
            if (a.Integer(0) == 1) out.SetString("x");
            else out.SetInteger(1);
        });
        EXPECT_EQ(r.Error("if Type(runs) = tINTEGER then inc(runs) else runs := 1;"
                          " if runs = 2 then i := 2.5; for i := Start(runs) to 2 do x := 1;"),
                  RuntimeMessage("Could not convert variant of type (String) into type (Integer)", 84));
        try {
            r.script.Run();
        } catch (const EScriptError& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(secondRun(true),
              RuntimeMessage("Funktion FOR expects type VOID instead of type VAR FLOAT at argument 1", 84));
    EXPECT_EQ(secondRun(true), secondRun(false));
}

TEST(SpecialisedCalls, AnIndexThatReplacesItsArrayIsReadAgainstTheNewArray) {
    // A host function run for an index may put another array into the very
    // variable being indexed; the element comes from what the variable holds
    // once the index is known (the old storage is gone by then).
    TScriptRun r;
    r.funcs.Declare("Replace( var all, integer ): integer", [](TObject*, const TArgList& a, TValue& out) {
        TValue other = TValue::NewArray(static_cast<size_t>(a.Integer(1)));
        for (size_t i = 0; i < other.AsArray().size(); ++i) other.MutableArray()[i] = TValue(static_cast<int32_t>(100 + i));
        a.Assign(0, other);
        out.SetInteger(1);
    });
    r.Run("SetArray(a, 2); a[0] := 1; a[1] := 2; x := a[Replace(a, 3)]; a[Replace(a, 4)] := 9; y := a[1];"
          "z := a[3];");
    EXPECT_EQ(r.Int("X"), 101);
    EXPECT_EQ(r.Int("Y"), 9);
    EXPECT_EQ(r.Int("Z"), 103);
    EXPECT_EQ(r.Error("SetArray(b, 5); b[0] := 1; x := b[Replace(b, 1) + 3];"),
              RuntimeMessage("Array index out of bounds (B[4])", 28));
}

} // namespace
} // namespace qx::test
