#include <cmath>

#include "script/Builtins.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

template <class Op>
void CompareArgs(const TArgList& args, TValue& result, Op op) {
    std::optional<TValue> sa, sb;
    const TValue& a = ArgValue(args, 0, sa);
    const TValue& b = ArgValue(args, 1, sb);
    result.SetBoolean(CompareValues(a, b, op));
}

double Checked(double value, double a, double b) {
    if (std::isinf(value) && std::isfinite(a) && std::isfinite(b)) throw ERTE("Floating point overflow");
    if (std::isnan(value) && !std::isnan(a) && !std::isnan(b)) throw ERTE("Invalid floating point operation");
    return value;
}

uint32_t Bits(int32_t v) { return static_cast<uint32_t>(v); }
int32_t FromBits(uint32_t v) { return static_cast<int32_t>(v); }

void ArithmeticArgs(const TFunction& self, TArith op, const TArgList& args, TValue& result) {
    std::optional<TValue> sa, sb;
    const TValue& a = ArgValue(args, 0, sa);
    const TValue& b = ArgValue(args, 1, sb);
    Arithmetic(self, op, a, b, result);
}

void Step(const TFunction& self, int pattern, const TArgList& args, int sign) {
    TVarExpr& target = VarArg(args, 0);
    std::optional<TValue> scratch;
    StepVariable(self, target, pattern == 1 ? ArgValue(args, 1, scratch) : TValue(1), sign);
}

} // namespace

void Arithmetic(const TFunction& self, TArith op, const TValue& a, const TValue& b, TValue& result) {
    if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer) {
        const uint32_t x = Bits(a.AsInteger()), y = Bits(b.AsInteger());
        switch (op) {
        case TArith::Add: result.SetInteger(FromBits(x + y)); return;
        case TArith::Sub: result.SetInteger(FromBits(x - y)); return;
        case TArith::Mul: result.SetInteger(FromBits(x * y)); return;
        }
    }
    if (op == TArith::Add && a.Kind() == TValueKind::String && b.Kind() == TValueKind::String) {
        CheckLength(self, a.AsString().size() + b.AsString().size());
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

double Divide(double a, double b) {
    if (b == 0) {
        if (a == 0 || std::isnan(a)) throw ERTE("Invalid floating point operation");
        throw ERTE("Floating point division by zero");
    }
    return Checked(a / b, a, b);
}

int32_t IntegerDiv(int32_t a, int32_t b) {
    if (b == 0) throw ERTE("Division by zero");
    // The one quotient that does not fit wraps like every other integer result.
    return b == -1 ? FromBits(0u - Bits(a)) : a / b;
}

int32_t IntegerMod(int32_t a, int32_t b) {
    if (b == 0) throw ERTE("Division by zero");
    return b == -1 ? 0 : a % b;
}

void StepVariable(const TFunction& self, TVarExpr& target, const TValue& amount, int sign) {
    TValue current;
    target.Eval(current);
    TValue sum;
    Arithmetic(self, sign > 0 ? TArith::Add : TArith::Sub, current, amount, sum);
    target.Assign(sum);
}

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
    result.SetFloat(Divide(a, b));
}

void TDivFunc::Execute(int, const TArgList& args, TValue& result) {
    const int32_t a = args.Integer(0), b = args.Integer(1);
    result.SetInteger(IntegerDiv(a, b));
}

void TModFunc::Execute(int, const TArgList& args, TValue& result) {
    const int32_t a = args.Integer(0), b = args.Integer(1);
    result.SetInteger(IntegerMod(a, b));
}

void TIncFunc::Execute(int pattern, const TArgList& args, TValue&) { Step(*this, pattern, args, +1); }
void TDecFunc::Execute(int pattern, const TArgList& args, TValue&) { Step(*this, pattern, args, -1); }

} // namespace qx
