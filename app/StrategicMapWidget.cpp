#include "app/StrategicMapWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/BoardWidget.h"
#include "app/Messages.h"
#include "render/RgbPixelCanvas.h"

namespace qx {

TStrategicMapWidget::TStrategicMapWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    map_.Color = RgbColor(0, 0, 0);
    map_.OnInvalidate = [this](TObject*) { update(); };
}

TStrategicMapWidget::~TStrategicMapWidget() { map_.OnInvalidate = nullptr; }

const QImage& TStrategicMapWidget::Render() {
    const int w = std::max(width(), 1), h = std::max(height(), 1);
    map_.SetSize(w, h);
    TRgbPixelCanvas canvas(w, h, map_.Color);
    Guarded([&] { map_.Paint(canvas); });
    if (picture_.size() != QSize(w, h)) picture_ = QImage(w, h, QImage::Format_RGB32);
    const std::vector<TColor>& pixels = canvas.Pixels();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        const TColor* source = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int x = 0; x < w; ++x) line[x] = qRgb(source[x] & 255, (source[x] >> 8) & 255, (source[x] >> 16) & 255);
    }
    return picture_;
}

void TStrategicMapWidget::paintEvent(QPaintEvent*) {
    Render();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), picture_);
}

void TStrategicMapWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    map_.SetSize(width(), height());
}

void TStrategicMapWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    Guarded([&] {
        map_.MouseDown(TMouseButton::mbLeft, TBoardWidget::ShiftOf(event->modifiers(), event->buttons()), at.x(),
                       at.y());
    });
}

void TStrategicMapWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Guarded([&] { map_.MouseMove(TBoardWidget::ShiftOf(event->modifiers(), event->buttons()), at.x(), at.y()); });
}

void TStrategicMapWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    Guarded([&] {
        map_.MouseUp(TMouseButton::mbLeft, TBoardWidget::ShiftOf(event->modifiers(), event->buttons()), at.x(),
                     at.y());
    });
}

} // namespace qx
