#pragma once

#include <cstdint>
#include <vector>

#include "render/IndexedBitmap.h"
#include "render/RenderTypes.h"

namespace qx {

// A thin view over a block of 8-bit pixels (the surface's frame, or a sprite
// sheet) with the few primitives the sprites need. It never owns the memory:
// whoever lends it keeps it alive while the canvas is used. Coordinates are
// picture coordinates (y downward) whatever the memory row order.
//
// Unlike a bare pixel pointer, no routine here ever touches memory outside
// Width x Height: reads outside give 0, writes outside are dropped, and block
// copies are clipped against both canvases.
class TDIBCanvas {
public:
    // An empty canvas: no memory until SetBits/Attach.
    TDIBCanvas() = default;
    // Over an 8-bit bitmap: bottom-up, transparent index = the bottom-left
    // pixel. The width must be a multiple of 4.
    explicit TDIBCanvas(TIndexedBitmap& bitmap);

    TDIBCanvas(const TDIBCanvas&) = delete;
    TDIBCanvas& operator=(const TDIBCanvas&) = delete;

    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    // Throws ERenderError("Width must be a multiple of 4").
    void SetWidth(int32_t value);
    void SetHeight(int32_t value);
    uint8_t* Bits() const { return Bits_; }
    void SetBits(uint8_t* bits) { Bits_ = bits; }
    // Points the canvas at other memory of the given size and row order.
    void Attach(uint8_t* bits, int32_t width, int32_t height, bool bottomUp);

    bool BottomUp = false;
    uint8_t BrushColorIndex = 0;
    uint8_t PenColorIndex = 0;
    uint8_t TransparentColorIndex = 0;

    // Inclusive corners: (0, 0, Width-1, Height-1).
    TRect GetClipRect() const { return {0, 0, Width_ - 1, Height_ - 1}; }
    int32_t Size() const { return Width_ * Height_; }
    bool Contains(int32_t x, int32_t y) const {
        return Bits_ && x >= 0 && y >= 0 && x < Width_ && y < Height_;
    }

    uint8_t Pixel(int32_t x, int32_t y) const { return Contains(x, y) ? Bits_[Offset(x, y)] : 0; }
    void SetPixel(int32_t x, int32_t y, uint8_t index) {
        if (Contains(x, y)) Bits_[Offset(x, y)] = index;
    }

    TPoint PenPos() const { return {PenX_, PenY_}; }
    void MoveTo(int32_t x, int32_t y) {
        PenX_ = x;
        PenY_ = y;
    }
    // A clipped line from the pen position, both ends included.
    void LineTo(int32_t x, int32_t y);
    // Outline through the four inclusive corners.
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t index);
    void Circle(int32_t cx, int32_t cy, int32_t r);
    void Polygon(const TPoint* points, int32_t count);
    void Polygon(const std::vector<TPoint>& points) { Polygon(points.data(), static_cast<int32_t>(points.size())); }
    // Fills the interior in BrushColorIndex; the bottom row is left open.
    void FillPolygon(const TPoint* points, int32_t count);
    void FillPolygon(const std::vector<TPoint>& points) {
        FillPolygon(points.data(), static_cast<int32_t>(points.size()));
    }
    // Copies the source rectangle (Right/Bottom exclusive) so that its
    // top-left lands at (x, y); transparent copies skip the source's
    // TransparentColorIndex.
    void CopyBlock(int32_t x, int32_t y, bool transparent, const TRect& source, const TDIBCanvas& from);
    // Transparent copy turned by Quadrant quarter turns clockwise. Only a
    // block that fits wholly inside this (top-down) canvas is drawn.
    void CopyBlockTransQuad(int32_t x, int32_t y, int32_t quadrant, const TRect& source, const TDIBCanvas& from);

    // Clips the segment to the canvas by the border-crossing rule; false
    // when nothing of it remains. Exposed so the rule can be checked alone.
    bool ClipLine(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) const;

private:
    struct TEdge {
        float X;
        float Step;
        int32_t EndY;
    };

    size_t Offset(int32_t x, int32_t y) const {
        const int32_t row = BottomUp ? Height_ - 1 - y : y;
        return static_cast<size_t>(row) * static_cast<size_t>(Width_) + static_cast<size_t>(x);
    }
    uint8_t* Row(int32_t y) const { return Bits_ + Offset(0, y); }
    void DrawClippedLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void FillSpan(int32_t y, int32_t x1, int32_t x2);
    bool ClipSource(TRect& source, int32_t& x, int32_t& y, const TDIBCanvas& from) const;

    int32_t Width_ = 0;
    int32_t Height_ = 0;
    uint8_t* Bits_ = nullptr;
    int32_t PenX_ = 0;
    int32_t PenY_ = 0;
    std::vector<TEdge> Edges_;
};

} // namespace qx
