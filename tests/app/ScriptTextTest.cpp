#include <gtest/gtest.h>

#include <QTextDocument>

#include "app/ScriptHighlighter.h"
#include "app/ScriptText.h"
#include "tests/app/AppFixture.h"

namespace qx {
namespace {

using TKind = TScriptHighlighter::TKind;

TEST(ScriptTextTest, FilesComeBackAsTheyWere) {
    // UTF-8 with CR LF: the editor sees "\n", saving writes CR LF again.
    const std::string utf8 = "{ Gr\xC3\xB6\xC3\x9F" "e }\r\nx := 1;\r\n";
    TScriptText file = TScriptText::Decode(utf8);
    EXPECT_EQ(file.Encoding, TScriptText::TEncoding::Utf8);
    EXPECT_TRUE(file.CrLf);
    EXPECT_EQ(file.Text, QString::fromUtf8("{ Größe }\nx := 1;\n"));
    EXPECT_EQ(file.Encode(file.Text), utf8);

    // Not UTF-8: one character per byte, written back byte for byte.
    const std::string latin = "{ caf\xE9 \xFF }\nx := 1;";
    file = TScriptText::Decode(latin);
    EXPECT_EQ(file.Encoding, TScriptText::TEncoding::Latin1);
    EXPECT_FALSE(file.CrLf);
    EXPECT_EQ(file.Text.size(), static_cast<qsizetype>(latin.size()));
    EXPECT_EQ(file.Encode(file.Text), latin);
    // Text such a file cannot hold makes it a UTF-8 file rather than losing it.
    const std::string widened = file.Encode(file.Text + QString::fromUtf8(" Ω"));
    EXPECT_EQ(file.Encoding, TScriptText::TEncoding::Utf8);
    EXPECT_EQ(QString::fromUtf8(widened), file.Text + QString::fromUtf8(" Ω"));

    // A byte order mark is not part of the script (the compiler would stop at it).
    file = TScriptText::Decode("\xEF\xBB\xBFx := 1;");
    EXPECT_EQ(file.Text, "x := 1;");
    EXPECT_EQ(file.Encode(file.Text), "x := 1;");
    // A lone CR ends a line too.
    EXPECT_EQ(TScriptText::Decode("a\rb").Text, "a\nb");
}

// The character the editor selects for an error at each byte of the
// compiled text.
QString Selected(const TScriptText& file, const QString& text, long long position) {
    const TScriptText::TSelection selection = file.ErrorSelection(text, position);
    return text.mid(selection.Start, selection.Length);
}

TEST(ScriptTextTest, ErrorPositionsCountCharactersNotBytes) {
    TScriptText file;
    const QString text = QString::fromUtf8("é中😀@x");
    const std::string bytes = file.CompileBytes(text);
    ASSERT_EQ(bytes.size(), 2u + 3u + 4u + 1u + 1u);
    // Every byte of a character selects that whole character.
    EXPECT_EQ(Selected(file, text, 1), QString::fromUtf8("é"));
    EXPECT_EQ(Selected(file, text, 2), QString::fromUtf8("é"));
    EXPECT_EQ(Selected(file, text, 3), QString::fromUtf8("中"));
    EXPECT_EQ(Selected(file, text, 6), QString::fromUtf8("😀"));
    EXPECT_EQ(Selected(file, text, 9), QString::fromUtf8("😀"));
    EXPECT_EQ(Selected(file, text, 10), "@");
    EXPECT_EQ(Selected(file, text, 11), "x");
    // Clamped: before the text is its first character, beyond it the last.
    EXPECT_EQ(Selected(file, text, 0), QString::fromUtf8("é"));
    EXPECT_EQ(Selected(file, text, -1), QString::fromUtf8("é"));
    EXPECT_EQ(Selected(file, text, 12), "x");
    EXPECT_EQ(Selected(file, text, 1LL << 40), "x");
    const TScriptText::TSelection none = file.ErrorSelection(QString(), 5);
    EXPECT_EQ(none.Start, 0);
    EXPECT_EQ(none.Length, 0);

    // A one-byte file counts one byte per character.
    TScriptText latin = TScriptText::Decode("caf\xE9@");
    EXPECT_EQ(Selected(latin, latin.Text, 5), "@");
    EXPECT_EQ(latin.CompileBytes(latin.Text), "caf\xE9@");

    // A broken surrogate half: the mapping agrees with the bytes compiled.
    QString odd = "a";
    odd += QChar(0xD800);
    odd += "@";
    const std::string oddBytes = file.CompileBytes(odd);
    const auto at = static_cast<long long>(oddBytes.find('@')) + 1;
    EXPECT_EQ(Selected(file, odd, at), "@");
}

TEST(ScriptTextTest, FileNamesThatCannotTravelAreRefused) {
    EXPECT_TRUE(ScriptFileNameProblem("/home/me/My Galaxy.qxscen").isEmpty());
    EXPECT_TRUE(ScriptFileNameProblem("/tmp/odd;folder/fine.qxbrain").isEmpty()) << "only the name travels";
    EXPECT_TRUE(ScriptFileNameProblem("/tmp/a~b.qxbrain").isEmpty());
    for (const QString& bad : {QString("/tmp/two;parts.qxscen"), QString("/tmp/pipe|name.qxbrain"),
                               QString("/tmp/~hidden.qxscen"), QString("/tmp/tab\tname.qxscen"),
                               QString("/tmp/line\nbreak.qxscen"), QString("/tmp/")})
        EXPECT_FALSE(ScriptFileNameProblem(bad).isEmpty()) << bad.toStdString();
}

QString Kinds(const QString& line, bool startsInComment = false, bool* endsInComment = nullptr) {
    bool ends = false;
    const QList<TKind> kinds = TScriptHighlighter::Classify(line, startsInComment, ends);
    if (endsInComment) *endsInComment = ends;
    QString letters;
    for (TKind kind : kinds) letters += ".KSNC"[static_cast<int>(kind)];
    return letters;
}

TEST(ScriptTextTest, HighlightingFollowsTheLexer) {
    EXPECT_EQ(Kinds("if x1 Then y := 10"), "KK....KKKK......NN");
    EXPECT_EQ(Kinds("begin END Forward"), "KKKKK.KKK........");
    EXPECT_EQ(Kinds("s := 'it''s' + #65#$4A;"), ".....SSSSSSS...SSSSSSS.");
    EXPECT_EQ(Kinds("'open"), "SSSSS");
    EXPECT_EQ(Kinds("n := $FF + 1.5e-3 - 2E4;"), ".....NNN...NNNNNN...NNN.");
    EXPECT_EQ(Kinds("a := 1; // while"), ".....N..CCCCCCCC");
    EXPECT_EQ(Kinds("x { a } y"), "..CCCCC..");
    EXPECT_EQ(Kinds("a / b"), ".....");
    bool ends = false;
    EXPECT_EQ(Kinds("x := 1; { begins", false, &ends), ".....N..CCCCCCCC");
    EXPECT_TRUE(ends);
    EXPECT_EQ(Kinds("still if", true, &ends), "CCCCCCCC");
    EXPECT_TRUE(ends);
    EXPECT_EQ(Kinds("ends } if", true, &ends), "CCCCCC.KK");
    EXPECT_FALSE(ends);
    EXPECT_EQ(Kinds("'{' if"), "SSS.KK") << "a brace in a string opens no comment";
}

TEST(ScriptTextTest, TheHighlighterCarriesCommentsAcrossLines) {
    test::GameApp();
    QTextDocument document;
    TScriptHighlighter highlighter(&document);
    document.setPlainText("x := 1; {\n  if\n} if");
    highlighter.rehighlight();
    const auto kindAt = [&](int block, int column) {
        const QTextBlock b = document.findBlockByNumber(block);
        for (const QTextLayout::FormatRange& range : b.layout()->formats())
            if (column >= range.start && column < range.start + range.length) return range.format;
        return QTextCharFormat();
    };
    EXPECT_EQ(kindAt(1, 2), highlighter.Format(TKind::Comment)) << "\"if\" inside the comment";
    EXPECT_EQ(kindAt(2, 3), highlighter.Format(TKind::Keyword)) << "\"if\" after it";
    EXPECT_EQ(kindAt(0, 5), highlighter.Format(TKind::Number));
}

} // namespace
} // namespace qx
