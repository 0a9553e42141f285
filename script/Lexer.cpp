#include "script/Lexer.h"

#include <array>

#include "script/ScriptError.h"

namespace qx {

namespace {

TCharSet Chars(std::string_view chars) {
    TCharSet set;
    for (unsigned char c : chars) set.set(c);
    return set;
}

TCharSet Range(unsigned char from, unsigned char to) {
    TCharSet set;
    for (unsigned c = from; c <= to; ++c) set.set(c);
    return set;
}

TCharSet AllBut(std::string_view chars) { return ~Chars(chars); }

const TCharSet kWhite = Chars(std::string_view("\t\n\r ", 4));
const TCharSet kDigits = Range('0', '9');
const TCharSet kLetters = Range('A', 'Z') | Range('a', 'z');
const TCharSet kHexDigits = kDigits | Range('A', 'F') | Range('a', 'f');
const TCharSet kWordEnd = kWhite | Chars("()*+,-/;<=>[]");
const TCharSet kCharEnd = kWhite | Chars("#'()*+,-/;<=>[]");
const TCharSet kStringFollow = kWhite | Chars("#()*+,-/;<=>[]");
const TCharSet kOpFollow = kWhite | Chars("#$'()*+,-/:;<=>]_") | kDigits | Range('A', '[') |
                           Range('a', 'z');

// The state machine. It is built once per process and only read afterwards.
struct TLexerTables {
    std::vector<std::unique_ptr<TState>> owned;
    TState* start;
    TState* final;
    TState* hex;
    TState* hashHex;
    TState* charF;

    template <class T, class... A>
    TState* Make(A&&... args) {
        owned.push_back(std::make_unique<T>(std::forward<A>(args)...));
        return owned.back().get();
    }

    TLexerTables() {
        start = Make<TFinalState>("Invalid character");
        final = Make<TFinalState>("Final");
        TState* blank = Make<TTypeState>("", tkSkip);
        TState* comment = Make<TState>("Comment");
        TState* slash = Make<TState>("SlashComment");
        TState* lineComment = Make<TTypeState>("SlashComment", tkSkip);
        TState* hash = Make<TState>("Number expected");
        charF = Make<TTypeState>("CharF", tkString);
        TState* hashDollar = Make<TState>("Hexadezimal number expected");
        hashHex = Make<TTypeState>("Hexadezimal number expected", tkString);
        TState* ident = Make<TTypeState>("Character or number expected", tkIdent);
        TState* intState = Make<TTypeState>("Number, point or exponent expected", tkInteger);
        TState* frac = Make<TTypeState>("Number or exponent expected", tkFloat);
        TState* exp = Make<TState>("Number or minus expected");
        TState* expSign = Make<TState>("Number expected");
        TState* expDigits = Make<TTypeState>("Number expected", tkFloat);
        TState* dollar = Make<TState>("Hexadezimal number expected");
        hex = Make<TTypeState>("Hexadezimal number expected", tkInteger);
        TState* string = Make<TState>("End of string not found.");
        TState* stringEnd = Make<TTypeState>("String expected", tkString);
        TState* colon = Make<TState>("\"=\" expected.");
        TState* less = Make<TFinalState>("\">\" or \"=\" expected");
        TState* greater = Make<TFinalState>("\"=\" expected.");

        auto test = [](TState* s, TCharSet set, TState* to) { s->Add(std::make_unique<TCheckOver>(set, to)); };
        auto consume = [](TState* s, TCharSet set, TState* to) { s->Add(std::make_unique<TSeekOver>(set, to)); };
        auto keep = [](TState* s, TCharSet set, TState* to) { s->Add(std::make_unique<TOver>(set, to)); };
        const TCharSet any = ~TCharSet();

        consume(start, Chars("#"), hash);
        keep(start, kLetters | Chars("_"), ident);
        keep(start, kDigits, intState);
        consume(start, Chars("'"), string);
        keep(start, Chars("*+-="), final);
        keep(start, Chars("/"), slash);
        keep(start, Chars("<"), less);
        keep(start, Chars(">"), greater);
        keep(start, Chars(":"), colon);
        keep(start, Chars("(),;[]"), final);
        consume(start, kWhite, blank);
        consume(start, Chars("{"), comment);
        consume(start, Chars("$"), dollar);

        consume(blank, kWhite, blank);
        test(blank, any, final);

        consume(comment, AllBut("}"), comment);
        consume(comment, Chars("}"), start);

        consume(slash, Chars("/"), lineComment);
        test(slash, any, final);

        // A line comment ends at the line break, whether the file uses CR LF
        // or a bare LF.
        consume(lineComment, Chars("\r\n"), final);
        consume(lineComment, any, lineComment);

        keep(hash, kDigits, charF);
        consume(hash, Chars("$"), hashDollar);
        keep(charF, kDigits, charF);
        test(charF, kCharEnd, final);
        keep(hashDollar, kHexDigits, hashHex);
        keep(hashHex, kHexDigits, hashHex);
        test(hashHex, kCharEnd, final);

        keep(ident, kLetters | kDigits | Chars("_"), ident);
        test(ident, kWordEnd, final);

        keep(intState, kDigits, intState);
        keep(intState, Chars("."), frac);
        keep(intState, Chars("Ee"), exp);
        test(intState, kWordEnd, final);
        keep(frac, kDigits, frac);
        keep(frac, Chars("Ee"), exp);
        test(frac, kWordEnd, final);
        keep(exp, Chars("+-"), expSign);
        keep(exp, kDigits, expDigits);
        keep(expSign, kDigits, expDigits);
        keep(expDigits, kDigits, expDigits);
        test(expDigits, kWordEnd, final);

        keep(dollar, kHexDigits, hex);
        keep(hex, kHexDigits, hex);
        test(hex, kWordEnd, final);

        // A string may not run over a line break (CR or LF).
        consume(string, Chars("'"), stringEnd);
        keep(string, AllBut(std::string_view("\r\n'", 3)), string);
        keep(stringEnd, Chars("'"), string);
        test(stringEnd, kStringFollow, final);

        test(colon, AllBut("="), final);
        keep(colon, Chars("="), final);

        keep(less, Chars("="), final);
        keep(less, Chars(">"), final);
        test(less, kOpFollow, final);
        keep(greater, Chars("="), final);
        test(greater, kOpFollow, final);
        for (auto& state : owned) state->Seal();
    }
};

const TLexerTables& Tables() {
    static const TLexerTables tables;
    return tables;
}

struct TKeyword {
    std::string_view text;
    uint8_t kind;
};

constexpr TKeyword kKeywords[] = {
    {"SCRIPT", tkScript}, {"CONST", tkConst}, {"BEGIN", tkBegin}, {"END", tkEnd},
    {"IF", tkIf}, {"THEN", tkThen}, {"ELSE", tkElse}, {"WHILE", tkWhile},
    {"REPEAT", tkRepeat}, {"UNTIL", tkUntil}, {"FOR", tkFor}, {"TO", tkTo},
    {"DOWNTO", tkDownto}, {"DO", tkDo}, {"AND", tkAnd}, {"OR", tkOr}, {"XOR", tkXor},
    {"DIV", tkDiv}, {"MOD", tkMod}, {"NOT", tkNot}, {"+", tkPlus}, {"-", tkMinus},
    {"*", tkStar}, {"/", tkSlash}, {"=", tkEqual}, {"<>", tkUnequal}, {">", tkGreater},
    {">=", tkGreaterEqual}, {"<", tkLess}, {"<=", tkLessEqual}, {";", tkSemicolon},
    {",", tkComma}, {":", tkColon}, {":=", tkAssign}, {"(", tkOpenParen},
    {")", tkCloseParen}, {"[", tkOpenBracket}, {"]", tkCloseBracket}, {"VAR", tkVar},
    {"FUNC", tkFunc}, {"OPEN", tkOpen}, {"INTEGER", tkTypeInteger}, {"FLOAT", tkTypeFloat},
    {"STRING", tkTypeString}, {"BOOLEAN", tkTypeBoolean}, {"ADD", tkTypeAdd},
    {"MULT", tkTypeMult}, {"ARRAY", tkTypeArray}, {"VOID", tkTypeVoid}, {"ALL", tkTypeAll},
};

// The 32-bit pattern of a hexadecimal text of at most 8 digits, in decimal.
std::string HexToDecimal(const std::string& digits) {
    uint32_t value = 0;
    for (char c : digits) {
        const uint32_t d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * 16 + d;
    }
    return std::to_string(static_cast<int32_t>(value));
}

bool CharCode(const std::string& text, int& code) {
    if (text.empty() || text.size() > 11) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (text[0] == '-') value = -value;
    if (value < 0 || value > 255) return false;
    code = static_cast<int>(value);
    return true;
}

} // namespace

int32_t& CurrentPosition() {
    thread_local int32_t position = -1;
    return position;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

uint8_t KeywordLookup(std::string_view text) {
    // No keyword is longer than seven characters.
    char upper[8];
    if (text.size() >= sizeof upper) return tkIdent;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        upper[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    const std::string_view word(upper, text.size());
    // An open-addressed table of the keywords, made once and only read after.
    struct TTable {
        static size_t Hash(std::string_view w) {
            return (w.size() * 31 + static_cast<unsigned char>(w.front()) * 7 + static_cast<unsigned char>(w.back())) &
                   127;
        }
        std::array<int8_t, 128> slots;
        TTable() {
            slots.fill(-1);
            for (size_t k = 0; k < std::size(kKeywords); ++k) {
                size_t at = Hash(kKeywords[k].text);
                while (slots[at] >= 0) at = (at + 1) & 127;
                slots[at] = static_cast<int8_t>(k);
            }
        }
    };
    static const TTable table;
    if (word.empty()) return tkIdent;
    for (size_t at = TTable::Hash(word); table.slots[at] >= 0; at = (at + 1) & 127) {
        const TKeyword& keyword = kKeywords[static_cast<size_t>(table.slots[at])];
        if (keyword.text == word) return keyword.kind;
    }
    return tkIdent;
}

void Tokenize(std::string_view source, TTokenList& tokens) {
    const TLexerTables& tables = Tables();
    std::string text(source);
    text += ' ';
    CurrentPosition() = -1;

    const TState* state = tables.start;
    std::string tokenText;
    int32_t tokenStart = -1;
    uint8_t tokenKind = 0;
    const auto length = static_cast<int32_t>(text.size());
    int32_t index = 1;
    while (index <= length) {
        const auto c = static_cast<unsigned char>(text[static_cast<size_t>(index - 1)]);
        const TState::TStep& step = state->Step(c);
        if (!step.Target) {
            std::string inner = state->Name() + " (\"";
            inner += static_cast<char>(c);
            inner += "\", " + std::to_string(c) + ")";
            throw ESyntaxError(inner, index);
        }
        if (step.Keeps) {
            if (tokenStart == -1) tokenStart = index;
            tokenText += static_cast<char>(c);
        }
        if (step.Consumes) ++index;
        const TState* target = step.Target;
        if (target != tables.final) {
            if (step.TargetKind != 0) tokenKind = step.TargetKind;
            state = target;
            continue;
        }

        if (state == tables.hex || state == tables.hashHex) {
            if (tokenText.size() > 8) {
                throw ESyntaxError("Invalid hexadezimal constant \"" + tokenText + "\"", index);
            }
            tokenText = HexToDecimal(tokenText);
        }
        if (state == tables.charF || state == tables.hashHex) {
            int code;
            if (!CharCode(tokenText, code)) {
                throw ESyntaxError("Invalid char constant \"" + tokenText + "\"", index);
            }
            tokenText.assign(1, static_cast<char>(code));
        }
        TToken token;
        token.Kind = (tokenKind == 0 || tokenKind == tkIdent) ? KeywordLookup(tokenText) : tokenKind;
        token.Text = token.Kind == tkIdent ? UpperCase(tokenText) : std::move(tokenText);
        token.Position = tokenStart;
        tokens.push_back(std::move(token));

        tokenStart = -1;
        tokenText.clear();
        tokenKind = 0;
        state = tables.start;
    }
}

} // namespace qx
