#include "script/Func.h"

#include "script/Lexer.h"
#include "script/ScriptError.h"

namespace qx {

namespace {

// Walks the tokens of a declaration, passing over blanks and comments.
class TDeclarationReader {
public:
    explicit TDeclarationReader(std::string_view text) { Tokenize(text, tokens_); }

    bool Peek(uint8_t kind) {
        while (next_ < tokens_.size() && tokens_[next_].Kind == tkSkip) ++next_;
        if (next_ >= tokens_.size()) return false;
        CurrentPosition() = tokens_[next_].Position;
        return tokens_[next_].Kind == kind;
    }
    bool Accept(uint8_t kind) {
        if (!Peek(kind)) return false;
        ++next_;
        return true;
    }
    bool AtEnd() {
        Peek(0);
        return next_ >= tokens_.size();
    }
    const TToken& Current() const { return tokens_[next_]; }
    [[noreturn]] void Fail(const std::string& message) { throw ESyntaxError(message, CurrentPosition()); }

    TTypeCode Type() {
        TTypeCode type = 0;
        if (Peek(tkVar) || Peek(tkTypeArray)) {
            if (Accept(tkVar)) type |= stVar;
            if (Accept(tkTypeArray)) type |= stArray;
        } else if (Accept(tkFunc)) {
            type |= stFunc;
        }
        static constexpr struct {
            uint8_t kind;
            TTypeCode type;
        } kBases[] = {{tkTypeInteger, stInteger}, {tkTypeFloat, stFloat}, {tkTypeString, stString},
                      {tkTypeBoolean, stBoolean}, {tkTypeMult, stMult},   {tkTypeAdd, stAdd},
                      {tkTypeAll, stAll},         {tkTypeVoid, stVoid}};
        bool found = false;
        for (const auto& base : kBases) {
            if (Accept(base.kind)) {
                type |= base.type;
                found = true;
                break;
            }
        }
        if (!found) Fail("Name of a type or \")\" expected");
        if (Accept(tkOpen)) type |= stOpen;
        return type;
    }

private:
    TTokenList tokens_;
    size_t next_ = 0;
};

} // namespace

TDeclaration ParseDeclaration(std::string_view text) {
    if (text.empty()) throw std::runtime_error("Invalid expression for declaration \"\"");
    TDeclarationReader reader(text);
    TDeclaration declaration;
    if (!reader.Peek(tkIdent)) reader.Fail("Name expected");
    declaration.Name = reader.Current().Text;
    reader.Accept(tkIdent);
    do {
        if (!reader.Accept(tkOpenParen)) reader.Fail("\"(\" expected.");
        TTypes pattern;
        if (!reader.Accept(tkCloseParen)) {
            do pattern.Add(reader.Type());
            while (reader.Accept(tkComma));
            if (!reader.Accept(tkCloseParen)) reader.Fail("\")\" expected.");
        }
        declaration.Patterns.push_back(std::move(pattern));
    } while (reader.Accept(tkComma));
    if (reader.Accept(tkColon)) declaration.ResultType = reader.Type();
    // Anything after the result type is a typing mistake, not something to ignore.
    if (!reader.AtEnd()) reader.Fail("End of declaration expected");
    return declaration;
}

TCompFunction::TCompFunction(const TDeclaration& declaration, TObject* sender)
    : TFunction(declaration.Name, declaration.ResultType), Sender(sender) {
    for (const auto& pattern : declaration.Patterns) AddPattern(pattern);
}

void TCompFunction::Execute(int pattern, const TArgList& args, TValue& result) {
    if (OnEval) OnEval(Sender, args, result);
    else if (OnExEval) OnExEval(Sender, pattern, args, result);
    else throw ERTE("Can't evaluate function " + Name() + ". Event OnEval/OnExEval not definied!");
}

TFunction& TFuncs::Declare(std::string_view declaration, TOnEvalEvent onEval, TObject* sender) {
    auto function = std::make_unique<TCompFunction>(ParseDeclaration(declaration), sender);
    function->OnEval = std::move(onEval);
    return Add(std::move(function));
}

TFunction& TFuncs::DeclareEx(std::string_view declaration, TOnExEvalEvent onExEval, TObject* sender) {
    auto function = std::make_unique<TCompFunction>(ParseDeclaration(declaration), sender);
    function->OnExEval = std::move(onExEval);
    return Add(std::move(function));
}

TFunc::TFunc(std::string_view declaration, TOnEvalEvent onEval, TFuncs* funcs) {
    SetDeclaration(declaration);
    onEval_ = std::move(onEval);
    SetFuncs(funcs);
}

TFunc::~TFunc() { Unregister(); }

void TFunc::SetDeclaration(std::string_view text) {
    if (text.empty()) throw std::runtime_error("Invalid expression for declaration \"\"");
    TDeclaration parsed = ParseDeclaration(text);
    declaration_ = text;
    parsed_ = std::move(parsed);
    if (registered_) {
        // The registered copy follows the new declaration.
        TFuncs* funcs = funcs_;
        Unregister();
        funcs_ = funcs;
        Register();
    }
}

void TFunc::SetFuncs(TFuncs* funcs) {
    if (funcs == funcs_ && (registered_ || !funcs)) return;
    Unregister();
    funcs_ = funcs;
    if (funcs_) Register();
}

void TFunc::SetOnEval(TOnEvalEvent onEval) {
    onEval_ = std::move(onEval);
    onExEval_ = nullptr;
    if (registered_) {
        registered_->OnEval = onEval_;
        registered_->OnExEval = nullptr;
    }
}

void TFunc::SetOnExEval(TOnExEvalEvent onExEval) {
    onExEval_ = std::move(onExEval);
    onEval_ = nullptr;
    if (registered_) {
        registered_->OnExEval = onExEval_;
        registered_->OnEval = nullptr;
    }
}

void TFunc::Register() {
    if (parsed_.Name.empty()) {
        funcs_ = nullptr;
        throw std::runtime_error("Invalid expression for declaration \"" + declaration_ + "\"");
    }
    auto function = std::make_unique<TCompFunction>(parsed_, this);
    function->OnEval = onEval_;
    function->OnExEval = onExEval_;
    TCompFunction* raw = function.get();
    try {
        funcs_->Add(std::move(function));
    } catch (...) {
        funcs_ = nullptr;
        throw;
    }
    registered_ = raw;
    funcs_->AddListener(this);
}

void TFunc::Unregister() {
    if (funcs_) {
        funcs_->RemoveListener(this);
        if (registered_) {
            // Scripts compiled against it may still hold it: make it refuse to run.
            registered_->OnEval = nullptr;
            registered_->OnExEval = nullptr;
            funcs_->Remove(*registered_);
        }
    }
    registered_ = nullptr;
    funcs_ = nullptr;
}

void TFunc::FuncsDestroyed(TFuncs&) {
    registered_ = nullptr;
    funcs_ = nullptr;
}

} // namespace qx
