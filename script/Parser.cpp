#include "script/Parser.h"

#include <charconv>
#include <cstdint>

#include "script/Function.h"
#include "script/Script.h"
#include "script/ScriptError.h"

namespace qx {

// Counts how deep the parser has gone; past the limit the script is refused
// instead of running the stack out (here or later, when the tree is run).
class TNestingGuard {
public:
    explicit TNestingGuard(TParser& parser) : parser_(parser) {
        if (++parser_.depth_ > TParser::kMaxNesting) {
            --parser_.depth_;
            parser_.Fail("Script nested too deeply");
        }
    }
    ~TNestingGuard() { --parser_.depth_; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;

private:
    TParser& parser_;
};

TParser::TParser(TScript& script, TFuncs& funcs, TTokenList tokens)
    : script_(script), funcs_(funcs), tokens_(std::move(tokens)) {}

bool TParser::Peek(uint8_t kind) {
    while (next_ < tokens_.size() && tokens_[next_].Kind == tkSkip) ++next_;
    if (next_ >= tokens_.size()) return false;
    CurrentPosition() = tokens_[next_].Position;
    return tokens_[next_].Kind == kind;
}

bool TParser::Accept(uint8_t kind) {
    if (!Peek(kind)) return false;
    ++next_;
    return true;
}

bool TParser::SecondIs(uint8_t kind) {
    size_t i = next_ + 1;
    while (i < tokens_.size() && tokens_[i].Kind == tkSkip) ++i;
    return i < tokens_.size() && tokens_[i].Kind == kind;
}

bool TParser::TokensRemain() {
    Peek(0);
    return next_ < tokens_.size();
}

void TParser::Fail(const std::string& message) { throw ESyntaxError(message, CurrentPosition()); }

std::unique_ptr<TFuncExpr> TParser::Node(const char* name, int32_t position) {
    TFunction* function = funcs_.Find(UpperCase(name));
    if (!function) throw ESyntaxError("Function " + UpperCase(name) + " is not defined", position);
    return std::make_unique<TFuncExpr>(*function, position);
}

std::unique_ptr<TExpr> TParser::Fold(std::unique_ptr<TFuncExpr> node) {
    for (size_t i = 0; i < node->ArgumentCount(); ++i)
        if (node->Argument(i).Kind() != TExprKind::Const) return node;
    TValue value;
    node->Eval(value);
    return std::make_unique<TConstExpr>(std::move(value), node->Position());
}

std::unique_ptr<TFuncExpr> TParser::ParseScript() {
    Accept(tkScript);
    auto root = Node("SCRIPT", -1);
    while (Accept(tkConst)) ConstantDeclaration();
    while (TokensRemain()) {
        root->AddArgument(Statement());
        if (!Accept(tkSemicolon) && TokensRemain()) Fail("\";\" expected.");
    }
    return root;
}

void TParser::ConstantDeclaration() {
    if (Peek(tkIdent)) {
        const std::string name = Current().Text;
        ++next_;
        if (!Accept(tkEqual)) Fail("\"=\" expected.");
        if (!TokensRemain()) Fail("Name expected");
        auto expression = Expression();
        TValue value;
        try {
            expression->Eval(value);
        } catch (const EScriptError&) {
            throw;
        } catch (const std::exception& error) {
            throw ERuntimeError(error.what(), expression->Position());
        }
        script_.AddItem(std::make_unique<TConstant>(name, std::move(value)));
    }
    if (!Accept(tkSemicolon)) Fail("\";\" expected.");
}

std::unique_ptr<TFuncExpr> TParser::Statement() {
    TNestingGuard guard(*this);
    if (Accept(tkBegin)) {
        auto block = Node("BEGIN", CurrentPosition());
        while (!Accept(tkEnd)) {
            block->AddArgument(Statement());
            if (!Accept(tkSemicolon) && !Peek(tkEnd)) Fail("\";\" expected.");
        }
        return block;
    }
    if (Accept(tkSemicolon)) return Node("BEGIN", CurrentPosition());
    return SimpleStatement();
}

std::unique_ptr<TFuncExpr> TParser::SimpleStatement() {
    if (Accept(tkIf)) return IfStatement();
    if (Accept(tkWhile)) return WhileStatement();
    if (Accept(tkRepeat)) return RepeatStatement();
    if (Accept(tkFor)) return ForStatement();
    if (SecondIs(tkAssign) || SecondIs(tkOpenBracket)) return Assignment();
    if (!TokensRemain()) return Node("BEGIN", CurrentPosition());
    return Call();
}

std::unique_ptr<TFuncExpr> TParser::IfStatement() {
    auto condition = Expression();
    if (!Accept(tkThen)) Fail("THEN expected.");
    auto thenPart = Statement();
    if (Accept(tkElse)) {
        auto node = Node("ELSE", CurrentPosition());
        node->AddArgument(std::move(condition));
        node->AddArgument(std::move(thenPart));
        node->AddArgument(Statement());
        return node;
    }
    auto node = Node("IF", CurrentPosition());
    node->AddArgument(std::move(condition));
    node->AddArgument(std::move(thenPart));
    return node;
}

std::unique_ptr<TFuncExpr> TParser::WhileStatement() {
    auto node = Node("WHILE", CurrentPosition());
    node->AddArgument(Expression());
    if (!Accept(tkDo)) Fail("DO expected.");
    node->AddArgument(Statement());
    return node;
}

std::unique_ptr<TFuncExpr> TParser::RepeatStatement() {
    auto node = Node("REPEAT", CurrentPosition());
    std::vector<std::unique_ptr<TFuncExpr>> body;
    while (!Accept(tkUntil)) {
        body.push_back(Statement());
        if (!Accept(tkSemicolon) && !Peek(tkUntil)) Fail("\";\" expected.");
    }
    node->AddArgument(Expression());
    for (auto& statement : body) node->AddArgument(std::move(statement));
    return node;
}

std::unique_ptr<TFuncExpr> TParser::ForStatement() {
    auto node = Node("FOR", CurrentPosition());
    node->AddArgument(VariableReference());
    if (!Accept(tkAssign)) Fail("Assignment\":=\" expected.");
    node->AddArgument(Expression());
    if (Accept(tkTo)) {
        node->AddArgument(Expression());
        node->AddArgument(std::make_unique<TConstExpr>(TValue(1), CurrentPosition()));
    } else if (Accept(tkDownto)) {
        node->AddArgument(Expression());
        node->AddArgument(std::make_unique<TConstExpr>(TValue(-1), CurrentPosition()));
    } else {
        Fail("TO expected.");
    }
    if (!Accept(tkDo)) Fail("DO expected.");
    node->AddArgument(Statement());
    return node;
}

std::unique_ptr<TFuncExpr> TParser::Assignment() {
    if (!Peek(tkIdent)) Fail("Variable expected.");
    auto node = Node("SET", Current().Position);
    node->AddArgument(VariableReference());
    if (!Accept(tkAssign)) Fail("Assignment\":=\" expected.");
    node->AddArgument(Expression());
    return node;
}

std::unique_ptr<TFuncExpr> TParser::Call() {
    if (!Peek(tkIdent)) Fail("Name expected");
    auto node = Node(Current().Text.c_str(), Current().Position);
    ++next_;
    if (Accept(tkOpenParen) && !Accept(tkCloseParen)) {
        do node->AddArgument(Expression());
        while (Accept(tkComma));
        if (!Accept(tkCloseParen)) Fail("\")\" expected.");
    }
    return node;
}

namespace {

const char* RelationName(uint8_t kind) {
    switch (kind) {
    case tkEqual: return "=";
    case tkUnequal: return "<>";
    case tkGreater: return ">";
    case tkGreaterEqual: return ">=";
    case tkLess: return "<";
    case tkLessEqual: return "<=";
    default: return nullptr;
    }
}

const char* AddingName(uint8_t kind) {
    switch (kind) {
    case tkPlus: return "+";
    case tkMinus: return "-";
    case tkOr: return "OR";
    case tkXor: return "XOR";
    default: return nullptr;
    }
}

const char* MultiplyingName(uint8_t kind) {
    switch (kind) {
    case tkStar: return "*";
    case tkSlash: return "/";
    case tkMod: return "MOD";
    case tkDiv: return "DIV";
    case tkAnd: return "AND";
    default: return nullptr;
    }
}

} // namespace

// One operator level: Left, and when an operator of the level follows, the
// call of that operator on Left and what Right parses.
std::unique_ptr<TExpr> TParser::Operation(std::unique_ptr<TExpr> left, const char* (*nameOf)(uint8_t),
                                          std::unique_ptr<TExpr> (TParser::*right)()) {
    if (!TokensRemain()) return left;
    const char* name = nameOf(Current().Kind);
    if (!name) return left;
    auto node = Node(name, Current().Position);
    ++next_;
    node->AddArgument(std::move(left));
    node->AddArgument((this->*right)());
    return Fold(std::move(node));
}

std::unique_ptr<TExpr> TParser::Expression() {
    return Operation(SimpleExpression(), RelationName, &TParser::SimpleExpression);
}

// Two-operand operators group to the right: a - b - c is a - (b - c).
std::unique_ptr<TExpr> TParser::SimpleExpression() {
    TNestingGuard guard(*this);
    return Operation(Term(), AddingName, &TParser::SimpleExpression);
}

std::unique_ptr<TExpr> TParser::Term() {
    TNestingGuard guard(*this);
    return Operation(Factor(), MultiplyingName, &TParser::Term);
}

std::unique_ptr<TExpr> TParser::Factor() {
    TNestingGuard guard(*this);
    if (Accept(tkPlus)) return Factor();
    if (Accept(tkMinus)) {
        const int32_t position = CurrentPosition();
        auto operand = Factor();
        if (operand->Kind() == TExprKind::Const) {
            auto& constant = static_cast<TConstExpr&>(*operand);
            const TValue& v = constant.Constant();
            if (v.Kind() == TValueKind::Integer) {
                constant.Set(TValue(static_cast<int32_t>(0u - static_cast<uint32_t>(v.AsInteger()))));
                return operand;
            }
            if (v.Kind() == TValueKind::Float) {
                constant.Set(TValue(-v.AsFloat()));
                return operand;
            }
        }
        // Anything but a number constant is negated at run time (a string or
        // boolean constant fails the operator's type check right here).
        auto node = Node("~", position);
        const bool constant = operand->Kind() == TExprKind::Const;
        node->AddArgument(std::move(operand));
        if (constant) return Fold(std::move(node));
        return node;
    }
    if (Accept(tkNot)) {
        const int32_t position = CurrentPosition();
        auto operand = Factor();
        if (operand->Kind() == TExprKind::Const) {
            auto& constant = static_cast<TConstExpr&>(*operand);
            if (constant.Constant().Kind() == TValueKind::Boolean) {
                constant.Set(TValue(!constant.Constant().AsBoolean()));
                return operand;
            }
        }
        auto node = Node("NOT", position);
        const bool constant = operand->Kind() == TExprKind::Const;
        node->AddArgument(std::move(operand));
        if (constant) return Fold(std::move(node));
        return node;
    }
    if (Accept(tkOpenParen)) {
        auto inner = Expression();
        if (!Accept(tkCloseParen)) Fail("\")\" expected.");
        return inner;
    }
    if (!Peek(tkIdent)) {
        auto literal = Literal();
        if (!literal) Fail("Expression expected.");
        return literal;
    }
    const std::string name = Current().Text;
    if (funcs_.Find(name)) return Call();
    if (SecondIs(tkOpenParen)) Fail("Function " + name + " not found");
    return NameReference();
}

std::unique_ptr<TExpr> TParser::Literal() {
    if (!TokensRemain()) return nullptr;
    const TToken& token = Current();
    const int32_t position = CurrentPosition();
    switch (token.Kind) {
    case tkString: {
        std::string text = token.Text;
        ++next_;
        // Adjacent pieces without a blank between them are one text: 'Line'#13#10.
        while (next_ < tokens_.size() && tokens_[next_].Kind == tkString) {
            text += tokens_[next_].Text;
            ++next_;
        }
        return std::make_unique<TConstExpr>(TValue(std::move(text)), position);
    }
    case tkInteger: {
        int32_t value = 0;
        const std::string& text = token.Text;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
            throw ESyntaxError("'" + text + "' is not a valid integer value", position);
        }
        ++next_;
        return std::make_unique<TConstExpr>(TValue(value), position);
    }
    case tkFloat: {
        double value = 0;
        const std::string& text = token.Text;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
            throw ESyntaxError("'" + text + "' is not a valid floating point value", position);
        }
        ++next_;
        return std::make_unique<TConstExpr>(TValue(value), position);
    }
    default: return nullptr;
    }
}

std::unique_ptr<TExpr> TParser::NameReference() {
    if (!Peek(tkIdent)) Fail("Name expected");
    if (TConstant* constant = script_.FindConstant(Current().Text)) {
        auto node = std::make_unique<TConstExpr>(constant->Value, Current().Position);
        ++next_;
        return node;
    }
    auto variable = VariableReference();
    if (!variable) Fail("Variable expected.");
    return variable;
}

std::unique_ptr<TVarExpr> TParser::VariableReference() {
    if (!Peek(tkIdent)) Fail("Variable expected.");
    const int32_t position = Current().Position;
    const std::string name = Current().Text;
    TVariable* variable = script_.FindOrCreateVariable(name);
    if (!variable) Fail("Can't assign value to a constant");
    ++next_;
    if (funcs_.Find(name)) Fail("Name \"" + name + "\" is already existing");
    if (Accept(tkOpenBracket)) {
        if (Peek(tkCloseBracket)) Fail("Array index expected");
        auto index = Expression();
        if (!Accept(tkCloseBracket)) Fail("Closing bracket \"]\" expected");
        return std::make_unique<TArrayExpr>(variable, std::move(index), position);
    }
    return std::make_unique<TVarExpr>(variable, position);
}

} // namespace qx
