#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace qx {

// Colours the script language in the editor: keywords, strings and
// character codes, numbers, and both kinds of comment ("{ ... }" across
// lines, "//" to the end of the line). It follows the lexer's rules, so what
// it colours as a keyword is reserved and what it colours as a comment is
// skipped by the compiler.
class TScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    enum class TKind { Plain, Keyword, String, Number, Comment };

    explicit TScriptHighlighter(QTextDocument* document);

    // The kind of every character of one line, given whether the line starts
    // inside a "{" comment; `endsInComment` tells whether it ends inside one.
    static QList<TKind> Classify(const QString& line, bool startsInComment, bool& endsInComment);
    const QTextCharFormat& Format(TKind kind) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat keyword_;
    QTextCharFormat string_;
    QTextCharFormat number_;
    QTextCharFormat comment_;
    QTextCharFormat plain_;
};

} // namespace qx
