#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QChar>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace qx {

// The geometry and text rules of the self-drawn controls, kept apart from the
// painting so they can be checked without pixels.

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4); values beyond the int range are clamped.
int RoundHalfEven(double value);

// A button caption cut around its hot-key letter: Before, then Hot drawn in
// the hot colour, then After. Without the letter in the caption the whole
// caption is Before and the letter is still drawn after it; without a
// letter (a null character) Hot is empty.
struct THighlightSplit {
    QString Before;
    QString Hot;
    QString After;
};
THighlightSplit SplitHighlight(const QString& caption, QChar highlight);

// Which of a button's colours paints what.
enum class TButtonColor { Face, Highlight, Shadow, Hot };
struct TButtonLook {
    TButtonColor Face;
    TButtonColor TopLeft;      // top and left bevel edges
    TButtonColor BottomRight;  // right and bottom bevel edges
    bool TextInFaceColor;      // a pressed button writes its caption in Color
    QPoint TextShift;          // (1, 1) while pressed
};
TButtonLook ButtonLook(bool down, bool mouseOver);

// Top-left corner of a caption of the given size centred in the button
// (integer division, as the platform measured it).
QPoint CenteredTextOrigin(QSize control, QSize text);

// Where a glyph goes when there is no caption: stretched inside the bevel
// ((bevel, bevel) to (width - bevel - 1, height - bevel - 1), both inclusive
// as the rectangle's edges), or centred, one pixel right and down while pressed.
QRect GlyphTarget(QSize control, QSize glyph, int bevelWidth, bool stretch, bool down);

// The rectangle of bevel ring `ring` (0 = outermost) of a control, or an
// empty rectangle when the control is too small for it.
QRect RingRect(QSize control, int ring);

enum class TCaptionAlignment { Left, Right, Center };
// X of a panel caption; `rings` is every ring drawn (border, bevels, border width).
int PanelCaptionX(TCaptionAlignment alignment, int width, int textWidth, int rings);

// The rectangle an elastic panel gives a child it laid out at `original`
// when the panel was designed at `design` and is now `now`. A design size
// below 1 in a direction does not scale that direction; `keepHeight` keeps
// the height (a Tag of -1, an edit box).
QRect ElasticRect(const QRect& original, QSize design, QSize now, bool horizontal, bool vertical, bool keepHeight);

// The text a list item shows by default: cut before the first delimiter
// when `useDelimiter`; an item without the delimiter shows its whole text.
QString ListItemText(const QString& text, bool useDelimiter, QChar delimiter);

// The readout's text: the value in decimal with at least `formatWidth`
// digits, zero-padded, a minus sign before the zeros.
QString FormatReadout(int32_t value, int formatWidth);

// One character of a readout as it is copied from the digit strip.
struct TReadoutGlyph {
    int X = 0;          // left edge in the control
    QRect Source;       // part of the digit strip copied to (X + Source-offset, top)
    QPoint Offset;      // where Source lands relative to (X, inset)
};

// The characters of `text` that fit between `inset` and `width - inset`,
// walked from the last: each takes `numberWidth` pixels plus `gap`; a
// character whose left edge is not right of the inset is not drawn, nor any
// before it. Digits take their image from the strip; "-" the eleventh image
// when the strip holds one, otherwise the middle bar of the "8" image, so a
// ten-image strip is never read past. Characters with no image are skipped.
std::vector<TReadoutGlyph> ReadoutLayout(const QString& text, int width, int inset, int numberWidth, int gap,
                                         QSize strip);

// The rectangle of cell (x, y) of a picture of `picture` cut into
// cellsX x cellsY cells; none for a negative or too large index, no cells or
// an empty picture.
std::optional<QRect> CellRect(QSize picture, int cellsX, int cellsY, int x, int y);

} // namespace qx
