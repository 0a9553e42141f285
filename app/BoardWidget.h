#pragma once

#include <cstdint>
#include <functional>

#include <QList>
#include <QRgb>
#include <QWidget>

#include "render/RenderTypes.h"

class QKeyEvent;

namespace qx {

class TGameBoard;

// The galaxy board on screen: the board's last 8-bit frame shown as an
// indexed picture whose colour table is the palette, one frame pixel per
// window pixel, so on a dense screen every pixel grows by the screen's whole
// scale. Mouse and wheel go to the board in its own pixels; keys go first to
// OnKey. The board's frame thread asks for a repaint after every frame.
class TBoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit TBoardWidget(TGameBoard& board, QWidget* parent = nullptr);
    ~TBoardWidget() override;

    TGameBoard& Board() const { return board_; }
    // The last frame as painted: indexed pixels and the palette (null before
    // the first frame).
    QImage Frame() const;
    // Paints so far; OnPainted runs at the end of each.
    int Paints() const { return paints_; }
    std::function<void()> OnPainted;
    // How a paint shows the frame: true draws the indexed picture itself
    // (Qt converts it afresh at every paint); false, the default, looks the
    // frame's indices up in the palette into a kept 32-bit picture first,
    // which costs a quarter of that at full HD (bench/board).
    bool PaintIndexed = false;
    // A key pressed on the board; true when it was used.
    std::function<bool(QKeyEvent*)> OnKey;
    // The view moved (scrolled or resized).
    std::function<void()> OnViewChanged;

    // Scrolls the view by whole pixels, kept inside the map.
    void ScrollBy(int32_t dx, int32_t dy);
    // Keeps the view inside the map after the map or the widget changed size.
    void ClampView();

    // Modifier keys and buttons as the board reads them.
    static TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false);
    static TMouseButton ButtonOf(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const QList<QRgb>& ColorTable();
    // A board that is not animating shows a moved view at once.
    void Redraw();

    TGameBoard& board_;
    QList<QRgb> colors_;
    QImage rgb_;
    uint32_t generation_ = 0;
    bool haveColors_ = false;
    int paints_ = 0;
};

} // namespace qx
