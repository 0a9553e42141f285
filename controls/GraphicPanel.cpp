#include "controls/GraphicPanel.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "controls/GameStyle.h"

namespace qx {

TGraphicPanel::TGraphicPanel(QWidget* parent) : QWidget(parent) {
    const QPalette& colors = palette();
    color_ = colors.color(QPalette::Window);
    fontColor_ = colors.color(QPalette::WindowText);
    highlight_ = colors.color(QPalette::Light);
    shadow_ = colors.color(QPalette::Dark);
}

void TGraphicPanel::SetCaption(const QString& caption) { caption_ = caption; update(); }
void TGraphicPanel::SetAlignment(TCaptionAlignment alignment) { alignment_ = alignment; update(); }
void TGraphicPanel::SetBevelInner(TBevelCut cut) { bevelInner_ = cut; update(); }
void TGraphicPanel::SetBevelOuter(TBevelCut cut) { bevelOuter_ = cut; update(); }
void TGraphicPanel::SetBevelWidth(int width) { bevelWidth_ = width < 0 ? 0 : width; update(); }
void TGraphicPanel::SetBorderSingle(bool single) { borderSingle_ = single; update(); }
void TGraphicPanel::SetBorderWidth(int width) { borderWidth_ = width < 0 ? 0 : width; update(); }
void TGraphicPanel::SetColor(const QColor& color) { color_ = color; update(); }
void TGraphicPanel::SetFontColor(const QColor& color) { fontColor_ = color; update(); }
void TGraphicPanel::SetColorHighlight(const QColor& color) { highlight_ = color; update(); }
void TGraphicPanel::SetColorShadow(const QColor& color) { shadow_ = color; update(); }

int TGraphicPanel::Rings() const {
    int rings = borderSingle_ ? 1 : 0;
    if (bevelOuter_ != TBevelCut::None) rings += bevelWidth_;
    rings += borderWidth_;
    if (bevelInner_ != TBevelCut::None) rings += bevelWidth_;
    return rings;
}

int TGraphicPanel::PaintFrame(QPainter& painter) {
    painter.fillRect(rect(), color_);
    int ring = 0;
    const auto draw = [&](const QColor& topLeft, const QColor& bottomRight) {
        PaintRing(painter, RingRect(size(), ring), topLeft, bottomRight);
        ++ring;
    };
    const auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::None) return;
        for (int i = 0; i < bevelWidth_; ++i) {
            if (cut == TBevelCut::Lowered)
                draw(shadow_, highlight_);
            else
                draw(highlight_, shadow_);
        }
    };
    if (borderSingle_) draw(palette().color(QPalette::WindowText), palette().color(QPalette::Base));
    bevel(bevelOuter_);
    for (int i = 0; i < borderWidth_; ++i) draw(color_, color_);
    bevel(bevelInner_);
    return ring;
}

void TGraphicPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    const int rings = PaintFrame(painter);
    if (caption_.isEmpty()) return;
    painter.setFont(font());
    painter.setPen(isEnabled() ? fontColor_ : shadow_);
    const QFontMetrics metrics(font());
    const int x = PanelCaptionX(alignment_, width(), metrics.horizontalAdvance(caption_), rings);
    const int y = CenteredTextOrigin(size(), QSize(0, metrics.height())).y();
    painter.drawText(x, y + metrics.ascent(), caption_);
}

void TGraphicPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace qx
