#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "render/IndexedBitmap.h"
#include "render/RenderTypes.h"

namespace qx {

// An RGB colour: red in bits 0..7, green 8..15, blue 16..23 (the low three
// bytes of TColorPalette::GetColor).
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clOlive = 0x008080;
constexpr TColor clTeal = 0x808000;

constexpr TColor RgbColor(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<TColor>(r) | static_cast<TColor>(g) << 8 | static_cast<TColor>(b) << 16;
}

enum class TPenStyle { psSolid, psDot, psClear };
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    TPenStyle Style = TPenStyle::psSolid;
    int32_t Width = 1;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};

struct TFont {
    std::string Name = "Small Fonts";
    int32_t Size = 8;  // points
    TColor Color = clBlack;
    bool Bold = false;
};

// What the game draws through the platform's own canvas: text in a named
// font, ellipses (solid or dotted), lines, rectangles and RGB pixels. The
// board's implementation paints into the same 8-bit frame as the sprites, in
// draw order, with the nearest palette index; the strategic map's paints a
// true-colour widget. State (pen, brush, font) is set first, then a shape is
// drawn with it, as on the platform canvas the game was written against.
class PlatformCanvas {
public:
    virtual ~PlatformCanvas() = default;

    TPen Pen;
    TBrush Brush;
    TFont Font;

    // The drawable area, Right/Bottom exclusive: (0, 0, width, height).
    virtual TRect ClipRect() const = 0;

    // Text with its top-left at (x, y). A solid brush fills the text's
    // extent with Brush.Color first; a clear brush leaves the background.
    virtual void TextOut(int32_t x, int32_t y, std::string_view text) = 0;
    // Width and height the text would take in the current font.
    virtual TSize TextExtent(std::string_view text) = 0;

    // The ellipse inscribed in (left, top, right, bottom), Right/Bottom
    // exclusive: outlined with the pen, filled with the brush unless clear.
    virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Outline with the pen, filled with the brush unless clear; Right/Bottom exclusive.
    virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Fills with the brush colour, no outline; Right/Bottom exclusive.
    virtual void FillRect(const TRect& rect) = 0;
    virtual void MoveTo(int32_t x, int32_t y) = 0;
    // A line with the pen from the pen position, the end point excluded.
    virtual void LineTo(int32_t x, int32_t y) = 0;
    virtual void SetPixel(int32_t x, int32_t y, TColor color) = 0;
    // Width x Height RGB pixels, row by row from the top, at (x, y)
    // (a cached background picture).
    virtual void DrawPixels(int32_t x, int32_t y, int32_t width, int32_t height, const TColor* pixels) = 0;
    // The bitmap in its own colours, scaled to fill Dest (Right/Bottom exclusive).
    virtual void StretchDraw(const TRect& dest, const TIndexedBitmap& bitmap) = 0;
};

// For runs without a rasteriser (headless tools): has a size, draws nothing
// and measures every text as empty.
class TNullPlatformCanvas : public PlatformCanvas {
public:
    TNullPlatformCanvas(int32_t width = 0, int32_t height = 0) : Width_(width), Height_(height) {}
    void SetSize(int32_t width, int32_t height) {
        Width_ = width;
        Height_ = height;
    }
    TRect ClipRect() const override { return {0, 0, Width_, Height_}; }
    void TextOut(int32_t, int32_t, std::string_view) override {}
    TSize TextExtent(std::string_view) override { return {}; }
    void Ellipse(int32_t, int32_t, int32_t, int32_t) override {}
    void Rectangle(int32_t, int32_t, int32_t, int32_t) override {}
    void FillRect(const TRect&) override {}
    void MoveTo(int32_t, int32_t) override {}
    void LineTo(int32_t, int32_t) override {}
    void SetPixel(int32_t, int32_t, TColor) override {}
    void DrawPixels(int32_t, int32_t, int32_t, int32_t, const TColor*) override {}
    void StretchDraw(const TRect&, const TIndexedBitmap&) override {}

private:
    int32_t Width_;
    int32_t Height_;
};

} // namespace qx
