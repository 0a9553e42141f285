#include "render/qt/QtPlatformCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>

#include "render/qt/GameFonts.h"

namespace qx {

namespace {

// Marker colours of the scratch image: with anti-aliasing off every painted
// pixel is exactly one of them.
constexpr QRgb kInkMarker = 0xFFFF0000;
constexpr QRgb kFillMarker = 0xFF0000FF;

// Wider pens are drawn this wide; nothing in the game comes close.
constexpr int32_t kMaxPenWidth = 64;

int32_t WidthOf(const TPen& pen) { return std::clamp(pen.Width, 1, kMaxPenWidth); }

QPen MarkerPen(const TPen& pen) {
    if (pen.Style == TPenStyle::psClear) return QPen(Qt::NoPen);
    QPen result{QColor::fromRgba(kInkMarker)};
    result.setWidth(WidthOf(pen));
    // One pixel on, one off: a dotted ring still reads as a ring.
    if (pen.Style == TPenStyle::psDot) result.setDashPattern({1.0, 1.0});
    return result;
}

} // namespace

TQtPlatformCanvas::TQtPlatformCanvas(TDIBCanvas& frame, const TColorPalette& palette)
    : Frame_(frame), Palette_(palette), PaletteGeneration_(palette.Generation()) {
    EnsureGuiApplication();
}

TQtPlatformCanvas::~TQtPlatformCanvas() = default;

uint8_t TQtPlatformCanvas::IndexOf(TColor color) {
    color &= 0xFFFFFF;
    if (Palette_.Generation() != PaletteGeneration_) {
        Nearest_.clear();
        PaletteGeneration_ = Palette_.Generation();
    }
    const auto found = Nearest_.find(color);
    if (found != Nearest_.end()) return found->second;
    const uint8_t index = Palette_.NearestIndex(color);
    Nearest_.emplace(color, index);
    return index;
}

uint8_t* TQtPlatformCanvas::Row(int32_t y) const {
    const int32_t row = Frame_.BottomUp ? Frame_.Height() - 1 - y : y;
    return Frame_.Bits() + static_cast<size_t>(row) * static_cast<size_t>(Frame_.Width());
}

void TQtPlatformCanvas::FillSpan(int64_t y, int64_t x0, int64_t x1, uint8_t index) {
    if (!Frame_.Bits() || y < 0 || y >= Frame_.Height()) return;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, Frame_.Width() - 1);
    if (x0 > x1) return;
    std::memset(Row(static_cast<int32_t>(y)) + x0, index, static_cast<size_t>(x1 - x0 + 1));
}

void TQtPlatformCanvas::Blit(const TShape& shape, int32_t x, int32_t y, uint8_t ink, uint8_t fill) {
    for (const TRun& run : shape.Runs) {
        const int64_t py = int64_t{y} + run.Y;
        if (py < 0 || py >= Frame_.Height()) continue;
        const int64_t x0 = int64_t{x} + run.X0, x1 = int64_t{x} + run.X1;
        FillSpan(py, x0, x1, run.Ink ? ink : fill);
    }
}

std::vector<TQtPlatformCanvas::TRun> TQtPlatformCanvas::Rasterise(const TRect& area, const TPaint& paint) {
    std::vector<TRun> runs;
    if (area.IsEmpty()) return runs;
    QImage scratch(area.Width(), area.Height(), QImage::Format_ARGB32);
    if (scratch.isNull()) return runs;
    scratch.fill(Qt::transparent);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.translate(-area.Left, -area.Top);
        paint(painter);
    }
    for (int32_t sy = 0; sy < area.Height(); ++sy) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(sy));
        int32_t sx = 0;
        while (sx < area.Width()) {
            const QRgb kind = line[sx];
            if (qAlpha(kind) == 0) {
                ++sx;
                continue;
            }
            const int32_t start = sx;
            while (sx < area.Width() && line[sx] == kind) ++sx;
            // Anything that is not the fill marker was painted by the pen.
            runs.push_back({sy + area.Top, start + area.Left, sx - 1 + area.Left, kind != kFillMarker});
        }
    }
    return runs;
}

void TQtPlatformCanvas::Remember(std::string key, TShape shape) {
    if (Shapes_.size() >= MaxCachedShapes) Shapes_.clear();
    Shapes_.emplace(std::move(key), std::move(shape));
}

const TQtPlatformCanvas::TShape& TQtPlatformCanvas::TextShape(std::string_view text) {
    std::string key = "T";
    key += Font.Name;
    key += '\x1f';
    key += std::to_string(Font.Size);
    key += Font.Bold ? 'b' : 'n';
    key += text;
    if (const auto found = Shapes_.find(key); found != Shapes_.end()) return found->second;

    const QFont font = GameFont(Font);
    const QFontMetrics metrics(font);
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    TShape shape;
    shape.Extent = {metrics.horizontalAdvance(qtext), metrics.height()};
    if (!text.empty()) {
        // Glyphs may reach a little beyond their advance on either side.
        const int32_t margin = std::max(2, metrics.height() / 2);
        // Past MaxTextWidth pixels a text is cut off: no frame is that wide,
        // and the scratch image stays small whatever the text.
        const TRect area{-margin, 0, std::min(shape.Extent.Width, MaxTextWidth) + margin, shape.Extent.Height};
        const int ascent = metrics.ascent();
        shape.Runs = Rasterise(area, [&](QPainter& painter) {
            painter.setFont(font);
            painter.setPen(QColor::fromRgba(kInkMarker));
            painter.drawText(0, ascent, qtext);
        });
    }
    const std::string lookup = key;
    Remember(std::move(key), std::move(shape));
    return Shapes_.at(lookup);
}

TSize TQtPlatformCanvas::TextExtent(std::string_view text) { return TextShape(text).Extent; }

void TQtPlatformCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    const TShape& shape = TextShape(text);
    if (Brush.Style == TBrushStyle::bsSolid && shape.Extent.Width > 0) {
        const uint8_t background = IndexOf(Brush.Color);
        for (int32_t row = 0; row < shape.Extent.Height; ++row)
            FillSpan(int64_t{y} + row, x, int64_t{x} + shape.Extent.Width - 1, background);
    }
    const uint8_t ink = IndexOf(Font.Color);
    Blit(shape, x, y, ink, ink);
}

TQtPlatformCanvas::TShape TQtPlatformCanvas::EllipseShape(int32_t width, int32_t height, const TRect& area) const {
    const QPen pen = MarkerPen(Pen);
    const bool filled = Brush.Style == TBrushStyle::bsSolid;
    TShape shape;
    shape.Extent = {width, height};
    shape.Runs = Rasterise(area, [&](QPainter& painter) {
        painter.setPen(pen);
        painter.setBrush(filled ? QBrush(QColor::fromRgba(kFillMarker)) : QBrush(Qt::NoBrush));
        // An outlined QRect covers one pixel more than its width: the box
        // given here is Right/Bottom exclusive.
        painter.drawEllipse(QRect(0, 0, width - 1, height - 1));
    });
    return shape;
}

void TQtPlatformCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const int64_t width = int64_t{right} - left, height = int64_t{bottom} - top;
    if (width <= 0 || height <= 0) return;
    const bool outlined = Pen.Style != TPenStyle::psClear;
    const bool filled = Brush.Style == TBrushStyle::bsSolid;
    if (!outlined && !filled) return;
    const uint8_t ink = IndexOf(Pen.Color), fill = IndexOf(Brush.Color);
    const int32_t margin = outlined ? WidthOf(Pen) : 1;

    if (width > MaxCachedEllipse || height > MaxCachedEllipse) {
        // Only the part inside the frame is rasterised, and not kept.
        const int64_t l = std::max<int64_t>(-margin, -int64_t{left});
        const int64_t t = std::max<int64_t>(-margin, -int64_t{top});
        const int64_t r = std::min<int64_t>(width + margin, int64_t{Frame_.Width()} - left);
        const int64_t b = std::min<int64_t>(height + margin, int64_t{Frame_.Height()} - top);
        if (l >= r || t >= b) return;
        const TRect area{static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r),
                         static_cast<int32_t>(b)};
        Blit(EllipseShape(static_cast<int32_t>(width), static_cast<int32_t>(height), area), left, top, ink, fill);
        return;
    }
    // Wholly outside the frame: nothing to rasterise.
    if (int64_t{left} + width + margin < 0 || int64_t{top} + height + margin < 0 ||
        int64_t{left} - margin >= Frame_.Width() || int64_t{top} - margin >= Frame_.Height())
        return;
    const auto w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    std::string key = "E" + std::to_string(w) + "x" + std::to_string(h) + "p" +
                      std::to_string(static_cast<int>(Pen.Style)) + "w" + std::to_string(WidthOf(Pen)) +
                      (filled ? "f" : "c");
    auto found = Shapes_.find(key);
    if (found == Shapes_.end()) {
        Remember(key, EllipseShape(w, h, {-margin, -margin, w + margin, h + margin}));
        found = Shapes_.find(key);
    }
    Blit(found->second, left, top, ink, fill);
}

void TQtPlatformCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right <= 0 || bottom <= 0 || left >= Frame_.Width() || top >= Frame_.Height()) return;
    // Edges beyond the frame stay beyond it; this keeps the sums below small.
    const int32_t reach = WidthOf(Pen) + 1;
    left = std::max(left, -reach);
    top = std::max(top, -reach);
    right = std::min(right, Frame_.Width() + reach);
    bottom = std::min(bottom, Frame_.Height() + reach);
    if (right - left <= 0 || bottom - top <= 0) return;
    int32_t inset = 0;
    if (Pen.Style != TPenStyle::psClear) {
        const uint8_t ink = IndexOf(Pen.Color);
        const bool dotted = Pen.Style == TPenStyle::psDot;
        auto dot = [&](int32_t x, int32_t y) {
            if (!dotted || ((x + y) & 1) == 0) Frame_.SetPixel(x, y, ink);
        };
        // A wide pen draws nested outlines inward.
        const int32_t width = WidthOf(Pen);
        for (; inset < width && left + inset <= right - 1 - inset && top + inset <= bottom - 1 - inset; ++inset) {
            const int32_t l = left + inset, t = top + inset, r = right - 1 - inset, b = bottom - 1 - inset;
            if (!dotted) {
                FillSpan(t, l, r, ink);
                FillSpan(b, l, r, ink);
            } else {
                for (int32_t x = std::max(l, 0); x <= std::min(r, Frame_.Width() - 1); ++x) {
                    dot(x, t);
                    dot(x, b);
                }
            }
            for (int32_t y = std::max(t + 1, 0); y <= std::min(b - 1, Frame_.Height() - 1); ++y) {
                dot(l, y);
                dot(r, y);
            }
        }
    }
    if (Brush.Style == TBrushStyle::bsSolid) {
        const uint8_t fill = IndexOf(Brush.Color);
        const int32_t first = std::max(top + inset, 0), last = std::min(bottom - 1 - inset, Frame_.Height() - 1);
        for (int32_t y = first; y <= last; ++y) FillSpan(y, left + inset, right - 1 - inset, fill);
    }
}

void TQtPlatformCanvas::FillRect(const TRect& rect) {
    const uint8_t fill = IndexOf(Brush.Color);
    const int64_t first = std::max(rect.Top, 0);
    const int64_t last = std::min<int64_t>(int64_t{rect.Bottom} - 1, Frame_.Height() - 1);
    for (int64_t y = first; y <= last; ++y) FillSpan(y, rect.Left, int64_t{rect.Right} - 1, fill);
}

void TQtPlatformCanvas::MoveTo(int32_t x, int32_t y) { Pen_ = {x, y}; }

void TQtPlatformCanvas::LineTo(int32_t x, int32_t y) {
    int32_t x0 = Pen_.X, y0 = Pen_.Y, x1 = x, y1 = y;
    Pen_ = {x, y};
    if (Pen.Style == TPenStyle::psClear || (x0 == x1 && y0 == y1)) return;
    // The end point is left out, unless clipping moved it onto the border.
    const bool endInside = Frame_.Contains(x1, y1);
    if (!Frame_.ClipLine(x0, y0, x1, y1)) return;
    const uint8_t ink = IndexOf(Pen.Color);
    const bool dotted = Pen.Style == TPenStyle::psDot;
    const int64_t dx = std::llabs(int64_t{x1} - x0), dy = -std::llabs(int64_t{y1} - y0);
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t error = dx + dy;
    for (int64_t step = 0;; ++step) {
        const bool last = x0 == x1 && y0 == y1;
        if ((!last || !endInside) && (!dotted || step % 2 == 0)) Frame_.SetPixel(x0, y0, ink);
        if (last) break;
        const int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void TQtPlatformCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
    if (Frame_.Contains(x, y)) Frame_.SetPixel(x, y, IndexOf(color));
}

void TQtPlatformCanvas::DrawPixels(int32_t x, int32_t y, int32_t width, int32_t height, const TColor* pixels) {
    if (!pixels || width <= 0 || height <= 0) return;
    TColor lastColor = 0;
    uint8_t lastIndex = IndexOf(0);
    for (int32_t row = 0; row < height; ++row) {
        const int64_t py = int64_t{y} + row;
        if (py < 0 || py >= Frame_.Height()) continue;
        for (int32_t column = 0; column < width; ++column) {
            const int64_t px = int64_t{x} + column;
            if (px < 0 || px >= Frame_.Width()) continue;
            const TColor color = pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + column] & 0xFFFFFF;
            if (color != lastColor) {
                lastColor = color;
                lastIndex = IndexOf(color);
            }
            Frame_.SetPixel(static_cast<int32_t>(px), static_cast<int32_t>(py), lastIndex);
        }
    }
}

void TQtPlatformCanvas::StretchDraw(const TRect& dest, const TIndexedBitmap& bitmap) {
    if (bitmap.Empty() || dest.IsEmpty()) return;
    std::array<uint8_t, 256> map{};
    for (size_t i = 0; i < map.size(); ++i) {
        const TRgbQuad& c = bitmap.Palette[i];
        map[i] = IndexOf(RgbColor(c.Red, c.Green, c.Blue));
    }
    const int64_t dw = dest.Width(), dh = dest.Height();
    const int32_t firstY = std::max(dest.Top, 0), lastY = std::min(dest.Bottom, Frame_.Height());
    const int32_t firstX = std::max(dest.Left, 0), lastX = std::min(dest.Right, Frame_.Width());
    for (int32_t py = firstY; py < lastY; ++py) {
        const auto sy = static_cast<int32_t>((int64_t{py} - dest.Top) * bitmap.Height() / dh);
        uint8_t* row = Row(py);
        for (int32_t px = firstX; px < lastX; ++px) {
            const auto sx = static_cast<int32_t>((int64_t{px} - dest.Left) * bitmap.Width() / dw);
            row[px] = map[bitmap.Pixel(sx, sy)];
        }
    }
}

} // namespace qx
