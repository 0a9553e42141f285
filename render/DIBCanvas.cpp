#include "render/DIBCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace qx {

namespace {

void CheckWidth(int32_t width) {
    if (width % 4 != 0) throw ERenderError("Width must be a multiple of 4");
}

} // namespace

TDIBCanvas::TDIBCanvas(TIndexedBitmap& bitmap) {
    CheckWidth(bitmap.Width());
    Width_ = bitmap.Width();
    Height_ = bitmap.Height();
    BottomUp = true;
    Bits_ = bitmap.Empty() ? nullptr : bitmap.Bits();
    if (Bits_) TransparentColorIndex = Bits_[0];
}

void TDIBCanvas::SetWidth(int32_t value) {
    CheckWidth(value);
    Width_ = std::max(value, 0);
}

void TDIBCanvas::SetHeight(int32_t value) { Height_ = std::max(value, 0); }

void TDIBCanvas::Attach(uint8_t* bits, int32_t width, int32_t height, bool bottomUp) {
    CheckWidth(width);
    Width_ = std::max(width, 0);
    Height_ = std::max(height, 0);
    Bits_ = bits;
    BottomUp = bottomUp;
}

bool TDIBCanvas::ClipLine(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) const {
    if (Width_ <= 0 || Height_ <= 0) return false;
    const int32_t right = Width_ - 1;
    const int32_t bottom = Height_ - 1;
    auto inside = [&](int32_t x, int32_t y) { return x >= 0 && x <= right && y >= 0 && y <= bottom; };
    if (inside(x0, y0) && inside(x1, y1)) return true;
    if ((x0 < 0 && x1 < 0) || (x0 > right && x1 > right) || (y0 < 0 && y1 < 0) || (y0 > bottom && y1 > bottom))
        return false;

    // Border crossings of the whole line, rounded to the nearest pixel. A
    // line parallel to a border never crosses it (-1 is outside the limits).
    const double ox = x0, oy = y0;
    const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
    auto yAt = [&](int32_t b) { return dx == 0 ? -1 : RoundHalfEven(dy / dx * (b - ox) + oy); };
    auto xAt = [&](int32_t b) { return dy == 0 ? -1 : RoundHalfEven(dx / dy * (b - oy) + ox); };

    auto clipEnd = [&](int32_t& x, int32_t& y) {
        if (inside(x, y)) return;
        if (x < 0 || x > right) {
            const int32_t b = x < 0 ? 0 : right;
            const int32_t ny = yAt(b);
            if (ny >= 0 && ny <= bottom) {
                x = b;
                y = ny;
                return;
            }
        }
        if (y < 0 || y > bottom) {
            const int32_t b = y < 0 ? 0 : bottom;
            const int32_t nx = xAt(b);
            if (nx >= 0 && nx <= right) {
                x = nx;
                y = b;
            }
        }
    };
    clipEnd(x0, y0);
    clipEnd(x1, y1);
    return inside(x0, y0) && inside(x1, y1);
}

void TDIBCanvas::LineTo(int32_t x, int32_t y) {
    int32_t x0 = PenX_, y0 = PenY_, x1 = x, y1 = y;
    if (Bits_ && ClipLine(x0, y0, x1, y1)) DrawClippedLine(x0, y0, x1, y1);
    PenX_ = x;
    PenY_ = y;
}

void TDIBCanvas::DrawClippedLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    // Bresenham, both ends included, stepping along the longer axis.
    const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int32_t sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    int32_t x = x0, y = y0;
    if (dx >= dy) {
        int32_t err = dx / 2;
        for (int32_t i = 0; i <= dx; ++i) {
            Bits_[Offset(x, y)] = PenColorIndex;
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
            }
            x += sx;
        }
    } else {
        int32_t err = dy / 2;
        for (int32_t i = 0; i <= dy; ++i) {
            Bits_[Offset(x, y)] = PenColorIndex;
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
            }
            y += sy;
        }
    }
}

void TDIBCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    MoveTo(left, top);
    LineTo(right, top);
    LineTo(right, bottom);
    LineTo(left, bottom);
    LineTo(left, top);
}

void TDIBCanvas::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t index) {
    if (!Bits_) return;
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + w, Width_);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + h, Height_);
    if (left >= right || top >= bottom) return;
    for (int64_t row = top; row < bottom; ++row)
        std::memset(Row(static_cast<int32_t>(row)) + left, index, static_cast<size_t>(right - left));
}

void TDIBCanvas::Circle(int32_t cx, int32_t cy, int32_t r) {
    if (r < 0) return;
    int32_t x = 0, y = r;
    int32_t d = 3 - 2 * r;
    while (y >= x) {
        const uint8_t c = PenColorIndex;
        SetPixel(cx + x, cy + y, c);
        SetPixel(cx - x, cy + y, c);
        SetPixel(cx + x, cy - y, c);
        SetPixel(cx - x, cy - y, c);
        SetPixel(cx + y, cy + x, c);
        SetPixel(cx - y, cy + x, c);
        SetPixel(cx + y, cy - x, c);
        SetPixel(cx - y, cy - x, c);
        if (d >= 0) {
            d += 4 * (x - y) + 10;
            --y;
        } else {
            d += 4 * x + 6;
        }
        ++x;
    }
}

void TDIBCanvas::Polygon(const TPoint* points, int32_t count) {
    if (!points || count < 1) return;
    MoveTo(points[0].X, points[0].Y);
    for (int32_t i = 1; i < count; ++i) LineTo(points[i].X, points[i].Y);
    LineTo(points[0].X, points[0].Y);
}

void TDIBCanvas::FillSpan(int32_t y, int32_t x1, int32_t x2) {
    if (y < 0 || y >= Height_ || x2 < 0 || x1 >= Width_) return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, Width_ - 1);
    if (x1 > x2) return;
    std::memset(Row(y) + x1, BrushColorIndex, static_cast<size_t>(x2 - x1 + 1));
}

void TDIBCanvas::FillPolygon(const TPoint* points, int32_t count) {
    Edges_.clear();
    if (!Bits_ || !points || count < 3) return;
    int32_t minY = points[0].Y, maxY = points[0].Y;
    for (int32_t i = 1; i < count; ++i) {
        minY = std::min(minY, points[i].Y);
        maxY = std::max(maxY, points[i].Y);
    }
    // Rows wholly below the canvas can never be filled: stop there.
    const int32_t lastRow = std::min(maxY, Height_ - 1);
    for (int64_t row = minY; row <= lastRow; ++row) {
        const auto y = static_cast<int32_t>(row);
        for (int32_t i = 0; i < count; ++i) {
            if (points[i].Y != y) continue;
            const TPoint& v = points[i];
            for (const TPoint& n : {points[(i + count - 1) % count], points[(i + 1) % count]}) {
                if (n.Y <= y) continue;
                const float step = static_cast<float>(n.X - v.X) / static_cast<float>(n.Y - v.Y);
                Edges_.push_back({static_cast<float>(v.X), step, n.Y});
            }
        }
        std::erase_if(Edges_, [y](const TEdge& e) { return e.EndY == y; });
        std::sort(Edges_.begin(), Edges_.end(), [](const TEdge& a, const TEdge& b) { return a.X < b.X; });
        for (size_t i = 0; i + 1 < Edges_.size(); i += 2)
            FillSpan(y, TruncToInt(Edges_[i].X), TruncToInt(Edges_[i + 1].X));
        for (TEdge& e : Edges_) e.X += e.Step;
    }
}

bool TDIBCanvas::ClipSource(TRect& source, int32_t& x, int32_t& y, const TDIBCanvas& from) const {
    // Only the part of the source rectangle that lies on the source canvas is
    // copied; the destination shifts with a clipped left or top.
    if (!from.Bits_ || !Bits_) return false;
    if (source.Left < 0) {
        x = static_cast<int32_t>(std::clamp<int64_t>(int64_t{x} - source.Left, INT32_MIN, INT32_MAX));
        source.Left = 0;
    }
    if (source.Top < 0) {
        y = static_cast<int32_t>(std::clamp<int64_t>(int64_t{y} - source.Top, INT32_MIN, INT32_MAX));
        source.Top = 0;
    }
    source.Right = std::min(source.Right, from.Width_);
    source.Bottom = std::min(source.Bottom, from.Height_);
    return !source.IsEmpty();
}

void TDIBCanvas::CopyBlock(int32_t x, int32_t y, bool transparent, const TRect& sourceRect, const TDIBCanvas& from) {
    TRect source = sourceRect;
    if (!ClipSource(source, x, y, from)) return;
    int64_t sx = source.Left, sy = source.Top;
    int64_t dx = x, dy = y;
    int64_t w = source.Width(), h = source.Height();
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min<int64_t>(w, Width_ - dx);
    h = std::min<int64_t>(h, Height_ - dy);
    if (w <= 0 || h <= 0) return;

    const uint8_t skip = from.TransparentColorIndex;
    for (int64_t r = 0; r < h; ++r) {
        const uint8_t* src = from.Row(static_cast<int32_t>(sy + r)) + sx;
        uint8_t* dst = Row(static_cast<int32_t>(dy + r)) + dx;
        if (!transparent) {
            std::memmove(dst, src, static_cast<size_t>(w));
            continue;
        }
        for (int64_t c = 0; c < w; ++c)
            if (src[c] != skip) dst[c] = src[c];
    }
}

void TDIBCanvas::CopyBlockTransQuad(int32_t x, int32_t y, int32_t quadrant, const TRect& source,
                                    const TDIBCanvas& from) {
    if (BottomUp) throw ERenderError("Destination Buffer must be top down in CopyBlockTransQuad");
    if (!Bits_ || !from.Bits_ || source.IsEmpty()) return;
    if (source.Left < 0 || source.Top < 0 || source.Right > from.Width_ || source.Bottom > from.Height_) return;
    const int32_t q = quadrant & 3;
    const int32_t w = source.Width(), h = source.Height();
    // A quarter turn lays a w x h block down as h x w; the turned footprint
    // must fit whole, there is no partial clipping.
    const int64_t footW = (q & 1) ? h : w;
    const int64_t footH = (q & 1) ? w : h;
    if (x < 0 || y < 0 || x + footW > Width_ || y + footH > Height_) return;

    const uint8_t skip = from.TransparentColorIndex;
    for (int32_t r = 0; r < h; ++r) {
        const uint8_t* src = from.Row(source.Top + r) + source.Left;
        for (int32_t c = 0; c < w; ++c) {
            const uint8_t p = src[c];
            if (p == skip) continue;
            int32_t tx, ty;
            switch (q) {
            case 0: tx = x + c; ty = y + r; break;
            case 1: tx = x + h - 1 - r; ty = y + c; break;
            case 2: tx = x + w - 1 - c; ty = y + h - 1 - r; break;
            default: tx = x + r; ty = y + w - 1 - c; break;
            }
            Bits_[static_cast<size_t>(ty) * static_cast<size_t>(Width_) + static_cast<size_t>(tx)] = p;
        }
    }
}

} // namespace qx
