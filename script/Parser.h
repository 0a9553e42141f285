#pragma once

#include <memory>
#include <string>

#include "script/Expr.h"
#include "script/Lexer.h"

namespace qx {

class TScript;
class TFuncs;

// The recursive-descent parser: turns the tokens of a script into a tree of
// calls, adding constants and variables to the script's items. Syntax errors
// are ESyntaxError at the position of the token looked at.
class TParser {
public:
    TParser(TScript& script, TFuncs& funcs, TTokenList tokens);
    std::unique_ptr<TFuncExpr> ParseScript();

    // How deep statements and expressions may nest before the parser refuses
    // (the tree is evaluated recursively, so this also bounds the stack).
    static constexpr int kMaxNesting = 400;

private:
    bool Peek(uint8_t kind);
    bool Accept(uint8_t kind);
    bool SecondIs(uint8_t kind);
    bool TokensRemain();
    const TToken& Current() const { return tokens_[next_]; }
    [[noreturn]] void Fail(const std::string& message);

    std::unique_ptr<TFuncExpr> Node(const char* name, int32_t position);
    std::unique_ptr<TExpr> Fold(std::unique_ptr<TFuncExpr> node);

    void ConstantDeclaration();
    std::unique_ptr<TFuncExpr> Statement();
    std::unique_ptr<TFuncExpr> SimpleStatement();
    std::unique_ptr<TFuncExpr> IfStatement();
    std::unique_ptr<TFuncExpr> WhileStatement();
    std::unique_ptr<TFuncExpr> RepeatStatement();
    std::unique_ptr<TFuncExpr> ForStatement();
    std::unique_ptr<TFuncExpr> Assignment();
    std::unique_ptr<TFuncExpr> Call();
    std::unique_ptr<TExpr> Expression();
    std::unique_ptr<TExpr> Operation(std::unique_ptr<TExpr> left, const char* (*nameOf)(uint8_t),
                                     std::unique_ptr<TExpr> (TParser::*right)());
    std::unique_ptr<TExpr> SimpleExpression();
    std::unique_ptr<TExpr> Term();
    std::unique_ptr<TExpr> Factor();
    std::unique_ptr<TExpr> Literal();
    std::unique_ptr<TExpr> NameReference();
    std::unique_ptr<TVarExpr> VariableReference();

    friend class TNestingGuard;

    TScript& script_;
    TFuncs& funcs_;
    TTokenList tokens_;
    size_t next_ = 0;
    int depth_ = 0;
};

} // namespace qx
