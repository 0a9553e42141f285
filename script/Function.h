#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Object.h"
#include "script/Expr.h"
#include "script/ScriptValue.h"

namespace qx {

class TFuncs;

// A growable list of type codes: one parameter pattern. Reading outside the
// list gives VOID (1); writing outside it is ignored.
class TTypes {
public:
    TTypes() = default;
    TTypes(std::initializer_list<TTypeCode> types) : items_(types) {}
    TTypeCode Get(size_t i) const { return i < items_.size() ? items_[i] : stVoid; }
    void Set(size_t i, TTypeCode type) {
        if (i < items_.size()) items_[i] = type;
    }
    void Add(TTypeCode type) { items_.push_back(type); }
    size_t Count() const { return items_.size(); }
    bool operator==(const TTypes&) const = default;

private:
    std::vector<TTypeCode> items_;
};

// "(INTEGER, STRING)"; an empty list reads "(".
std::string TypeListText(const std::vector<TTypeCode>& types);
std::string TypeListText(const TTypes& types);

// The argument nodes of one call, handed to a function's work. Item(i) is the
// node (nullptr outside the list); the helpers evaluate and convert it.
class TArgList {
public:
    TArgList(TExpr* const* items, size_t count) : items_(items), count_(count) {}
    size_t Count() const { return count_; }
    TExpr* Item(size_t i) const { return i < count_ ? items_[i] : nullptr; }

    // Evaluate argument i (ERTE when there is none).
    void Eval(size_t i, TValue& out) const { Required(i).Eval(out); }
    TValue Value(size_t i) const;
    int32_t Integer(size_t i) const {
        const TExpr& node = Required(i);
        return node.Kind() == TExprKind::Const ? static_cast<const TConstExpr&>(node).Constant().ToInteger()
                                               : Value(i).ToInteger();
    }
    double Float(size_t i) const {
        const TExpr& node = Required(i);
        return node.Kind() == TExprKind::Const ? static_cast<const TConstExpr&>(node).Constant().ToFloat()
                                               : Value(i).ToFloat();
    }
    std::string String(size_t i) const;
    bool Boolean(size_t i) const {
        const TExpr& node = Required(i);
        return node.Kind() == TExprKind::Const ? static_cast<const TConstExpr&>(node).Constant().ToBoolean()
                                               : Value(i).ToBoolean();
    }
    // Writes through a VAR argument (ERTE when argument i is not a variable).
    void Assign(size_t i, const TValue& value) const;

private:
    TExpr& Required(size_t i) const {
        if (i >= count_) MissingArgument(i);
        return *items_[i];
    }
    [[noreturn]] static void MissingArgument(size_t i);

    TExpr* const* items_;
    size_t count_;
};

// The built-ins whose calls have specialised paths (see CallHandlers.cpp).
enum class TBuiltin : uint8_t {
    None, Begin, Set, If, IfElse, While, Repeat, For,
    Greater, Less, Equal, UnEqual, GreaterEqual, LessEqual,
    Not, And, Or, Xor, Neg, Add, Sub, Mul, Divide, Div, Mod, Inc, Dec
};

// A named function of a registry: a statement, an operator, a built-in or a
// host function. Its arguments are checked against its patterns at every call.
class TFunction {
public:
    TFunction(std::string_view name, TTypeCode resultType);
    TFunction(std::string_view name, TTypes parameters, TTypeCode resultType);
    virtual ~TFunction() = default;
    TFunction(const TFunction&) = delete;
    TFunction& operator=(const TFunction&) = delete;

    const std::string& Name() const { return name_; }
    TTypeCode ResultType() const { return resultType_; }
    const std::vector<TTypes>& Patterns() const { return patterns_; }
    void AddPattern(TTypes pattern) { patterns_.push_back(std::move(pattern)); }
    TFuncs* Owner() const { return owner_; }
    TBuiltin Builtin() const { return builtin_; }

    // Counts, checks, passes and runs the call of Site; the result goes to
    // Result. The same as evaluating the site.
    void Call(TFuncExpr& site, TValue& result);
    // Everything a call does once it has been counted: the pattern decision
    // (re-made when a variable argument changed its type), the arguments, the
    // work, the result check and the message pump.
    static void GeneralCall(TFuncExpr& site, TValue& result);
    // Matches actual argument types against one pattern; on success fills
    // Passing and returns an empty text, else returns the failure message.
    std::string Match(const TTypes& pattern, const std::vector<TTypeCode>& actual,
                      std::vector<TTypeCode>& passing) const;

    virtual void Execute(int pattern, const TArgList& args, TValue& result) = 0;

protected:
    // WHILE and REPEAT take their condition as a node whatever pattern fits.
    bool passUnevaluated_ = false;
    // Set by the built-ins that have specialised call paths.
    TBuiltin builtin_ = TBuiltin::None;

private:
    friend class TFuncs;
    void CallCounted(TFuncExpr& site, TValue& result);
    int Decide(TFuncExpr& site);
    void BuildPlan(TFuncExpr& site) const;

    TFuncs* owner_ = nullptr;
    std::string name_;
    TTypeCode resultType_;
    std::vector<TTypes> patterns_;
};

// The specialised path for a call site whose pattern was just decided, or
// nullptr when its calls take the general path. The root of a pure tree of
// operators also gets its compiled form (TFusedExpr).
TCallHandler SpecialisedHandler(TFuncExpr& site);

// Told when a registry goes away, so nothing keeps calling into it.
class TFuncsListener {
public:
    virtual ~TFuncsListener() = default;
    virtual void FuncsDestroyed(TFuncs& funcs) = 0;
};

using TOnEvalEvent = std::function<void(TObject* sender, const TArgList& args, TValue& result)>;
using TOnExEvalEvent =
    std::function<void(TObject* sender, int pattern, const TArgList& args, TValue& result)>;

// The registry of functions a script resolves its names against. It holds the
// built-ins from the start; hosts add their own by declaration.
class TFuncs : public TObject {
public:
    TFuncs();
    ~TFuncs() override;
    TFuncs(const TFuncs&) = delete;
    TFuncs& operator=(const TFuncs&) = delete;

    // Raises when a function of that name is registered already.
    TFunction& Add(std::unique_ptr<TFunction> function);
    // Unregisters. Compiled scripts may still point at it, so it is kept
    // (unable to run) until the registry goes away.
    void Remove(TFunction& function);
    // Exact match on the upper-case name; nullptr when none.
    TFunction* Find(std::string_view name) const;
    size_t Count() const { return functions_.size(); }
    TFunction& Function(size_t i) const { return *functions_[i]; }

    // Registers a host function from its declaration text, e.g.
    // "GetStarSystemX( integer ): integer".
    TFunction& Declare(std::string_view declaration, TOnEvalEvent onEval, TObject* sender = nullptr);
    TFunction& DeclareEx(std::string_view declaration, TOnExEvalEvent onExEval, TObject* sender = nullptr);

    bool StopRequested = false;
    // Calls of the built-in statements and operators take paths specialised
    // for their argument kinds; off, every call takes the general path (the
    // reference the specialised paths are checked against). Either way a
    // script gives the same results, errors, call counts and pumps.
    bool SpecialisedCalls = true;
    // Stops a run after this many function calls with "Script stopped."; 0 for
    // no limit. The count restarts with every Compile and Run.
    uint64_t CallBudget = 0;
    uint64_t CallCount = 0;
    // Limits that keep a runaway script from taking all memory: the largest
    // array SetArray makes and the longest text a string operation builds.
    int32_t MaxArraySize = 1000000;
    size_t MaxStringLength = size_t{64} << 20;
    // Runs after every function call (the window's message pump); unset when
    // headless.
    std::function<void()> OnProcessMessages;
    // How "copyright" and scripts without exceptions show a message; stderr
    // when unset.
    std::function<void(const std::string&)> OnShowMessage;
    void ShowMessage(const std::string& text) const;

    void AddListener(TFuncsListener* listener);
    void RemoveListener(TFuncsListener* listener);

private:
    std::vector<std::unique_ptr<TFunction>> functions_;
    std::unordered_map<std::string, TFunction*> byName_;
    std::vector<std::unique_ptr<TFunction>> retired_;
    std::vector<TFuncsListener*> listeners_;
};

void RegisterBuiltins(TFuncs& funcs);

inline void TFuncExpr::Enter() const {
    if (TFuncs* owner = owner_) {
        if (owner->StopRequested || (owner->CallBudget != 0 && ++owner->CallCount > owner->CallBudget)) Stop();
    }
}

[[gnu::always_inline]] inline void TFuncExpr::EvalCall(TValue& out) {
    try {
        Enter();
        handler_(*this, out);
    } catch (...) {
        RethrowHere();
    }
}

inline void TFuncExpr::Pump() const {
    if (TFuncs* owner = owner_; owner && owner->OnProcessMessages) owner->OnProcessMessages();
}

} // namespace qx
