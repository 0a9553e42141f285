// Specialised paths for calls of the built-in statements and operators.
//
// A call site picks one of these when its pattern has been decided, by the
// function and by the kinds of its argument nodes (a constant, a plain
// variable, or anything else). The path does exactly what the general path
// does for those arguments: it is entered after the call has been counted
// (stop request, call budget), first re-checks that no variable argument has
// changed its type (else the general path decides anew), evaluates the
// arguments in the same order, reports the same errors, computes the same
// result and pumps the host's messages after success. What it leaves out is
// the bookkeeping that the decided pattern makes unnecessary: scratch nodes,
// argument lists, virtual dispatch and the result-type check of results that
// cannot be of another type.
#include <array>

#include "script/Builtins.h"
#include "script/FusedExpr.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

// How an argument is read: a constant in place, a variable's value directly,
// anything else through its node.
enum class TLeaf : uint8_t { Const, Var, Other };

TLeaf LeafOf(const TExpr& node) {
    switch (node.Kind()) {
    case TExprKind::Const: return TLeaf::Const;
    case TExprKind::Var: return TLeaf::Var;
    default: return TLeaf::Other;
    }
}

inline void EvalNode(TExpr* node, TValue& out) {
    if (node->Kind() == TExprKind::Func) static_cast<TFuncExpr*>(node)->EvalCall(out);
    else if (node->Kind() == TExprKind::Array) static_cast<TArrayExpr*>(node)->TArrayExpr::Eval(out);
    else node->Eval(out);
}

// The value of an argument. A variable's own value is lent only when no
// later argument can run anything (Lend), else it is copied, as the general
// path copies every argument before the work begins.
template <TLeaf L, bool Lend>
inline const TValue& Operand(TExpr* node, TValue& scratch) {
    if constexpr (L == TLeaf::Const) {
        return static_cast<TConstExpr*>(node)->Constant();
    } else if constexpr (L == TLeaf::Var) {
        const TVariable* variable = static_cast<TVarExpr*>(node)->Variable();
        if (variable->Type & stVoid) {
            node->Eval(scratch);  // raises "not defined" at the variable
            return scratch;
        }
        if constexpr (Lend) return variable->Value;
        scratch = variable->Value;
        return scratch;
    } else {
        EvalNode(node, scratch);
        return scratch;
    }
}

// Reads into Out (a value that outlives the following arguments).
template <TLeaf L>
inline void Read(TExpr* node, TValue& out) {
    if constexpr (L == TLeaf::Const) {
        out = static_cast<TConstExpr*>(node)->Constant();
    } else if constexpr (L == TLeaf::Var) {
        const TVariable* variable = static_cast<TVarExpr*>(node)->Variable();
        if (variable->Type & stVoid) node->Eval(out);
        else out = variable->Value;
    } else {
        EvalNode(node, out);
    }
}

inline bool Truth(const TValue& value) { return value.ToBoolean(); }

// A statement argument: always a call node (its parameter is FUNC).
inline void RunStatement(TExpr* node, TValue& scratch) { static_cast<TFuncExpr*>(node)->EvalCall(scratch); }

#define QX_GUARD(site, out)                                  \
    if (!(site).TypesUnchanged()) {                          \
        TFunction::GeneralCall(site, out);                   \
        return;                                              \
    }

// --- Operators ----------------------------------------------------------------

template <TArith Op>
inline int32_t WrapInteger(int32_t a, int32_t b) {
    const uint32_t x = static_cast<uint32_t>(a), y = static_cast<uint32_t>(b);
    if constexpr (Op == TArith::Add) return static_cast<int32_t>(x + y);
    else if constexpr (Op == TArith::Sub) return static_cast<int32_t>(x - y);
    else return static_cast<int32_t>(x * y);
}

template <TArith Op, TLeaf A, TLeaf B>
void ArithmeticCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue sa, sb;
    const TValue& a = Operand<A, B != TLeaf::Other>(site.ArgumentNode(0), sa);
    const TValue& b = Operand<B, true>(site.ArgumentNode(1), sb);
    if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer)
        out.SetInteger(WrapInteger<Op>(a.AsInteger(), b.AsInteger()));
    else
        Arithmetic(site.Function(), Op, a, b, out);
    site.Pump();
}

enum class TRelation : uint8_t { Greater, Less, Equal, UnEqual, GreaterEqual, LessEqual };

template <TRelation R>
struct TRelationOp {
    template <class T>
    bool operator()(T a, T b) const {
        if constexpr (R == TRelation::Greater) return a > b;
        else if constexpr (R == TRelation::Less) return a < b;
        else if constexpr (R == TRelation::Equal) return a == b;
        else if constexpr (R == TRelation::UnEqual) return a != b;
        else if constexpr (R == TRelation::GreaterEqual) return a >= b;
        else return a <= b;
    }
};

template <TRelation R, TLeaf A, TLeaf B>
void CompareCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue sa, sb;
    const TValue& a = Operand<A, B != TLeaf::Other>(site.ArgumentNode(0), sa);
    const TValue& b = Operand<B, true>(site.ArgumentNode(1), sb);
    if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer)
        out.SetBoolean(TRelationOp<R>()(a.AsInteger(), b.AsInteger()));
    else
        out.SetBoolean(CompareValues(a, b, TRelationOp<R>()));
    site.Pump();
}

enum class TLogic : uint8_t { And, Or, Xor };

template <TLogic Op, TLeaf A, TLeaf B>
void LogicCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue sa, sb;
    const TValue& a = Operand<A, B != TLeaf::Other>(site.ArgumentNode(0), sa);
    const TValue& b = Operand<B, true>(site.ArgumentNode(1), sb);
    // Both operands are evaluated before either is looked at: no short circuit.
    const bool x = Truth(a), y = Truth(b);
    if constexpr (Op == TLogic::And) out.SetBoolean(x && y);
    else if constexpr (Op == TLogic::Or) out.SetBoolean(x || y);
    else out.SetBoolean(x != y);
    site.Pump();
}

template <TLeaf A>
void NotCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue sa;
    out.SetBoolean(!Truth(Operand<A, true>(site.ArgumentNode(0), sa)));
    site.Pump();
}

template <TLeaf A>
void NegCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue sa;
    const TValue& a = Operand<A, true>(site.ArgumentNode(0), sa);
    if (a.Kind() == TValueKind::Integer) out.SetInteger(static_cast<int32_t>(0u - static_cast<uint32_t>(a.AsInteger())));
    else out.SetFloat(-a.ToFloat());
    site.Pump();
}

enum class TDivision : uint8_t { Real, Quotient, Remainder };

template <TDivision Op, TLeaf A, TLeaf B>
void DivisionCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue sa, sb;
    const TValue& a = Operand<A, B != TLeaf::Other>(site.ArgumentNode(0), sa);
    const TValue& b = Operand<B, true>(site.ArgumentNode(1), sb);
    if constexpr (Op == TDivision::Real) {
        const double x = a.ToFloat(), y = b.ToFloat();
        out.SetFloat(Divide(x, y));
    } else {
        const int32_t x = a.ToInteger(), y = b.ToInteger();
        out.SetInteger(Op == TDivision::Quotient ? IntegerDiv(x, y) : IntegerMod(x, y));
    }
    site.Pump();
}

// inc(v) and dec(v), with an amount as the second argument or without.
template <int Sign, bool WithAmount>
void StepCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue amount(1);
    if constexpr (WithAmount) Read<TLeaf::Other>(site.ArgumentNode(1), amount);
    out.Clear();
    TExpr* target = site.ArgumentNode(0);
    TVariable* variable = static_cast<TVarExpr*>(target)->Variable();
    if (target->Kind() == TExprKind::Var && variable->Value.Kind() == TValueKind::Integer &&
        amount.Kind() == TValueKind::Integer && !(variable->Type & stVoid)) {
        // Same type in, same type out: the assignment cannot fail.
        variable->Value.SetInteger(Sign > 0 ? WrapInteger<TArith::Add>(variable->Value.AsInteger(), amount.AsInteger())
                                            : WrapInteger<TArith::Sub>(variable->Value.AsInteger(), amount.AsInteger()));
    } else {
        StepVariable(site.Function(), *static_cast<TVarExpr*>(target), amount, Sign);
    }
    site.Pump();
}

// --- Statements ---------------------------------------------------------------

template <bool Element, TLeaf V>
void SetCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue value;
    Read<V>(site.ArgumentNode(1), value);
    out.Clear();
    if constexpr (Element) static_cast<TArrayExpr*>(site.ArgumentNode(0))->TArrayExpr::Assign(value);
    else static_cast<TVarExpr*>(site.ArgumentNode(0))->AssignVariable(std::move(value));
    site.Pump();
}

void BeginCall(TFuncExpr& site, TValue& out) {
    out.Clear();
    TValue scratch;
    for (size_t i = 0, n = site.ArgumentCount(); i < n; ++i) RunStatement(site.ArgumentNode(i), scratch);
    site.Pump();
}

template <TLeaf C>
void IfCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue scratch;
    const bool condition = Truth(Operand<C, true>(site.ArgumentNode(0), scratch));
    out.Clear();
    if (condition) RunStatement(site.ArgumentNode(1), scratch);
    site.Pump();
}

template <TLeaf C>
void IfElseCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    TValue scratch;
    const bool condition = Truth(Operand<C, true>(site.ArgumentNode(0), scratch));
    out.Clear();
    RunStatement(site.ArgumentNode(condition ? 1 : 2), scratch);
    site.Pump();
}

template <TLeaf C>
inline bool LoopCondition(TFuncExpr& site, TValue& scratch) {
    return Truth(Operand<C, true>(site.ArgumentNode(0), scratch));
}

template <TLeaf C>
void WhileCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    out.Clear();
    TValue scratch;
    const size_t n = site.ArgumentCount();
    for (;;) {
        LoopPass(site.Function());
        if (!LoopCondition<C>(site, scratch)) break;
        for (size_t i = 1; i < n; ++i) RunStatement(site.ArgumentNode(i), scratch);
    }
    site.Pump();
}

template <TLeaf C>
void RepeatCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    out.Clear();
    TValue scratch;
    const size_t n = site.ArgumentCount();
    do {
        LoopPass(site.Function());
        for (size_t i = 1; i < n; ++i) RunStatement(site.ArgumentNode(i), scratch);
    } while (!LoopCondition<C>(site, scratch));
    site.Pump();
}

void ForCall(TFuncExpr& site, TValue& out) {
    QX_GUARD(site, out);
    // Start, end and step are all evaluated before any of them is converted.
    TValue first, last, stride;
    Read<TLeaf::Other>(site.ArgumentNode(1), first);
    Read<TLeaf::Other>(site.ArgumentNode(2), last);
    Read<TLeaf::Other>(site.ArgumentNode(3), stride);
    out.Clear();
    TVarExpr& counter = *static_cast<TVarExpr*>(site.ArgumentNode(0));
    const int32_t start = first.ToInteger();
    const int32_t end = last.ToInteger();
    const int32_t step = stride.ToInteger();
    TValue scratch(start);
    counter.Assign(scratch);
    // A plain integer counter is read and written in place; anything else
    // goes through the node, which raises what a read or write of it raises.
    TVariable* plain = counter.Kind() == TExprKind::Var ? counter.Variable() : nullptr;
    auto isPlainInteger = [plain] {
        return plain && !(plain->Type & stVoid) && plain->Value.Kind() == TValueKind::Integer;
    };
    auto current = [&] {
        if (isPlainInteger()) return plain->Value.AsInteger();
        counter.Eval(scratch);
        return scratch.ToInteger();
    };
    const size_t n = site.ArgumentCount();
    TFunction& loop = site.Function();
    for (;;) {
        const int32_t value = current();
        const bool inside = step > 0 ? (value >= start && value <= end) : (value <= start && value >= end);
        if (!inside) break;
        LoopPass(loop);
        for (size_t i = 4; i < n; ++i) RunStatement(site.ArgumentNode(i), scratch);
        // Wraps like every integer sum, so a loop up to the largest integer ends.
        const int32_t next = WrapInteger<TArith::Add>(current(), step);
        if (isPlainInteger()) {
            plain->Value.SetInteger(next);
        } else {
            scratch.SetInteger(next);
            counter.Assign(scratch);
        }
    }
    site.Pump();
}

#undef QX_GUARD

// --- Choosing a path --------------------------------------------------------------

template <template <TLeaf, TLeaf> class Pick>
TCallHandler ByLeaves(const TFuncExpr& site) {
    static constexpr TCallHandler table[3][3] = {
        {Pick<TLeaf::Const, TLeaf::Const>::Handler, Pick<TLeaf::Const, TLeaf::Var>::Handler,
         Pick<TLeaf::Const, TLeaf::Other>::Handler},
        {Pick<TLeaf::Var, TLeaf::Const>::Handler, Pick<TLeaf::Var, TLeaf::Var>::Handler,
         Pick<TLeaf::Var, TLeaf::Other>::Handler},
        {Pick<TLeaf::Other, TLeaf::Const>::Handler, Pick<TLeaf::Other, TLeaf::Var>::Handler,
         Pick<TLeaf::Other, TLeaf::Other>::Handler},
    };
    return table[static_cast<int>(LeafOf(site.Argument(0)))][static_cast<int>(LeafOf(site.Argument(1)))];
}

template <template <TLeaf> class Pick>
TCallHandler ByLeaf(const TFuncExpr& site) {
    static constexpr TCallHandler table[3] = {Pick<TLeaf::Const>::Handler, Pick<TLeaf::Var>::Handler,
                                              Pick<TLeaf::Other>::Handler};
    return table[static_cast<int>(LeafOf(site.Argument(0)))];
}

template <TArith Op>
struct TArithmeticPick {
    template <TLeaf A, TLeaf B>
    struct Of {
        static constexpr TCallHandler Handler = &ArithmeticCall<Op, A, B>;
    };
};
template <TRelation R>
struct TComparePick {
    template <TLeaf A, TLeaf B>
    struct Of {
        static constexpr TCallHandler Handler = &CompareCall<R, A, B>;
    };
};
template <TLogic Op>
struct TLogicPick {
    template <TLeaf A, TLeaf B>
    struct Of {
        static constexpr TCallHandler Handler = &LogicCall<Op, A, B>;
    };
};
template <TDivision Op>
struct TDivisionPick {
    template <TLeaf A, TLeaf B>
    struct Of {
        static constexpr TCallHandler Handler = &DivisionCall<Op, A, B>;
    };
};
template <TLeaf A>
struct TNotPick {
    static constexpr TCallHandler Handler = &NotCall<A>;
};
template <TLeaf A>
struct TNegPick {
    static constexpr TCallHandler Handler = &NegCall<A>;
};
template <TLeaf C>
struct TIfPick {
    static constexpr TCallHandler Handler = &IfCall<C>;
};
template <TLeaf C>
struct TIfElsePick {
    static constexpr TCallHandler Handler = &IfElseCall<C>;
};
template <TLeaf C>
struct TWhilePick {
    static constexpr TCallHandler Handler = &WhileCall<C>;
};
template <TLeaf C>
struct TRepeatPick {
    static constexpr TCallHandler Handler = &RepeatCall<C>;
};
template <TLeaf V>
struct TSetVariablePick {
    static constexpr TCallHandler Handler = &SetCall<false, V>;
};
template <TLeaf V>
struct TSetElementPick {
    static constexpr TCallHandler Handler = &SetCall<true, V>;
};

TCallHandler SetHandler(const TFuncExpr& site) {
    static constexpr TCallHandler variable[3] = {TSetVariablePick<TLeaf::Const>::Handler,
                                                 TSetVariablePick<TLeaf::Var>::Handler,
                                                 TSetVariablePick<TLeaf::Other>::Handler};
    static constexpr TCallHandler element[3] = {TSetElementPick<TLeaf::Const>::Handler,
                                                TSetElementPick<TLeaf::Var>::Handler,
                                                TSetElementPick<TLeaf::Other>::Handler};
    const int value = static_cast<int>(LeafOf(site.Argument(1)));
    return site.Argument(0).Kind() == TExprKind::Array ? element[value] : variable[value];
}

} // namespace

namespace {

TCallHandler RegularHandler(const TFuncExpr& site) {
    const size_t n = site.ArgumentCount();
    switch (site.Function().Builtin()) {
    case TBuiltin::None: return nullptr;
    case TBuiltin::Begin: return &BeginCall;
    case TBuiltin::Set: return n == 2 ? SetHandler(site) : nullptr;
    case TBuiltin::If: return n == 2 ? ByLeaf<TIfPick>(site) : nullptr;
    case TBuiltin::IfElse: return n == 3 ? ByLeaf<TIfElsePick>(site) : nullptr;
    case TBuiltin::While: return n >= 1 ? ByLeaf<TWhilePick>(site) : nullptr;
    case TBuiltin::Repeat: return n >= 1 ? ByLeaf<TRepeatPick>(site) : nullptr;
    case TBuiltin::For: return n >= 4 ? &ForCall : nullptr;
    case TBuiltin::Not: return n == 1 ? ByLeaf<TNotPick>(site) : nullptr;
    case TBuiltin::Neg: return n == 1 ? ByLeaf<TNegPick>(site) : nullptr;
    case TBuiltin::Inc: return n == 1 ? &StepCall<1, false> : n == 2 ? &StepCall<1, true> : nullptr;
    case TBuiltin::Dec: return n == 1 ? &StepCall<-1, false> : n == 2 ? &StepCall<-1, true> : nullptr;
    default: break;
    }
    if (n != 2) return nullptr;
    switch (site.Function().Builtin()) {
    case TBuiltin::Add: return ByLeaves<TArithmeticPick<TArith::Add>::Of>(site);
    case TBuiltin::Sub: return ByLeaves<TArithmeticPick<TArith::Sub>::Of>(site);
    case TBuiltin::Mul: return ByLeaves<TArithmeticPick<TArith::Mul>::Of>(site);
    case TBuiltin::Greater: return ByLeaves<TComparePick<TRelation::Greater>::Of>(site);
    case TBuiltin::Less: return ByLeaves<TComparePick<TRelation::Less>::Of>(site);
    case TBuiltin::Equal: return ByLeaves<TComparePick<TRelation::Equal>::Of>(site);
    case TBuiltin::UnEqual: return ByLeaves<TComparePick<TRelation::UnEqual>::Of>(site);
    case TBuiltin::GreaterEqual: return ByLeaves<TComparePick<TRelation::GreaterEqual>::Of>(site);
    case TBuiltin::LessEqual: return ByLeaves<TComparePick<TRelation::LessEqual>::Of>(site);
    case TBuiltin::And: return ByLeaves<TLogicPick<TLogic::And>::Of>(site);
    case TBuiltin::Or: return ByLeaves<TLogicPick<TLogic::Or>::Of>(site);
    case TBuiltin::Xor: return ByLeaves<TLogicPick<TLogic::Xor>::Of>(site);
    case TBuiltin::Divide: return ByLeaves<TDivisionPick<TDivision::Real>::Of>(site);
    case TBuiltin::Div: return ByLeaves<TDivisionPick<TDivision::Quotient>::Of>(site);
    case TBuiltin::Mod: return ByLeaves<TDivisionPick<TDivision::Remainder>::Of>(site);
    default: return nullptr;
    }
}

// The built-ins that can head a compiled pure tree.
bool MayFuse(TBuiltin builtin) {
    return (builtin >= TBuiltin::Greater && builtin <= TBuiltin::Mod) || builtin == TBuiltin::Set ||
           builtin == TBuiltin::If || builtin == TBuiltin::IfElse;
}

} // namespace

TCallHandler SpecialisedHandler(TFuncExpr& site) {
    TCallHandler handler = RegularHandler(site);
    site.SetFused(nullptr);
    if (handler && MayFuse(site.Function().Builtin())) {
        if (std::unique_ptr<TFusedExpr> fused = TFusedExpr::Build(site)) {
            fused->Fallback = handler;
            const TCallHandler whole = fused->Handler();
            site.SetFused(std::move(fused));
            return whole;
        }
    }
    return handler;
}

} // namespace qx
