#include "app/ScriptHighlighter.h"

#include "script/Lexer.h"

namespace qx {

namespace {

constexpr int InBraceComment = 1;

bool IsLetter(QChar c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(QChar c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(QChar c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

} // namespace

TScriptHighlighter::TScriptHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    keyword_.setForeground(QColor(0, 230, 255));
    keyword_.setFontWeight(QFont::Bold);
    string_.setForeground(QColor(255, 214, 110));
    number_.setForeground(QColor(255, 150, 90));
    comment_.setForeground(QColor(120, 170, 120));
    comment_.setFontItalic(true);
}

const QTextCharFormat& TScriptHighlighter::Format(TKind kind) const {
    switch (kind) {
    case TKind::Keyword: return keyword_;
    case TKind::String: return string_;
    case TKind::Number: return number_;
    case TKind::Comment: return comment_;
    case TKind::Plain: break;
    }
    return plain_;
}

QList<TScriptHighlighter::TKind> TScriptHighlighter::Classify(const QString& line, bool startsInComment,
                                                              bool& endsInComment) {
    const auto size = static_cast<int>(line.size());
    QList<TKind> kinds(size, TKind::Plain);
    const auto mark = [&](int from, int to, TKind kind) {
        for (int i = from; i < to && i < size; ++i) kinds[i] = kind;
    };
    int i = 0;
    if (startsInComment) {
        const int close = static_cast<int>(line.indexOf('}'));
        if (close < 0) {
            mark(0, size, TKind::Comment);
            endsInComment = true;
            return kinds;
        }
        mark(0, close + 1, TKind::Comment);
        i = close + 1;
    }
    endsInComment = false;
    while (i < size) {
        const QChar c = line[i];
        if (c == '{') {
            const int close = static_cast<int>(line.indexOf('}', i + 1));
            if (close < 0) {
                mark(i, size, TKind::Comment);
                endsInComment = true;
                return kinds;
            }
            mark(i, close + 1, TKind::Comment);
            i = close + 1;
        } else if (c == '/' && i + 1 < size && line[i + 1] == '/') {
            mark(i, size, TKind::Comment);
            return kinds;
        } else if (c == '\'') {
            // '' inside a string is a quote; a string ends at the line's end.
            int j = i + 1;
            while (j < size) {
                if (line[j] == '\'') {
                    if (j + 1 < size && line[j + 1] == '\'') {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            mark(i, j, TKind::String);
            i = j;
        } else if (c == '#') {
            // A character code: #65 or #$41.
            int j = i + 1;
            if (j < size && line[j] == '$') {
                ++j;
                while (j < size && IsHexDigit(line[j])) ++j;
            } else {
                while (j < size && IsDigit(line[j])) ++j;
            }
            mark(i, j, TKind::String);
            i = j;
        } else if (c == '$') {
            int j = i + 1;
            while (j < size && IsHexDigit(line[j])) ++j;
            mark(i, j, TKind::Number);
            i = j;
        } else if (IsDigit(c)) {
            int j = i;
            while (j < size && IsDigit(line[j])) ++j;
            if (j < size && line[j] == '.') {
                ++j;
                while (j < size && IsDigit(line[j])) ++j;
            }
            if (j < size && (line[j] == 'e' || line[j] == 'E')) {
                int k = j + 1;
                if (k < size && (line[k] == '+' || line[k] == '-')) ++k;
                if (k < size && IsDigit(line[k])) {
                    j = k;
                    while (j < size && IsDigit(line[j])) ++j;
                }
            }
            mark(i, j, TKind::Number);
            i = j;
        } else if (IsLetter(c)) {
            int j = i;
            while (j < size && (IsLetter(line[j]) || IsDigit(line[j]))) ++j;
            const QString word = line.mid(i, j - i);
            if (KeywordLookup(word.toStdString()) != tkIdent) mark(i, j, TKind::Keyword);
            i = j;
        } else {
            ++i;
        }
    }
    return kinds;
}

void TScriptHighlighter::highlightBlock(const QString& text) {
    bool endsInComment = false;
    const QList<TKind> kinds = Classify(text, previousBlockState() == InBraceComment, endsInComment);
    int start = 0;
    const auto size = static_cast<int>(kinds.size());
    while (start < size) {
        int end = start + 1;
        while (end < size && kinds[end] == kinds[start]) ++end;
        if (kinds[start] != TKind::Plain) setFormat(start, end - start, Format(kinds[start]));
        start = end;
    }
    setCurrentBlockState(endsInComment ? InBraceComment : 0);
}

} // namespace qx
