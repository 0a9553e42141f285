#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "script/Parser.h"

namespace qx::test {
namespace {

TEST(Parser, EmptyTextCompilesToAnEmptyScript) {
    TScriptRun r;
    r.script.SetText("");
    ASSERT_TRUE(r.script.Compile());
    ASSERT_NE(r.script.Root(), nullptr);
    EXPECT_EQ(r.script.Root()->Name(), "SCRIPT");
    EXPECT_EQ(r.script.Root()->ArgumentCount(), 0u);
    EXPECT_TRUE(r.script.Run());
    // Only the predefined constants exist, in their order.
    ASSERT_EQ(r.script.ItemCount(), 6u);
    EXPECT_EQ(r.script.Item(2).Name(), "TSTRING");
    EXPECT_EQ(r.script.Item(5).Value.AsInteger(), 2);
}

TEST(Parser, StatementsAreSeparatedBySemicolons) {
    TScriptRun r;
    EXPECT_EQ(r.Error("x := 1 y := 2"), SyntaxMessage("\";\" expected.", 8));
    r.Run("x := 1;;; y := 2;");
    EXPECT_EQ(r.Int("Y"), 2);
}

TEST(Parser, BlocksTakeAnOptionalSemicolonBeforeEnd) {
    TScriptRun r;
    r.Run("begin x := 1; end");
    EXPECT_EQ(r.Int("X"), 1);
    r.Run("begin x := 2 end");
    EXPECT_EQ(r.Int("X"), 2);
    EXPECT_EQ(r.Error("begin x := 1"), SyntaxMessage("\";\" expected.", 12));
    EXPECT_EQ(r.Error("begin x := 1;"), SyntaxMessage("\";\" expected.", 13));
}

TEST(Parser, ElseAfterASemicolonStartsABadStatement) {
    TScriptRun r;
    EXPECT_EQ(r.Error("a := TRUE; if a then x := 1; else x := 2"), SyntaxMessage("Name expected", 30));
    r.Run("a := FALSE; if a then x := 1 else x := 2");
    EXPECT_EQ(r.Int("X"), 2);
}

TEST(Parser, SyntaxErrorsNameWhatIsMissing) {
    TScriptRun r;
    r.funcs.Declare("foo( integer, integer )", [](TObject*, const TArgList&, TValue&) {});
    EXPECT_EQ(r.Error("foo(1, 2"), SyntaxMessage("\")\" expected.", 8));
    EXPECT_EQ(r.Error("x := bar(1)"), SyntaxMessage("Function BAR not found", 6));
    EXPECT_EQ(r.Error("frob;"), SyntaxMessage("Function FROB is not defined", 1));
    EXPECT_EQ(r.Error("SCRIPT x := 1"), SyntaxMessage("Name expected", 1));
    EXPECT_EQ(r.Error("if 1 = 1 x := 1"), SyntaxMessage("THEN expected.", 10));
    EXPECT_EQ(r.Error("while TRUE x := 1"), SyntaxMessage("DO expected.", 12));
    EXPECT_EQ(r.Error("for i = 1 to 2 do ;"), SyntaxMessage("Assignment\":=\" expected.", 7));
    EXPECT_EQ(r.Error("for i := 1 until 2 do ;"), SyntaxMessage("TO expected.", 12));
    EXPECT_EQ(r.Error("for i := 1 to 2 x := 1"), SyntaxMessage("DO expected.", 17));
    EXPECT_EQ(r.Error("x := ;"), SyntaxMessage("Expression expected.", 6));
    EXPECT_EQ(r.Error("x := (1 + 2;"), SyntaxMessage("\")\" expected.", 12));
    EXPECT_EQ(r.Error("a[] := 1"), SyntaxMessage("Array index expected", 3));
    EXPECT_EQ(r.Error("a[1 := 2"), SyntaxMessage("Closing bracket \"]\" expected", 5));
    EXPECT_EQ(r.Error("length := 5"), SyntaxMessage("Name \"LENGTH\" is already existing", 1));
    EXPECT_EQ(r.Error("5 := 3"), SyntaxMessage("Variable expected.", 1));
    EXPECT_EQ(r.Error("TRUE := 3"), SyntaxMessage("Can't assign value to a constant", 1));
    EXPECT_EQ(r.Error("const A 2;"), SyntaxMessage("\"=\" expected.", 9));
    EXPECT_EQ(r.Error("const A ="), SyntaxMessage("Name expected", 9));
    EXPECT_EQ(r.Error("const A = 1 x := 1"), SyntaxMessage("\";\" expected.", 13));
    EXPECT_EQ(r.Error("x := 99999999999"), SyntaxMessage("'99999999999' is not a valid integer value", 6));
    EXPECT_EQ(r.Error("x := 1e999"), SyntaxMessage("'1e999' is not a valid floating point value", 6));
}

TEST(Parser, StringPiecesJoinOnlyWithoutBlanks) {
    TScriptRun r;
    r.Run("s := 'Line'#13#10'next';");
    EXPECT_EQ(r.Str("S"), "Line\r\nnext");
    EXPECT_EQ(r.Error("s := 'a' 'b';"), SyntaxMessage("\";\" expected.", 11));
}

TEST(Parser, ConstantsAreDeclaredBeforeStatementsAndTheFirstWins) {
    TScriptRun r;
    r.Run("const A = 1; const A = 2; x := A;");
    EXPECT_EQ(r.Int("X"), 1);
    EXPECT_EQ(r.Error("x := 1; const B = 2;"), SyntaxMessage("Name expected", 9));
    EXPECT_EQ(r.Error("const C = y;"), RuntimeMessage("Variable Y is not defined.", 11));
}

TEST(Statements, ForCountsBothWaysAndLeavesTheCounterPastTheEnd) {
    TScriptRun r;
    r.Run("n := 0; for i := 10 downto 1 do n := n + i");
    EXPECT_EQ(r.Int("N"), 55);
    EXPECT_EQ(r.Int("I"), 0);
    r.Run("n := 0; for i := 1 to 4 do n := n * 10 + i");
    EXPECT_EQ(r.Int("N"), 1234);
    EXPECT_EQ(r.Int("I"), 5);
    r.Run("n := 0; for i := 5 to 1 do n := 1");
    EXPECT_EQ(r.Int("N"), 0);
    EXPECT_EQ(r.Int("I"), 5);
    // The counter is read anew for every test, so the body may move it.
    r.Run("n := 0; for i := 1 to 10 do begin n := n + 1; i := i + 2 end");
    EXPECT_EQ(r.Int("N"), 4);
    // Counting up to the largest integer ends (the sum wraps below the start).
    r.Run("n := 0; for i := 2147483646 to 2147483647 do inc(n)");
    EXPECT_EQ(r.Int("N"), 2);
    EXPECT_EQ(r.Error("f := 1.5; for f := 1 to 2 do ;"),
              RuntimeMessage("Funktion FOR expects type VOID instead of type VAR FLOAT at argument 1", 11));
}

TEST(Statements, WhileAndRepeatReadTheirConditionOnEveryPass) {
    TScriptRun r;
    r.funcs.CallBudget = 10000;
    r.Run("c := TRUE; n := 0; while c do begin inc(n); c := n < 3 end;");
    EXPECT_EQ(r.Int("N"), 3);
    r.Run("d := FALSE; m := 0; repeat inc(m); d := m >= 4 until d;");
    EXPECT_EQ(r.Int("M"), 4);
    r.Run("k := 0; repeat inc(k) until k = 1;");
    EXPECT_EQ(r.Int("K"), 1);  // the body runs before the first test
    r.Run("j := 0; while j > 0 do inc(j);");
    EXPECT_EQ(r.Int("J"), 0);
}

TEST(Statements, StatementFunctionsCanBeCalledByName) {
    TScriptRun r;
    // (IF, WHILE, FOR and the others are keywords, so only SET is reachable by name.)
    r.Run("Set(a, 1); Set(b, a + 1); t := Type(b); SetArray(c, 2); Set(c[1], 'x');");
    EXPECT_EQ(r.Int("A"), 1);
    EXPECT_EQ(r.Int("B"), 2);
    EXPECT_EQ(r.Int("T"), 4);
    EXPECT_EQ(r.Var("C").AsArray()[1].AsString(), "x");
}

TEST(Statements, RuntimeErrorsNameTheInnermostFailingCall) {
    TScriptRun r;
    // The failing call is the division inside IntToStr inside the assignment.
    EXPECT_EQ(r.Error("z := 0;\r\nif TRUE then s := IntToStr(5 div z);"), RuntimeMessage("Division by zero", 39));
    EXPECT_EQ(r.Error("x := StrToInt('12a');"), RuntimeMessage("'12a' is not a valid integer value", 6));
}

TEST(Script, VariablesSurviveRunsAndAreResetByCompile) {
    TScriptRun r;
    r.script.SetText("if Type(n) = tINTEGER then inc(n) else n := 1;");
    r.script.Run();
    r.script.Run();
    r.script.Run();
    EXPECT_EQ(r.Int("N"), 3);
    r.script.Compile();
    EXPECT_TRUE(r.Var("N").IsEmpty());
    r.script.SetText("x := 1");
    EXPECT_FALSE(r.script.Compiled());
}

TEST(Script, WithoutExceptionsErrorsAreShownAndTheCallFails) {
    TScriptRun r;
    std::vector<std::string> shown;
    r.script.OnShowMessage = [&](const std::string& m) { shown.push_back(m); };
    r.script.Exceptions = false;
    r.script.SetText("x := 1 y := 2");
    EXPECT_FALSE(r.script.Compile());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], SyntaxMessage("\";\" expected.", 8));
    try {
        r.script.Run();
        FAIL() << "ran";
    } catch (const EScriptError&) {
        FAIL() << "script error escaped";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "Script isn't compiled!");
    }
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_FALSE(r.script.Running());

    r.script.SetText("x := 1 div (length('a') - 1)");
    EXPECT_FALSE(r.script.Run());
    EXPECT_EQ(shown.back(), RuntimeMessage("Division by zero", 8));
}

TEST(Script, RefusesToRunWithoutRegistryAndForgetsADestroyedOne) {
    TScript script;
    script.SetText("x := 1");
    EXPECT_THROW(script.Compile(), std::runtime_error);
    {
        TFuncs funcs;
        script.SetFunctions(&funcs);
        EXPECT_TRUE(script.Run());
    }
    EXPECT_EQ(script.Functions(), nullptr);
    EXPECT_FALSE(script.Compiled());
    EXPECT_EQ(script.Root(), nullptr);
    EXPECT_THROW(script.Run(), std::runtime_error);
}

TEST(Script, CompileAndRunRefuseReentry) {
    TScriptRun r;
    bool compiled = true, ran = true;
    r.funcs.Declare("Reenter()", [&](TObject*, const TArgList&, TValue&) {
        compiled = r.script.Compile();
        ran = r.script.Run();
    });
    r.Run("x := 1; Reenter; y := 2;");
    EXPECT_FALSE(compiled);
    EXPECT_FALSE(ran);
    EXPECT_EQ(r.Int("Y"), 2);
}

TEST(Script, AStopRequestEndsTheScriptAtTheNextCall) {
    TScriptRun r;
    int pumped = 0;
    r.funcs.OnProcessMessages = [&] {
        if (++pumped == 5) r.funcs.StopRequested = true;
    };
    // The loop checks for a stop on every pass, so the loop reports it.
    EXPECT_EQ(r.Error("n := 0; while TRUE do inc(n);"), RuntimeMessage("Script stopped.", 9));
    EXPECT_EQ(r.Int("N"), 4);
    EXPECT_GE(pumped, 5);
    // The next run clears the request.
    r.funcs.OnProcessMessages = nullptr;
    r.Run("x := 1");
    EXPECT_EQ(r.Int("X"), 1);
}

TEST(Script, ACallBudgetEndsEndlessLoopsDeterministically) {
    TScriptRun r;
    r.funcs.CallBudget = 1000;
    const std::string endless[] = {"n := 0; while TRUE do inc(n);", "repeat until FALSE;", "while TRUE do ;",
                                   "for i := 1 to 2 do i := 0;"};
    for (const auto& text : endless) {
        const std::string error = r.Error(text);
        EXPECT_NE(error.find("Script stopped."), std::string::npos) << text << ": " << error;
    }
}

TEST(Script, BudgetStopsAtTheSameCallEveryTime) {
    auto run = [] {
        TScriptRun r;
        r.funcs.CallBudget = 500;
        r.Error("n := 0; while TRUE do inc(n);");
        return r.Int("N");
    };
    const int32_t first = run();
    EXPECT_GT(first, 100);
    EXPECT_EQ(run(), first);
}

TEST(Script, DeepNestingIsASyntaxErrorNotACrash) {
    TScriptRun r;
    const std::string parens = "x := " + std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_NE(r.Error(parens).find("Script nested too deeply"), std::string::npos);
    std::string blocks;
    for (int i = 0; i < 3000; ++i) blocks += "begin ";
    EXPECT_NE(r.Error(blocks + "x := 1").find("Script nested too deeply"), std::string::npos);
    std::string sum = "x := 1";
    for (int i = 0; i < 5000; ++i) sum += " + y";
    EXPECT_NE(r.Error(sum).find("Script nested too deeply"), std::string::npos);
    std::string minus = "x := ";
    for (int i = 0; i < 5000; ++i) minus += "- ";
    EXPECT_NE(r.Error(minus + "1").find("Script nested too deeply"), std::string::npos);

    // Nesting within the limit compiles and runs.
    const int depth = TParser::kMaxNesting / 4;
    r.Run("y := 2; x := " + std::string(depth, '(') + "y" + std::string(depth, ')'));
    EXPECT_EQ(r.Int("X"), 2);
    std::string ifs = "n := 0; ";
    for (int i = 0; i < TParser::kMaxNesting - 10; ++i) ifs += "if TRUE then ";
    r.Run(ifs + "n := 7");
    EXPECT_EQ(r.Int("N"), 7);
}

} // namespace
} // namespace qx::test
