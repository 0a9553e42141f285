#include "render/RgbPixelCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qx {

TRgbPixelCanvas::TRgbPixelCanvas(int32_t width, int32_t height, TColor fill)
    : Width_(std::max(width, 0)), Height_(std::max(height, 0)),
      Pixels_(static_cast<size_t>(Width_) * static_cast<size_t>(Height_), fill) {}

TColor TRgbPixelCanvas::Pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return clBlack;
    return Pixels_[static_cast<size_t>(y) * static_cast<size_t>(Width_) + static_cast<size_t>(x)];
}

int32_t TRgbPixelCanvas::CountColor(TColor color) const {
    return static_cast<int32_t>(std::count(Pixels_.begin(), Pixels_.end(), color & 0xFFFFFF));
}

void TRgbPixelCanvas::Plot(int32_t x, int32_t y, TColor color) {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return;
    Pixels_[static_cast<size_t>(y) * static_cast<size_t>(Width_) + static_cast<size_t>(x)] = color & 0xFFFFFF;
}

// One pixel of an outline or line: a dotted pen leaves every other pixel.
void TRgbPixelCanvas::PenPlot(int32_t x, int32_t y, int32_t step) {
    if (Pen.Style == TPenStyle::psClear) return;
    if (Pen.Style == TPenStyle::psDot && step % 2 != 0) return;
    Plot(x, y, Pen.Color);
}

void TRgbPixelCanvas::Span(int32_t y, int32_t x1, int32_t x2, TColor color) {
    if (y < 0 || y >= Height_) return;
    for (int32_t x = std::max(x1, 0); x <= std::min(x2, Width_ - 1); ++x) Plot(x, y, color);
}

void TRgbPixelCanvas::SetPixel(int32_t x, int32_t y, TColor color) { Plot(x, y, color); }

void TRgbPixelCanvas::FillRect(const TRect& rect) {
    for (int32_t y = std::max(rect.Top, 0); y < std::min(rect.Bottom, Height_); ++y)
        Span(y, rect.Left, rect.Right - 1, Brush.Color);
}

void TRgbPixelCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (right <= left || bottom <= top) return;
    if (Brush.Style == TBrushStyle::bsSolid) FillRect({left + 1, top + 1, right - 1, bottom - 1});
    // Only the part of the outline over the buffer is walked; a dotted pen
    // keeps its pattern by position.
    for (int32_t x = std::max(left, 0); x < std::min(right, Width_); ++x) {
        PenPlot(x, top, x - left);
        PenPlot(x, bottom - 1, x - left);
    }
    for (int32_t y = std::max(top + 1, 0); y < std::min(bottom - 1, Height_); ++y) {
        PenPlot(left, y, y - top);
        PenPlot(right - 1, y, y - top);
    }
}

void TRgbPixelCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (right <= left || bottom <= top) return;
    // Pixel centres inside the ellipse inscribed in the box.
    const double cx = (static_cast<double>(left) + right) / 2, cy = (static_cast<double>(top) + bottom) / 2;
    const double a = (static_cast<double>(right) - left) / 2, b = (static_cast<double>(bottom) - top) / 2;
    auto inside = [&](int64_t x, int64_t y) {
        if (x < left || x >= right || y < top || y >= bottom) return false;
        const double dx = (static_cast<double>(x) + 0.5 - cx) / a, dy = (static_cast<double>(y) + 0.5 - cy) / b;
        return dx * dx + dy * dy <= 1.0;
    };
    // Only the part that can reach the buffer is walked.
    const int32_t y0 = std::max(top, 0), y1 = std::min(bottom, Height_);
    const int32_t x0 = std::max(left, 0), x1 = std::min(right, Width_);
    int32_t step = 0;
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge && Pen.Style != TPenStyle::psClear)
                PenPlot(x, y, step++);
            else if (Brush.Style == TBrushStyle::bsSolid)
                Plot(x, y, Brush.Color);
        }
}

void TRgbPixelCanvas::LineTo(int32_t x, int32_t y) {
    const int32_t fromX = PenX_, fromY = PenY_;
    MoveTo(x, y);
    // Cut the segment to the buffer's surroundings first, so that a line
    // with far-away ends costs no more than one across the buffer.
    const double x0 = fromX, y0 = fromY, dx = static_cast<double>(x) - fromX, dy = static_cast<double>(y) - fromY;
    double t0 = 0, t1 = 1;
    auto clip = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        return t0 <= t1;
    };
    if (!clip(-dx, x0 + 1) || !clip(dx, Width_ - x0) || !clip(-dy, y0 + 1) || !clip(dy, Height_ - y0)) return;
    const bool cutEnd = t1 < 1;
    int64_t cx = fromX, cy = fromY, ex = x, ey = y;
    if (t0 > 0) {
        cx = std::llround(x0 + t0 * dx);
        cy = std::llround(y0 + t0 * dy);
    }
    if (cutEnd) {
        ex = std::llround(x0 + t1 * dx);
        ey = std::llround(y0 + t1 * dy);
    }
    // Bresenham; the end point itself is left out unless it was cut away.
    const int64_t adx = std::llabs(ex - cx), ady = -std::llabs(ey - cy);
    const int64_t sx = cx < ex ? 1 : -1, sy = cy < ey ? 1 : -1;
    int64_t error = adx + ady;
    for (int32_t step = 0;; ++step) {
        const bool atEnd = cx == ex && cy == ey;
        if (atEnd && !cutEnd) break;
        if (cx >= 0 && cy >= 0 && cx < Width_ && cy < Height_)
            PenPlot(static_cast<int32_t>(cx), static_cast<int32_t>(cy), step);
        if (atEnd) break;
        const int64_t e2 = 2 * error;
        if (e2 >= ady) {
            error += ady;
            cx += sx;
        }
        if (e2 <= adx) {
            error += adx;
            cy += sy;
        }
    }
}

void TRgbPixelCanvas::DrawPixels(int32_t x, int32_t y, int32_t width, int32_t height, const TColor* pixels) {
    if (!pixels || width <= 0 || height <= 0) return;
    for (int32_t row = std::max(0, -y); row < height && int64_t{y} + row < Height_; ++row)
        for (int32_t col = std::max(0, -x); col < width && int64_t{x} + col < Width_; ++col)
            Plot(x + col, y + row, pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col)]);
}

void TRgbPixelCanvas::StretchDraw(const TRect& dest, const TIndexedBitmap& bitmap) {
    if (dest.IsEmpty() || bitmap.Empty()) return;
    const int64_t w = dest.Width(), h = dest.Height();
    for (int32_t y = std::max(dest.Top, 0); y < std::min(dest.Bottom, Height_); ++y) {
        const auto sy = static_cast<int32_t>((int64_t{y} - dest.Top) * bitmap.Height() / h);
        for (int32_t x = std::max(dest.Left, 0); x < std::min(dest.Right, Width_); ++x) {
            const auto sx = static_cast<int32_t>((int64_t{x} - dest.Left) * bitmap.Width() / w);
            const TRgbQuad& c = bitmap.Palette[bitmap.Pixel(sx, sy)];
            Plot(x, y, RgbColor(c.Red, c.Green, c.Blue));
        }
    }
}

} // namespace qx
