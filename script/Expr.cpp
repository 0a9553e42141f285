#include "script/Expr.h"

#include <algorithm>

#include "script/Function.h"
#include "script/FusedExpr.h"
#include "script/ScriptError.h"

namespace qx {

TDataItem::TDataItem(std::string name, TValue value, TTypeCode type)
    : Value(std::move(value)), Type(type), name_(std::move(name)) {}

TConstant::TConstant(std::string name, TValue value)
    : TDataItem(std::move(name), std::move(value), stVoid) {
    Type = Value.Type();
}

TVariable::TVariable(std::string name) : TDataItem(std::move(name), TValue(), stVar | stVoid) {}

TConstExpr::TConstExpr(TValue value, int32_t position)
    : TExpr(TExprKind::Const, std::string(), position), value_(std::move(value)), type_(value_.Type()) {}

TVarExpr::TVarExpr(TVariable* variable, int32_t position, TExprKind kind)
    : TExpr(kind, variable->Name(), position), variable_(variable) {}

void TVarExpr::Eval(TValue& out) {
    if (variable_->Type & stVoid) throw ERuntimeError("Variable " + Name() + " is not defined.", Position());
    out = variable_->Value;
}

namespace {

// Arrays may hold arrays; how deep, is bounded so that copying, freeing and
// printing them never recurses without end.
constexpr int kMaxArrayNesting = 64;

int NestingDepth(const TValue& value, int depth) {
    if (value.Kind() != TValueKind::Array || depth > kMaxArrayNesting) return depth;
    int deepest = depth + 1;
    for (const TValue& element : value.AsArray())
        if (element.Kind() == TValueKind::Array) deepest = std::max(deepest, NestingDepth(element, depth + 1));
    return deepest;
}

[[noreturn]] void TypeMismatch(const std::string& name, TTypeCode expected, TTypeCode given) {
    throw ERTE("Variable " + name + " expects type " + TypeText(expected) + " instead of type " +
               TypeText(given) + ".");
}

} // namespace

void TVarExpr::TypeMismatch(TTypeCode given) const { qx::TypeMismatch(Name(), variable_->Type, given); }

void TVarExpr::Assign(const TValue& value) {
    const TTypeCode given = value.Type();
    if ((variable_->Type & stVoid) && !(variable_->Type & stArray)) {
        variable_->Value = value;
        variable_->Type = given | stVar;
    } else if (variable_->Value.Type() == given) {
        variable_->Value = value;
    } else {
        TypeMismatch(given);
    }
}

TValue TVarExpr::Peek() { return variable_->Value; }

TArrayExpr::TArrayExpr(TVariable* variable, std::unique_ptr<TExpr> index, int32_t position)
    : TVarExpr(variable, position, TExprKind::Array), index_(std::move(index)) {}

size_t TArrayExpr::CheckedIndex() {
    int32_t i;
    const TExpr& index = *index_;
    const TVariable* plain =
        index.Kind() == TExprKind::Var ? static_cast<const TVarExpr&>(index).Variable() : nullptr;
    if (plain && plain->Value.Kind() == TValueKind::Integer && !(plain->Type & stVoid)) {
        i = plain->Value.AsInteger();
    } else if (index.Kind() == TExprKind::Const &&
               static_cast<const TConstExpr&>(index).Constant().Kind() == TValueKind::Integer) {
        i = static_cast<const TConstExpr&>(index).Constant().AsInteger();
    } else {
        TValue value;
        index_->Eval(value);
        i = value.ToInteger();
    }
    // The index may have been computed by a host function that changed the
    // variable: look at what it holds now.
    if (variable_->Value.Kind() != TValueKind::Array) throw ERTE("Variable " + Name() + " is not an array.");
    // Below zero is reported like any other index outside the array.
    if (i < 0 || static_cast<size_t>(i) >= variable_->Value.AsArray().size()) {
        throw ERTE("Array index out of bounds (" + Name() + "[" + std::to_string(i) + "])");
    }
    return static_cast<size_t>(i);
}

void TArrayExpr::Eval(TValue& out) {
    if (variable_->Type & stVoid) {
        TValue ignored;
        index_->Eval(ignored);
        throw ERTE("Variable " + Name() + " is not defined.");
    }
    if (variable_->Value.Kind() != TValueKind::Array) throw ERTE("Variable " + Name() + " is not an array.");
    const size_t i = CheckedIndex();
    const TValue& element = variable_->Value.AsArray()[i];
    if (element.IsEmpty()) {
        throw ERTE("Variable " + Name() + "[" + std::to_string(i) + "] is not defined.");
    }
    out = element;
}

void TArrayExpr::Assign(const TValue& value) {
    if (!(variable_->Type & stArray) || variable_->Value.Kind() != TValueKind::Array) {
        TValue ignored;
        index_->Eval(ignored);
        throw ERTE("Variable " + Name() + " is not defined.");
    }
    const size_t i = CheckedIndex();
    const TTypeCode given = value.Type();
    if (value.Kind() == TValueKind::Array && NestingDepth(value, 1) > kMaxArrayNesting) {
        throw ERTE("Arrays nested too deeply");
    }
    if (variable_->Type & stVoid) {
        // The first element written fixes the element type of the whole array.
        variable_->Type = given | stVar | stArray;
    } else if ((given & variable_->Type & stBaseMask) == 0) {
        qx::TypeMismatch(Name(), variable_->Value.AsArray()[i].Type(), given);
    }
    variable_->Value.MutableArray()[i] = value;
}

TValue TArrayExpr::Peek() {
    if (variable_->Value.Kind() != TValueKind::Array) return TValue();
    const size_t i = CheckedIndex();
    return variable_->Value.AsArray()[i];
}

TFuncExpr::TFuncExpr(TFunction& function, int32_t position)
    : TExpr(TExprKind::Func, function.Name(), position), handler_(&TFunction::GeneralCall),
      function_(&function), owner_(function.Owner()), resultType_(function.ResultType()) {}

TFuncExpr::~TFuncExpr() = default;

void TFuncExpr::SetFused(std::unique_ptr<TFusedExpr> fused) { fused_ = std::move(fused); }

void TFuncExpr::AddArgument(std::unique_ptr<TExpr> argument) {
    if (argument->Kind() == TExprKind::Var || argument->Kind() == TExprKind::Array) {
        // The same flags ActualType adds for this kind of node.
        const TTypeCode flags = argument->Kind() == TExprKind::Array ? stVar | stArray : stVar;
        watched_.push_back(
            {static_cast<TVarExpr&>(*argument).Variable(), flags, static_cast<uint32_t>(args_.size()), 0});
    }
    args_.push_back(std::move(argument));
    cachedPattern_ = -1;
    handler_ = &TFunction::GeneralCall;
    fused_.reset();
}

void TFuncExpr::Eval(TValue& out) { EvalCall(out); }

void TFuncExpr::Stop() const {
    owner_->StopRequested = true;
    throw EStop();
}

void TFuncExpr::RethrowHere() const {
    // The innermost call that fails names the position.
    try {
        throw;
    } catch (const ERuntimeError&) {
        throw;
    } catch (const EStop&) {
        throw ERuntimeError("Script stopped.", Position());
    } catch (const std::exception& error) {
        throw ERuntimeError(error.what(), Position());
    }
}

} // namespace qx
