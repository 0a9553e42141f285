#include "script/Function.h"

#include <algorithm>
#include <iostream>

#include "script/Lexer.h"
#include "script/ScriptError.h"

namespace qx {

std::string TypeListText(const std::vector<TTypeCode>& types) {
    std::string text = "(";
    for (size_t i = 0; i < types.size(); ++i) {
        if (i > 0) text += ", ";
        text += TypeText(types[i]);
    }
    if (!types.empty()) text += ')';
    return text;
}

std::string TypeListText(const TTypes& types) {
    std::vector<TTypeCode> list;
    for (size_t i = 0; i < types.Count(); ++i) list.push_back(types.Get(i));
    return TypeListText(list);
}

void TArgList::MissingArgument(size_t i) { throw ERTE("Argument " + std::to_string(i + 1) + " is missing"); }

TValue TArgList::Value(size_t i) const {
    TValue v;
    Required(i).Eval(v);
    return v;
}



std::string TArgList::String(size_t i) const { return Value(i).ToText(); }


void TArgList::Assign(size_t i, const TValue& value) const {
    TExpr& node = Required(i);
    if (node.Kind() != TExprKind::Var && node.Kind() != TExprKind::Array) {
        throw ERTE("Argument " + std::to_string(i + 1) + " is not a variable");
    }
    static_cast<TVarExpr&>(node).Assign(value);
}

TFunction::TFunction(std::string_view name, TTypeCode resultType)
    : name_(UpperCase(name)), resultType_(resultType) {}

TFunction::TFunction(std::string_view name, TTypes parameters, TTypeCode resultType)
    : name_(UpperCase(name)), resultType_(resultType) {
    patterns_.push_back(std::move(parameters));
}

namespace {

bool Fits(TTypeCode parameter, TTypeCode actual) {
    return (parameter & actual & stBaseMask) != 0 &&
           ((parameter & stPassMask) & (actual & stPassMask)) == (parameter & stPassMask);
}

} // namespace

std::string TFunction::Match(const TTypes& pattern, const std::vector<TTypeCode>& actual,
                             std::vector<TTypeCode>& passing) const {
    const size_t n = pattern.Count();
    size_t j = 0;
    passing.assign(actual.size(), 0);
    auto expects = [&](TTypeCode parameter, size_t i) {
        return "Funktion " + name_ + " expects type " + TypeText(parameter) + " instead of type " +
               TypeText(actual[i]) + " at argument " + std::to_string(i + 1);
    };
    auto notEnough = [&](size_t given) {
        return "Not enough arguments for function " + name_ + " (" + std::to_string(given) +
               " instead of " + std::to_string(n) + ").";
    };
    for (size_t i = 0; i < actual.size(); ++i) {
        if (j == n) return "Too many arguments for function " + name_ + "!";
        TTypeCode parameter = pattern.Get(j);
        if (!Fits(parameter & ~stOpen, actual[i])) {
            if (!(parameter & stOpen)) return expects(parameter, i);
            // An open parameter that this argument does not fit is finished.
            ++j;
            parameter = pattern.Get(j);
            if (!Fits(parameter & ~stOpen, actual[i])) return expects(parameter, i);
        }
        passing[i] = actual[i] & ((parameter & stPassMask) | stBaseMask);
        if (!(parameter & stOpen)) ++j;
    }
    if (j < n && !(pattern.Get(j) & stOpen)) return notEnough(j);
    if ((pattern.Get(j) & stOpen) && j + 1 < n) return notEnough(j + 1);
    return {};
}

void TFunction::BuildPlan(TFuncExpr& site) const {
    const size_t count = site.args_.size();
    site.passed_.resize(count);
    site.temps_.resize(count);
    site.plan_.assign(count, nullptr);
    for (size_t i = 0; i < count; ++i) {
        TExpr* node = site.args_[i].get();
        if (passUnevaluated_ || (site.passing_[i] & (stFunc | stVar)) || node->Kind() == TExprKind::Const) {
            site.passed_[i] = node;
            continue;
        }
        auto& temp = site.temps_[i];
        if (!temp) temp = std::make_unique<TConstExpr>(TValue(), node->Position());
        site.plan_[i] = temp.get();
        site.passed_[i] = temp.get();
    }
    site.handler_ = &GeneralCall;
    if (owner_ && owner_->SpecialisedCalls && builtin_ != TBuiltin::None) {
        if (TCallHandler handler = SpecialisedHandler(site)) site.handler_ = handler;
    }
}

int TFunction::Decide(TFuncExpr& site) {
    site.handler_ = &GeneralCall;
    const size_t count = site.args_.size();
    site.actual_.resize(count);
    for (size_t i = 0; i < count; ++i) site.actual_[i] = ActualType(*site.args_[i]);
    for (auto& watched : site.watched_) watched.seen = site.actual_[watched.index];
    site.cachedPattern_ = -1;
    if (patterns_.size() == 1) {
        std::string failure = Match(patterns_[0], site.actual_, site.passing_);
        if (!failure.empty()) throw ERTE(failure);
        site.cachedPattern_ = 0;
        return 0;
    }
    for (size_t p = 0; p < patterns_.size(); ++p) {
        if (Match(patterns_[p], site.actual_, site.passing_).empty()) {
            site.cachedPattern_ = static_cast<int>(p);
            return site.cachedPattern_;
        }
    }
    std::string patterns;
    for (size_t p = 0; p < patterns_.size(); ++p) {
        if (p > 0) patterns += "\n\r";
        patterns += TypeListText(patterns_[p]);
    }
    throw ERTE("The arguments don't fit to a parameter pattern:\n\rArguments: " + TypeListText(site.actual_) +
               "\n\rParameter patterns:\n\r" + patterns + "\n\rFunction: " + name_);
}

namespace {

struct TBusyGuard {
    bool& flag;
    explicit TBusyGuard(bool& f) : flag(f) { flag = true; }
    ~TBusyGuard() { flag = false; }
};

} // namespace

void TFunction::Call(TFuncExpr& site, TValue& result) { site.EvalCall(result); }

void TFunction::GeneralCall(TFuncExpr& site, TValue& result) { site.function_->CallCounted(site, result); }

void TFunction::CallCounted(TFuncExpr& site, TValue& result) {
    if (site.busy_) {
        // The same node called again from inside its own work (a host that
        // evaluates the tree it is part of): give it scratch space of its own.
        TFuncExpr inner(*this, site.Position());
        inner.args_.swap(site.args_);
        struct TSwapBack {
            TFuncExpr& a;
            TFuncExpr& b;
            ~TSwapBack() { a.args_.swap(b.args_); }
        } swapBack{inner, site};
        CallCounted(inner, result);
        return;
    }
    int pattern = site.cachedPattern_;
    if (pattern < 0 || !site.TypesUnchanged()) {
        pattern = Decide(site);
        BuildPlan(site);
        // A specialised path does this call's work too.
        if (site.handler_ != &GeneralCall) {
            site.handler_(site, result);
            return;
        }
    }
    TBusyGuard busy(site.busy_);

    const size_t count = site.args_.size();
    for (size_t i = 0; i < count; ++i) {
        TConstExpr* temp = site.plan_[i];
        if (!temp) continue;
        TExpr* node = site.args_[i].get();
        const TVariable* variable =
            node->Kind() == TExprKind::Var ? static_cast<TVarExpr*>(node)->Variable() : nullptr;
        if (variable && !(variable->Type & stVoid)) temp->Slot() = variable->Value;  // a plain read
        else node->Eval(temp->Slot());
        temp->Retype();
        if (temp->Constant().Kind() == TValueKind::Array) site.arrayInTemps_ = true;
    }

    result.Clear();
    Execute(pattern, TArgList(site.passed_.data(), count), result);
    if ((resultType_ & result.Type() & stBaseMask) == 0) {
        throw ERTE("Function " + name_ + " returns type " + TypeText(result.Type()) + " instead of " +
                   TypeText(resultType_));
    }
    // An array left in a scratch slot would make the next element write copy it.
    if (site.arrayInTemps_) {
        site.arrayInTemps_ = false;
        for (auto& temp : site.temps_)
            if (temp && temp->Constant().Kind() == TValueKind::Array) temp->Slot().Clear();
    }
    site.Pump();
}

TFuncs::TFuncs() { RegisterBuiltins(*this); }

TFuncs::~TFuncs() {
    const auto listeners = listeners_;
    listeners_.clear();
    for (TFuncsListener* listener : listeners) listener->FuncsDestroyed(*this);
}

TFunction& TFuncs::Add(std::unique_ptr<TFunction> function) {
    if (byName_.count(function->Name())) {
        throw std::runtime_error("A function with this name (\"" + function->Name() + "\") is already existing");
    }
    function->owner_ = this;
    TFunction& added = *function;
    byName_.emplace(added.Name(), &added);
    functions_.push_back(std::move(function));
    return added;
}

void TFuncs::Remove(TFunction& function) {
    auto it = std::find_if(functions_.begin(), functions_.end(),
                           [&](const auto& f) { return f.get() == &function; });
    if (it == functions_.end()) return;
    byName_.erase(function.Name());
    retired_.push_back(std::move(*it));
    functions_.erase(it);
}

TFunction* TFuncs::Find(std::string_view name) const {
    auto it = byName_.find(std::string(name));
    return it == byName_.end() ? nullptr : it->second;
}

void TFuncs::ShowMessage(const std::string& text) const {
    if (OnShowMessage) OnShowMessage(text);
    else std::cerr << text << "\n";
}

void TFuncs::AddListener(TFuncsListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TFuncs::RemoveListener(TFuncsListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

} // namespace qx
