#pragma once

#include <QWidget>

#include "render/SpriteSurfaceScroller.h"

namespace qx {

class TSpriteSurface;

// The quick scroller: a small square over the board that scrolls it while
// the mouse is held on it, faster the further from its centre; a double
// click jumps to an edge of the map. It scrolls inside the board's frames.
class TQuickScrollerWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int Side = 57;

    TQuickScrollerWidget(TSpriteSurface& surface, QWidget* parent = nullptr);
    ~TQuickScrollerWidget() override;
    TSpriteSurfaceScroller& Scroller() { return scroller_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TSpriteSurfaceScroller scroller_;
};

} // namespace qx
