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

// Operators that also compute two integers in place (see TIntegerOp).
#define QX_SCRIPT_INTEGER_OP(Class, Op)                                       \
    class Class : public TFunction {                                          \
    public:                                                                   \
        Class(std::string_view name, TTypeCode resultType) : TFunction(name, resultType) { \
            integerOp_ = TIntegerOp::Op;                                      \
        }                                                                     \
        void Execute(int pattern, const TArgList& args, TValue& result) override; \
    }

QX_SCRIPT_BUILTIN(TBeginFunc);
QX_SCRIPT_BUILTIN(TSetFunc);
QX_SCRIPT_BUILTIN(TArrayFunc);
QX_SCRIPT_BUILTIN(TTypeFunc);
QX_SCRIPT_BUILTIN(TIfFunc);
QX_SCRIPT_BUILTIN(TIfElseFunc);
QX_SCRIPT_BUILTIN(TForFunc);
QX_SCRIPT_INTEGER_OP(TGreaterFunc, Greater);
QX_SCRIPT_INTEGER_OP(TLessFunc, Less);
QX_SCRIPT_INTEGER_OP(TEqualFunc, Equal);
QX_SCRIPT_INTEGER_OP(TUnEqualFunc, UnEqual);
QX_SCRIPT_INTEGER_OP(TGreaterEqualFunc, GreaterEqual);
QX_SCRIPT_INTEGER_OP(TLessEqualFunc, LessEqual);
QX_SCRIPT_BUILTIN(TNotFunc);
QX_SCRIPT_BUILTIN(TAndFunc);
QX_SCRIPT_BUILTIN(TOrFunc);
QX_SCRIPT_BUILTIN(TXorFunc);
QX_SCRIPT_BUILTIN(TNegFunc);
QX_SCRIPT_INTEGER_OP(TAddFunc, Add);
QX_SCRIPT_INTEGER_OP(TSubFunc, Sub);
QX_SCRIPT_INTEGER_OP(TMulFunc, Mul);
QX_SCRIPT_BUILTIN(TDivideFunc);
QX_SCRIPT_BUILTIN(TDivFunc);
QX_SCRIPT_BUILTIN(TModFunc);
QX_SCRIPT_BUILTIN(TIncFunc);
QX_SCRIPT_BUILTIN(TDecFunc);
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
#undef QX_SCRIPT_INTEGER_OP

// WHILE and REPEAT read their condition anew on every pass, so they take it
// unevaluated whatever pattern fits.
class TWhileFunc : public TFunction {
public:
    TWhileFunc(std::string_view name, TTypeCode resultType) : TFunction(name, resultType) {
        passUnevaluated_ = true;
    }
    void Execute(int pattern, const TArgList& args, TValue& result) override;
};

class TRepeatFunc : public TFunction {
public:
    TRepeatFunc(std::string_view name, TTypeCode resultType) : TFunction(name, resultType) {
        passUnevaluated_ = true;
    }
    void Execute(int pattern, const TArgList& args, TValue& result) override;
};

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
