#include "script/Script.h"

#include "script/Lexer.h"
#include "script/Parser.h"
#include "script/ScriptError.h"

namespace qx {

TScript::~TScript() {
    if (functions_) functions_->RemoveListener(this);
}

void TScript::SetText(std::string_view text) {
    text_ = text;
    compiled_ = false;
}

void TScript::SetFunctions(TFuncs* functions) {
    if (functions == functions_) return;
    if (functions_) functions_->RemoveListener(this);
    functions_ = functions;
    if (functions_) functions_->AddListener(this);
    // The tree points at the old registry's functions.
    compiled_ = false;
    if (!running_) root_.reset();
}

void TScript::FuncsDestroyed(TFuncs&) {
    functions_ = nullptr;
    compiled_ = false;
    if (!running_) root_.reset();
}

TDataItem* TScript::FindItem(std::string_view name) const {
    auto it = byName_.find(UpperCase(name));
    return it == byName_.end() ? nullptr : it->second;
}

TConstant* TScript::FindConstant(std::string_view name) const {
    return dynamic_cast<TConstant*>(FindItem(name));
}

TVariable* TScript::FindOrCreateVariable(std::string_view name) {
    if (TDataItem* item = FindItem(name)) return dynamic_cast<TVariable*>(item);
    return static_cast<TVariable*>(&AddItem(std::make_unique<TVariable>(UpperCase(name))));
}

TDataItem& TScript::AddItem(std::unique_ptr<TDataItem> item) {
    TDataItem& added = *item;
    byName_.emplace(added.Name(), &added);  // an earlier item of the same name keeps winning
    items_.push_back(std::move(item));
    return added;
}

void TScript::Show(const std::string& message) const {
    if (OnShowMessage) OnShowMessage(message);
    else if (functions_) functions_->ShowMessage(message);
}

void TScript::DoCompile() {
    if (!functions_) throw std::runtime_error("Property \"Functions\" is not defined");
    functions_->StopRequested = false;
    functions_->CallCount = 0;
    compiled_ = false;
    root_.reset();
    byName_.clear();
    items_.clear();
    AddItem(std::make_unique<TConstant>("TRUE", TValue(true)));
    AddItem(std::make_unique<TConstant>("FALSE", TValue(false)));
    AddItem(std::make_unique<TConstant>("TSTRING", TValue(static_cast<int32_t>(stString))));
    AddItem(std::make_unique<TConstant>("TINTEGER", TValue(static_cast<int32_t>(stInteger))));
    AddItem(std::make_unique<TConstant>("TFLOAT", TValue(static_cast<int32_t>(stFloat))));
    AddItem(std::make_unique<TConstant>("TBOOLEAN", TValue(static_cast<int32_t>(stBoolean))));

    TTokenList tokens;
    tokens.push_back(TToken{tkScript, std::string(), -1});
    Tokenize(text_, tokens);
    TParser parser(*this, *functions_, std::move(tokens));
    root_ = parser.ParseScript();
    compiled_ = true;
}

bool TScript::Compile() {
    if (running_) return false;
    try {
        DoCompile();
        return true;
    } catch (const EScriptError& error) {
        if (Exceptions) throw;
        Show(error.what());
        return false;
    }
}

bool TScript::Run() {
    if (running_) return false;
    if (!compiled_) Compile();
    if (!functions_) throw std::runtime_error("Property \"Functions\" is not defined");
    if (!root_) throw std::runtime_error("Script isn't compiled!");
    functions_->StopRequested = false;
    functions_->CallCount = 0;
    running_ = true;
    try {
        TValue ignored;
        root_->Eval(ignored);
    } catch (const EScriptError& error) {
        running_ = false;
        if (Exceptions) throw;
        Show(error.what());
        return false;
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
    return true;
}

} // namespace qx
