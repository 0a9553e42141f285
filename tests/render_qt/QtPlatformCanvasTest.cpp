#include <gtest/gtest.h>

#include "FrameFixture.h"

namespace qx::test {

namespace {

constexpr uint8_t kInk = 200;
constexpr uint8_t kPaper = 50;
constexpr uint8_t kPen = 120;
constexpr uint8_t kFill = 90;

class QtCanvasTest : public FrameFixture {
protected:
    std::unique_ptr<TQtPlatformCanvas> canvas;

    void SetUp() override {
        FrameFixture::SetUp();
        canvas = std::make_unique<TQtPlatformCanvas>(frame, palette);
        canvas->Font = {"Small Fonts", 6, Color(kInk), false};
        canvas->Pen = {Color(kPen), TPenStyle::psSolid, 1};
        canvas->Brush = {Color(kFill), TBrushStyle::bsClear};
    }
};

TEST_F(QtCanvasTest, ColoursLandOnTheNearestPaletteEntry) {
    EXPECT_EQ(canvas->IndexOf(Color(77)), 77);
    // One step off in every channel is still closest to the same entry.
    const TColor near = Color(77) + 0x010101;
    EXPECT_EQ(canvas->IndexOf(near), 77);

    // A new palette is honoured at once, not served from stale lookups.
    std::vector<std::string> lines(256, "0,0,0");
    lines[9] = "78,179,28";  // exactly the colour asked for
    lines[77] = "255,255,255";
    palette.SetPaletteEntries(lines);
    EXPECT_EQ(canvas->IndexOf(near), 9);
}

TEST_F(QtCanvasTest, TextIsDrawnInTheFontColourWithinItsExtent) {
    const TSize extent = canvas->TextExtent("E12");
    ASSERT_GT(extent.Width, 6);
    ASSERT_GT(extent.Height, 4);
    EXPECT_GT(canvas->TextExtent("E1234").Width, extent.Width);
    EXPECT_EQ(canvas->TextExtent("").Width, 0);

    canvas->TextOut(10, 5, "E12");
    const TRect ink = Box(kInk);
    ASSERT_GT(Count(kInk), 5);
    EXPECT_GE(ink.Left, 10 - 1);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Right, 10 + extent.Width + 1);
    EXPECT_LE(ink.Bottom, 5 + extent.Height);
    // A clear brush leaves the background between the strokes.
    EXPECT_EQ(Count(kInk) + Count(Background), W * H);
    // No anti-aliasing: only the ink colour was written.
}

TEST_F(QtCanvasTest, SolidBrushFillsTheTextExtentFirst) {
    canvas->Brush = {Color(kPaper), TBrushStyle::bsSolid};
    const TSize extent = canvas->TextExtent("W3?");
    canvas->TextOut(4, 6, "W3?");
    const int inside = Count(kInk, 4, 6, 4 + extent.Width, 6 + extent.Height) +
                       Count(kPaper, 4, 6, 4 + extent.Width, 6 + extent.Height);
    EXPECT_EQ(inside, extent.Width * extent.Height);
    EXPECT_GT(Count(kInk), 0);
    EXPECT_EQ(Count(kPaper), Count(kPaper, 4, 6, 4 + extent.Width, 6 + extent.Height));
}

TEST_F(QtCanvasTest, TextAtTheFrameEdgesIsClipped) {
    canvas->Brush = {Color(kPaper), TBrushStyle::bsSolid};
    canvas->Font.Size = 10;
    for (const TPoint at : {TPoint{-7, -5}, TPoint{W - 4, H - 3}, TPoint{-1000, 10}, TPoint{10, 100000},
                            TPoint{INT32_MAX - 2, INT32_MIN + 2}})
        canvas->TextOut(at.X, at.Y, "Vega");
    // A text far wider than any frame costs no more than the frame's width.
    canvas->Brush.Style = TBrushStyle::bsClear;
    canvas->TextOut(20, -100, std::string(200000, 'W'));
    EXPECT_TRUE(GuardsIntact());
    // Only the corners were reached.
    EXPECT_GT(Count(kPaper, 0, 0, 4, 4) + Count(kInk, 0, 0, 4, 4), 0);
    EXPECT_GT(Count(kPaper, W - 4, H - 3, W, H) + Count(kInk, W - 4, H - 3, W, H), 0);
    EXPECT_EQ(Count(kPaper, 20, 15, 40, 25) + Count(kInk, 20, 15, 40, 25), 0);
}

TEST_F(QtCanvasTest, TextGoesToThePictureRowOnABottomUpFrame) {
    canvas->TextOut(10, 5, "E12");
    const TRect topDown = Box(kInk);
    std::fill(memory.begin() + Guard, memory.begin() + Guard + W * H, Background);
    frame.BottomUp = true;
    canvas->TextOut(10, 5, "E12");
    EXPECT_EQ(Box(kInk), topDown);
}

TEST_F(QtCanvasTest, EllipseOutlineFitsItsBoxRightAndBottomExcluded) {
    canvas->Ellipse(10, 8, 30, 20);
    EXPECT_EQ(Box(kPen), (TRect{10, 8, 30, 20}));
    // Unfilled: the middle keeps the background.
    EXPECT_EQ(At(20, 14), Background);
    EXPECT_EQ(Count(kFill), 0);
    // The outline is closed on all four sides.
    EXPECT_GT(Count(kPen, 10, 8, 11, 20), 0);
    EXPECT_GT(Count(kPen, 29, 8, 30, 20), 0);
    EXPECT_GT(Count(kPen, 10, 8, 30, 9), 0);
    EXPECT_GT(Count(kPen, 10, 19, 30, 20), 0);
}

TEST_F(QtCanvasTest, FilledEllipseCoversTheInsideWithTheBrush) {
    canvas->Brush.Style = TBrushStyle::bsSolid;
    canvas->Ellipse(10, 8, 30, 20);
    EXPECT_EQ(At(20, 14), kFill);
    EXPECT_EQ(At(10, 8), Background);  // corners of the box are outside the ellipse
    EXPECT_EQ(Box(kPen), (TRect{10, 8, 30, 20}));
    EXPECT_EQ(Count(kPen) + Count(kFill) + Count(Background), W * H);

    // A clear pen leaves only the fill.
    std::fill(memory.begin() + Guard, memory.begin() + Guard + W * H, Background);
    canvas->Pen.Style = TPenStyle::psClear;
    canvas->Ellipse(10, 8, 30, 20);
    EXPECT_EQ(Count(kPen), 0);
    EXPECT_GT(Count(kFill), 100);
}

TEST_F(QtCanvasTest, EllipsesPaintOverEarlierDrawingInOrder) {
    frame.FillRect(0, 0, W, H, 7);  // what the sprites drew before
    canvas->Brush.Style = TBrushStyle::bsSolid;
    canvas->Ellipse(0, 0, 40, 30);
    canvas->Brush.Style = TBrushStyle::bsClear;
    canvas->TextOut(12, 10, "R5");
    EXPECT_EQ(At(2, 2), 7);        // outside the ellipse: untouched
    EXPECT_GT(Count(kFill), 300);  // the ellipse covered the sprites
    EXPECT_GT(Count(kInk, 12, 10, 30, 25), 0);  // the text covered the ellipse
}

TEST_F(QtCanvasTest, DottedRingHasGaps) {
    canvas->Ellipse(4, 4, 36, 36);
    const int solid = Count(kPen);
    std::fill(memory.begin() + Guard, memory.begin() + Guard + W * H, Background);
    canvas->Pen.Style = TPenStyle::psDot;
    canvas->Ellipse(4, 4, 36, 36);
    EXPECT_GT(Count(kPen), solid / 4);
    EXPECT_LT(Count(kPen), solid * 3 / 4);
}

TEST_F(QtCanvasTest, EllipsesReachingPastTheFrameAreClipped) {
    canvas->Brush.Style = TBrushStyle::bsSolid;
    canvas->Ellipse(-30, -20, 30, 20);       // centred on the top-left corner
    canvas->Ellipse(W - 10, H - 10, W + 50, H + 50);
    canvas->Ellipse(-5000, -5000, -4000, -4000);  // wholly outside
    EXPECT_TRUE(GuardsIntact());
    EXPECT_EQ(At(0, 0), kFill);
    EXPECT_EQ(At(W - 1, H - 1), kFill);
    EXPECT_EQ(At(W / 2, H / 2), Background);
}

TEST_F(QtCanvasTest, HugeRingIsDrawnWhereItCrossesTheFrame) {
    // A range ring thousands of pixels across: only its edge near the left
    // of the frame falls inside.
    const size_t before = canvas->CachedShapes();
    canvas->Ellipse(20, -3000, 6020, 3000);
    EXPECT_TRUE(GuardsIntact());
    EXPECT_EQ(canvas->CachedShapes(), before);
    EXPECT_GT(Count(kPen, 19, 0, 22, H), H / 2);
    EXPECT_EQ(Count(kPen, 24, 0, W, H), 0);
    EXPECT_EQ(Count(kPen, 0, 0, 19, H), 0);
}

TEST_F(QtCanvasTest, RepeatedCaptionsAndRingsReuseTheirShapes) {
    canvas->TextOut(0, 0, "E5");
    canvas->Ellipse(0, 0, 20, 20);
    const size_t shapes = canvas->CachedShapes();
    canvas->TextOut(30, 20, "E5");
    canvas->Font.Color = Color(kPaper);  // colour does not change the shape
    canvas->TextOut(30, 0, "E5");
    canvas->Ellipse(40, 10, 60, 30);
    EXPECT_EQ(canvas->CachedShapes(), shapes);
    canvas->TextOut(0, 20, "E6");
    EXPECT_EQ(canvas->CachedShapes(), shapes + 1);
}

TEST_F(QtCanvasTest, LineLeavesOutItsEndPointAndMovesThePen) {
    canvas->MoveTo(2, 2);
    canvas->LineTo(10, 2);
    EXPECT_EQ(Count(kPen), 8);
    EXPECT_EQ(At(2, 2), kPen);
    EXPECT_EQ(At(9, 2), kPen);
    EXPECT_EQ(At(10, 2), Background);
    // The next line starts where the last one ended.
    canvas->LineTo(10, 6);
    EXPECT_EQ(At(10, 2), kPen);
    EXPECT_EQ(At(10, 5), kPen);
    EXPECT_EQ(At(10, 6), Background);
}

TEST_F(QtCanvasTest, LineToFarOutsideStopsAtTheBorder) {
    canvas->MoveTo(5, 20);
    canvas->LineTo(100000, 20);
    EXPECT_TRUE(GuardsIntact());
    EXPECT_EQ(Count(kPen), W - 5);
    EXPECT_EQ(At(W - 1, 20), kPen);
    canvas->MoveTo(-100, -100);
    canvas->LineTo(-50, -300);  // wholly outside: nothing, yet the pen moves
    EXPECT_EQ(Count(kPen), W - 5);
    canvas->LineTo(-50, 10);
    EXPECT_EQ(Count(kPen), W - 5);
}

TEST_F(QtCanvasTest, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    canvas->Brush.Style = TBrushStyle::bsSolid;
    canvas->Rectangle(5, 5, 15, 12);
    EXPECT_EQ(Box(kPen), (TRect{5, 5, 15, 12}));
    EXPECT_EQ(Count(kPen), 2 * 10 + 2 * 5);
    EXPECT_EQ(Count(kFill), 8 * 5);
    canvas->FillRect({W - 3, H - 3, W + 10, H + 10});
    EXPECT_TRUE(GuardsIntact());
    EXPECT_EQ(Count(kFill), 8 * 5 + 9);
}

TEST_F(QtCanvasTest, PixelsAndPicturesTakeTheNearestIndices) {
    canvas->SetPixel(3, 4, Color(33));
    canvas->SetPixel(-1, 4, Color(33));
    canvas->SetPixel(W, H, Color(33));
    EXPECT_EQ(At(3, 4), 33);
    EXPECT_EQ(Count(33), 1);

    const TColor block[4] = {Color(60), Color(61), Color(62), Color(63)};
    canvas->DrawPixels(W - 1, 0, 2, 2, block);  // right column falls off
    EXPECT_EQ(At(W - 1, 0), 60);
    EXPECT_EQ(At(W - 1, 1), 62);
    EXPECT_EQ(Count(61) + Count(63), 0);

    // A 2 x 2 picture in its own colours, stretched to 4 x 4.
    TIndexedBitmap picture(4, 2);  // rows of 4 bytes; only 2 x 2 used below
    picture.SetSize(2, 2);
    picture.Palette[1] = {10, 245, 70};   // entry 10's colour
    picture.Palette[2] = {20, 235, 140};  // entry 20's colour
    picture.SetPixel(0, 0, 1);
    picture.SetPixel(1, 0, 2);
    picture.SetPixel(0, 1, 2);
    picture.SetPixel(1, 1, 1);
    canvas->StretchDraw({20, 20, 24, 24}, picture);
    EXPECT_EQ(Count(10, 20, 20, 22, 22), 4);
    EXPECT_EQ(Count(20, 22, 20, 24, 22), 4);
    EXPECT_EQ(Count(20, 20, 22, 22, 24), 4);
    EXPECT_EQ(Count(10, 22, 22, 24, 24), 4);
    canvas->StretchDraw({W - 2, H - 2, W + 200, H + 200}, picture);
    EXPECT_TRUE(GuardsIntact());
}

} // namespace

} // namespace qx::test
