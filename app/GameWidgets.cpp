#include "app/GameWidgets.h"

#include <QCheckBox>
#include <QPainter>
#include <QSpinBox>

#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "controls/GraphicPanel.h"
#include "game/SelectionPanels.h"

namespace qx::widgets {

QColor ToQColor(uint32_t color) { return QColor(color & 255, (color >> 8) & 255, (color >> 16) & 255); }

QLabel* Caption(QWidget* parent, const QString& name, int pixelHeight, const QColor& color, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(DisplayFont(pixelHeight));
    label->setAlignment(alignment);
    SetColor(label, color);
    return label;
}

void SetText(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

void SetColor(QWidget* widget, const QColor& color) {
    if (widget->palette().color(QPalette::WindowText) == color) return;
    QPalette colors = widget->palette();
    colors.setColor(QPalette::WindowText, color);
    colors.setColor(QPalette::Text, color);
    widget->setPalette(colors);
}

void SetVisible(QWidget* widget, bool visible) {
    if (widget->isVisibleTo(widget->parentWidget()) != visible) widget->setVisible(visible);
}

void Show(QLabel* label, const TCaption& caption) {
    SetText(label, QString::fromStdString(caption.Text));
    SetColor(label, ToQColor(caption.Color));
    SetVisible(label, caption.Visible);
}

TColorButton* Button(QWidget* parent, const QString& name, const QString& caption, QChar hotKey) {
    auto* button = new TColorButton(parent);
    button->setObjectName(name);
    button->SetGameStyle();
    button->SetCaption(caption);
    button->SetHighlightChar(hotKey);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

TColorButton* ToolButton(QWidget* parent, const QString& name, const QString& hint, const QImage& glyph) {
    auto* button = Button(parent, name, QString());
    button->SetCaption(QString());
    button->SetGlyph(glyph);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    return button;
}

QCheckBox* CheckBox(QWidget* parent, const QString& name, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setFont(DisplayFont(12));
    box->setFocusPolicy(Qt::NoFocus);
    QPalette colors = box->palette();
    colors.setColor(QPalette::WindowText, style::Aqua());
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, style::Aqua());
    colors.setColor(QPalette::Window, Qt::black);
    colors.setColor(QPalette::Button, Qt::black);
    box->setPalette(colors);
    return box;
}

QSpinBox* SpinBox(QWidget* parent, const QString& name, int minimum, int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(minimum, maximum);
    spin->setFont(DisplayFont(13));
    spin->setAlignment(Qt::AlignRight);
    QPalette colors = spin->palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, style::Aqua());
    colors.setColor(QPalette::Window, Qt::black);
    colors.setColor(QPalette::Button, QColor(0, 48, 48));
    colors.setColor(QPalette::ButtonText, style::Aqua());
    colors.setColor(QPalette::Highlight, style::Teal());
    spin->setPalette(colors);
    return spin;
}

TGraphicPanel* Panel(QWidget* parent, const QString& name, const QColor& fontColor) {
    auto* panel = new TGraphicPanel(parent);
    panel->setObjectName(name);
    panel->SetColor(Qt::black);
    panel->SetColorHighlight(style::Teal());
    panel->SetColorShadow(QColor(0, 64, 64));
    panel->SetBevelOuter(TBevelCut::Lowered);
    panel->SetFontColor(fontColor);
    panel->setFont(DisplayFont(13));
    return panel;
}

QImage Glyph(TGlyph glyph) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb aqua = qRgb(0, 255, 255), teal = qRgb(0, 160, 160), white = qRgb(255, 255, 255),
               yellow = qRgb(255, 220, 0);
    const auto dot = [&](int x, int y, QRgb color) {
        if (x >= 0 && y >= 0 && x < 16 && y < 16) image.setPixel(x, y, color);
    };
    switch (glyph) {
    case TGlyph::Grid:
        for (int i = 1; i < 16; i += 5)
            for (int j = 1; j < 16; ++j) {
                dot(i, j, aqua);
                dot(j, i, aqua);
            }
        break;
    case TGlyph::Capital:
        // A star system in a targeting ring.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int dx = 2 * x - 15, dy = 2 * y - 15, r = dx * dx + dy * dy;
                if (r <= 30) dot(x, y, yellow);
                else if (r >= 150 && r <= 196) dot(x, y, aqua);
            }
        for (int i = 0; i < 3; ++i) {
            dot(7 + (i == 1), i, white), dot(7 + (i == 1), 15 - i, white);
            dot(i, 7 + (i == 1), white), dot(15 - i, 7 + (i == 1), white);
        }
        break;
    case TGlyph::Scroller:
        // Four arrows from the middle.
        for (int i = 2; i < 14; ++i) {
            dot(7, i, teal), dot(8, i, teal);
            dot(i, 7, teal), dot(i, 8, teal);
        }
        for (int i = 0; i < 4; ++i) {
            dot(7 - i, 1 + i, white), dot(8 + i, 1 + i, white);    // up
            dot(7 - i, 14 - i, white), dot(8 + i, 14 - i, white);  // down
            dot(1 + i, 7 - i, white), dot(1 + i, 8 + i, white);    // left
            dot(14 - i, 7 - i, white), dot(14 - i, 8 + i, white);  // right
        }
        break;
    case TGlyph::Save:
        // A floppy disk.
        for (int y = 1; y < 15; ++y)
            for (int x = 1; x < 15; ++x) dot(x, y, (x == 1 || y == 1 || x == 14 || y == 14) ? aqua : qRgb(0, 70, 90));
        for (int y = 2; y < 6; ++y)
            for (int x = 4; x < 12; ++x) dot(x, y, x >= 9 && x <= 10 && y >= 3 ? qRgb(0, 70, 90) : white);
        for (int y = 9; y < 14; ++y)
            for (int x = 3; x < 13; ++x) dot(x, y, (y == 9 || x == 3 || x == 12) ? teal : qRgb(20, 20, 20));
        break;
    case TGlyph::StarSystems:
    case TGlyph::StarShips:
        // A list: a small sign and a line per row, three rows.
        for (int row = 0; row < 3; ++row) {
            const int y = 2 + row * 5;
            for (int x = 6; x < 15; ++x) dot(x, y + 1, teal);
            if (glyph == TGlyph::StarSystems) {
                for (int dy = 0; dy < 3; ++dy)
                    for (int dx = 0; dx < 3; ++dx) dot(1 + dx, y + dy, (dx == 1 || dy == 1) ? yellow : aqua);
            } else {
                dot(1, y, white), dot(2, y + 1, white), dot(3, y + 1, aqua), dot(1, y + 2, white);
                dot(1, y + 1, aqua);
            }
        }
        break;
    case TGlyph::Communicate:
        // A speech bubble with three dots.
        for (int y = 2; y < 11; ++y)
            for (int x = 1; x < 15; ++x)
                dot(x, y, (y == 2 || y == 10 || x == 1 || x == 14) ? aqua : qRgb(0, 50, 60));
        for (int i = 0; i < 3; ++i) dot(4 + i, 11 + i, aqua), dot(5 + i, 11, aqua);
        for (int x : {4, 7, 10}) dot(x, 6, white), dot(x + 1, 6, white);
        break;
    case TGlyph::Alliances:
        // Two rings linked.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int ax = 2 * x - 11, bx = 2 * x - 19, dy = 2 * y - 15;
                const int a = ax * ax + dy * dy, b = bx * bx + dy * dy;
                if (a >= 26 && a <= 49) dot(x, y, aqua);
                if (b >= 26 && b <= 49) dot(x, y, yellow);
            }
        break;
    }
    return image;
}

} // namespace qx::widgets
