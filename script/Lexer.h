#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// Token kinds: the parser and the declaration parser switch on these numbers.
enum TTokenKind : uint8_t {
    tkSkip = 1, tkString, tkInteger, tkFloat, tkIdent,
    tkScript, tkConst, tkBegin, tkEnd, tkIf, tkThen, tkElse, tkWhile, tkRepeat, tkUntil,
    tkFor, tkTo, tkDownto, tkDo, tkAnd, tkOr, tkXor, tkDiv, tkMod, tkNot,
    tkPlus, tkMinus, tkStar, tkSlash, tkEqual, tkUnequal, tkGreater, tkGreaterEqual,
    tkLess, tkLessEqual, tkSemicolon, tkComma, tkColon, tkAssign, tkOpenParen,
    tkCloseParen, tkOpenBracket, tkCloseBracket,
    tkVar, tkFunc, tkOpen, tkTypeInteger, tkTypeFloat, tkTypeString, tkTypeBoolean,
    tkTypeAdd, tkTypeMult, tkTypeArray, tkTypeVoid, tkTypeAll
};

struct TToken {
    uint8_t Kind = 0;
    std::string Text;
    int32_t Position = -1;  // 1-based index of the first kept character; -1 when none
};
using TTokenList = std::vector<TToken>;

using TCharSet = std::bitset<256>;

class TState;

// A transition tests the byte ("test"), also consumes it ("consume") or also
// keeps it in the token text ("keep").
class TCheckOver {
public:
    TCheckOver(TCharSet chars, TState* target) : chars_(chars), target_(target) {}
    virtual ~TCheckOver() = default;
    bool Holds(unsigned char c) const { return chars_.test(c); }
    TState* Target() const { return target_; }
    virtual bool Consumes() const { return false; }
    virtual bool Keeps() const { return false; }

private:
    TCharSet chars_;
    TState* target_;
};

class TSeekOver : public TCheckOver {
public:
    using TCheckOver::TCheckOver;
    bool Consumes() const override { return true; }
};

class TOver : public TSeekOver {
public:
    using TSeekOver::TSeekOver;
    bool Keeps() const override { return true; }
};

// A lexer state; its name is the error text shown when no transition fits.
class TState {
public:
    explicit TState(std::string name) : name_(std::move(name)) {}
    virtual ~TState() = default;
    const std::string& Name() const { return name_; }
    void Add(std::unique_ptr<TCheckOver> transition) { transitions_.push_back(std::move(transition)); }
    const TCheckOver* Find(unsigned char c) const {
        for (const auto& t : transitions_)
            if (t->Holds(c)) return t.get();
        return nullptr;
    }
    virtual bool IsTyped() const { return false; }
    virtual uint8_t TokenKind() const { return 0; }

    // What Find answers for each byte, read off once the transitions are all
    // added (Seal), so a lexer can look a byte up instead of testing sets.
    struct TStep {
        const TState* Target = nullptr;  // nullptr: no transition
        bool Keeps = false;
        bool Consumes = false;
        uint8_t TargetKind = 0;  // the token kind entering the target gives, 0 for none
    };
    void Seal() {
        for (unsigned c = 0; c < 256; ++c) {
            const TCheckOver* t = Find(static_cast<unsigned char>(c));
            steps_[c] = t ? TStep{t->Target(), t->Keeps(), t->Consumes(),
                                  t->Target()->IsTyped() ? t->Target()->TokenKind() : uint8_t{0}}
                          : TStep{};
        }
    }
    const TStep& Step(unsigned char c) const { return steps_[c]; }

private:
    std::string name_;
    std::vector<std::unique_ptr<TCheckOver>> transitions_;
    std::array<TStep, 256> steps_{};
};

// A state in which a token may end.
class TFinalState : public TState {
public:
    using TState::TState;
};

// Entering it gives the current token its kind.
class TTypeState : public TFinalState {
public:
    TTypeState(std::string name, uint8_t kind) : TFinalState(std::move(name)), kind_(kind) {}
    bool IsTyped() const override { return true; }
    uint8_t TokenKind() const override { return kind_; }

private:
    uint8_t kind_;
};

// Position of the token the parser looks at; syntax errors report it. Set to
// -1 by Tokenize. One per thread: scripts run where their host runs.
int32_t& CurrentPosition();

// Appends the tokens of Text to Tokens; ESyntaxError on a lexical error (the
// tokens before it stay in the list).
void Tokenize(std::string_view text, TTokenList& tokens);

// The kind of a keyword or operator text in any letter case; 5 otherwise.
uint8_t KeywordLookup(std::string_view text);

// Plain ASCII upper case, as names are stored.
std::string UpperCase(std::string_view text);

} // namespace qx
