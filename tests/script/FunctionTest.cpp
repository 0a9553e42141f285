#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "script/Func.h"

namespace qx::test {
namespace {

std::string DeclarationError(const std::string& text) {
    try {
        ParseDeclaration(text);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

TEST(Declarations, NamePatternsAndResultType) {
    TDeclaration d = ParseDeclaration("Random( integer, integer ): integer");
    EXPECT_EQ(d.Name, "RANDOM");
    ASSERT_EQ(d.Patterns.size(), 1u);
    EXPECT_EQ(d.Patterns[0], (TTypes{stInteger, stInteger}));
    EXPECT_EQ(d.ResultType, stInteger);

    d = ParseDeclaration("GetStarSystemCount(): integer");
    ASSERT_EQ(d.Patterns.size(), 1u);
    EXPECT_EQ(d.Patterns[0].Count(), 0u);

    d = ParseDeclaration("Version( float )");
    EXPECT_EQ(d.ResultType, stVoid);

    d = ParseDeclaration("F( var array integer, func boolean, mult open ), ( array all, var add ): add");
    ASSERT_EQ(d.Patterns.size(), 2u);
    EXPECT_EQ(d.Patterns[0], (TTypes{stVar | stArray | stInteger, stFunc | stBoolean, stMult | stOpen}));
    EXPECT_EQ(d.Patterns[1], (TTypes{stArray | stAll, stVar | stAdd}));
    EXPECT_EQ(d.ResultType, stAdd);
}

TEST(Declarations, ErrorsCarryPositionsInTheDeclaration) {
    EXPECT_EQ(DeclarationError(""), "Invalid expression for declaration \"\"");
    EXPECT_EQ(DeclarationError("(integer)"), "Syntaxerror: Name expected [Position 1]");
    EXPECT_EQ(DeclarationError("Foo integer"), "Syntaxerror: \"(\" expected. [Position 5]");
    EXPECT_EQ(DeclarationError("Foo(integer"), "Syntaxerror: \")\" expected. [Position 5]");
    EXPECT_EQ(DeclarationError("Foo(integer; string)"), "Syntaxerror: \")\" expected. [Position 12]");
    EXPECT_EQ(DeclarationError("Foo(thing)"), "Syntaxerror: Name of a type or \")\" expected [Position 5]");
    EXPECT_EQ(DeclarationError("Foo(): "), "Syntaxerror: Name of a type or \")\" expected [Position 6]");
    EXPECT_EQ(DeclarationError("Foo() junk"), "Syntaxerror: End of declaration expected [Position 7]");
    EXPECT_EQ(DeclarationError("Foo(integer ?)"), "Syntaxerror: Invalid character (\"?\", 63) [Position 13]");
}

TEST(Patterns, ArgumentCountsAndTypesAreChecked) {
    TScriptRun r;
    r.funcs.Declare("Foo( integer )", [](TObject*, const TArgList&, TValue&) {});
    EXPECT_EQ(r.Error("Foo()"), RuntimeMessage("Not enough arguments for function FOO (0 instead of 1).", 1));
    EXPECT_EQ(r.Error("Foo"), RuntimeMessage("Not enough arguments for function FOO (0 instead of 1).", 1));
    EXPECT_EQ(r.Error("Foo(1, 2)"), RuntimeMessage("Too many arguments for function FOO!", 1));
    EXPECT_EQ(r.Error("x := length(5)"),
              RuntimeMessage("Funktion LENGTH expects type STRING instead of type INTEGER at argument 1", 6));
    EXPECT_EQ(r.Error("x := Round(5)"),
              RuntimeMessage("Funktion ROUND expects type FLOAT instead of type INTEGER at argument 1", 6));
    EXPECT_EQ(r.Error("inc(5)"),
              RuntimeMessage("The arguments don't fit to a parameter pattern:\n\rArguments: (INTEGER)"
                             "\n\rParameter patterns:\n\r(VAR INTEGER/FLOAT)\n\r(VAR INTEGER/FLOAT, INTEGER/FLOAT)"
                             "\n\rFunction: INC",
                             1));
    // An empty argument list reads "(" in the pattern message.
    EXPECT_NE(r.Error("inc()").find("Arguments: (\n\r"), std::string::npos);
    r.Run("Foo(1 + 2)");
}

TEST(Patterns, OpenParametersTakeZeroOrMoreArguments) {
    TScriptRun r;
    int32_t sum = 0;
    r.funcs.Declare("Sum( integer open ): integer", [&](TObject*, const TArgList& args, TValue& result) {
        sum = 0;
        for (size_t i = 0; i < args.Count(); ++i) sum += args.Integer(i);
        result.SetInteger(sum);
    });
    r.funcs.Declare("Tail( integer open, string )", [](TObject*, const TArgList&, TValue&) {});
    r.Run("a := Sum(); b := Sum(1, 2, 3);");
    EXPECT_EQ(r.Int("A"), 0);
    EXPECT_EQ(r.Int("B"), 6);
    EXPECT_EQ(r.Error("Sum('x')"), RuntimeMessage("Funktion SUM expects type VOID instead of type STRING at argument 1", 1));
    EXPECT_EQ(r.Error("Tail(1, 2)"), RuntimeMessage("Not enough arguments for function TAIL (1 instead of 2).", 1));
    r.Run("Tail(1, 2, 'x')");
    EXPECT_EQ(r.Error("Tail(1, TRUE)"),
              RuntimeMessage("Funktion TAIL expects type STRING instead of type BOOLEAN at argument 2", 1));
}

TEST(Patterns, ResultTypesAreChecked) {
    TScriptRun r;
    r.funcs.Declare("Foo( integer )", [](TObject*, const TArgList&, TValue& result) { result.SetInteger(1); });
    r.funcs.Declare("Bar(): integer", [](TObject*, const TArgList&, TValue&) {});
    EXPECT_EQ(r.Error("Foo(1)"), RuntimeMessage("Function FOO returns type INTEGER instead of VOID", 1));
    EXPECT_EQ(r.Error("x := Bar"), RuntimeMessage("Function BAR returns type VOID instead of INTEGER", 6));
}

TEST(HostFunctions, ArgumentsArePassedByValueByReferenceOrUnevaluated) {
    TScriptRun r;
    std::vector<std::string> order;
    r.funcs.Declare("Note( string ): integer", [&](TObject*, const TArgList& args, TValue& result) {
        order.push_back(args.String(0));
        result.SetInteger(static_cast<int32_t>(order.size()));
    });
    r.funcs.Declare("Three( integer, integer, integer )", [&](TObject*, const TArgList& args, TValue&) {
        order.push_back("three");
        // Plain arguments arrive as constants, already evaluated.
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(args.Item(i)->Kind(), TExprKind::Const);
    });
    r.funcs.Declare("Bump( var integer )", [](TObject*, const TArgList& args, TValue&) {
        args.Assign(0, TValue(args.Integer(0) + 10));
    });
    int evaluations = 0;
    r.funcs.Declare("Twice( func all )", [&](TObject*, const TArgList& args, TValue&) {
        TValue v;
        args.Eval(0, v);
        args.Eval(0, v);
        evaluations = 2;
    });
    r.Run("Three(Note('a'), Note('b'), Note('c')); n := 1; Bump(n); Twice(inc(n));");
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c", "three"}));
    EXPECT_EQ(r.Int("N"), 13);
    EXPECT_EQ(evaluations, 2);
    EXPECT_EQ(r.Error("Bump(5)"),
              RuntimeMessage("Funktion BUMP expects type VAR INTEGER instead of type INTEGER at argument 1", 1));
}

TEST(HostFunctions, HostExceptionsBecomeRuntimeErrorsAtTheCall) {
    TScriptRun r;
    r.funcs.Declare("Boom( integer )", [](TObject*, const TArgList& args, TValue&) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(args.Integer(0)) + ")");
    });
    EXPECT_EQ(r.Error("x := 1;\r\n  Boom(7)"), RuntimeMessage("List index out of bounds (7)", 12));
}

TEST(HostFunctions, ExEvalIsToldWhichPatternFitted) {
    TScriptRun r;
    std::vector<int> patterns;
    r.funcs.DeclareEx("Which( var integer ), ( var all )",
                      [&](TObject*, int pattern, const TArgList&, TValue&) { patterns.push_back(pattern); });
    // The same call site first sees an unassigned variable, then an integer:
    // the remembered decision must not be reused once the types change.
    r.funcs.CallBudget = 0;
    r.Run("for i := 1 to 3 do begin Which(v); v := i end;");
    EXPECT_EQ(patterns, (std::vector<int>{1, 0, 0}));
}

TEST(Registry, DuplicateNamesAreRefused) {
    TFuncs funcs;
    TFunc first("Foo( integer )", nullptr, &funcs);
    TFunc second;
    second.SetDeclaration("foo()");
    try {
        second.SetFuncs(&funcs);
        FAIL() << "registered twice";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), "A function with this name (\"FOO\") is already existing");
    }
    EXPECT_EQ(second.Funcs(), nullptr);
    EXPECT_THROW(funcs.Declare("length(string)", nullptr), std::runtime_error);
    EXPECT_EQ(funcs.Count(), 45u);  // the 44 built-ins and FOO
}

TEST(Registry, BuiltinsAreRegisteredInOrder) {
    TFuncs funcs;
    ASSERT_EQ(funcs.Count(), 44u);
    EXPECT_EQ(funcs.Function(0).Name(), "SCRIPT");
    EXPECT_EQ(funcs.Function(9).Name(), "FOR");
    EXPECT_EQ(funcs.Function(9).Patterns()[0].Get(0), 37u);
    EXPECT_EQ(funcs.Function(20).Name(), "~");
    EXPECT_EQ(funcs.Function(43).Name(), "COPYRIGHT");
    EXPECT_NE(funcs.Find("FORMATDATETIME"), nullptr);
    EXPECT_EQ(funcs.Find("formatdatetime"), nullptr);  // lookups are exact on the stored name
}

TEST(Registry, TFuncComponentLifecycle) {
    TScriptRun r;
    int calls = 0;
    auto func = std::make_unique<TFunc>();
    func->SetDeclaration("Ping(): integer");
    func->SetFuncs(&r.funcs);
    r.script.SetText("x := Ping;");
    // Registered without a handler, the call fails clearly.
    EXPECT_EQ(r.Error("x := Ping;"),
              RuntimeMessage("Can't evaluate function PING. Event OnEval/OnExEval not definied!", 6));
    func->SetOnEval([&](TObject* sender, const TArgList&, TValue& result) {
        EXPECT_EQ(sender, func.get());
        result.SetInteger(++calls);
    });
    r.Run("x := Ping;");
    EXPECT_EQ(r.Int("X"), 1);
    func->SetOnExEval([&](TObject*, int pattern, const TArgList&, TValue& result) { result.SetInteger(100 + pattern); });
    r.script.Run();
    EXPECT_EQ(r.Int("X"), 100);

    // A new declaration re-registers under the new name.
    func->SetDeclaration("Pong(): integer");
    EXPECT_EQ(r.funcs.Find("PING"), nullptr);
    ASSERT_NE(r.funcs.Find("PONG"), nullptr);

    // A compiled script that still calls a destroyed function gets an error, not a crash.
    r.script.SetText("y := Pong;");
    ASSERT_TRUE(r.script.Compile());
    func.reset();
    EXPECT_EQ(r.funcs.Find("PONG"), nullptr);
    try {
        r.script.Run();
        FAIL() << "ran";
    } catch (const ERuntimeError& error) {
        EXPECT_EQ(std::string(error.what()),
                  RuntimeMessage("Can't evaluate function PONG. Event OnEval/OnExEval not definied!", 6));
    }
}

TEST(Registry, AFuncOutlivingItsRegistryForgetsIt) {
    TFunc func;
    {
        TFuncs funcs;
        func.SetDeclaration("Gone()");
        func.SetFuncs(&funcs);
        EXPECT_NE(func.Registered(), nullptr);
    }
    EXPECT_EQ(func.Funcs(), nullptr);
    EXPECT_EQ(func.Registered(), nullptr);
}

} // namespace
} // namespace qx::test
