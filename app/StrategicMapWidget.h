#pragma once

#include <QImage>
#include <QWidget>

#include "render/StrategicMap.h"

namespace qx {

// The strategic map on screen: the whole galaxy scaled into the control, as
// TStrategicMap paints it, shown pixel for pixel (whole-number scaling on a
// dense screen). Mouse events reach the map, which reports map cells.
class TStrategicMapWidget : public QWidget {
    Q_OBJECT
public:
    explicit TStrategicMapWidget(QWidget* parent = nullptr);
    ~TStrategicMapWidget() override;

    TStrategicMap& Map() { return map_; }
    // The picture of the last paint.
    const QImage& Picture() const { return picture_; }
    // Paints the map into Picture() now (a paint does the same).
    const QImage& Render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TStrategicMap map_;
    QImage picture_;
};

} // namespace qx
