#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "render/PlatformCanvas.h"

namespace qx::test {

// A platform canvas that draws nothing and writes down every call with the
// state it was made in, e.g. "TextOut 4,4 '12' Small Fonts/8 #ffffff on #000000".
class RecordingCanvas : public PlatformCanvas {
public:
    explicit RecordingCanvas(int32_t width = 100, int32_t height = 100) : Width(width), Height(height) {}

    int32_t Width;
    int32_t Height;
    std::vector<std::string> Calls;

    TRect ClipRect() const override { return {0, 0, Width, Height}; }
    void TextOut(int32_t x, int32_t y, std::string_view text) override {
        Calls.push_back("TextOut " + Pt(x, y) + " '" + std::string(text) + "' " + Font.Name + "/" +
                        std::to_string(Font.Size) + " " + Hex(Font.Color) + " on " +
                        (Brush.Style == TBrushStyle::bsClear ? std::string("clear") : Hex(Brush.Color)));
    }
    // Five pixels per character, the point size plus 4 high.
    TSize TextExtent(std::string_view text) override {
        return {static_cast<int32_t>(text.size()) * 5, Font.Size + 4};
    }
    void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override { Calls.push_back("Ellipse " + Box(l, t, r, b) + PenText()); }
    void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
        Calls.push_back("Rectangle " + Box(l, t, r, b) + PenText());
    }
    void FillRect(const TRect& r) override {
        Calls.push_back("FillRect " + Box(r.Left, r.Top, r.Right, r.Bottom) + " " + Hex(Brush.Color));
    }
    void MoveTo(int32_t x, int32_t y) override { Calls.push_back("MoveTo " + Pt(x, y)); }
    void LineTo(int32_t x, int32_t y) override { Calls.push_back("LineTo " + Pt(x, y) + PenText()); }
    void SetPixel(int32_t x, int32_t y, TColor color) override { Calls.push_back("Pixel " + Pt(x, y) + " " + Hex(color)); }
    void DrawPixels(int32_t x, int32_t y, int32_t w, int32_t h, const TColor*) override {
        Calls.push_back("DrawPixels " + Box(x, y, x + w, y + h));
    }
    void StretchDraw(const TRect& r, const TIndexedBitmap& b) override {
        Calls.push_back("StretchDraw " + Box(r.Left, r.Top, r.Right, r.Bottom) + " " + std::to_string(b.Width()) + "x" +
                        std::to_string(b.Height()));
    }

    static std::string Hex(TColor c) {
        char text[16];
        std::snprintf(text, sizeof text, "#%02x%02x%02x", c & 255, (c >> 8) & 255, (c >> 16) & 255);
        return text;
    }

private:
    static std::string Pt(int32_t x, int32_t y) { return std::to_string(x) + "," + std::to_string(y); }
    static std::string Box(int32_t l, int32_t t, int32_t r, int32_t b) { return Pt(l, t) + "-" + Pt(r, b); }
    std::string PenText() const {
        std::string text = " pen " + Hex(Pen.Color);
        if (Pen.Style == TPenStyle::psDot) text += " dotted";
        if (Brush.Style == TBrushStyle::bsSolid) text += " fill " + Hex(Brush.Color);
        return text;
    }
};

} // namespace qx::test
