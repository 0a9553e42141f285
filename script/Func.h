#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Object.h"
#include "script/Function.h"

namespace qx {

class TFunc;

// What a declaration text says: "Random( integer, integer ): integer".
struct TDeclaration {
    std::string Name;
    std::vector<TTypes> Patterns;
    TTypeCode ResultType = stVoid;
};

// Parses a declaration: a name, one or more parenthesised parameter lists
// separated by commas, and an optional ": type". ESyntaxError with positions
// inside the declaration text.
TDeclaration ParseDeclaration(std::string_view text);

// A registered host function: forwards its work to callbacks.
class TCompFunction : public TFunction {
public:
    TCompFunction(const TDeclaration& declaration, TObject* sender);
    void Execute(int pattern, const TArgList& args, TValue& result) override;

    TOnEvalEvent OnEval;
    TOnExEvalEvent OnExEval;
    TObject* Sender;
};

// A host's function component: set Declaration, then Funcs (which registers
// it), and OnEval or OnExEval. Destroying it unregisters the function.
class TFunc : public TObject, private TFuncsListener {
public:
    TFunc() = default;
    TFunc(std::string_view declaration, TOnEvalEvent onEval, TFuncs* funcs = nullptr);
    ~TFunc() override;
    TFunc(const TFunc&) = delete;
    TFunc& operator=(const TFunc&) = delete;

    const std::string& Declaration() const { return declaration_; }
    void SetDeclaration(std::string_view text);
    TFuncs* Funcs() const { return funcs_; }
    void SetFuncs(TFuncs* funcs);
    void SetOnEval(TOnEvalEvent onEval);
    void SetOnExEval(TOnExEvalEvent onExEval);

    const std::string& Name() const { return parsed_.Name; }
    TTypeCode ResultType() const { return parsed_.ResultType; }
    const std::vector<TTypes>& Patterns() const { return parsed_.Patterns; }
    TCompFunction* Registered() const { return registered_; }

private:
    void FuncsDestroyed(TFuncs& funcs) override;
    void Register();
    void Unregister();

    std::string declaration_;
    TDeclaration parsed_;
    TFuncs* funcs_ = nullptr;
    TCompFunction* registered_ = nullptr;
    TOnEvalEvent onEval_;
    TOnExEvalEvent onExEval_;
};

} // namespace qx
