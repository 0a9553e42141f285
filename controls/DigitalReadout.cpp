#include "controls/DigitalReadout.h"

#include <QPainter>

#include "controls/ControlRules.h"

namespace qx {

TDigitalReadout::TDigitalReadout(QWidget* parent) : TGraphicPanel(parent) {
    SetColor(Qt::black);
}

void TDigitalReadout::SetNumbers(const QImage& strip) {
    numbers_ = strip;
    numberWidth_ = strip.width() / 10;
    FitHeight();
    update();
}

void TDigitalReadout::SetNumberWidth(int width) {
    numberWidth_ = width < 0 ? 0 : width;
    update();
}

void TDigitalReadout::SetValue(int32_t value) {
    value_ = value;
    Reformat();
}

void TDigitalReadout::SetFormatWidth(int width) {
    formatWidth_ = width < 0 ? 0 : width;
    Reformat();
}

void TDigitalReadout::SetMargin(int margin) {
    margin_ = margin < 0 ? 0 : margin;
    FitHeight();
    update();
}

void TDigitalReadout::SetGap(int gap) {
    gap_ = gap;
    update();
}

void TDigitalReadout::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    FitHeight();
}

int TDigitalReadout::Inset() const {
    int inset = BorderWidth() + margin_;
    if (BevelOuter() != TBevelCut::None) inset += BevelWidth();
    if (BevelInner() != TBevelCut::None) inset += BevelWidth();
    return inset;
}

void TDigitalReadout::Reformat() {
    text_ = FormatReadout(value_, formatWidth_);
    update();
}

void TDigitalReadout::FitHeight() {
    if (!autoSize_ || fitting_ || numbers_.isNull()) return;
    const int height = numbers_.height() + 2 * Inset();
    if (height == this->height()) return;
    fitting_ = true;
    resize(width(), height);
    fitting_ = false;
}

void TDigitalReadout::resizeEvent(QResizeEvent* event) {
    TGraphicPanel::resizeEvent(event);
    FitHeight();
}

void TDigitalReadout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    PaintFrame(painter);
    if (numbers_.isNull()) return;
    const int inset = Inset();
    for (const TReadoutGlyph& glyph : ReadoutLayout(text_, width(), inset, numberWidth_, gap_, numbers_.size()))
        painter.drawImage(QPoint(glyph.X + glyph.Offset.x(), inset + glyph.Offset.y()), numbers_, glyph.Source);
}

} // namespace qx
