#include "render/DIBCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace qx {
namespace {

// A canvas over its own memory, filled with 0.
struct Frame {
    Frame(int32_t w, int32_t h, bool bottomUp = false) : Bits(static_cast<size_t>(w * h), 0) {
        Canvas.Attach(Bits.data(), w, h, bottomUp);
    }
    int Count(uint8_t index) const {
        int n = 0;
        for (uint8_t b : Bits) n += b == index;
        return n;
    }
    std::vector<uint8_t> Bits;
    TDIBCanvas Canvas;
};

TEST(DIBCanvasLine, DrawsBothEndsAndStaysOnTheIdealLine) {
    const TPoint ends[][2] = {{{1, 1}, {17, 6}}, {{17, 6}, {1, 1}}, {{3, 9}, {5, 0}}, {{0, 0}, {9, 9}}, {{4, 4}, {4, 4}}};
    for (const auto& e : ends) {
        Frame f(20, 10);
        f.Canvas.PenColorIndex = 7;
        f.Canvas.MoveTo(e[0].X, e[0].Y);
        f.Canvas.LineTo(e[1].X, e[1].Y);
        const int dx = std::abs(e[1].X - e[0].X), dy = std::abs(e[1].Y - e[0].Y);
        EXPECT_EQ(f.Count(7), std::max(dx, dy) + 1);
        EXPECT_EQ(f.Canvas.Pixel(e[0].X, e[0].Y), 7);
        EXPECT_EQ(f.Canvas.Pixel(e[1].X, e[1].Y), 7);
        // Every pixel lies within half a pixel of the true line along the short axis.
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                if (f.Canvas.Pixel(x, y) != 7 || (dx == 0 && dy == 0)) continue;
                const double t = dx >= dy ? double(x - e[0].X) / (e[1].X - e[0].X) : double(y - e[0].Y) / (e[1].Y - e[0].Y);
                const double ideal = dx >= dy ? e[0].Y + t * (e[1].Y - e[0].Y) : e[0].X + t * (e[1].X - e[0].X);
                EXPECT_LE(std::abs((dx >= dy ? y : x) - ideal), 0.5) << x << "," << y;
            }
        EXPECT_EQ(f.Canvas.PenPos(), e[1]);
    }
}

TEST(DIBCanvasLine, LineOffTheCanvasDrawsNothingButMovesThePen) {
    Frame f(20, 10);
    f.Canvas.PenColorIndex = 7;
    f.Canvas.MoveTo(-5, 20);
    f.Canvas.LineTo(30, 15);  // both below
    EXPECT_EQ(f.Count(7), 0);
    EXPECT_EQ(f.Canvas.PenPos(), (TPoint{30, 15}));
    f.Canvas.MoveTo(-5, 8);
    f.Canvas.LineTo(8, 30);  // passes the bottom-left corner outside
    EXPECT_EQ(f.Count(7), 0);
    EXPECT_EQ(f.Canvas.PenPos(), (TPoint{8, 30}));
}

TEST(DIBCanvasLine, ClippedEndLandsOnTheRoundedBorderCrossing) {
    Frame f(20, 10);
    int32_t x0 = 5, y0 = 5, x1 = 45, y1 = 25;  // leaves through the bottom at x = 13
    ASSERT_TRUE(f.Canvas.ClipLine(x0, y0, x1, y1));
    EXPECT_EQ((TPoint{x1, y1}), (TPoint{13, 9}));
    x0 = 2, y0 = 3, x1 = 40, y1 = 4;  // right border at y = 3.447
    ASSERT_TRUE(f.Canvas.ClipLine(x0, y0, x1, y1));
    EXPECT_EQ((TPoint{x1, y1}), (TPoint{19, 3}));
    x0 = 0, y0 = 0, x1 = 38, y1 = 5;  // right border at y = 2.5: halves go to the even neighbour
    ASSERT_TRUE(f.Canvas.ClipLine(x0, y0, x1, y1));
    EXPECT_EQ((TPoint{x1, y1}), (TPoint{19, 2}));
    x0 = -5, y0 = -5, x1 = 24, y1 = 24;  // both ends outside, crossing the canvas
    ASSERT_TRUE(f.Canvas.ClipLine(x0, y0, x1, y1));
    EXPECT_EQ((TPoint{x0, y0}), (TPoint{0, 0}));
    EXPECT_EQ((TPoint{x1, y1}), (TPoint{9, 9}));

    f.Canvas.PenColorIndex = 3;
    f.Canvas.MoveTo(5, 5);
    f.Canvas.LineTo(45, 25);
    EXPECT_EQ(f.Canvas.Pixel(13, 9), 3);
    EXPECT_EQ(f.Count(3), 9);
}

TEST(DIBCanvasLine, HorizontalAndVerticalLinesStayStraightWhenClipped) {
    for (int row : {0, 3, 4, 9}) {
        Frame f(20, 10);
        f.Canvas.PenColorIndex = 5;
        f.Canvas.MoveTo(-10, row);
        f.Canvas.LineTo(30, row);
        EXPECT_EQ(f.Count(5), 20) << row;
        for (int x = 0; x < 20; ++x) EXPECT_EQ(f.Canvas.Pixel(x, row), 5) << x << "," << row;
    }
    Frame f(20, 10);
    f.Canvas.PenColorIndex = 5;
    f.Canvas.MoveTo(7, -3);
    f.Canvas.LineTo(7, 40);
    EXPECT_EQ(f.Count(5), 10);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(f.Canvas.Pixel(7, y), 5);
}

TEST(DIBCanvasLine, BottomUpCanvasShowsTheSamePicture) {
    Frame top(12, 8), bottom(12, 8, true);
    for (Frame* f : {&top, &bottom}) {
        f->Canvas.PenColorIndex = 9;
        f->Canvas.Rectangle(1, 1, 10, 6);
        f->Canvas.MoveTo(-3, 2);
        f->Canvas.LineTo(14, 7);
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) EXPECT_EQ(top.Canvas.Pixel(x, y), bottom.Canvas.Pixel(x, y)) << x << "," << y;
    // Picture row 1 of a bottom-up canvas is memory row Height - 2.
    EXPECT_EQ(bottom.Bits[6 * 12 + 1], 9);
    EXPECT_EQ(top.Bits[1 * 12 + 1], 9);
}

TEST(DIBCanvas, FillRectIsClippedToTheCanvas) {
    Frame f(8, 6, true);
    f.Canvas.FillRect(-2, 4, 5, 10, 6);  // columns 0..2, rows 4..5
    EXPECT_EQ(f.Count(6), 3 * 2);
    EXPECT_EQ(f.Canvas.Pixel(2, 5), 6);
    EXPECT_EQ(f.Canvas.Pixel(3, 4), 0);
    EXPECT_EQ(f.Bits[0], 6);  // bottom row first in memory
    f.Canvas.FillRect(6, 0, 0, 3, 1);
    f.Canvas.FillRect(20, 0, 5, 3, 1);
    EXPECT_EQ(f.Count(1), 0);
    f.Canvas.FillRect(0, 0, 8, 6, 1);
    EXPECT_EQ(f.Count(1), 48);
}

TEST(DIBCanvas, SetPixelAndReadsOutsideTheCanvasAreHarmless) {
    Frame f(4, 2);
    f.Canvas.SetPixel(-1, 0, 9);
    f.Canvas.SetPixel(4, 0, 9);
    f.Canvas.SetPixel(0, 2, 9);
    EXPECT_EQ(f.Count(9), 0);
    EXPECT_EQ(f.Canvas.Pixel(100, 100), 0);
    f.Canvas.SetPixel(3, 1, 9);
    EXPECT_EQ(f.Bits[7], 9);
}

TEST(DIBCanvas, MidpointCircle) {
    Frame f(20, 20);
    f.Canvas.PenColorIndex = 4;
    f.Canvas.Circle(10, 10, 3);
    EXPECT_EQ(f.Count(4), 16);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (f.Canvas.Pixel(x, y) == 4) {
                const double d = std::hypot(x - 10, y - 10);
                EXPECT_GE(d, 2.5);
                EXPECT_LE(d, 3.5);
            }
    EXPECT_EQ(f.Canvas.Pixel(13, 10), 4);
    EXPECT_EQ(f.Canvas.Pixel(10, 7), 4);

    Frame g(20, 20);
    g.Canvas.PenColorIndex = 4;
    g.Canvas.Circle(5, 5, -1);
    EXPECT_EQ(g.Count(4), 0);
    g.Canvas.Circle(5, 5, 0);
    EXPECT_EQ(g.Count(4), 1);
    // Mostly off the canvas: only the inside part is plotted.
    g.Canvas.Circle(0, 0, 3);
    EXPECT_EQ(g.Canvas.Pixel(3, 0), 4);
    EXPECT_EQ(g.Canvas.Pixel(2, 2), 4);
}

TEST(DIBCanvasPolygon, FillLeavesTheBottomRowOpen) {
    Frame f(12, 10);
    f.Canvas.BrushColorIndex = 8;
    f.Canvas.FillPolygon({{2, 2}, {6, 2}, {6, 6}, {2, 6}});
    EXPECT_EQ(f.Count(8), 5 * 4);  // rows 2..5, columns 2..6
    for (int x = 2; x <= 6; ++x) {
        EXPECT_EQ(f.Canvas.Pixel(x, 2), 8);
        EXPECT_EQ(f.Canvas.Pixel(x, 5), 8);
        EXPECT_EQ(f.Canvas.Pixel(x, 6), 0);
    }
    EXPECT_EQ(f.Canvas.Pixel(1, 3), 0);
    EXPECT_EQ(f.Canvas.Pixel(7, 3), 0);
}

TEST(DIBCanvasPolygon, ConcaveShapeFillsEachSpanPairSeparately) {
    Frame f(12, 10);
    f.Canvas.BrushColorIndex = 8;
    // A "U": two posts joined at the bottom.
    f.Canvas.FillPolygon({{0, 0}, {3, 0}, {3, 5}, {6, 5}, {6, 0}, {9, 0}, {9, 8}, {0, 8}});
    for (int x = 0; x <= 9; ++x) EXPECT_EQ(f.Canvas.Pixel(x, 2), (x <= 3 || x >= 6) ? 8 : 0) << x;
    for (int x = 0; x <= 9; ++x) EXPECT_EQ(f.Canvas.Pixel(x, 6), 8) << x;
    EXPECT_EQ(f.Canvas.Pixel(10, 6), 0);
    EXPECT_EQ(f.Canvas.Pixel(0, 8), 0);
}

TEST(DIBCanvasPolygon, TriangleSpansTruncateAndClip) {
    Frame f(12, 10);
    f.Canvas.BrushColorIndex = 8;
    f.Canvas.FillPolygon({{4, 0}, {8, 8}, {0, 8}});
    // Row 4: the edges have moved half a pixel per row: x = 2 and 6.
    for (int x = 0; x < 12; ++x) EXPECT_EQ(f.Canvas.Pixel(x, 4), (x >= 2 && x <= 6) ? 8 : 0) << x;
    EXPECT_EQ(f.Canvas.Pixel(4, 0), 8);
    EXPECT_EQ(f.Count(8), 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8);  // rows 0..7, row 8 open

    Frame g(12, 10);
    g.Canvas.BrushColorIndex = 8;
    g.Canvas.FillPolygon({{-20, -20}, {30, -20}, {30, 30}, {-20, 30}});
    EXPECT_EQ(g.Count(8), 120);
    g.Canvas.FillPolygon(nullptr, 0);
}

// A 12 x 10 source whose pixel (c, r) holds S(c, r) = 12 r + c + 1 (never 0).
int S(int c, int r) { return 12 * r + c + 1; }
struct Source {
    Source(bool bottomUp) : F(12, 10, bottomUp) {
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 12; ++c) F.Canvas.SetPixel(c, r, static_cast<uint8_t>(S(c, r)));
        F.Canvas.TransparentColorIndex = 255;
    }
    Frame F;
};

TEST(DIBCanvasCopy, NegativeDestinationShowsTheSourceFromItsSixthColumnAndRow) {
    Source s(true);
    Frame d(8, 8);
    d.Canvas.CopyBlock(-5, -5, false, {0, 0, 10, 10}, s.F.Canvas);
    EXPECT_EQ(d.Canvas.Pixel(0, 0), S(5, 5));
    EXPECT_EQ(d.Canvas.Pixel(4, 4), S(9, 9));
    EXPECT_EQ(d.Canvas.Pixel(4, 0), S(9, 5));
    EXPECT_EQ(d.Canvas.Pixel(5, 5), 0);
    EXPECT_EQ(d.Count(0), 64 - 25);
}

TEST(DIBCanvasCopy, RunOffTheRightAndBottomIsShortened) {
    Source s(false);
    Frame d(8, 8, true);
    d.Canvas.CopyBlock(6, 5, false, {2, 3, 6, 8}, s.F.Canvas);  // 4 x 5 block
    EXPECT_EQ(d.Count(0), 64 - 2 * 3);
    EXPECT_EQ(d.Canvas.Pixel(6, 5), S(2, 3));
    EXPECT_EQ(d.Canvas.Pixel(7, 7), S(3, 5));
    d.Canvas.CopyBlock(8, 0, false, {0, 0, 4, 4}, s.F.Canvas);
    d.Canvas.CopyBlock(0, -4, false, {0, 0, 4, 4}, s.F.Canvas);
    EXPECT_EQ(d.Count(0), 64 - 2 * 3);
}

TEST(DIBCanvasCopy, SourceRectangleBeyondTheSheetCopiesOnlyWhatExists) {
    Source s(true);
    Frame d(16, 16);
    d.Canvas.CopyBlock(0, 0, false, {10, -2, 16, 3}, s.F.Canvas);
    // Source columns 10..11 and rows 0..2 exist; the clipped top moves the block down by 2.
    EXPECT_EQ(d.Count(0), 256 - 2 * 3);
    EXPECT_EQ(d.Canvas.Pixel(0, 2), S(10, 0));
    EXPECT_EQ(d.Canvas.Pixel(1, 4), S(11, 2));
    d.Canvas.CopyBlock(0, 0, false, {40, 0, 70, 30}, s.F.Canvas);  // a tile past the sheet
    EXPECT_EQ(d.Count(0), 256 - 2 * 3);
}

TEST(DIBCanvasCopy, TransparentCopySkipsTheSourceTransparentIndex) {
    Source s(true);
    s.F.Canvas.TransparentColorIndex = 14;  // pixel (1, 1)
    Frame d(4, 4);
    d.Canvas.FillRect(0, 0, 4, 4, 200);
    d.Canvas.CopyBlock(0, 0, true, {0, 0, 3, 3}, s.F.Canvas);
    EXPECT_EQ(d.Canvas.Pixel(1, 1), 200);
    EXPECT_EQ(d.Canvas.Pixel(0, 0), 1);
    EXPECT_EQ(d.Canvas.Pixel(2, 2), S(2, 2));
    d.Canvas.CopyBlock(0, 0, false, {0, 0, 3, 3}, s.F.Canvas);
    EXPECT_EQ(d.Canvas.Pixel(1, 1), 14);
}

TEST(DIBCanvasCopy, QuarterTurnsRotateClockwise) {
    Source s(true);
    const TRect block{0, 0, 3, 3};
    for (int q = 0; q < 4; ++q) {
        Frame d(8, 8);
        d.Canvas.CopyBlockTransQuad(2, 1, q, block, s.F.Canvas);
        EXPECT_EQ(d.Count(0), 64 - 9);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const TPoint at[] = {{2 + c, 1 + r}, {2 + 2 - r, 1 + c}, {2 + 2 - c, 1 + 2 - r}, {2 + r, 1 + 2 - c}};
                EXPECT_EQ(d.Canvas.Pixel(at[q].X, at[q].Y), S(c, r)) << "q" << q << " " << c << "," << r;
            }
    }
    // The top row of the source becomes the right column after a quarter turn.
    Frame d(8, 8);
    d.Canvas.CopyBlockTransQuad(0, 0, 1, block, s.F.Canvas);
    EXPECT_EQ(d.Canvas.Pixel(2, 0), 1);
    EXPECT_EQ(d.Canvas.Pixel(2, 2), 3);
}

TEST(DIBCanvasCopy, QuarterTurnCopyDrawsWholeBlocksOnly) {
    Source s(true);
    s.F.Canvas.TransparentColorIndex = 1;
    Frame d(8, 8);
    for (const TPoint at : {TPoint{6, 0}, TPoint{-1, 0}, TPoint{0, 6}, TPoint{0, -1}}) {
        d.Canvas.CopyBlockTransQuad(at.X, at.Y, 0, {0, 0, 3, 3}, s.F.Canvas);
        EXPECT_EQ(d.Count(0), 64) << at.X << "," << at.Y;
    }
    // Touching the far edges exactly is inside; the transparent pixel is skipped.
    d.Canvas.CopyBlockTransQuad(5, 5, 0, {0, 0, 3, 3}, s.F.Canvas);
    EXPECT_EQ(d.Count(0), 64 - 8);
    EXPECT_EQ(d.Canvas.Pixel(5, 5), 0);
    EXPECT_EQ(d.Canvas.Pixel(7, 7), S(2, 2));
    // A source rectangle that leaves the sheet is not drawn either.
    Frame e(16, 16);
    e.Canvas.CopyBlockTransQuad(0, 0, 0, {10, 8, 13, 11}, s.F.Canvas);
    EXPECT_EQ(e.Count(0), 256);
}

TEST(DIBCanvasCopy, QuarterTurnOfANonSquareBlockUsesTheTurnedFootprint) {
    Source s(true);
    const TRect tall{0, 0, 2, 4};  // 2 wide, 4 high
    Frame d(8, 8);
    d.Canvas.CopyBlockTransQuad(6, 0, 1, tall, s.F.Canvas);  // turned it is 4 wide: does not fit
    EXPECT_EQ(d.Count(0), 64);
    d.Canvas.CopyBlockTransQuad(4, 0, 1, tall, s.F.Canvas);
    EXPECT_EQ(d.Count(0), 64 - 8);
    EXPECT_EQ(d.Canvas.Pixel(7, 0), 1);   // source (0,0): top-right
    EXPECT_EQ(d.Canvas.Pixel(4, 0), S(0, 3));  // top-left
    EXPECT_EQ(d.Canvas.Pixel(4, 1), S(1, 3));
    Frame e(8, 8);
    e.Canvas.CopyBlockTransQuad(0, 6, 3, tall, s.F.Canvas);
    EXPECT_EQ(e.Count(0), 64 - 8);
    EXPECT_EQ(e.Canvas.Pixel(0, 7), 1);   // source (0,0): bottom-left
    EXPECT_EQ(e.Canvas.Pixel(3, 6), S(1, 3));  // top-right
}

TEST(DIBCanvasCopy, QuarterTurnCopyNeedsATopDownDestination) {
    Source s(true);
    Frame d(8, 8, true);
    try {
        d.Canvas.CopyBlockTransQuad(0, 0, 0, {0, 0, 3, 3}, s.F.Canvas);
        FAIL();
    } catch (const ERenderError& e) {
        EXPECT_STREQ(e.what(), "Destination Buffer must be top down in CopyBlockTransQuad");
    }
}

TEST(DIBCanvas, CanvasOverABitmap) {
    TIndexedBitmap sheet(8, 3);
    sheet.SetPixel(0, 2, 77);  // bottom-left
    sheet.SetPixel(5, 0, 12);
    TDIBCanvas canvas(sheet);
    EXPECT_TRUE(canvas.BottomUp);
    EXPECT_EQ(canvas.TransparentColorIndex, 77);
    EXPECT_EQ(canvas.Pixel(5, 0), 12);
    EXPECT_EQ(canvas.GetClipRect(), (TRect{0, 0, 7, 2}));
    EXPECT_EQ(canvas.Size(), 24);

    TIndexedBitmap odd(6, 3);
    try {
        TDIBCanvas bad(odd);
        FAIL();
    } catch (const ERenderError& e) {
        EXPECT_STREQ(e.what(), "Width must be a multiple of 4");
    }
    EXPECT_THROW(canvas.SetWidth(10), ERenderError);
}

} // namespace
} // namespace qx
