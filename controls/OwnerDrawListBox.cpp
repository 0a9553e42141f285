#include "controls/OwnerDrawListBox.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>

#include "controls/ControlRules.h"

namespace qx {

namespace {

constexpr int NumberRole = Qt::UserRole + 1;

// Hands every item's painting to the list box.
class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit TOwnerDrawDelegate(TOwnerDrawListBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setRenderHint(QPainter::TextAntialiasing, false);
        painter->setFont(box_->font());
        box_->DrawItem(*painter, index.row(), option.rect, option.state.testFlag(QStyle::State_Selected));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), TOwnerDrawListBox::ItemHeight);
    }

private:
    TOwnerDrawListBox* box_;
};

} // namespace

TOwnerDrawListBox::TOwnerDrawListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TOwnerDrawDelegate(this));
    setUniformItemSizes(true);
    setFrameShape(QFrame::Box);
}

void TOwnerDrawListBox::SetSelectColor(const QColor& color) { selectColor_ = color; viewport()->update(); }
void TOwnerDrawListBox::SetDefaultDrawing(bool on) { defaultDrawing_ = on; viewport()->update(); }
void TOwnerDrawListBox::SetUseDelimiter(bool on) { useDelimiter_ = on; viewport()->update(); }
void TOwnerDrawListBox::SetDelimiter(QChar delimiter) { delimiter_ = delimiter; viewport()->update(); }

int TOwnerDrawListBox::AddItem(const QString& text, int number) {
    auto* entry = new QListWidgetItem(text, this);
    entry->setData(NumberRole, number);
    return row(entry);
}

int TOwnerDrawListBox::ItemNumber(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? entry->data(NumberRole).toInt() : 0;
}

QString TOwnerDrawListBox::ItemText(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? entry->text() : QString();
}

bool TOwnerDrawListBox::IsItemSelected(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry && entry->isSelected();
}

void TOwnerDrawListBox::DrawBackground(QPainter& painter, const QRect& rect, bool selected) const {
    painter.fillRect(rect, selected ? selectColor_ : palette().color(QPalette::Base));
    painter.setPen(selected ? QColor(Qt::white) : palette().color(QPalette::Text));
}

void TOwnerDrawListBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) {
    DrawBackground(painter, rect, selected);
    if (defaultDrawing_) {
        const QFontMetrics metrics(painter.font());
        painter.drawText(rect.left(), rect.top() + metrics.ascent(),
                         ListItemText(ItemText(index), useDelimiter_, delimiter_));
    } else if (OnCustomDraw) {
        OnCustomDraw(this, index, rect, selected, painter);
    }
}

} // namespace qx
