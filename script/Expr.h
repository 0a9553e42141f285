#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/ScriptValue.h"

namespace qx {

class TFunction;
class TFuncExpr;
class TFuncs;
class TFusedExpr;

// What a call site runs once it has been counted: the general path of its
// function, or a path specialised for the function and its argument kinds.
using TCallHandler = void (*)(TFuncExpr& site, TValue& out);

// A named item of a script: a constant or a variable. Names are upper case.
class TDataItem {
public:
    TDataItem(std::string name, TValue value, TTypeCode type);
    virtual ~TDataItem() = default;
    const std::string& Name() const { return name_; }
    TValue Value;
    TTypeCode Type;

private:
    std::string name_;
};

class TConstant : public TDataItem {
public:
    TConstant(std::string name, TValue value);
};

// A variable starts as VAR plus VOID: the VOID flag says it was never assigned.
class TVariable : public TDataItem {
public:
    explicit TVariable(std::string name);
};

enum class TExprKind : uint8_t { Const, Var, Array, Func };

// A node of a compiled script. Every statement and operator is a TFuncExpr;
// constants, variables and array elements are the leaves.
class TExpr {
public:
    TExpr(TExprKind kind, std::string name, int32_t position)
        : kind_(kind), name_(std::move(name)), position_(position) {}
    virtual ~TExpr() = default;
    TExpr(const TExpr&) = delete;
    TExpr& operator=(const TExpr&) = delete;

    TExprKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    int32_t Position() const { return position_; }
    void SetPosition(int32_t position) { position_ = position; }

    virtual TTypeCode GetType() const = 0;
    virtual void Eval(TValue& out) = 0;
    TValue Value() {
        TValue v;
        Eval(v);
        return v;
    }

private:
    TExprKind kind_;
    std::string name_;
    int32_t position_;
};


class TConstExpr : public TExpr {
public:
    TConstExpr(TValue value, int32_t position);
    TTypeCode GetType() const override { return type_; }
    void Eval(TValue& out) override { out = value_; }
    const TValue& Constant() const { return value_; }
    void Set(const TValue& value) {
        value_ = value;
        type_ = value_.Type();
    }
    TValue& Slot() { return value_; }  // filled in place, then Retype()
    void Retype() { type_ = value_.Type(); }

private:
    TValue value_;
    TTypeCode type_;
};

class TVarExpr : public TExpr {
public:
    TVarExpr(TVariable* variable, int32_t position, TExprKind kind = TExprKind::Var);
    TTypeCode GetType() const override { return variable_->Type; }
    void Eval(TValue& out) override;
    virtual void Assign(const TValue& value);
    // Assign for a plain variable node, taking the value over.
    void AssignVariable(TValue&& value) {
        const TTypeCode given = value.Type();
        if ((variable_->Type & stVoid) && !(variable_->Type & stArray)) {
            variable_->Value = std::move(value);
            variable_->Type = given | stVar;
        } else if (variable_->Value.Type() == given) {
            variable_->Value = std::move(value);
        } else {
            TypeMismatch(given);
        }
    }
    // The stored value without the "not defined" check (for Type()).
    virtual TValue Peek();
    TVariable* Variable() const { return variable_; }

protected:
    [[noreturn]] void TypeMismatch(TTypeCode given) const;

    TVariable* variable_;
};

class TArrayExpr : public TVarExpr {
public:
    TArrayExpr(TVariable* variable, std::unique_ptr<TExpr> index, int32_t position);
    void Eval(TValue& out) override;
    void Assign(const TValue& value) override;
    TValue Peek() override;
    TExpr& Index() const { return *index_; }

private:
    // The element's index, checked against the bounds of the array the
    // variable holds once the index is known (evaluating the index may
    // change the variable).
    size_t CheckedIndex();

    std::unique_ptr<TExpr> index_;
};

// A call of a registered function with its owned argument nodes. The node
// remembers what its last call decided (argument types, matching pattern, and
// the handler that runs calls with those types), so a loop that calls with
// the same types goes straight to its work.
class TFuncExpr : public TExpr {
public:
    TFuncExpr(TFunction& function, int32_t position);
    ~TFuncExpr() override;
    TTypeCode GetType() const override { return resultType_; }
    void Eval(TValue& out) override;
    // Eval without the virtual dispatch, for callers that know the kind:
    // counts the call, runs it and reports a failure at this node.
    [[gnu::always_inline]] inline void EvalCall(TValue& out);

    TFunction& Function() const { return *function_; }
    void AddArgument(std::unique_ptr<TExpr> argument);
    size_t ArgumentCount() const { return args_.size(); }
    TExpr& Argument(size_t i) const { return *args_[i]; }
    TExpr* ArgumentNode(size_t i) const { return args_[i].get(); }

    // Only variables change their type; the rest was seen when the pattern
    // was decided. True while every variable argument has the type it had.
    bool TypesUnchanged() const {
        for (const TWatchedVariable& w : watched_)
            if ((w.variable->Type | w.flags) != w.seen) return false;
        return true;
    }
    // The host's message pump, after a call that succeeded.
    inline void Pump() const;

    // The compiled form of the pure tree this call is the root of, if any.
    TFusedExpr* Fused() const { return fused_.get(); }
    void SetFused(std::unique_ptr<TFusedExpr> fused);
    void SetHandler(TCallHandler handler) { handler_ = handler; }

private:
    friend class TFunction;

    // Stop request and call budget, checked as the call begins.
    inline void Enter() const;
    [[noreturn]] void Stop() const;
    // The exception in flight, as the run-time error of this call.
    [[noreturn]] void RethrowHere() const;

    TCallHandler handler_;
    TFunction* function_;
    TFuncs* owner_;  // the function's registry, fixed once it is registered
    TTypeCode resultType_;
    std::vector<std::unique_ptr<TExpr>> args_;
    // Call-site cache and scratch space, reused by every call.
    std::vector<TTypeCode> actual_;
    std::vector<TTypeCode> passing_;
    int cachedPattern_ = -1;
    std::vector<std::unique_ptr<TConstExpr>> temps_;
    std::vector<TExpr*> passed_;
    // Per argument: the scratch constant it is evaluated into, or nullptr when
    // the node itself is passed. Rebuilt with every new pattern decision.
    std::vector<TConstExpr*> plan_;
    bool busy_ = false;
    // Per variable argument: its variable, the pass flags its node adds, its
    // index and the type the pattern was decided for.
    struct TWatchedVariable {
        const TVariable* variable;
        TTypeCode flags;
        uint32_t index;
        TTypeCode seen;
    };
    std::vector<TWatchedVariable> watched_;
    bool arrayInTemps_ = false;
    std::unique_ptr<TFusedExpr> fused_;
};

// The type an argument node shows to a parameter pattern: its type plus VAR
// for variables and elements, ARRAY for elements, FUNC for calls.
inline TTypeCode ActualType(const TExpr& node) {
    switch (node.Kind()) {
    case TExprKind::Const: return static_cast<const TConstExpr&>(node).TConstExpr::GetType();
    case TExprKind::Var: return static_cast<const TVarExpr&>(node).Variable()->Type | stVar;
    case TExprKind::Array: return static_cast<const TVarExpr&>(node).Variable()->Type | stVar | stArray;
    case TExprKind::Func: return static_cast<const TFuncExpr&>(node).TFuncExpr::GetType() | stFunc;
    }
    return node.GetType();
}

} // namespace qx
