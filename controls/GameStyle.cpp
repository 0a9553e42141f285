#include "controls/GameStyle.h"

#include "render/qt/GameFonts.h"

#include <QPainter>

namespace qx {

QFont DisplayFont(int pixelHeight, bool bold) {
    TFont description;
    description.Name = "Final Frontier";
    description.Bold = bold;
    QFont font = GameFont(description);
    font.setPixelSize(pixelHeight < 1 ? 1 : pixelHeight);
    return font;
}

QFont TextFont(int pixelHeight, bool bold) {
    TFont description;
    description.Name = "DejaVu Sans";
    description.Bold = bold;
    QFont font = GameFont(description);
    font.setPixelSize(pixelHeight < 1 ? 1 : pixelHeight);
    return font;
}

void PaintRing(QPainter& painter, const QRect& ring, const QColor& topLeft, const QColor& bottomRight) {
    if (ring.isEmpty()) return;
    painter.fillRect(QRect(ring.left(), ring.top(), 1, ring.height()), topLeft);
    painter.fillRect(QRect(ring.left(), ring.top(), ring.width() - 1, 1), topLeft);
    painter.fillRect(QRect(ring.right(), ring.top(), 1, ring.height() - 1), bottomRight);
    painter.fillRect(QRect(ring.left() + 1, ring.bottom(), ring.width() - 1, 1), bottomRight);
}

} // namespace qx
