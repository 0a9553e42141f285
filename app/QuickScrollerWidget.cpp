#include "app/QuickScrollerWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/BoardWidget.h"
#include "app/Messages.h"
#include "render/RgbPixelCanvas.h"
#include "render/SpriteSurface.h"

namespace qx {

TQuickScrollerWidget::TQuickScrollerWidget(TSpriteSurface& surface, QWidget* parent) : QWidget(parent) {
    setObjectName("scroller");
    setToolTip("Quick Scroller: hold the mouse on it to scroll, double-click near an edge to jump there");
    setCursor(Qt::SizeAllCursor);
    resize(Side, Side);
    scroller_.Width = Side;
    scroller_.Height = Side;
    scroller_.MaxScroll = 50;
    scroller_.Color = clBlack;
    scroller_.ColorHighlight = clLime;
    scroller_.ColorShadow = clLime;
    scroller_.SetSpriteSurface(&surface);
    scroller_.Loaded();
}

TQuickScrollerWidget::~TQuickScrollerWidget() { scroller_.SetSpriteSurface(nullptr); }

void TQuickScrollerWidget::paintEvent(QPaintEvent*) {
    TRgbPixelCanvas canvas(Side, Side, scroller_.Color);
    scroller_.Paint(canvas);
    QImage picture(Side, Side, QImage::Format_RGB32);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const TColor c = canvas.Pixel(x, y);
            picture.setPixel(x, y, qRgb(c & 255, (c >> 8) & 255, (c >> 16) & 255));
        }
    QPainter painter(this);
    painter.drawImage(rect(), picture);
}

void TQuickScrollerWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Guarded([&] {
        scroller_.MouseDown(TBoardWidget::ButtonOf(event->button()),
                            TBoardWidget::ShiftOf(event->modifiers(), event->buttons()), at.x(), at.y());
    });
}

void TQuickScrollerWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Guarded([&] { scroller_.MouseMove(TBoardWidget::ShiftOf(event->modifiers(), event->buttons()), at.x(), at.y()); });
}

void TQuickScrollerWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Guarded([&] {
        scroller_.MouseUp(TBoardWidget::ButtonOf(event->button()),
                          TBoardWidget::ShiftOf(event->modifiers(), event->buttons()), at.x(), at.y());
    });
}

void TQuickScrollerWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Guarded([&] { scroller_.DoubleClick(at.x(), at.y()); });
}

} // namespace qx
