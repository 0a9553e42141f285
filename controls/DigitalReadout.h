#pragma once

#include <cstdint>

#include <QImage>

#include "controls/GraphicPanel.h"

namespace qx {

// A number shown in digit pictures cut from a strip of the digits 0..9 side
// by side (and, when the strip has room, a "-" after them), right-aligned
// inside the panel's rings and margin.
class TDigitalReadout : public TGraphicPanel {
    Q_OBJECT
public:
    explicit TDigitalReadout(QWidget* parent = nullptr);

    const QImage& Numbers() const { return numbers_; }
    // Also sets NumberWidth to a tenth of the strip's width.
    void SetNumbers(const QImage& strip);
    int NumberWidth() const { return numberWidth_; }
    void SetNumberWidth(int width);
    int32_t Value() const { return value_; }
    void SetValue(int32_t value);
    int FormatWidth() const { return formatWidth_; }
    void SetFormatWidth(int width);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Gap() const { return gap_; }
    void SetGap(int gap);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // The text the digits show.
    QString Text() const { return text_; }

    // Bevels, border width and margin: where the digits start.
    int Inset() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Reformat();
    void FitHeight();

    QImage numbers_;
    int numberWidth_ = 0;
    int32_t value_ = 0;
    int formatWidth_ = 1;
    int margin_ = 2;
    int gap_ = 0;
    bool autoSize_ = true;
    bool fitting_ = false;
    QString text_ = QStringLiteral("0");
};

} // namespace qx
