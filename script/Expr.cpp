#include "script/Expr.h"

#include <algorithm>

#include "script/Function.h"
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

void TVarExpr::Assign(const TValue& value) {
    const TTypeCode given = value.Type();
    if ((variable_->Type & stVoid) && !(variable_->Type & stArray)) {
        variable_->Value = value;
        variable_->Type = given | stVar;
    } else if (variable_->Value.Type() == given) {
        variable_->Value = value;
    } else {
        TypeMismatch(Name(), variable_->Type, given);
    }
}

TValue TVarExpr::Peek() { return variable_->Value; }

TArrayExpr::TArrayExpr(TVariable* variable, std::unique_ptr<TExpr> index, int32_t position)
    : TVarExpr(variable, position, TExprKind::Array), index_(std::move(index)) {}

size_t TArrayExpr::CheckedIndex(const TArray& array) {
    index_->Eval(indexValue_);
    const int32_t i = indexValue_.ToInteger();
    // Below zero is reported like any other index outside the array.
    if (i < 0 || static_cast<size_t>(i) >= array.size()) {
        throw ERTE("Array index out of bounds (" + Name() + "[" + std::to_string(i) + "])");
    }
    return static_cast<size_t>(i);
}

void TArrayExpr::Eval(TValue& out) {
    if (variable_->Type & stVoid) {
        index_->Eval(indexValue_);
        throw ERTE("Variable " + Name() + " is not defined.");
    }
    if (variable_->Value.Kind() != TValueKind::Array) throw ERTE("Variable " + Name() + " is not an array.");
    const TArray& array = variable_->Value.AsArray();
    const size_t i = CheckedIndex(array);
    if (array[i].IsEmpty()) {
        throw ERTE("Variable " + Name() + "[" + std::to_string(i) + "] is not defined.");
    }
    out = array[i];
}

void TArrayExpr::Assign(const TValue& value) {
    if (!(variable_->Type & stArray) || variable_->Value.Kind() != TValueKind::Array) {
        index_->Eval(indexValue_);
        throw ERTE("Variable " + Name() + " is not defined.");
    }
    const size_t i = CheckedIndex(variable_->Value.AsArray());
    const TTypeCode given = value.Type();
    if (value.Kind() == TValueKind::Array && NestingDepth(value, 1) > kMaxArrayNesting) {
        throw ERTE("Arrays nested too deeply");
    }
    if (variable_->Type & stVoid) {
        // The first element written fixes the element type of the whole array.
        variable_->Type = given | stVar | stArray;
    } else if ((given & variable_->Type & stBaseMask) == 0) {
        TypeMismatch(Name(), variable_->Value.AsArray()[i].Type(), given);
    }
    variable_->Value.MutableArray()[i] = value;
}

TValue TArrayExpr::Peek() {
    if (variable_->Value.Kind() != TValueKind::Array) return TValue();
    return variable_->Value.AsArray()[CheckedIndex(variable_->Value.AsArray())];
}

TFuncExpr::TFuncExpr(TFunction& function, int32_t position)
    : TExpr(TExprKind::Func, function.Name(), position), function_(&function),
      resultType_(function.ResultType()) {}

void TFuncExpr::AddArgument(std::unique_ptr<TExpr> argument) {
    if (argument->Kind() == TExprKind::Var || argument->Kind() == TExprKind::Array) {
        // The same flags ActualType adds for this kind of node.
        const TTypeCode flags = argument->Kind() == TExprKind::Array ? stVar | stArray : stVar;
        watched_.push_back({static_cast<TVarExpr&>(*argument).Variable(), flags, static_cast<uint32_t>(args_.size())});
    }
    args_.push_back(std::move(argument));
    cachedPattern_ = -1;
}

void TFuncExpr::Eval(TValue& out) {
    // The innermost call that fails names the position.
    try {
        function_->Call(*this, out);
    } catch (const ERuntimeError&) {
        throw;
    } catch (const EStop&) {
        throw ERuntimeError("Script stopped.", Position());
    } catch (const std::exception& error) {
        throw ERuntimeError(error.what(), Position());
    }
}

} // namespace qx
