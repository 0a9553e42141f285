#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script/Function.h"
#include "script/ScriptError.h"

namespace qx {

// The built-in functions every registry starts with: statements, operators
// and the library. Each overrides Execute; RegisterBuiltins adds them.
#define QX_SCRIPT_BUILTIN(Class)                                              \
    class Class : public TFunction {                                          \
    public:                                                                   \
        using TFunction::TFunction;                                           \
        void Execute(int pattern, const TArgList& args, TValue& result) override; \
    }

// Built-ins whose calls also have specialised paths (CallHandlers.cpp); the
// path gives what Execute gives.
#define QX_SCRIPT_SPECIALISED(Class, Tag)                                     \
    class Class : public TFunction {                                          \
    public:                                                                   \
        Class(std::string_view name, TTypeCode resultType) : TFunction(name, resultType) { \
            builtin_ = TBuiltin::Tag;                                         \
        }                                                                     \
        void Execute(int pattern, const TArgList& args, TValue& result) override; \
    }

QX_SCRIPT_SPECIALISED(TBeginFunc, Begin);
QX_SCRIPT_SPECIALISED(TSetFunc, Set);
QX_SCRIPT_BUILTIN(TArrayFunc);
QX_SCRIPT_BUILTIN(TTypeFunc);
QX_SCRIPT_SPECIALISED(TIfFunc, If);
QX_SCRIPT_SPECIALISED(TIfElseFunc, IfElse);
QX_SCRIPT_SPECIALISED(TForFunc, For);
QX_SCRIPT_SPECIALISED(TGreaterFunc, Greater);
QX_SCRIPT_SPECIALISED(TLessFunc, Less);
QX_SCRIPT_SPECIALISED(TEqualFunc, Equal);
QX_SCRIPT_SPECIALISED(TUnEqualFunc, UnEqual);
QX_SCRIPT_SPECIALISED(TGreaterEqualFunc, GreaterEqual);
QX_SCRIPT_SPECIALISED(TLessEqualFunc, LessEqual);
QX_SCRIPT_SPECIALISED(TNotFunc, Not);
QX_SCRIPT_SPECIALISED(TAndFunc, And);
QX_SCRIPT_SPECIALISED(TOrFunc, Or);
QX_SCRIPT_SPECIALISED(TXorFunc, Xor);
QX_SCRIPT_SPECIALISED(TNegFunc, Neg);
QX_SCRIPT_SPECIALISED(TAddFunc, Add);
QX_SCRIPT_SPECIALISED(TSubFunc, Sub);
QX_SCRIPT_SPECIALISED(TMulFunc, Mul);
QX_SCRIPT_SPECIALISED(TDivideFunc, Divide);
QX_SCRIPT_SPECIALISED(TDivFunc, Div);
QX_SCRIPT_SPECIALISED(TModFunc, Mod);
QX_SCRIPT_SPECIALISED(TIncFunc, Inc);
QX_SCRIPT_SPECIALISED(TDecFunc, Dec);
QX_SCRIPT_BUILTIN(TRoundFunc);
QX_SCRIPT_BUILTIN(TTruncFunc);
QX_SCRIPT_BUILTIN(TIntFunc);
QX_SCRIPT_BUILTIN(TFracFunc);
QX_SCRIPT_BUILTIN(TLengthFunc);
QX_SCRIPT_BUILTIN(TInsertFunc);
QX_SCRIPT_BUILTIN(TDeleteFunc);
QX_SCRIPT_BUILTIN(TCopyFunc);
QX_SCRIPT_BUILTIN(TPosFunc);
QX_SCRIPT_BUILTIN(TStrToIntFunc);
QX_SCRIPT_BUILTIN(TIntToStrFunc);
QX_SCRIPT_BUILTIN(TFormatFunc);
QX_SCRIPT_BUILTIN(TNowFunc);
QX_SCRIPT_BUILTIN(TFormatDateTimeFunc);
QX_SCRIPT_BUILTIN(TCopyrightFunc);

#undef QX_SCRIPT_BUILTIN
#undef QX_SCRIPT_SPECIALISED

// WHILE and REPEAT read their condition anew on every pass, so they take it
// unevaluated whatever pattern fits.
class TWhileFunc : public TFunction {
public:
    TWhileFunc(std::string_view name, TTypeCode resultType) : TFunction(name, resultType) {
        passUnevaluated_ = true;
        builtin_ = TBuiltin::While;
    }
    void Execute(int pattern, const TArgList& args, TValue& result) override;
};

class TRepeatFunc : public TFunction {
public:
    TRepeatFunc(std::string_view name, TTypeCode resultType) : TFunction(name, resultType) {
        passUnevaluated_ = true;
        builtin_ = TBuiltin::Repeat;
    }
    void Execute(int pattern, const TArgList& args, TValue& result) override;
};

// The work of the operators on two values, shared by Execute and the
// specialised paths.
enum class TArith { Add, Sub, Mul };
// Integer operands wrap in 32 bits; otherwise the operands are reals (two
// texts are joined by Add, within the registry's length limit).
void Arithmetic(const TFunction& self, TArith op, const TValue& a, const TValue& b, TValue& result);
// Comparison by the value rules: two integers as integers, two strings byte by
// byte, two booleans with false below true, any other pair as numbers.
template <class Op>
bool CompareValues(const TValue& a, const TValue& b, Op op) {
    if (a.Kind() == TValueKind::Integer && b.Kind() == TValueKind::Integer) return op(a.AsInteger(), b.AsInteger());
    if (a.Kind() == TValueKind::String && b.Kind() == TValueKind::String)
        return op(a.AsString().compare(b.AsString()), 0);
    if (a.Kind() == TValueKind::Boolean && b.Kind() == TValueKind::Boolean)
        return op(static_cast<int>(a.AsBoolean()), static_cast<int>(b.AsBoolean()));
    return op(a.ToFloat(), b.ToFloat());
}
// a / b as a real, with the platform's errors for zero and overflow.
double Divide(double a, double b);
int32_t IntegerDiv(int32_t a, int32_t b);
int32_t IntegerMod(int32_t a, int32_t b);
// inc and dec: target := target + (or -) amount, through the target's node.
void StepVariable(const TFunction& self, TVarExpr& target, const TValue& amount, int sign);

// The value of argument I without copying it when it is a constant node (as
// every evaluated argument is); Scratch only comes to life for other nodes.
const TValue& EvalArgValue(const TArgList& args, size_t i, std::optional<TValue>& scratch);
inline const TValue& ArgValue(const TArgList& args, size_t i, std::optional<TValue>& scratch) {
    TExpr* node = args.Item(i);
    if (node && node->Kind() == TExprKind::Const) return static_cast<TConstExpr*>(node)->Constant();
    return EvalArgValue(args, i, scratch);
}

// Argument I as the variable (or element) it names.
TVarExpr& VarArg(const TArgList& args, size_t i);

// Every pass of a loop counts like a call: the stop request and the call
// budget are checked, so even an empty endless loop ends.
void LoopPass(const TFunction& loop);

// ERTE "String too long" when a text built by Function would pass the
// registry's limit.
void CheckLength(const TFunction& function, size_t length);

// The picture languages of format and formatdatetime.
std::string FormatValues(std::string_view format, const TValue* values, size_t count);
std::string FormatOne(std::string_view piece, const TValue& value);
std::string FormatDateTime(std::string_view picture, double dateTime);
// The current local time as days since 30 December 1899.
double NowAsDateTime();

} // namespace qx
