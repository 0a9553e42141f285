#include <memory>

#include "script/Builtins.h"
#include "script/ScriptError.h"

namespace qx {

TVarExpr& VarArg(const TArgList& args, size_t i) {
    TExpr* node = args.Item(i);
    if (!node || (node->Kind() != TExprKind::Var && node->Kind() != TExprKind::Array)) {
        throw ERTE("Argument " + std::to_string(i + 1) + " is not a variable");
    }
    return static_cast<TVarExpr&>(*node);
}

const TValue& EvalArgValue(const TArgList& args, size_t i, std::optional<TValue>& scratch) {
    TExpr* node = args.Item(i);
    if (!node) throw ERTE("Argument " + std::to_string(i + 1) + " is missing");
    node->Eval(scratch.emplace());
    return *scratch;
}

void LoopPass(const TFunction& loop) {
    TFuncs* owner = loop.Owner();
    if (!owner) return;
    if (owner->StopRequested) throw EStop();
    if (owner->CallBudget != 0 && ++owner->CallCount > owner->CallBudget) {
        owner->StopRequested = true;
        throw EStop();
    }
}

void CheckLength(const TFunction& function, size_t length) {
    const size_t limit = function.Owner() ? function.Owner()->MaxStringLength : size_t{64} << 20;
    if (length > limit) throw ERTE("String too long (" + std::to_string(length) + " characters)");
}

void TBeginFunc::Execute(int, const TArgList& args, TValue&) {
    TValue scratch;
    for (size_t i = 0; i < args.Count(); ++i) args.Item(i)->Eval(scratch);
}

void TSetFunc::Execute(int, const TArgList& args, TValue&) {
    std::optional<TValue> scratch;
    const TValue& value = ArgValue(args, 1, scratch);
    VarArg(args, 0).Assign(value);
}

void TArrayFunc::Execute(int, const TArgList& args, TValue&) {
    TVarExpr& target = VarArg(args, 0);
    const int32_t size = args.Integer(1);
    const int32_t limit = Owner() ? Owner()->MaxArraySize : 1000000;
    if (size < 0 || size > limit) throw ERTE("Invalid array size (" + std::to_string(size) + ")");
    if (target.Kind() == TExprKind::Array) throw ERTE("SetArray needs a variable, not an array element");
    TVariable& variable = *target.Variable();
    if (variable.Type == (stVar | stVoid)) {
        variable.Value = TValue::NewArray(static_cast<size_t>(size));
        variable.Type = stVar | stArray | stVoid;
        return;
    }
    if (variable.Type & stVoid) throw ERTE("Variable " + target.Name() + " is not defined.");
    if (variable.Value.Kind() != TValueKind::Array) throw ERTE("Variable " + target.Name() + " is not an array.");
    variable.Value.MutableArray().resize(static_cast<size_t>(size));
}

void TTypeFunc::Execute(int, const TArgList& args, TValue& result) {
    result.SetInteger(static_cast<int32_t>(VarArg(args, 0).Peek().Type()));
}

void TIfFunc::Execute(int, const TArgList& args, TValue&) {
    if (args.Boolean(0)) {
        TValue scratch;
        args.Item(1)->Eval(scratch);
    }
}

void TIfElseFunc::Execute(int, const TArgList& args, TValue&) {
    TValue scratch;
    args.Item(args.Boolean(0) ? 1 : 2)->Eval(scratch);
}

namespace {

bool Condition(const TArgList& args, TValue& scratch) {
    args.Item(0)->Eval(scratch);
    return scratch.ToBoolean();
}

} // namespace

void TWhileFunc::Execute(int, const TArgList& args, TValue&) {
    TValue scratch;
    for (;;) {
        LoopPass(*this);
        if (!Condition(args, scratch)) break;
        for (size_t i = 1; i < args.Count(); ++i) args.Item(i)->Eval(scratch);
    }
}

void TRepeatFunc::Execute(int, const TArgList& args, TValue&) {
    TValue scratch;
    do {
        LoopPass(*this);
        for (size_t i = 1; i < args.Count(); ++i) args.Item(i)->Eval(scratch);
    } while (!Condition(args, scratch));
}

void TForFunc::Execute(int, const TArgList& args, TValue&) {
    TVarExpr& counter = VarArg(args, 0);
    const int32_t start = args.Integer(1);
    const int32_t end = args.Integer(2);
    const int32_t step = args.Integer(3);
    TValue scratch(start);
    counter.Assign(scratch);
    // A plain integer counter is read in place; anything else goes through
    // the node, which raises what a read of it raises.
    const TVariable* plain = counter.Kind() == TExprKind::Var ? counter.Variable() : nullptr;
    auto current = [&] {
        if (plain && !(plain->Type & stVoid) && plain->Value.Kind() == TValueKind::Integer)
            return plain->Value.AsInteger();
        counter.Eval(scratch);
        return scratch.ToInteger();
    };
    for (;;) {
        const int32_t value = current();
        const bool inside = step > 0 ? (value >= start && value <= end) : (value <= start && value >= end);
        if (!inside) break;
        LoopPass(*this);
        for (size_t i = 4; i < args.Count(); ++i) args.Item(i)->Eval(scratch);
        // Wraps like every integer sum, so a loop up to the largest integer ends.
        const int32_t next = static_cast<int32_t>(static_cast<uint32_t>(current()) + static_cast<uint32_t>(step));
        scratch.SetInteger(next);
        counter.Assign(scratch);
    }
}

void RegisterBuiltins(TFuncs& funcs) {
    auto add = [&](auto function, std::initializer_list<TTypes> patterns) {
        for (const auto& p : patterns) function->AddPattern(p);
        funcs.Add(std::move(function));
    };
    auto make = [](auto* raw) { return std::unique_ptr<std::remove_pointer_t<decltype(raw)>>(raw); };
    const TTypeCode fAll = stFunc | stAll;
    const TTypeCode fAllOpen = stFunc | stAll | stOpen;
    const TTypeCode vAll = stVar | stAll;
    const TTypes compare[] = {{stMult, stMult}, {stString, stString}, {stBoolean, stBoolean}};

    add(make(new TBeginFunc("Script", stVoid)), {{fAllOpen}});
    add(make(new TBeginFunc("Begin", stVoid)), {{fAllOpen}});
    add(make(new TSetFunc("Set", stVoid)), {{vAll, stAll}});
    add(make(new TArrayFunc("SetArray", stVoid)), {{vAll, stInteger}});
    add(make(new TTypeFunc("Type", stInteger)), {{vAll}});
    add(make(new TIfFunc("If", stVoid)), {{stBoolean, fAll}});
    add(make(new TIfElseFunc("Else", stVoid)), {{stBoolean, fAll, fAll}});
    add(make(new TWhileFunc("While", stVoid)), {{stFunc | stBoolean, fAllOpen}, {stBoolean, fAllOpen}});
    add(make(new TRepeatFunc("Repeat", stVoid)), {{stFunc | stBoolean, fAllOpen}, {stBoolean, fAllOpen}});
    add(make(new TForFunc("For", stVoid)),
        {{stVar | stInteger | stVoid, stInteger, stInteger, stInteger, fAllOpen}});
    add(make(new TGreaterFunc(">", stBoolean)), {compare[0], compare[1], compare[2]});
    add(make(new TLessFunc("<", stBoolean)), {compare[0], compare[1], compare[2]});
    add(make(new TEqualFunc("=", stBoolean)), {compare[0], compare[1], compare[2]});
    add(make(new TUnEqualFunc("<>", stBoolean)), {compare[0], compare[1], compare[2]});
    add(make(new TGreaterEqualFunc(">=", stBoolean)), {compare[0], compare[1], compare[2]});
    add(make(new TLessEqualFunc("<=", stBoolean)), {compare[0], compare[1], compare[2]});
    add(make(new TNotFunc("not", stBoolean)), {{stBoolean}});
    add(make(new TAndFunc("and", stBoolean)), {{stBoolean, stBoolean}});
    add(make(new TOrFunc("or", stBoolean)), {{stBoolean, stBoolean}});
    add(make(new TXorFunc("xor", stBoolean)), {{stBoolean, stBoolean}});
    add(make(new TNegFunc("~", stMult)), {{stMult}});
    add(make(new TAddFunc("+", stAdd)), {{stMult, stMult}, {stString, stString}});
    add(make(new TSubFunc("-", stMult)), {{stMult, stMult}});
    add(make(new TMulFunc("*", stMult)), {{stMult, stMult}});
    add(make(new TDivideFunc("/", stFloat)), {{stMult, stMult}});
    add(make(new TDivFunc("div", stInteger)), {{stInteger, stInteger}});
    add(make(new TModFunc("mod", stInteger)), {{stInteger, stInteger}});
    add(make(new TIncFunc("inc", stVoid)), {{stVar | stMult}, {stVar | stMult, stMult}});
    add(make(new TDecFunc("dec", stVoid)), {{stVar | stMult}, {stVar | stMult, stMult}});
    add(make(new TRoundFunc("Round", stInteger)), {{stFloat}});
    add(make(new TTruncFunc("Trunc", stInteger)), {{stFloat}});
    add(make(new TIntFunc("Int", stFloat)), {{stFloat}});
    add(make(new TFracFunc("Frac", stFloat)), {{stFloat}});
    add(make(new TLengthFunc("length", stInteger)), {{stString}});
    add(make(new TInsertFunc("insert", stVoid)), {{stString, stVar | stString, stInteger}});
    add(make(new TDeleteFunc("delete", stVoid)), {{stVar | stString, stInteger, stInteger}});
    add(make(new TCopyFunc("copy", stString)), {{stString, stInteger, stInteger}});
    add(make(new TPosFunc("pos", stInteger)), {{stString, stString}});
    add(make(new TStrToIntFunc("StrToInt", stInteger)), {{stString}});
    add(make(new TIntToStrFunc("IntToStr", stString)), {{stInteger}});
    add(make(new TFormatFunc("format", stString)), {{stString, stAdd | stOpen}});
    add(make(new TNowFunc("now", stFloat)), {TTypes{}});
    add(make(new TFormatDateTimeFunc("formatdatetime", stString)), {{stString, stFloat}});
    add(make(new TCopyrightFunc("copyright", stVoid)), {TTypes{}});
}

} // namespace qx
