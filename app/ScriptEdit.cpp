#include "app/ScriptEdit.h"

#include <QPainter>
#include <QTextBlock>

#include "app/ScriptHighlighter.h"
#include "controls/GameStyle.h"

namespace qx {

namespace {

const QColor Background(4, 10, 22);
const QColor MarginColor(0, 24, 32);
const QColor MarginText(0, 150, 150);
const QColor CurrentLine(12, 28, 48);

} // namespace

// The margin beside the text that shows the line numbers.
class TLineNumberMargin : public QWidget {
public:
    explicit TLineNumberMargin(TScriptEdit* editor) : QWidget(editor), editor_(editor) {
        setObjectName("marginLineNumbers");
    }
    QSize sizeHint() const override { return QSize(editor_->LineNumberWidth(), 0); }

protected:
    void paintEvent(QPaintEvent* event) override { editor_->PaintMargin(event); }

private:
    TScriptEdit* editor_;
};

TScriptEdit::TScriptEdit(QWidget* parent) : QPlainTextEdit(parent) {
    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(QFontMetricsF(font).horizontalAdvance(' ') * 4);
    QPalette colors = palette();
    colors.setColor(QPalette::Base, Background);
    colors.setColor(QPalette::Text, QColor(225, 235, 235));
    // The selection stays as visible when the focus is elsewhere.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colors.setColor(group, QPalette::Highlight, QColor(0, 110, 170));
        colors.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(colors);
    setFrameShape(QFrame::NoFrame);
    setStyleSheet("QScrollBar { background: #001820; border: 0px; width: 12px; height: 12px; }"
                  "QScrollBar::handle { background: #007070; border-radius: 3px; min-width: 20px; min-height: 20px; }"
                  "QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; }"
                  "QScrollBar::add-page, QScrollBar::sub-page { background: none; }"
                  "QAbstractScrollArea::corner { background: #001820; }");
    highlighter_ = new TScriptHighlighter(document());
    margin_ = new TLineNumberMargin(this);
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { UpdateMarginWidth(); });
    connect(this, &QPlainTextEdit::updateRequest, this, &TScriptEdit::UpdateMargin);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TScriptEdit::LightCurrentLine);
    // An edit ends the error's mark, but not while the document is still
    // changing: cursors must not be let go of inside its edit (a cleared
    // document would keep pointing at them).
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (errorMarks_.isEmpty() || clearPending_) return;
        clearPending_ = true;
        QMetaObject::invokeMethod(this, [this] { ClearErrorMark(); }, Qt::QueuedConnection);
    });
    UpdateMarginWidth();
    LightCurrentLine();
}

int TScriptEdit::LineNumberWidth() const {
    int digits = 1;
    for (int lines = std::max(1, blockCount()); lines >= 10; lines /= 10) ++digits;
    digits = std::max(digits, 3);
    return 10 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void TScriptEdit::UpdateMarginWidth() { setViewportMargins(LineNumberWidth(), 0, 0, 0); }

void TScriptEdit::UpdateMargin(const QRect& rect, int dy) {
    if (dy)
        margin_->scroll(0, dy);
    else
        margin_->update(0, rect.y(), margin_->width(), rect.height());
    if (rect.contains(viewport()->rect())) UpdateMarginWidth();
}

void TScriptEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    margin_->setGeometry(QRect(area.left(), area.top(), LineNumberWidth(), area.height()));
}

void TScriptEdit::PaintMargin(QPaintEvent* event) {
    QPainter painter(margin_);
    painter.fillRect(event->rect(), MarginColor);
    QTextBlock block = firstVisibleBlock();
    int number = block.blockNumber();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    int bottom = top + qRound(blockBoundingRect(block).height());
    const int current = textCursor().blockNumber();
    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && bottom >= event->rect().top()) {
            painter.setPen(number == current ? style::Aqua() : MarginText);
            painter.drawText(0, top, margin_->width() - 5, fontMetrics().height(), Qt::AlignRight,
                             QString::number(number + 1));
        }
        block = block.next();
        top = bottom;
        bottom = top + qRound(blockBoundingRect(block).height());
        ++number;
    }
}

void TScriptEdit::LightCurrentLine() {
    QList<QTextEdit::ExtraSelection> selections;
    QTextEdit::ExtraSelection line;
    line.format.setBackground(CurrentLine);
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = textCursor();
    line.cursor.clearSelection();
    if (errorMarks_.isEmpty()) selections.append(line);
    selections.append(errorMarks_);
    setExtraSelections(selections);
    margin_->update();
}

void TScriptEdit::SelectRange(int start, int length) {
    QTextCursor cursor(document());
    const int end = document()->characterCount() - 1;
    start = std::clamp(start, 0, std::max(0, end));
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + length, start, std::max(start, end)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    centerCursor();
}

void TScriptEdit::MarkError(int start, int length) {
    errorMarks_.clear();
    const int end = std::max(0, document()->characterCount() - 1);
    start = std::clamp(start, 0, end);
    QTextEdit::ExtraSelection line;
    line.format.setBackground(QColor(70, 8, 8));
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = QTextCursor(document());
    line.cursor.setPosition(start);
    errorMarks_.append(line);
    QTextEdit::ExtraSelection character;
    character.format.setBackground(QColor(220, 40, 40));
    character.format.setForeground(Qt::white);
    character.cursor = QTextCursor(document());
    character.cursor.setPosition(start);
    character.cursor.setPosition(std::clamp(start + length, start, end), QTextCursor::KeepAnchor);
    errorMarks_.append(character);
    LightCurrentLine();
}

void TScriptEdit::ClearErrorMark() {
    clearPending_ = false;
    if (errorMarks_.isEmpty()) return;
    errorMarks_.clear();
    LightCurrentLine();
}

void TScriptEdit::SetText(const QString& text) {
    ClearErrorMark();
    setPlainText(text);
}

int TScriptEdit::CursorLine() const { return textCursor().blockNumber() + 1; }

int TScriptEdit::CursorColumn() const { return textCursor().positionInBlock() + 1; }

} // namespace qx
