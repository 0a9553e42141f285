#include "controls/StarShipListBox.h"

#include <QFontMetrics>
#include <QPainter>

#include "controls/CellImage.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"

namespace qx {

TStarShipListBox::TStarShipListBox(QWidget* parent) : TOwnerDrawListBox(parent) {
    SetDefaultDrawing(false);
}

void TStarShipListBox::SetStarShipCells(TCellImage* cells) {
    cells_ = cells;
    viewport()->update();
}

void TStarShipListBox::SetQuorvexEngine(const TQuorvexEngine* engine) {
    engine_ = engine;
    viewport()->update();
}

void TStarShipListBox::SetShipTypes(TShipTypeSet types) {
    types_ = types;
    clear();
    for (int ordinal = 0; ordinal < ShipTypeCount; ++ordinal) {
        const auto type = static_cast<TShipType>(ordinal);
        if (types.Contains(type)) AddItem(QString::fromLatin1(ShipTypeName(type)), ordinal);
    }
}

TShipType TStarShipListBox::ItemType(int index) const {
    TShipType type = TShipType::WarShip;
    ShipTypeFromOrdinal(ItemNumber(index), type);
    return type;
}

void TStarShipListBox::SelectType(TShipType type) {
    for (int i = 0; i < count(); ++i)
        if (ItemNumber(i) == static_cast<int>(type)) {
            item(i)->setSelected(true);
            return;
        }
}

TShipType TStarShipListBox::SelectedType() const {
    const int current = currentRow();
    if (current >= 0 && IsItemSelected(current)) return ItemType(current);
    for (int i = 0; i < count(); ++i)
        if (IsItemSelected(i)) return ItemType(i);
    return TShipType::WarShip;
}

TShipTypeSet TStarShipListBox::SelectedTypes() const {
    TShipTypeSet set;
    for (int i = 0; i < count(); ++i)
        if (IsItemSelected(i)) set.Include(ItemType(i));
    return set;
}

void TStarShipListBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) {
    DrawBackground(painter, rect, selected);
    const TShipType type = ItemType(index);
    const int h = rect.height();
    if (cells_) {
        int player = 0;
        if (engine_ && engine_->CurrentPlayer) player = engine_->CurrentPlayer->Index;
        if (const QImage* cell = cells_->GetCell(2 * static_cast<int>(type), player))
            painter.drawImage(QRect(rect.left() + 1, rect.top() + 1, h - 2, h - 2), *cell);
    }
    QString text = ItemText(index);
    if (text.isEmpty()) text = QString::fromLatin1(ShipTypeName(type));
    const QFontMetrics metrics(painter.font());
    painter.drawText(rect.left() + h + 3, rect.top() + 1 + metrics.ascent(), text);
}

} // namespace qx
