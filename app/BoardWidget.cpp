#include "app/BoardWidget.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/Messages.h"
#include "render/GameBoard.h"

namespace qx {

namespace {

constexpr int32_t kWheelCells = 3;

} // namespace

TBoardWidget::TBoardWidget(TGameBoard& board, QWidget* parent) : QWidget(parent), board_(board) {
    setObjectName("surface");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    board_.Surface().OnPresent = [this](TObject*) { update(); };
}

TBoardWidget::~TBoardWidget() { board_.Surface().OnPresent = nullptr; }

const QList<QRgb>& TBoardWidget::ColorTable() {
    const TColorPalette& palette = board_.Art().Palette;
    if (!haveColors_ || generation_ != palette.Generation()) {
        const auto table = palette.ArgbTable();
        colors_ = QList<QRgb>(table.begin(), table.end());
        generation_ = palette.Generation();
        haveColors_ = true;
    }
    return colors_;
}

QImage TBoardWidget::Frame() const {
    TDIBCanvas& canvas = board_.Surface().FrameCanvas();
    const uint8_t* bits = board_.Surface().FrameBits();
    if (!bits || canvas.Width() < 1 || canvas.Height() < 1) return {};
    QImage image(bits, canvas.Width(), canvas.Height(), canvas.Width(), QImage::Format_Indexed8);
    const auto table = board_.Art().Palette.ArgbTable();
    image.setColorTable(QList<QRgb>(table.begin(), table.end()));
    // Cropped to the view (the frame's rows are rounded up to four bytes).
    return image.copy(0, 0, std::min(canvas.Width(), board_.ViewWidth()), std::min(canvas.Height(), board_.ViewHeight()));
}

void TBoardWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    TDIBCanvas& canvas = board_.Surface().FrameCanvas();
    const uint8_t* bits = board_.Surface().FrameBits();
    int shownWidth = 0, shownHeight = 0;
    if (bits && canvas.Width() > 0 && canvas.Height() > 0) {
        shownWidth = std::min({canvas.Width(), board_.ViewWidth(), width()});
        shownHeight = std::min({canvas.Height(), board_.ViewHeight(), height()});
        const QRect area(0, 0, shownWidth, shownHeight);
        if (PaintIndexed) {
            // The frame's own pixels, no copy: the colour table does the rest.
            QImage frame(bits, canvas.Width(), canvas.Height(), canvas.Width(), QImage::Format_Indexed8);
            frame.setColorTable(ColorTable());
            painter.drawImage(area, frame, area);
        } else {
            if (rgb_.width() != canvas.Width() || rgb_.height() != canvas.Height())
                rgb_ = QImage(canvas.Width(), canvas.Height(), QImage::Format_RGB32);
            const QRgb* table = ColorTable().constData();
            for (int y = 0; y < shownHeight; ++y) {
                const uint8_t* from = bits + static_cast<size_t>(y) * static_cast<size_t>(canvas.Width());
                auto* to = reinterpret_cast<QRgb*>(rgb_.scanLine(y));
                for (int x = 0; x < shownWidth; ++x) to[x] = table[from[x]];
            }
            painter.drawImage(area, rgb_, area);
        }
    }
    // Whatever the frame does not cover yet (a growing window) is black.
    if (shownWidth < width()) painter.fillRect(QRect(shownWidth, 0, width() - shownWidth, height()), Qt::black);
    if (shownHeight < height()) painter.fillRect(QRect(0, shownHeight, shownWidth, height() - shownHeight), Qt::black);
    ++paints_;
    if (OnPainted) OnPainted();
}

void TBoardWidget::ClampView() {
    TSquareGridSpriteSurface& surface = board_.Surface();
    const int32_t maxX = std::max(surface.VirtualWidth() - board_.ViewWidth(), 0);
    const int32_t maxY = std::max(surface.VirtualHeight() - board_.ViewHeight(), 0);
    const int32_t x = std::clamp(surface.OffsetX(), 0, maxX);
    const int32_t y = std::clamp(surface.OffsetY(), 0, maxY);
    if (x != surface.OffsetX()) surface.SetOffsetX(x);
    if (y != surface.OffsetY()) surface.SetOffsetY(y);
}

void TBoardWidget::Redraw() {
    TSquareGridSpriteSurface& surface = board_.Surface();
    if (!surface.Active() && board_.Game() && surface.FrameBits()) Guarded([this] { board_.RenderFrames(1); });
    update();
    if (OnViewChanged) OnViewChanged();
}

void TBoardWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // What was in the middle of the view stays there.
    TSquareGridSpriteSurface& surface = board_.Surface();
    const int32_t w = std::max(width(), 1), h = std::max(height(), 1);
    const int64_t centreX = int64_t{surface.OffsetX()} + board_.ViewWidth() / 2;
    const int64_t centreY = int64_t{surface.OffsetY()} + board_.ViewHeight() / 2;
    board_.SetView(static_cast<int32_t>(std::clamp<int64_t>(centreX - w / 2, 0, INT32_MAX)),
                   static_cast<int32_t>(std::clamp<int64_t>(centreY - h / 2, 0, INT32_MAX)), w, h);
    ClampView();
    Redraw();
}

void TBoardWidget::ScrollBy(int32_t dx, int32_t dy) {
    TSquareGridSpriteSurface& surface = board_.Surface();
    const int32_t x = surface.OffsetX(), y = surface.OffsetY();
    surface.SetOffsetX(static_cast<int32_t>(std::clamp<int64_t>(int64_t{x} + dx, INT32_MIN, INT32_MAX)));
    surface.SetOffsetY(static_cast<int32_t>(std::clamp<int64_t>(int64_t{y} + dy, INT32_MIN, INT32_MAX)));
    ClampView();
    if (surface.OffsetX() != x || surface.OffsetY() != y) Redraw();
}

TShiftState TBoardWidget::ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (modifiers & Qt::AltModifier) shift |= ssAlt;
    if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
    if (buttons & Qt::LeftButton) shift |= ssLeft;
    if (buttons & Qt::RightButton) shift |= ssRight;
    if (buttons & Qt::MiddleButton) shift |= ssMiddle;
    if (doubleClick) shift |= ssDouble;
    return shift;
}

TMouseButton TBoardWidget::ButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
    }
}

void TBoardWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    Guarded([&] {
        board_.Surface().MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()), at.x(),
                                   at.y());
    });
}

void TBoardWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Guarded([&] { board_.Surface().MouseMove(ShiftOf(event->modifiers(), event->buttons()), at.x(), at.y()); });
}

void TBoardWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    Guarded([&] {
        board_.Surface().MouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()), at.x(),
                                 at.y());
    });
    // A click changes the cursor cell, the selection band ends.
    if (!board_.Surface().Active()) update();
}

void TBoardWidget::wheelEvent(QWheelEvent* event) {
    const QPoint steps = event->angleDelta() / 120;
    int32_t dx = steps.x(), dy = steps.y();
    if (event->modifiers() & Qt::ShiftModifier) std::swap(dx, dy);
    const int32_t cell = TGameBoard::CellSize * kWheelCells;
    ScrollBy(-dx * cell, -dy * cell);
    event->accept();
}

void TBoardWidget::keyPressEvent(QKeyEvent* event) {
    if (OnKey && OnKey(event)) return;
    const int32_t cell = TGameBoard::CellSize;
    switch (event->key()) {
    case Qt::Key_Left: ScrollBy(-cell, 0); return;
    case Qt::Key_Right: ScrollBy(cell, 0); return;
    case Qt::Key_Up: ScrollBy(0, -cell); return;
    case Qt::Key_Down: ScrollBy(0, cell); return;
    default: QWidget::keyPressEvent(event);
    }
}

} // namespace qx
