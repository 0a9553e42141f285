#include <gtest/gtest.h>

#include "script/Lexer.h"
#include "script/ScriptError.h"

namespace qx {
namespace {

TTokenList Lex(const std::string& text) {
    TTokenList tokens;
    Tokenize(text, tokens);
    return tokens;
}

// The tokens without the skip tokens.
TTokenList Solid(const std::string& text) {
    TTokenList solid;
    for (auto& token : Lex(text))
        if (token.Kind != tkSkip) solid.push_back(token);
    return solid;
}

std::string LexError(const std::string& text) {
    try {
        Lex(text);
    } catch (const ESyntaxError& error) {
        return error.what();
    }
    return "";
}

TEST(Lexer, AssignmentGivesIdentifierOperatorNumberAndSkips) {
    const TTokenList tokens = Lex("x := 10;");
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].Kind, tkIdent);
    EXPECT_EQ(tokens[0].Text, "X");
    EXPECT_EQ(tokens[0].Position, 1);
    EXPECT_EQ(tokens[1].Kind, tkSkip);
    EXPECT_EQ(tokens[1].Text, "");
    EXPECT_EQ(tokens[1].Position, -1);
    EXPECT_EQ(tokens[2].Kind, tkAssign);
    EXPECT_EQ(tokens[2].Position, 3);
    EXPECT_EQ(tokens[4].Kind, tkInteger);
    EXPECT_EQ(tokens[4].Text, "10");
    EXPECT_EQ(tokens[4].Position, 6);
    EXPECT_EQ(tokens[5].Kind, tkSemicolon);
}

TEST(Lexer, ColonDirectlyAfterANameIsAnError) {
    EXPECT_EQ(LexError("x:=10"), "Syntaxerror: Character or number expected (\":\", 58) [Position 2]");
}

TEST(Lexer, EveryStateNamesItsOwnError) {
    EXPECT_EQ(LexError("a ? b"), "Syntaxerror: Invalid character (\"?\", 63) [Position 3]");
    EXPECT_EQ(LexError("#x"), "Syntaxerror: Number expected (\"x\", 120) [Position 2]");
    EXPECT_EQ(LexError("#$g"), "Syntaxerror: Hexadezimal number expected (\"g\", 103) [Position 3]");
    EXPECT_EQ(LexError("#$4g"), "Syntaxerror: Hexadezimal number expected (\"g\", 103) [Position 4]");
    EXPECT_EQ(LexError("#65x"), "Syntaxerror: CharF (\"x\", 120) [Position 4]");
    EXPECT_EQ(LexError("12a"), "Syntaxerror: Number, point or exponent expected (\"a\", 97) [Position 3]");
    EXPECT_EQ(LexError("1.5x"), "Syntaxerror: Number or exponent expected (\"x\", 120) [Position 4]");
    EXPECT_EQ(LexError("1e "), "Syntaxerror: Number or minus expected (\" \", 32) [Position 3]");
    EXPECT_EQ(LexError("1e+x"), "Syntaxerror: Number expected (\"x\", 120) [Position 4]");
    EXPECT_EQ(LexError("1e5x"), "Syntaxerror: Number expected (\"x\", 120) [Position 4]");
    EXPECT_EQ(LexError("$x"), "Syntaxerror: Hexadezimal number expected (\"x\", 120) [Position 2]");
    EXPECT_EQ(LexError("$1x"), "Syntaxerror: Hexadezimal number expected (\"x\", 120) [Position 3]");
    EXPECT_EQ(LexError("'a'b"), "Syntaxerror: String expected (\"b\", 98) [Position 4]");
    EXPECT_EQ(LexError("a<{"), "Syntaxerror: \">\" or \"=\" expected (\"{\", 123) [Position 3]");
    EXPECT_EQ(LexError("a>{"), "Syntaxerror: \"=\" expected. (\"{\", 123) [Position 3]");
    EXPECT_EQ(LexError("x{c}"), "Syntaxerror: Character or number expected (\"{\", 123) [Position 2]");
}

TEST(Lexer, LineBreakInsideAStringEndsItWithAnError) {
    EXPECT_EQ(LexError("'abc\r\nx'"), "Syntaxerror: End of string not found. (\"\r\", 13) [Position 5]");
    EXPECT_EQ(LexError("'abc\nx'"), "Syntaxerror: End of string not found. (\"\n\", 10) [Position 5]");
}

TEST(Lexer, HexConstantsAreDecimalTexts) {
    auto tokens = Solid("$FF $ffffffff $7FFFFFFF");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].Kind, tkInteger);
    EXPECT_EQ(tokens[0].Text, "255");
    EXPECT_EQ(tokens[0].Position, 2);
    EXPECT_EQ(tokens[1].Text, "-1");
    EXPECT_EQ(tokens[2].Text, "2147483647");
    EXPECT_EQ(LexError("x := $123456789;"), "Syntaxerror: Invalid hexadezimal constant \"123456789\" [Position 16]");
}

TEST(Lexer, CharConstantsBecomeOneCharacterStrings) {
    auto tokens = Solid("#65 #$41 #0");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].Kind, tkString);
    EXPECT_EQ(tokens[0].Text, "A");
    EXPECT_EQ(tokens[0].Position, 2);
    EXPECT_EQ(tokens[1].Text, "A");
    EXPECT_EQ(tokens[1].Position, 7);
    EXPECT_EQ(tokens[2].Text, std::string(1, '\0'));
    EXPECT_EQ(LexError("#300"), "Syntaxerror: Invalid char constant \"300\" [Position 5]");
    EXPECT_EQ(LexError("#$FFFFFFFF"), "Syntaxerror: Invalid char constant \"-1\" [Position 11]");
    EXPECT_EQ(LexError("#99999999999999"), "Syntaxerror: Invalid char constant \"99999999999999\" [Position 16]");
}

TEST(Lexer, StringsKeepDoubledQuotesAndAdjacentPiecesStaySeparate) {
    auto tokens = Lex("'it''s'");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].Kind, tkString);
    EXPECT_EQ(tokens[0].Text, "it's");
    EXPECT_EQ(tokens[0].Position, 2);

    tokens = Lex("''");
    EXPECT_EQ(tokens[0].Kind, tkString);
    EXPECT_EQ(tokens[0].Text, "");
    EXPECT_EQ(tokens[0].Position, -1);

    tokens = Lex("'abc'#13#10");
    ASSERT_GE(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].Text, "abc");
    EXPECT_EQ(tokens[1].Kind, tkString);
    EXPECT_EQ(tokens[1].Text, "\r");
    EXPECT_EQ(tokens[2].Text, "\n");
}

TEST(Lexer, NumbersAndFloats) {
    auto tokens = Solid("1.5e-3 2E+4 3. 42");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0].Kind, tkFloat);
    EXPECT_EQ(tokens[0].Text, "1.5e-3");
    EXPECT_EQ(tokens[1].Kind, tkFloat);
    EXPECT_EQ(tokens[2].Kind, tkFloat);
    EXPECT_EQ(tokens[3].Kind, tkInteger);
}

TEST(Lexer, KeywordsInAnyCaseAndUpperCaseNames) {
    auto tokens = Solid("Begin bEgIn myVar vAr open mult");
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].Kind, tkBegin);
    EXPECT_EQ(tokens[0].Text, "Begin");  // keywords keep their text
    EXPECT_EQ(tokens[1].Kind, tkBegin);
    EXPECT_EQ(tokens[2].Kind, tkIdent);
    EXPECT_EQ(tokens[2].Text, "MYVAR");
    EXPECT_EQ(tokens[3].Kind, tkVar);
    EXPECT_EQ(tokens[4].Kind, tkOpen);
    EXPECT_EQ(tokens[5].Kind, tkTypeMult);
    EXPECT_EQ(KeywordLookup("downto"), tkDownto);
    EXPECT_EQ(KeywordLookup(":="), tkAssign);
    EXPECT_EQ(KeywordLookup("nothing"), tkIdent);
}

TEST(Lexer, TwoCharacterOperators) {
    auto kinds = [](const std::string& text) {
        std::vector<int> out;
        for (auto& t : Solid(text)) out.push_back(t.Kind);
        return out;
    };
    EXPECT_EQ(kinds("a<>b"), (std::vector<int>{tkIdent, tkUnequal, tkIdent}));
    EXPECT_EQ(kinds("a<=b"), (std::vector<int>{tkIdent, tkLessEqual, tkIdent}));
    EXPECT_EQ(kinds("a>=b"), (std::vector<int>{tkIdent, tkGreaterEqual, tkIdent}));
    EXPECT_EQ(kinds("a><b"), (std::vector<int>{tkIdent, tkGreater, tkLess, tkIdent}));
    EXPECT_EQ(kinds("a/b"), (std::vector<int>{tkIdent, tkSlash, tkIdent}));
    EXPECT_EQ(kinds("a[1]:x"), (std::vector<int>{tkIdent, tkOpenBracket, tkInteger, tkCloseBracket, tkColon, tkIdent}));
}

TEST(Lexer, Comments) {
    // A brace comment gives no token and may span lines.
    auto tokens = Lex("a {one\r\ntwo} b");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0].Text, "A");
    EXPECT_EQ(tokens[1].Kind, tkSkip);
    EXPECT_EQ(tokens[2].Kind, tkSkip);
    EXPECT_EQ(tokens[3].Text, "B");

    // A line comment is one skip token ending at the line break (CR or LF).
    tokens = Lex("a // note\r\nb");
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[2].Kind, tkSkip);
    EXPECT_EQ(tokens[2].Text, "/");
    EXPECT_EQ(tokens[2].Position, 3);
    EXPECT_EQ(tokens[4].Text, "B");
    tokens = Solid("a // note\nb");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[1].Text, "B");

    // Unfinished tokens at the end are dropped without error.
    EXPECT_EQ(Solid("a // last line").size(), 1u);
    EXPECT_EQ(Solid("a {open").size(), 1u);
    EXPECT_EQ(Solid("a 'open").size(), 1u);
}

TEST(Lexer, TokensBeforeAnErrorStayInTheList) {
    TTokenList tokens;
    EXPECT_THROW(Tokenize("a b ?", tokens), ESyntaxError);
    ASSERT_GE(tokens.size(), 3u);
    EXPECT_EQ(tokens[2].Text, "B");
}

TEST(Lexer, TokenizeResetsTheCurrentPosition) {
    CurrentPosition() = 17;
    Lex("a");
    EXPECT_EQ(CurrentPosition(), -1);
}

} // namespace
} // namespace qx
