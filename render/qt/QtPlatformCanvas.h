#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "render/ColorPalette.h"
#include "render/DIBCanvas.h"
#include "render/PlatformCanvas.h"

class QPainter;

namespace qx {

// The board's platform canvas: text and ellipses are rasterised by Qt
// without anti-aliasing into a scratch image, and every covered pixel is
// written into the 8-bit frame with the palette index nearest to the colour
// asked for, so they land in draw order among the sprites. Lines,
// rectangles and pixels are drawn straight into the frame.
//
// Rasterised shapes are kept as pixel runs keyed by what decides their
// shape (font and text; ellipse size, pen and brush style), because the
// board draws the same few captions and rings hundreds of times a frame.
class TQtPlatformCanvas : public PlatformCanvas {
public:
    // Both are borrowed and must outlive the canvas (the surface makes a new
    // canvas whenever it rebuilds its frame).
    TQtPlatformCanvas(TDIBCanvas& frame, const TColorPalette& palette);
    ~TQtPlatformCanvas() override;

    TRect ClipRect() const override { return {0, 0, Frame_.Width(), Frame_.Height()}; }
    void TextOut(int32_t x, int32_t y, std::string_view text) override;
    TSize TextExtent(std::string_view text) override;
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void FillRect(const TRect& rect) override;
    void MoveTo(int32_t x, int32_t y) override;
    void LineTo(int32_t x, int32_t y) override;
    void SetPixel(int32_t x, int32_t y, TColor color) override;
    void DrawPixels(int32_t x, int32_t y, int32_t width, int32_t height, const TColor* pixels) override;
    void StretchDraw(const TRect& dest, const TIndexedBitmap& bitmap) override;

    // The palette index a colour is drawn with.
    uint8_t IndexOf(TColor color);
    // Shapes kept for reuse; the cache is emptied when it grows past MaxCachedShapes.
    size_t CachedShapes() const { return Shapes_.size(); }
    static constexpr size_t MaxCachedShapes = 4096;
    // Ellipses larger than this (either side, pixels) are rasterised only
    // where they meet the frame and are not kept.
    static constexpr int32_t MaxCachedEllipse = 2048;
    // Text is drawn up to this many pixels from its start.
    static constexpr int32_t MaxTextWidth = 8192;

private:
    // A horizontal run of covered pixels, both ends included, relative to
    // the shape's top-left. Ink is the pen (or text) colour, fill the brush's.
    struct TRun {
        int32_t Y;
        int32_t X0;
        int32_t X1;
        bool Ink;
    };
    struct TShape {
        TSize Extent;
        std::vector<TRun> Runs;
    };
    using TPaint = std::function<void(QPainter&)>;

    const TShape& TextShape(std::string_view text);
    TShape EllipseShape(int32_t width, int32_t height, const TRect& area) const;
    // Paints into a scratch image covering Area (shape coordinates) and
    // collects the covered pixels as runs.
    static std::vector<TRun> Rasterise(const TRect& area, const TPaint& paint);
    void Blit(const TShape& shape, int32_t x, int32_t y, uint8_t ink, uint8_t fill);
    void FillSpan(int64_t y, int64_t x0, int64_t x1, uint8_t index);
    void Remember(std::string key, TShape shape);
    uint8_t* Row(int32_t y) const;

    TDIBCanvas& Frame_;
    const TColorPalette& Palette_;
    uint32_t PaletteGeneration_;
    std::unordered_map<TColor, uint8_t> Nearest_;
    std::unordered_map<std::string, TShape> Shapes_;
    TPoint Pen_;
};

} // namespace qx
