#include "controls/CellImage.h"

#include <QPainter>

#include "controls/ControlRules.h"

namespace qx {

TCellImage::TCellImage(QWidget* parent) : QWidget(parent) {}

void TCellImage::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

const QImage* TCellImage::GetCell(int x, int y) {
    const std::optional<QRect> cell = CellRect(picture_.size(), cellsX_, cellsY_, x, y);
    if (!cell) return nullptr;
    cell_ = picture_.copy(*cell);
    return &cell_;
}

void TCellImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

} // namespace qx
