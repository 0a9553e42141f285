#include "controls/ColorButton.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "controls/ControlRules.h"
#include "controls/GameStyle.h"

namespace qx {

TColorButton::TColorButton(QWidget* parent) : QWidget(parent) {
    const QPalette& colors = palette();
    fontColor_ = colors.color(QPalette::ButtonText);
    color_ = colors.color(QPalette::Button);
    highlight_ = colors.color(QPalette::Light);
    shadow_ = colors.color(QPalette::Dark);
    resize(75, 25);
    setAttribute(Qt::WA_Hover, false);
    setMouseTracking(false);
}

QString TColorButton::Caption() const { return captionSet_ ? caption_ : objectName(); }

void TColorButton::SetCaption(const QString& caption) {
    caption_ = caption;
    captionSet_ = true;
    update();
}

void TColorButton::SetFontColor(const QColor& color) { fontColor_ = color; update(); }
void TColorButton::SetColor(const QColor& color) { color_ = color; update(); }
void TColorButton::SetColorHighlight(const QColor& color) { highlight_ = color; update(); }
void TColorButton::SetColorShadow(const QColor& color) { shadow_ = color; update(); }
void TColorButton::SetColorHot(const QColor& color) { hot_ = color; update(); }

void TColorButton::SetBevelWidth(int width) {
    bevelWidth_ = width < 0 ? 0 : width;
    update();
}

void TColorButton::SetGlyph(const QImage& glyph) { glyph_ = glyph; update(); }
void TColorButton::SetStretch(bool stretch) { stretch_ = stretch; update(); }

void TColorButton::SetDown(bool down) {
    if (!stayDown_ || down_ == down) return;
    down_ = down;
    update();
}

void TColorButton::SetStayDown(bool stayDown) {
    stayDown_ = stayDown;
    down_ = false;
    update();
}

void TColorButton::SetHighlightChar(QChar c) { highlightChar_ = c; update(); }

void TColorButton::SetGameStyle() {
    resize(85, 21);
    bevelWidth_ = 2;
    color_ = Qt::black;
    highlight_ = style::Aqua();
    shadow_ = style::Teal();
    hot_ = Qt::white;
    fontColor_ = style::Aqua();
    setFont(DisplayFont(13));
    update();
}

QSize TColorButton::sizeHint() const { return size(); }

QColor TColorButton::Resolve(int role) const {
    switch (static_cast<TButtonColor>(role)) {
    case TButtonColor::Face: return color_;
    case TButtonColor::Highlight: return highlight_;
    case TButtonColor::Shadow: return shadow_;
    case TButtonColor::Hot: return hot_;
    }
    return color_;
}

void TColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);

    const TButtonLook look = ButtonLook(down_, mouseOver_ && isEnabled());

    painter.fillRect(rect(), Resolve(static_cast<int>(look.Face)));
    const QColor topLeft = Resolve(static_cast<int>(look.TopLeft));
    const QColor bottomRight = Resolve(static_cast<int>(look.BottomRight));
    for (int i = 0; i < bevelWidth_; ++i) {
        const QRect ring = RingRect(size(), i);
        if (ring.isEmpty()) break;
        PaintRing(painter, ring, topLeft, bottomRight);
    }

    const QString caption = Caption();
    if (!caption.isEmpty()) {
        painter.setFont(font());
        const QFontMetrics metrics(font());
        const THighlightSplit split = SplitHighlight(caption, highlightChar_);
        const QString whole = split.Before + split.Hot + split.After;
        QPoint origin = CenteredTextOrigin(size(), QSize(metrics.horizontalAdvance(whole), metrics.height()));
        origin += look.TextShift;
        QColor text = look.TextInFaceColor ? color_ : fontColor_;
        if (!isEnabled()) text = shadow_;
        const QColor hotText = isEnabled() ? hot_ : shadow_;
        int x = origin.x();
        const int baseline = origin.y() + metrics.ascent();
        const auto draw = [&](const QString& part, const QColor& color) {
            if (part.isEmpty()) return;
            painter.setPen(color);
            painter.drawText(x, baseline, part);
            x += metrics.horizontalAdvance(part);
        };
        draw(split.Before, text);
        draw(split.Hot, hotText);
        draw(split.After, text);
    } else if (!glyph_.isNull()) {
        const QRect target = GlyphTarget(size(), glyph_.size(), bevelWidth_, stretch_, down_);
        if (!target.isEmpty()) painter.drawImage(target, glyph_);
    }
}

void TColorButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    down_ = stayDown_ ? !down_ : true;
    update();
}

void TColorButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    if (!stayDown_) down_ = false;
    update();
    if (isEnabled() && rect().contains(event->position().toPoint())) emit clicked();
}

void TColorButton::enterEvent(QEnterEvent* event) {
    mouseOver_ = true;
    update();
    QWidget::enterEvent(event);
}

void TColorButton::leaveEvent(QEvent* event) {
    mouseOver_ = false;
    update();
    QWidget::leaveEvent(event);
}

void TColorButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) pressed_ = false;
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace qx
