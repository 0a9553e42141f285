#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;

namespace qx {

// The colours and fonts of the game's screens.
namespace style {

inline QColor Aqua() { return QColor(0, 255, 255); }
inline QColor Teal() { return QColor(0, 128, 128); }
inline QColor Navy() { return QColor(0, 0, 128); }
inline QColor Silver() { return QColor(192, 192, 192); }
inline QColor Gray() { return QColor(128, 128, 128); }

} // namespace style

// The display font ("Final Frontier", or its stand-in) at a whole pixel
// height, drawn without anti-aliasing.
QFont DisplayFont(int pixelHeight, bool bold = false);
// A plain, readable face for running text (descriptions, tips) at a pixel
// height, also without anti-aliasing.
QFont TextFont(int pixelHeight, bool bold = false);

// One bevel ring as the platform's line drawing leaves it: the top-left
// colour owns the left column and the top row but its last pixel, the
// bottom-right colour the right column and the bottom row but its first.
void PaintRing(QPainter& painter, const QRect& ring, const QColor& topLeft, const QColor& bottomRight);

} // namespace qx
