#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "controls/ControlRules.h"

namespace qx {

enum class TBevelCut { None, Lowered, Raised };

// A caption panel drawn by its own rules: a face, an optional single border,
// outer bevel rings, border-width rings in the face colour, inner bevel rings
// and a vertically centred caption.
class TGraphicPanel : public QWidget {
    Q_OBJECT
public:
    explicit TGraphicPanel(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TCaptionAlignment Alignment() const { return alignment_; }
    void SetAlignment(TCaptionAlignment alignment);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    bool BorderSingle() const { return borderSingle_; }
    void SetBorderSingle(bool single);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& color);
    QColor ColorHighlight() const { return highlight_; }
    void SetColorHighlight(const QColor& color);
    QColor ColorShadow() const { return shadow_; }
    void SetColorShadow(const QColor& color);

    // Rings drawn inside the edge (border, bevels, border width): where
    // content may start.
    int Rings() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Paints face and rings; returns the number of rings drawn.
    int PaintFrame(QPainter& painter);

private:
    QString caption_;
    TCaptionAlignment alignment_ = TCaptionAlignment::Center;
    TBevelCut bevelInner_ = TBevelCut::None;
    TBevelCut bevelOuter_ = TBevelCut::Raised;
    int bevelWidth_ = 1;
    bool borderSingle_ = false;
    int borderWidth_ = 0;
    QColor color_;
    QColor fontColor_;
    QColor highlight_;
    QColor shadow_;
};

} // namespace qx
