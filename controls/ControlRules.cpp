#include "controls/ControlRules.h"

#include <climits>
#include <cmath>

namespace qx {

int RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double result = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) result += 1.0;
    return static_cast<int>(result);
}

THighlightSplit SplitHighlight(const QString& caption, QChar highlight) {
    THighlightSplit split;
    if (highlight.isNull()) {
        split.Before = caption;
        return split;
    }
    const qsizetype at = caption.indexOf(highlight, 0, Qt::CaseSensitive);
    if (at < 0) {
        split.Before = caption;
        split.Hot = QString(highlight);
        return split;
    }
    split.Before = caption.left(at);
    split.Hot = caption.mid(at, 1);
    split.After = caption.mid(at + 1);
    return split;
}

TButtonLook ButtonLook(bool down, bool mouseOver) {
    TButtonLook look{};
    look.Face = down ? TButtonColor::Shadow : TButtonColor::Face;
    if (down) {
        look.TopLeft = TButtonColor::Shadow;
        look.BottomRight = TButtonColor::Highlight;
    } else if (mouseOver) {
        look.TopLeft = TButtonColor::Hot;
        look.BottomRight = TButtonColor::Hot;
    } else {
        look.TopLeft = TButtonColor::Highlight;
        look.BottomRight = TButtonColor::Shadow;
    }
    look.TextInFaceColor = down;
    look.TextShift = down ? QPoint(1, 1) : QPoint(0, 0);
    return look;
}

namespace {

// The platform's integer division, truncating toward zero.
int Half(int value) { return value / 2; }

} // namespace

QPoint CenteredTextOrigin(QSize control, QSize text) {
    return QPoint(Half(control.width() - text.width()), Half(control.height() - text.height()));
}

QRect GlyphTarget(QSize control, QSize glyph, int bevelWidth, bool stretch, bool down) {
    if (stretch) {
        const int width = control.width() - 2 * bevelWidth - 1;
        const int height = control.height() - 2 * bevelWidth - 1;
        if (width <= 0 || height <= 0) return QRect();
        return QRect(bevelWidth, bevelWidth, width, height);
    }
    const int shift = down ? 1 : 0;
    return QRect(Half(control.width() - glyph.width()) + shift, Half(control.height() - glyph.height()) + shift,
                 glyph.width(), glyph.height());
}

QRect RingRect(QSize control, int ring) {
    const int width = control.width() - 2 * ring;
    const int height = control.height() - 2 * ring;
    if (ring < 0 || width <= 0 || height <= 0) return QRect();
    return QRect(ring, ring, width, height);
}

int PanelCaptionX(TCaptionAlignment alignment, int width, int textWidth, int rings) {
    switch (alignment) {
    case TCaptionAlignment::Left: return rings + 1;
    case TCaptionAlignment::Right: return width - textWidth - rings - 1;
    case TCaptionAlignment::Center: break;
    }
    return Half(width - textWidth);
}

QRect ElasticRect(const QRect& original, QSize design, QSize now, bool horizontal, bool vertical, bool keepHeight) {
    int left = original.left();
    int top = original.top();
    int width = original.width();
    int height = original.height();
    if (horizontal && design.width() >= 1) {
        const double sx = static_cast<double>(now.width()) / design.width();
        left = RoundHalfEven(original.left() * sx);
        width = RoundHalfEven(original.width() * sx);
    }
    if (vertical && design.height() >= 1) {
        const double sy = static_cast<double>(now.height()) / design.height();
        top = RoundHalfEven(original.top() * sy);
        if (!keepHeight) height = RoundHalfEven(original.height() * sy);
    }
    return QRect(left, top, width, height);
}

QString ListItemText(const QString& text, bool useDelimiter, QChar delimiter) {
    if (!useDelimiter) return text;
    const qsizetype at = text.indexOf(delimiter);
    return at < 0 ? text : text.left(at);
}

QString FormatReadout(int32_t value, int formatWidth) {
    const bool negative = value < 0;
    // Through 64 bits, so the lowest value has a magnitude too.
    QString digits = QString::number(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
    if (formatWidth > digits.size()) digits = QString(formatWidth - digits.size(), QLatin1Char('0')) + digits;
    return negative ? QLatin1Char('-') + digits : digits;
}

std::vector<TReadoutGlyph> ReadoutLayout(const QString& text, int width, int inset, int numberWidth, int gap,
                                         QSize strip) {
    std::vector<TReadoutGlyph> glyphs;
    if (numberWidth <= 0 || strip.isEmpty()) return glyphs;
    int right = width - inset;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const int x = right - numberWidth;
        if (x <= inset) break;
        const QChar c = text[i];
        TReadoutGlyph glyph;
        glyph.X = x;
        bool drawn = false;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            const int sourceX = (c.unicode() - '0') * numberWidth;
            if (sourceX + numberWidth <= strip.width()) {
                glyph.Source = QRect(sourceX, 0, numberWidth, strip.height());
                drawn = true;
            }
        } else if (c == QLatin1Char('-')) {
            if (11 * numberWidth <= strip.width()) {
                glyph.Source = QRect(10 * numberWidth, 0, numberWidth, strip.height());
                drawn = true;
            } else if (9 * numberWidth <= strip.width()) {
                // The middle bar of the "8": its centre columns and rows.
                const int left = numberWidth / 4, top = strip.height() / 3;
                const int w = numberWidth - 2 * left, h = strip.height() - 2 * top;
                if (w > 0 && h > 0) {
                    glyph.Source = QRect(8 * numberWidth + left, top, w, h);
                    glyph.Offset = QPoint(left, top);
                    drawn = true;
                }
            }
        }
        if (drawn) glyphs.push_back(glyph);
        right = x - gap;
    }
    return glyphs;
}

std::optional<QRect> CellRect(QSize picture, int cellsX, int cellsY, int x, int y) {
    if (cellsX < 1 || cellsY < 1 || x < 0 || y < 0 || x >= cellsX || y >= cellsY) return std::nullopt;
    const int width = picture.width() / cellsX;
    const int height = picture.height() / cellsY;
    if (width < 1 || height < 1) return std::nullopt;
    return QRect(x * width, y * height, width, height);
}

} // namespace qx
