#pragma once

#include <QColor>
#include <QHash>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace qx {

// A panel that lays its children out again whenever it is resized, scaling
// the rectangles they had when the panel was built at its design size.
// Children are remembered by object name; unnamed children and children
// added later keep whatever they are given. A child whose "tag" property is
// -1, and single-line edit boxes unless ResizeEditHeights, keep their height.
// Nested elastic panels rescale their own children in turn.
class TElasticPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* TagProperty = "tag";

    explicit TElasticPanel(QWidget* parent = nullptr);

    bool ElasticHorizontal() const { return horizontal_; }
    void SetElasticHorizontal(bool elastic) { horizontal_ = elastic; }
    bool ElasticVertical() const { return vertical_; }
    void SetElasticVertical(bool elastic) { vertical_ = elastic; }
    bool ResizeEditHeights() const { return resizeEditHeights_; }
    void SetResizeEditHeights(bool resize) { resizeEditHeights_ = resize; }
    // The size at which the children were laid out.
    QSize DesignSize() const { return design_; }
    void SetDesignSize(QSize size) { design_ = size; }

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    // Remembers every named child's rectangle and, when no design size was
    // given, takes the current size as it. Call once the children are placed.
    void Loaded();
    bool IsLoaded() const { return loaded_; }
    // Lays the children out for the current size (done on every resize).
    void Rescale();

    // Whether a child keeps its height when the panel grows or shrinks.
    bool KeepsHeight(const QWidget* child) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool horizontal_ = true;
    bool vertical_ = true;
    bool resizeEditHeights_ = false;
    bool loaded_ = false;
    QSize design_;
    QColor color_;
    QHash<QString, QRect> layout_;
};

} // namespace qx
