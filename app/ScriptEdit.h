#pragma once

#include <QList>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace qx {

class TScriptHighlighter;

// The script editor's text area: plain text in a fixed-width face, the line
// numbers in a margin at the left, the cursor's line lit, and the script
// language coloured.
class TScriptEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TScriptEdit(QWidget* parent = nullptr);

    // The margin's width for the current number of lines.
    int LineNumberWidth() const;
    TScriptHighlighter* Highlighter() const { return highlighter_; }
    // Selects `length` characters from `start` and shows them.
    void SelectRange(int start, int length);
    // Marks an error's characters and line in red until the text changes.
    void MarkError(int start, int length);
    void ClearErrorMark();
    bool HasErrorMark() const { return !errorMarks_.isEmpty(); }
    // Replaces the whole text (use this rather than setPlainText: the error's
    // mark goes first).
    void SetText(const QString& text);
    // 1-based line and column of the cursor.
    int CursorLine() const;
    int CursorColumn() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TLineNumberMargin;
    void PaintMargin(QPaintEvent* event);
    void UpdateMarginWidth();
    void UpdateMargin(const QRect& rect, int dy);
    void LightCurrentLine();

    QList<QTextEdit::ExtraSelection> errorMarks_;
    bool clearPending_ = false;
    QWidget* margin_ = nullptr;
    TScriptHighlighter* highlighter_ = nullptr;
};

} // namespace qx
