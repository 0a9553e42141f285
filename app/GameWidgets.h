#pragma once

#include <cstdint>

#include <QColor>
#include <QLabel>
#include <QString>

class QCheckBox;
class QSpinBox;
class QWidget;

namespace qx {

class TColorButton;
class TGraphicPanel;
struct TCaption;

// Small pieces the game's panels are built from, all in the game's look:
// black faces, aqua text, the display font.
namespace widgets {

// A colour of the game's texts (0x00BBGGRR) as Qt's.
QColor ToQColor(uint32_t color);

// A one-line caption in the display font.
QLabel* Caption(QWidget* parent, const QString& name, int pixelHeight, const QColor& color,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
// Shows what a panel model says: text, colour and whether it shows. Only
// what changed is touched, so refreshing every impulse costs nothing.
void Show(QLabel* label, const TCaption& caption);
void SetText(QLabel* label, const QString& text);
void SetColor(QWidget* widget, const QColor& color);
void SetVisible(QWidget* widget, bool visible);

// A game button (85 x 21 look) with its hot letter.
TColorButton* Button(QWidget* parent, const QString& name, const QString& caption, QChar hotKey = QChar());
// A small square toolbar button showing a glyph, its name as the hint.
TColorButton* ToolButton(QWidget* parent, const QString& name, const QString& hint, const QImage& glyph);
// A check box in aqua on black that never takes the keyboard focus (keys
// stay with the board).
QCheckBox* CheckBox(QWidget* parent, const QString& name, const QString& text);
// A number box in the game's colours.
QSpinBox* SpinBox(QWidget* parent, const QString& name, int minimum, int maximum);
// A bevelled caption panel.
TGraphicPanel* Panel(QWidget* parent, const QString& name, const QColor& fontColor);

// The toolbar's pictures, drawn pixel by pixel (16 x 16).
enum class TGlyph { Grid, Capital, Scroller, Save, StarSystems, StarShips, Communicate, Alliances };
QImage Glyph(TGlyph glyph);

} // namespace widgets

} // namespace qx
