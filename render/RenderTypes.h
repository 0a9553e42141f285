#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qx {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// A rectangle in the platform's sense: Right and Bottom lie just outside it,
// so (0, 0, 4, 3) covers four columns and three rows. Where a routine takes
// inclusive corners instead (lines, outlines, clip rectangles of the pixel
// canvas) it says so.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int32_t x, int32_t y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Offset(int32_t dx, int32_t dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// True when the two rectangles share at least one pixel; the shared part goes
// to Result (empty otherwise).
inline bool IntersectRect(TRect& result, const TRect& a, const TRect& b) {
    result = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
              std::min(a.Bottom, b.Bottom)};
    if (result.IsEmpty()) {
        result = {};
        return false;
    }
    return true;
}

inline bool RectsIntersect(const TRect& a, const TRect& b) {
    TRect ignored;
    return IntersectRect(ignored, a, b);
}

// Real to integer: nearest, halves to the even neighbour. Values beyond the
// int32 range saturate instead of overflowing.
inline int32_t RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(value);
    if (r >= 2147483647.0) return INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(r);
}

// Truncation toward zero with the same saturation.
inline int32_t TruncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and buttons held during a mouse or key event.
enum TShiftFlag : uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = uint8_t;

} // namespace qx
