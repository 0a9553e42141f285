#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

namespace qx {

// A flat, self-drawn button: a face, BevelWidth rings of light and dark
// edges that turn the hot colour under the mouse, and a centred caption
// whose hot-key letter is drawn in the hot colour. An "&" in the caption is
// an ordinary character. Without a caption it shows its glyph.
class TColorButton : public QWidget {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);

    // The caption is the object's name until one is set.
    QString Caption() const;
    void SetCaption(const QString& caption);
    // The caption's colour (the font is the widget's font).
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& color);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QColor ColorHighlight() const { return highlight_; }
    void SetColorHighlight(const QColor& color);
    QColor ColorShadow() const { return shadow_; }
    void SetColorShadow(const QColor& color);
    QColor ColorHot() const { return hot_; }
    void SetColorHot(const QColor& color);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);

    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

    bool Down() const { return down_; }
    // Only a StayDown button can be put down or up from outside.
    void SetDown(bool down);
    bool StayDown() const { return stayDown_; }
    // Switching it either way releases the button.
    void SetStayDown(bool stayDown);
    // The letter drawn in the hot colour; a null character for none.
    QChar HighlightChar() const { return highlightChar_; }
    void SetHighlightChar(QChar c);
    bool MouseOver() const { return mouseOver_; }

    // The look of the game's buttons: 85 x 21, two bevel rings, black face,
    // aqua highlight, teal shadow, white hot colour, the 13-pixel display
    // font in aqua.
    void SetGameStyle();

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QColor Resolve(int role) const;

    QString caption_;
    bool captionSet_ = false;
    QColor fontColor_;
    QColor color_;
    QColor highlight_;
    QColor shadow_;
    QColor hot_ = Qt::black;
    int bevelWidth_ = 1;
    QImage glyph_;
    bool stretch_ = false;
    bool down_ = false;
    bool stayDown_ = false;
    bool pressed_ = false;  // a press began on the button and its release is awaited
    QChar highlightChar_;
    bool mouseOver_ = false;
};

} // namespace qx
