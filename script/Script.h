#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Object.h"
#include "script/Expr.h"
#include "script/Function.h"

namespace qx {

// One script: its text, the registry its names resolve against, the items
// (constants and variables) and the compiled tree. Compile once, run many
// times; variables keep their values from one run to the next.
class TScript : public TObject, private TFuncsListener {
public:
    TScript() = default;
    ~TScript() override;
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    // true: script errors reach the caller of Compile/Run; false: they are
    // shown (OnShowMessage) and the call returns false.
    bool Exceptions = true;
    // How a script error is shown when Exceptions is false; the registry's
    // message display (stderr when headless) when unset.
    std::function<void(const std::string&)> OnShowMessage;

    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);
    TFuncs* Functions() const { return functions_; }
    void SetFunctions(TFuncs* functions);

    bool Compile();
    bool Run();
    bool Compiled() const { return compiled_; }
    bool Running() const { return running_; }

    // Items, by upper-case name; the first of a name wins.
    TDataItem* FindItem(std::string_view name) const;
    TConstant* FindConstant(std::string_view name) const;
    // nullptr when the name belongs to a constant.
    TVariable* FindOrCreateVariable(std::string_view name);
    TDataItem& AddItem(std::unique_ptr<TDataItem> item);
    size_t ItemCount() const { return items_.size(); }
    TDataItem& Item(size_t i) const { return *items_[i]; }
    TFuncExpr* Root() const { return root_.get(); }

private:
    void FuncsDestroyed(TFuncs& funcs) override;
    void Show(const std::string& message) const;
    void DoCompile();

    std::string text_;
    TFuncs* functions_ = nullptr;
    std::vector<std::unique_ptr<TDataItem>> items_;
    std::unordered_map<std::string, TDataItem*> byName_;
    std::unique_ptr<TFuncExpr> root_;
    bool compiled_ = false;
    bool running_ = false;
};

} // namespace qx
