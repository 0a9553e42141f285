#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace qx::test {
namespace {

TEST(ScriptValues, TypeTextsFollowTheFlagOrder) {
    EXPECT_EQ(TypeText(stMult), "INTEGER/FLOAT");
    EXPECT_EQ(TypeText(stAll), "VOID");
    EXPECT_EQ(TypeText(stVar | stArray | stInteger), "ARRAY VAR INTEGER");
    EXPECT_EQ(TypeText(stFunc | stBoolean | stOpen), "FUNC BOOLEAN OPEN");
    EXPECT_EQ(TypeText(stVar | stFunc | stString), "VAR FUNC STRING");
    EXPECT_EQ(TypeText(stAdd), "INTEGER/FLOAT/STRING");
    EXPECT_EQ(TValue().Type(), stVoid);
    EXPECT_EQ(TValue(true).Type(), stBoolean);
    EXPECT_EQ(TValue(2.0).Type(), stFloat);
    EXPECT_EQ(TValue::NewArray(2).Type(), stArray | stVoid);
}

TEST(ScriptValues, ArraysAreCopiedOnWrite) {
    TValue a = TValue::NewArray(2);
    TValue b = a;
    b.MutableArray()[0] = TValue(5);
    EXPECT_TRUE(a.AsArray()[0].IsEmpty());
    EXPECT_EQ(b.AsArray()[0].AsInteger(), 5);
}

TEST(ScriptValues, TextsAreSharedUntilOneCopyIsWritten) {
    TValue a("abc");
    TValue b = a;
    TValue c;
    c = b;
    c.MutableString() += "d";
    b.SetString("x");
    EXPECT_EQ(a.AsString(), "abc");
    EXPECT_EQ(b.AsString(), "x");
    EXPECT_EQ(c.AsString(), "abcd");

    // A value written from its own text, assigned to itself or moved keeps a
    // sound text; scalars written over a text release it.
    a.SetString(std::string_view(a.AsString()).substr(1));
    EXPECT_EQ(a.AsString(), "bc");
    const TValue& self = a;
    a = self;
    EXPECT_EQ(a.AsString(), "bc");
    TValue moved = std::move(c);
    EXPECT_EQ(moved.AsString(), "abcd");
    moved.SetInteger(7);
    EXPECT_EQ(moved.Kind(), TValueKind::Integer);
    EXPECT_EQ(moved.AsInteger(), 7);
    static_assert(sizeof(TValue) <= 16, "a scalar copies no more than two words");

    // An array holding a text shares it with the array it was copied from.
    TValue list = TValue::NewArray(1);
    list.MutableArray()[0] = TValue("t");
    TValue other = list;
    other.MutableArray()[0].MutableString() += "u";
    EXPECT_EQ(list.AsArray()[0].AsString(), "t");
    EXPECT_EQ(other.AsArray()[0].AsString(), "tu");
}

TEST(ScriptValues, ConversionsRoundHalvesToEvenAndRefuseBadText) {
    EXPECT_EQ(TValue(2.5).ToInteger(), 2);
    EXPECT_EQ(TValue(3.5).ToInteger(), 4);
    EXPECT_EQ(TValue("12").ToInteger(), 12);
    EXPECT_THROW(TValue("x1").ToInteger(), ERTE);
    EXPECT_THROW(TValue(1e12).ToInteger(), ERTE);
    EXPECT_EQ(ParseIntegerText(" -42"), -42);
    EXPECT_EQ(ParseIntegerText("$FF"), 255);
    EXPECT_THROW(ParseIntegerText("2147483648"), ERTE);
    EXPECT_THROW(ParseIntegerText(""), ERTE);
}

TEST(Assignment, AVariableKeepsTheTypeOfItsFirstValue) {
    TScriptRun r;
    r.Run("x := 1; x := 2;");
    EXPECT_EQ(r.Int("X"), 2);
    EXPECT_EQ(r.Error("x := 1; x := 2.5;"),
              RuntimeMessage("Variable X expects type VAR INTEGER instead of type FLOAT.", 9));
    EXPECT_EQ(r.Error("s := 'a'; s := TRUE;"),
              RuntimeMessage("Variable S expects type VAR STRING instead of type BOOLEAN.", 11));
}

TEST(Assignment, ReadingAnUnassignedVariableFailsAtItsPosition) {
    TScriptRun r;
    EXPECT_EQ(r.Error("x := 1;\r\nz := y;"), RuntimeMessage("Variable Y is not defined.", 15));
    // The variable exists (created by the reference) but holds nothing.
    EXPECT_TRUE(r.Var("Y").IsEmpty());
    EXPECT_EQ(r.script.FindItem("Y")->Type, stVar | stVoid);
}

TEST(Arrays, ElementsFixTheirTypeAndAreChecked) {
    TScriptRun r;
    r.Run("SetArray(a, 3); a[0] := 5; a[2] := a[0] + 1;");
    const TValue& a = r.Var("A");
    ASSERT_EQ(a.Kind(), TValueKind::Array);
    ASSERT_EQ(a.AsArray().size(), 3u);
    EXPECT_EQ(a.AsArray()[2].AsInteger(), 6);
    EXPECT_EQ(r.script.FindItem("A")->Type, stVar | stArray | stInteger);

    EXPECT_EQ(r.Error("SetArray(a, 3); a[0] := 5; b := a[1];"),
              RuntimeMessage("Variable A[1] is not defined.", 28));
    EXPECT_EQ(r.Error("SetArray(a, 3); a[3] := 1;"), RuntimeMessage("Array index out of bounds (A[3])", 17));
    EXPECT_EQ(r.Error("SetArray(a, 3); a[-1] := 1;"), RuntimeMessage("Array index out of bounds (A[-1])", 17));
    EXPECT_EQ(r.Error("SetArray(a, 3); a[0] := 1; b := a[-1];"), RuntimeMessage("Array index out of bounds (A[-1])", 28));
    EXPECT_EQ(r.Error("SetArray(a, 3); a[0] := 5; a[1] := 'x';"),
              RuntimeMessage("Variable A expects type VOID instead of type STRING.", 28));
    EXPECT_EQ(r.Error("SetArray(a, 3); b := a[0];"), RuntimeMessage("Variable A is not defined.", 17));
    EXPECT_EQ(r.Error("a[0] := 1;"), RuntimeMessage("Variable A is not defined.", 1));
}

TEST(Arrays, ResizeKeepsElementsAndRefusesUnsafeSizes) {
    TScriptRun r;
    r.Run("SetArray(a, 2); a[1] := 'x'; SetArray(a, 4); a[3] := 'y';");
    ASSERT_EQ(r.Var("A").AsArray().size(), 4u);
    EXPECT_EQ(r.Var("A").AsArray()[1].AsString(), "x");
    EXPECT_EQ(r.Error("SetArray(a, -1);"), RuntimeMessage("Invalid array size (-1)", 1));
    EXPECT_EQ(r.Error("SetArray(a, 2147483647);"), RuntimeMessage("Invalid array size (2147483647)", 1));
    EXPECT_EQ(r.Error("x := 1; SetArray(x, 2);"), RuntimeMessage("Variable X is not an array.", 9));
}

TEST(Arrays, WholeArrayCopiesAreIndependent) {
    TScriptRun r;
    r.Run("SetArray(a, 2); a[0] := 1; a[1] := 2; b := a; a[0] := 9;");
    EXPECT_EQ(r.Var("B").AsArray()[0].AsInteger(), 1);
    EXPECT_EQ(r.Var("A").AsArray()[0].AsInteger(), 9);
}

TEST(Arrays, ArraysInsideArraysAreBoundedInDepth) {
    TScriptRun r;
    // Only a host can hand a script nested arrays; storing them into an
    // element is refused past a fixed depth, so nothing recurses without end.
    r.funcs.Declare("Nest( integer ): all", [](TObject*, const TArgList& args, TValue& result) {
        TValue value(1);
        for (int32_t i = 0; i < args.Integer(0); ++i) {
            TValue outer = TValue::NewArray(1);
            outer.MutableArray()[0] = value;
            value = outer;
        }
        result = value;
    });
    r.Run("SetArray(a, 2); a[0] := Nest(10);");
    EXPECT_EQ(r.Error("SetArray(b, 2); b[0] := Nest(100);"), RuntimeMessage("Arrays nested too deeply", 17));
}

TEST(Operators, BinaryOperatorsGroupToTheRight) {
    TScriptRun r;
    r.Run("a := 10 - 4 - 3; b := 2 * 3 + 4; c := 8 div 4 div 2; d := 2 + 3 * 4;"
          "e := 100 / 10 / 5; i := 10; f := i - 4 - 3; g := -i * 2; h := (10 - 4) - 3;");
    EXPECT_EQ(r.Int("A"), 9);
    EXPECT_EQ(r.Int("B"), 10);
    EXPECT_EQ(r.Int("C"), 4);
    EXPECT_EQ(r.Int("D"), 14);
    EXPECT_DOUBLE_EQ(r.Float("E"), 50.0);
    EXPECT_EQ(r.Int("F"), 9);
    EXPECT_EQ(r.Int("G"), -20);
    EXPECT_EQ(r.Int("H"), 3);
}

TEST(Operators, DivisionAndRemainder) {
    TScriptRun r;
    r.Run("a := 7 / 2; b := 7 div 2; c := 7 mod 2; d := -7 div 2; e := -7 mod 2; f := 1 + 2.5;");
    EXPECT_DOUBLE_EQ(r.Float("A"), 3.5);
    EXPECT_EQ(r.Int("B"), 3);
    EXPECT_EQ(r.Int("C"), 1);
    EXPECT_EQ(r.Int("D"), -3);
    EXPECT_EQ(r.Int("E"), -1);
    EXPECT_DOUBLE_EQ(r.Float("F"), 3.5);
    EXPECT_EQ(r.Error("z := 0; x := 1 div z;"), RuntimeMessage("Division by zero", 16));
    EXPECT_EQ(r.Error("z := 0; x := 1 mod z;"), RuntimeMessage("Division by zero", 16));
    EXPECT_EQ(r.Error("z := 0; x := 1 / z;"), RuntimeMessage("Floating point division by zero", 16));
}

TEST(Operators, IntegerArithmeticWrapsIn32Bits) {
    TScriptRun r;
    r.Run("m := 2147483647; a := m + 1; b := -m - 2; c := m * 2; n := -m - 1; d := n div -1; e := n mod -1;"
          "f := -n;");
    EXPECT_EQ(r.Int("A"), INT32_MIN);
    EXPECT_EQ(r.Int("B"), INT32_MAX);
    EXPECT_EQ(r.Int("C"), -2);
    EXPECT_EQ(r.Int("D"), INT32_MIN);
    EXPECT_EQ(r.Int("E"), 0);
    EXPECT_EQ(r.Int("F"), INT32_MIN);
}

TEST(Operators, ComparisonsByValueBytesAndTruth) {
    TScriptRun r;
    r.Run("a := 'abc' < 'abd'; b := 'B' < 'a'; c := 1 = 1.0; d := 'ab' < 'abc'; e := FALSE < TRUE;"
          "f := 2 >= 3; g := 'x' <> 'x'; h := 2.5 > 2; i := #200 > 'z';");
    EXPECT_TRUE(r.Bool("A"));
    EXPECT_TRUE(r.Bool("B"));
    EXPECT_TRUE(r.Bool("C"));
    EXPECT_TRUE(r.Bool("D"));
    EXPECT_TRUE(r.Bool("E"));
    EXPECT_FALSE(r.Bool("F"));
    EXPECT_FALSE(r.Bool("G"));
    EXPECT_TRUE(r.Bool("H"));
    EXPECT_TRUE(r.Bool("I"));  // bytes compare unsigned
}

TEST(Operators, LogicHasNoShortCircuitAndNotBindsToOneFactor) {
    TScriptRun r;
    r.Run("t := TRUE; a := t and FALSE; b := t or FALSE; c := t xor t; d := not t = FALSE; e := not FALSE;");
    EXPECT_FALSE(r.Bool("A"));
    EXPECT_TRUE(r.Bool("B"));
    EXPECT_FALSE(r.Bool("C"));
    EXPECT_TRUE(r.Bool("D"));  // (not t) = FALSE
    EXPECT_TRUE(r.Bool("E"));
    // Both operands run: the failing right side is reached although the left is false.
    EXPECT_EQ(r.Error("f := FALSE; x := f and (1 div (length('') ) = 0);"), RuntimeMessage("Division by zero", 27));
}

TEST(Operators, ChainedComparisonIsASyntaxError) {
    TScriptRun r;
    EXPECT_EQ(r.Error("x := 1 < 2 < 3;"), SyntaxMessage("\";\" expected.", 12));
}

TEST(Folding, ConstantOperandsAreComputedWhileCompiling) {
    TScriptRun r;
    r.script.SetText("x := 2 * 3 + 4; y := -(5); s := 'a' + 'b'; n := not TRUE;");
    ASSERT_TRUE(r.script.Compile());
    TFuncExpr* root = r.script.Root();
    ASSERT_EQ(root->ArgumentCount(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        TExpr& value = static_cast<TFuncExpr&>(root->Argument(i)).Argument(1);
        ASSERT_EQ(value.Kind(), TExprKind::Const) << i;
    }
    auto constant = [&](size_t i) {
        return static_cast<TConstExpr&>(static_cast<TFuncExpr&>(root->Argument(i)).Argument(1)).Constant();
    };
    EXPECT_EQ(constant(0).AsInteger(), 10);
    EXPECT_EQ(constant(1).AsInteger(), -5);
    EXPECT_EQ(constant(2).AsString(), "ab");
    EXPECT_FALSE(constant(3).AsBoolean());
    // The folded constant carries the operator's position.
    EXPECT_EQ(static_cast<TFuncExpr&>(root->Argument(0)).Argument(1).Position(), 12);
}

TEST(Folding, FaultsInConstantExpressionsAreFoundWhileCompiling) {
    TScriptRun r;
    r.script.SetText("x := 5; y := 1 div 0;");
    try {
        r.script.Compile();
        FAIL() << "compiled";
    } catch (const ERuntimeError& error) {
        EXPECT_EQ(std::string(error.what()), RuntimeMessage("Division by zero", 16));
    }
    EXPECT_FALSE(r.script.Compiled());
    // Nothing ran: x was never assigned.
    EXPECT_TRUE(r.Var("X").IsEmpty());

    EXPECT_EQ(r.Error("x := 1 + 'a';"),
              RuntimeMessage("The arguments don't fit to a parameter pattern:\n\rArguments: (INTEGER, STRING)"
                             "\n\rParameter patterns:\n\r(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)"
                             "\n\rFunction: +",
                             8));
    EXPECT_EQ(r.Error("x := -'a';"),
              RuntimeMessage("Funktion ~ expects type INTEGER/FLOAT instead of type STRING at argument 1", 6));
}

TEST(Folding, NamedConstantsFoldToo) {
    TScriptRun r;
    r.Run("const A = 2; const B = A * 3; x := B + 1;");
    EXPECT_EQ(r.Int("X"), 7);
    EXPECT_EQ(r.script.FindConstant("B")->Value.AsInteger(), 6);
    EXPECT_EQ(r.Error("const A = 2; A := 5;"), SyntaxMessage("Can't assign value to a constant", 14));
}

} // namespace
} // namespace qx::test
