#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "render/PlatformCanvas.h"

namespace qx {

// A platform canvas that paints into its own true-colour pixel buffer, for
// headless programs and tests (the strategic map without a window). Every
// drawing call is clipped to the buffer. It has no font rasteriser: text is
// not drawn and measures as empty.
class TRgbPixelCanvas : public PlatformCanvas {
public:
    TRgbPixelCanvas(int32_t width, int32_t height, TColor fill = clBlack);

    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    // Width x Height colours, top row first.
    const std::vector<TColor>& Pixels() const { return Pixels_; }
    // Black outside the buffer.
    TColor Pixel(int32_t x, int32_t y) const;
    int32_t CountColor(TColor color) const;

    TRect ClipRect() const override { return {0, 0, Width_, Height_}; }
    void TextOut(int32_t, int32_t, std::string_view) override {}
    TSize TextExtent(std::string_view) override { return {}; }
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void FillRect(const TRect& rect) override;
    void MoveTo(int32_t x, int32_t y) override {
        PenX_ = x;
        PenY_ = y;
    }
    void LineTo(int32_t x, int32_t y) override;
    void SetPixel(int32_t x, int32_t y, TColor color) override;
    void DrawPixels(int32_t x, int32_t y, int32_t width, int32_t height, const TColor* pixels) override;
    void StretchDraw(const TRect& dest, const TIndexedBitmap& bitmap) override;

private:
    void Plot(int32_t x, int32_t y, TColor color);
    void PenPlot(int32_t x, int32_t y, int32_t step);
    void Span(int32_t y, int32_t x1, int32_t x2, TColor color);

    int32_t Width_;
    int32_t Height_;
    std::vector<TColor> Pixels_;
    int32_t PenX_ = 0;
    int32_t PenY_ = 0;
};

} // namespace qx
