#include <cmath>

#include "script/Builtins.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

// Comparison by the value rules: two integers as integers, two strings byte by
// byte, two booleans with false below true, any other pair as numbers.
template <class Op>
bool Compare(const TValue& a, const TValue& b, Op op) {
    if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer)
        return op(a.AsInteger(), b.AsInteger());
    if (a.Kind() == TValueKind::String && b.Kind() == TValueKind::String)
        return op(a.AsString().compare(b.AsString()), 0);
    if (a.Kind() == TValueKind::Boolean && b.Kind() == TValueKind::Boolean)
        return op(static_cast<int>(a.AsBoolean()), static_cast<int>(b.AsBoolean()));
    return op(a.ToFloat(), b.ToFloat());
}

template <class Op>
void CompareArgs(const TArgList& args, TValue& result, Op op) {
    std::optional<TValue> sa, sb;
    const TValue& a = ArgValue(args, 0, sa);
    const TValue& b = ArgValue(args, 1, sb);
    result.SetBoolean(Compare(a, b, op));
}

double Checked(double value, double a, double b) {
    if (std::isinf(value) && std::isfinite(a) && std::isfinite(b)) throw ERTE("Floating point overflow");
    if (std::isnan(value) && !std::isnan(a) && !std::isnan(b)) throw ERTE("Invalid floating point operation");
    return value;
}

uint32_t Bits(int32_t v) { return static_cast<uint32_t>(v); }
int32_t FromBits(uint32_t v) { return static_cast<int32_t>(v); }

enum class TArith { Add, Sub, Mul };

// Integer operands wrap in 32 bits; otherwise the operands are reals.
void Arithmetic(TArith op, const TValue& a, const TValue& b, TValue& result) {
    if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer) {
        const uint32_t x = Bits(a.AsInteger()), y = Bits(b.AsInteger());
        switch (op) {
        case TArith::Add: result.SetInteger(FromBits(x + y)); return;
        case TArith::Sub: result.SetInteger(FromBits(x - y)); return;
        case TArith::Mul: result.SetInteger(FromBits(x * y)); return;
        }
    }
    if (op == TArith::Add && a.Kind() == TValueKind::String && b.Kind() == TValueKind::String) {
        if (&result != &a) {
            result.SetString(a.AsString());
        }
        result.MutableString() += b.AsString();
        return;
    }
    const double x = a.ToFloat(), y = b.ToFloat();
    switch (op) {
    case TArith::Add: result.SetFloat(Checked(x + y, x, y)); return;
    case TArith::Sub: result.SetFloat(Checked(x - y, x, y)); return;
    case TArith::Mul: result.SetFloat(Checked(x * y, x, y)); return;
    }
}

void ArithmeticArgs(const TFunction& self, TArith op, const TArgList& args, TValue& result) {
    std::optional<TValue> sa, sb;
    const TValue& a = ArgValue(args, 0, sa);
    const TValue& b = ArgValue(args, 1, sb);
    if (a.Kind() == TValueKind::String && b.Kind() == TValueKind::String)
        CheckLength(self, a.AsString().size() + b.AsString().size());
    Arithmetic(op, a, b, result);
}

void Step(int pattern, const TArgList& args, int sign) {
    TVarExpr& target = VarArg(args, 0);
    TValue current, amount(1);
    std::optional<TValue> scratch;
    target.Eval(current);
    if (pattern == 1) amount = ArgValue(args, 1, scratch);
    TValue sum;
    Arithmetic(sign > 0 ? TArith::Add : TArith::Sub, current, amount, sum);
    target.Assign(sum);
}

} // namespace

void TGreaterFunc::Execute(int, const TArgList& args, TValue& result) {
    CompareArgs(args, result, [](auto a, auto b) { return a > b; });
}
void TLessFunc::Execute(int, const TArgList& args, TValue& result) {
    CompareArgs(args, result, [](auto a, auto b) { return a < b; });
}
void TEqualFunc::Execute(int, const TArgList& args, TValue& result) {
    CompareArgs(args, result, [](auto a, auto b) { return a == b; });
}
void TUnEqualFunc::Execute(int, const TArgList& args, TValue& result) {
    CompareArgs(args, result, [](auto a, auto b) { return a != b; });
}
void TGreaterEqualFunc::Execute(int, const TArgList& args, TValue& result) {
    CompareArgs(args, result, [](auto a, auto b) { return a >= b; });
}
void TLessEqualFunc::Execute(int, const TArgList& args, TValue& result) {
    CompareArgs(args, result, [](auto a, auto b) { return a <= b; });
}

void TNotFunc::Execute(int, const TArgList& args, TValue& result) { result.SetBoolean(!args.Boolean(0)); }

// Both operands are evaluated before the operator runs: no short circuit.
void TAndFunc::Execute(int, const TArgList& args, TValue& result) {
    const bool a = args.Boolean(0), b = args.Boolean(1);
    result.SetBoolean(a && b);
}
void TOrFunc::Execute(int, const TArgList& args, TValue& result) {
    const bool a = args.Boolean(0), b = args.Boolean(1);
    result.SetBoolean(a || b);
}
void TXorFunc::Execute(int, const TArgList& args, TValue& result) {
    const bool a = args.Boolean(0), b = args.Boolean(1);
    result.SetBoolean(a != b);
}

void TNegFunc::Execute(int, const TArgList& args, TValue& result) {
    std::optional<TValue> scratch;
    const TValue& a = ArgValue(args, 0, scratch);
    if (a.Kind() == TValueKind::Integer) result.SetInteger(FromBits(0u - Bits(a.AsInteger())));
    else result.SetFloat(-a.ToFloat());
}

void TAddFunc::Execute(int, const TArgList& args, TValue& result) { ArithmeticArgs(*this, TArith::Add, args, result); }
void TSubFunc::Execute(int, const TArgList& args, TValue& result) { ArithmeticArgs(*this, TArith::Sub, args, result); }
void TMulFunc::Execute(int, const TArgList& args, TValue& result) { ArithmeticArgs(*this, TArith::Mul, args, result); }

void TDivideFunc::Execute(int, const TArgList& args, TValue& result) {
    const double a = args.Float(0), b = args.Float(1);
    if (b == 0) {
        if (a == 0 || std::isnan(a)) throw ERTE("Invalid floating point operation");
        throw ERTE("Floating point division by zero");
    }
    result.SetFloat(Checked(a / b, a, b));
}

void TDivFunc::Execute(int, const TArgList& args, TValue& result) {
    const int32_t a = args.Integer(0), b = args.Integer(1);
    if (b == 0) throw ERTE("Division by zero");
    // The one quotient that does not fit wraps like every other integer result.
    result.SetInteger(b == -1 ? FromBits(0u - Bits(a)) : a / b);
}

void TModFunc::Execute(int, const TArgList& args, TValue& result) {
    const int32_t a = args.Integer(0), b = args.Integer(1);
    if (b == 0) throw ERTE("Division by zero");
    result.SetInteger(b == -1 ? 0 : a % b);
}

void TIncFunc::Execute(int pattern, const TArgList& args, TValue&) { Step(pattern, args, +1); }
void TDecFunc::Execute(int pattern, const TArgList& args, TValue&) { Step(pattern, args, -1); }

} // namespace qx
