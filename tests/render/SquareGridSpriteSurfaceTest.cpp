#include "render/SquareGridSpriteSurface.h"

#include <gtest/gtest.h>

#include "render/SpriteSurfaceScroller.h"
#include "tests/render/RecordingCanvas.h"
#include "tests/render/TestSprites.h"

namespace qx {
namespace {

using test::Box;
using Log = std::vector<std::string>;

constexpr uint8_t kBlank = 250;

// A 120 x 60 sheet of 30-pixel tiles, 4 per row: tile (tx, ty) is filled
// with 10 + tx + 4 ty.
TIndexedBitmap TileSheet() {
    TIndexedBitmap sheet(120, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) sheet.SetPixel(x, y, static_cast<uint8_t>(10 + x / 30 + 4 * (y / 30)));
    return sheet;
}

struct Grid {
    Grid() {
        Board.SetColorPalette(&Palette);
        Board.SetSize(100, 80);
        Board.AutoBlank = true;
        Board.AutoBlankColorIndex = kBlank;
        Board.ShowCursor = false;
    }
    uint8_t At(int x, int y) { return Board.FrameCanvas().Pixel(x, y); }
    TColorPalette Palette;
    TSquareGridSpriteSurface Board;
};

TEST(SquareGrid, VirtualPlaneAndOffsetsFollowTheCells) {
    Grid g;
    EXPECT_TRUE(g.Board.UseVirtualSize());
    EXPECT_EQ(g.Board.VirtualWidth(), 3000);
    g.Board.SetCellsX(12);
    g.Board.SetCellHeight(20);
    g.Board.SetCellsY(7);
    EXPECT_EQ(g.Board.VirtualWidth(), 360);
    EXPECT_EQ(g.Board.VirtualHeight(), 140);
    g.Board.SetOffsetCellX(3);
    EXPECT_EQ(g.Board.OffsetX(), 90);
    g.Board.SetOffsetX(119);
    EXPECT_EQ(g.Board.OffsetCellX(), 3);
    EXPECT_EQ(g.Board.CellAt(59, 59), (TPoint{1, 2}));

    g.Board.SetCellWidth(0);  // cells become plain pixels
    EXPECT_EQ(g.Board.OffsetCellX(), 119);
    EXPECT_EQ(g.Board.CellAt(59, 59), (TPoint{59, 2}));
    g.Board.SetTiles(TileSheet());
    EXPECT_EQ(g.Board.TilesX(), 0);
    EXPECT_EQ(g.Board.TilesY(), 3);
    int asked = 0;
    g.Board.OnTile = [&](TObject*, int32_t, int32_t, int32_t&, int32_t&) { ++asked; };
    g.Board.ShowGrid = true;
    g.Board.Render();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(g.At(50, 50), kBlank);
}

TEST(SquareGrid, TilesCoverTheViewAndOneCellPastANarrowMap) {
    Grid g;
    g.Board.SetCellsX(2);
    g.Board.SetCellsY(50);
    g.Board.SetTiles(TileSheet());
    EXPECT_EQ(g.Board.TilesX(), 4);
    EXPECT_EQ(g.Board.TilesY(), 2);
    std::vector<TPoint> asked;
    g.Board.OnTile = [&](TObject*, int32_t cx, int32_t cy, int32_t& tx, int32_t& ty) {
        asked.push_back({cx, cy});
        if (cx >= 2) return;  // outside the map: tile 0
        tx = 3;
        ty = 1;
    };
    g.Board.Render();
    // Columns 0..2 (the map and one past it), rows 0..3 (80 div 30 + 1 more).
    EXPECT_EQ(asked.size(), 3u * 4u);
    EXPECT_EQ(asked.back(), (TPoint{2, 3}));
    EXPECT_EQ(g.At(5, 5), 17);
    EXPECT_EQ(g.At(59, 79), 17);
    EXPECT_EQ(g.At(60, 5), 10);  // tile 0 just right of the map
    EXPECT_EQ(g.At(89, 79), 10);
    EXPECT_EQ(g.At(90, 5), kBlank);  // the board draws nothing beyond
}

TEST(SquareGrid, TilesShiftWithThePartOfACellScrolledAway) {
    Grid g;
    g.Board.SetTiles(TileSheet());
    std::vector<TPoint> asked;
    g.Board.OnTile = [&](TObject*, int32_t cx, int32_t cy, int32_t& tx, int32_t& ty) {
        asked.push_back({cx, cy});
        tx = cx % 4;
        ty = cy % 2;
        if (cx == 4) tx = 40;  // beyond the sheet: nothing is drawn
    };
    g.Board.SetOffsetX(45);  // cell 1, 15 pixels in
    g.Board.SetOffsetY(30);
    g.Board.Render();
    EXPECT_EQ(asked.front(), (TPoint{1, 1}));
    EXPECT_EQ(g.At(0, 0), 10 + 1 + 4);     // cell (1, 1)
    EXPECT_EQ(g.At(14, 0), 10 + 1 + 4);
    EXPECT_EQ(g.At(15, 0), 10 + 2 + 4);    // cell (2, 1) starts 15 pixels in
    EXPECT_EQ(g.At(45, 30), 10 + 3 + 0);   // cell (3, 2)
    EXPECT_EQ(g.At(75, 0), kBlank);        // cell 4 asked for a tile past the sheet
}

TEST(SquareGrid, GridLinesAreStraightAndShiftWithTheOffset) {
    Grid g;
    g.Board.ShowGrid = true;
    g.Board.SetOffsetX(45);
    g.Board.SetOffsetY(37);
    g.Board.Render();
    for (int y = 0; y < 80; ++y) {
        EXPECT_EQ(g.At(15, y), 187) << y;  // x = 60 on the plane
        EXPECT_EQ(g.At(45, y), 187) << y;
        EXPECT_EQ(g.At(16, y) == 187, y == 23 || y == 53) << y;
    }
    for (int x = 0; x < 100; ++x) EXPECT_EQ(g.At(x, 23), 187) << x;  // y = 60 on the plane
}

TEST(SquareGrid, CursorIsTwoOutlinesAroundItsCell) {
    Grid g;
    g.Board.ShowCursor = true;
    g.Board.SetCursorCell({1, 1});
    g.Board.Render();
    EXPECT_EQ(g.At(28, 28), 214);  // (x - 2, y - 2)
    EXPECT_EQ(g.At(29, 40), 214);  // (x - 1, ...)
    EXPECT_EQ(g.At(62, 62), 214);  // (x + 32, y + 32)
    EXPECT_EQ(g.At(30, 30), kBlank);
    EXPECT_EQ(g.At(27, 27), kBlank);
}

struct Mouse : Grid {
    Mouse() {
        Board.SetSize(400, 400);
        Board.SetCellsX(20);
        Board.SetCellsY(20);
        Board.OnCellMouseDown = [this](TObject*, TMouseButton, TShiftState, int32_t x, int32_t y) {
            Events.push_back("down " + Cell(x, y));
        };
        Board.OnCellMouseUp = [this](TObject*, TMouseButton, TShiftState, int32_t x, int32_t y) {
            Events.push_back("up " + Cell(x, y));
        };
        Board.OnAreaSelected = [this](TObject*, TRect& a) {
            Events.push_back("area " + Cell(a.Left, a.Top) + "-" + Cell(a.Right, a.Bottom));
        };
        Board.OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int32_t, int32_t) { Events.push_back("surface up"); };
        Board.OnSpriteClick = [this](TObject*, TSprite* s) { Events.push_back("click " + Name(s)); };
        Board.OnSpriteSelected = [this](TObject*, TSprite* s) { Events.push_back("select " + Name(s)); };
    }
    static std::string Cell(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    static std::string Name(TSprite* s) { return static_cast<test::BoxSprite*>(s)->Name; }
    // Screen pixel in the middle of a cell (no offsets).
    static int32_t Mid(int32_t cell) { return cell * 30 + 15; }
    Log Events;
};

TEST(SquareGridMouse, PressAndReleaseInOneCellIsAClick) {
    Mouse m;
    TSpriteEngine ships;
    ships.SetSpriteSurface(&m.Board);
    ships.AddSprite(Box("ship", nullptr, 75, 75));
    m.Board.Render();
    m.Board.MouseDown(TMouseButton::mbLeft, 0, 70, 70);
    m.Board.MouseMove(0, 80, 80);
    m.Board.MouseUp(TMouseButton::mbLeft, 0, 75, 75);
    EXPECT_EQ(m.Events, (Log{"down 2,2", "up 2,2"}));
    EXPECT_EQ(m.Board.CursorCell(), (TPoint{2, 2}));
    EXPECT_FALSE(m.Board.Dragging());
}

TEST(SquareGridMouse, DragReportsTheAreaSelectsSpritesThenRunsTheSurfaceMouseUp) {
    Mouse m;
    TSpriteEngine systems, ships, effects;
    systems.ClickSprites = false;
    systems.SetPriority(1);
    effects.SetPriority(-1);
    for (TSpriteEngine* e : {&systems, &ships, &effects}) e->SetSpriteSurface(&m.Board);
    systems.AddSprite(Box("system", nullptr, Mouse::Mid(4), Mouse::Mid(6)));
    ships.AddSprite(Box("in", nullptr, Mouse::Mid(3), Mouse::Mid(5)));
    ships.AddSprite(Box("edge", nullptr, 3 * 30 - 4, Mouse::Mid(5)));  // pokes into column 3
    ships.AddSprite(Box("out", nullptr, Mouse::Mid(9), Mouse::Mid(9)));
    ships.AddSprite(Box("hidden", nullptr, Mouse::Mid(4), Mouse::Mid(6)))->Visible = false;
    effects.AddSprite(Box("blast", nullptr, Mouse::Mid(5), Mouse::Mid(7)));
    m.Board.Render();

    m.Board.MouseDown(TMouseButton::mbLeft, 0, Mouse::Mid(5), Mouse::Mid(5));
    m.Board.MouseMove(0, Mouse::Mid(3), Mouse::Mid(7));
    EXPECT_TRUE(m.Board.Dragging());
    m.Board.MouseUp(TMouseButton::mbLeft, 0, Mouse::Mid(3), Mouse::Mid(7));
    EXPECT_EQ(m.Events, (Log{"down 5,5", "up 3,7", "area 3,5-5,7", "select edge", "select in", "select blast", "up 3,7",
                             "surface up"}));
}

TEST(SquareGridMouse, BandSpansTheDraggedCellsEitherWay) {
    Mouse m;
    m.Board.SetOffsetX(10);
    m.Board.MouseDown(TMouseButton::mbLeft, 0, Mouse::Mid(5) - 10, Mouse::Mid(5));
    m.Board.MouseMove(0, Mouse::Mid(3) - 10, Mouse::Mid(7));
    m.Board.Render();
    // Columns 3..5 and rows 5..7: screen x 80..170, y 150..240.
    for (int x : {80, 170}) EXPECT_EQ(m.At(x, 200), 101) << x;
    for (int x : {79, 171}) EXPECT_EQ(m.At(x, 200), 101) << x;  // the outer outline
    for (int y : {150, 240, 149, 241}) EXPECT_EQ(m.At(120, y), 101) << y;
    EXPECT_EQ(m.At(81, 200), kBlank);
    EXPECT_EQ(m.At(78, 200), kBlank);
    EXPECT_EQ(m.At(120, 151), kBlank);
    m.Board.MouseUp(TMouseButton::mbLeft, 0, Mouse::Mid(3), Mouse::Mid(7));
    m.Board.Render();
    EXPECT_EQ(m.At(80, 200), kBlank);
}

struct Scroll {
    Scroll() {
        Board.SetSize(100, 100);
        Board.SetCellsX(10);  // 300 x 300
        Board.SetCellsY(10);
        Board.SetColorPalette(&Palette);
        Board.BeforeRender = [this](TObject*) { Frames.push_back(Board.OffsetX()); };
        Scroller.MaxScroll = 50;
        Scroller.SetSpriteSurface(&Board);
        Scroller.Loaded();
    }
    TColorPalette Palette;
    TSquareGridSpriteSurface Board;
    TSpriteSurfaceScroller Scroller;
    std::vector<int32_t> Frames;  // offset seen by the surface's own handler
};

TEST(SpriteSurfaceScroller, CentreHoldsStillAndCornersMoveFullSpeedToTheEdge) {
    Scroll s;
    int starts = 0, ends = 0;
    s.Scroller.OnScrollStart = [&](TObject*) { ++starts; };
    s.Scroller.OnScrollEnd = [&](TObject*) { ++ends; };
    s.Scroller.MouseDown(TMouseButton::mbLeft, 0, 28, 28);
    s.Board.Render();
    EXPECT_EQ(s.Board.OffsetX(), 0);
    s.Scroller.MouseMove(0, 56, 56);
    for (int i = 0; i < 3; ++i) s.Board.Render();
    EXPECT_EQ(s.Board.OffsetX(), 150);
    EXPECT_EQ(s.Board.OffsetY(), 150);
    for (int i = 0; i < 5; ++i) s.Board.Render();
    EXPECT_EQ(s.Board.OffsetX(), 200);  // the plane's edge
    EXPECT_EQ(s.Frames[1], 0);          // the surface's own handler ran first
    EXPECT_EQ(s.Frames[2], 50);
    s.Scroller.MouseMove(0, 0, 0);
    s.Board.Render();
    EXPECT_EQ(s.Board.OffsetX(), 150);
    s.Scroller.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    s.Board.Render();
    EXPECT_EQ(s.Board.OffsetX(), 150);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
}

TEST(SpriteSurfaceScroller, StepsRoundHalvesToEven) {
    Scroll s;
    s.Scroller.MouseDown(TMouseButton::mbLeft, 0, 35, 21);  // fx = fy = 0.25: 12.5 steps
    s.Board.SetOffsetX(100);
    s.Board.SetOffsetY(100);
    s.Scroller.Tick();
    EXPECT_EQ(s.Board.OffsetX(), 112);
    EXPECT_EQ(s.Board.OffsetY(), 88);
}

TEST(SpriteSurfaceScroller, DoubleClickJumpsToTheEdgeOfItsQuarter) {
    Scroll s;
    s.Scroller.DoubleClick(50, 28);
    EXPECT_EQ(s.Board.OffsetX(), 200);
    EXPECT_EQ(s.Board.OffsetY(), 0);
    s.Scroller.DoubleClick(28, 50);
    EXPECT_EQ(s.Board.OffsetX(), 200);
    EXPECT_EQ(s.Board.OffsetY(), 200);
    s.Scroller.DoubleClick(5, 5);
    EXPECT_EQ((TPoint{s.Board.OffsetX(), s.Board.OffsetY()}), (TPoint{0, 0}));
    s.Board.SetCellsX(2);  // a plane narrower than the view
    s.Scroller.DoubleClick(56, 28);
    EXPECT_EQ(s.Board.OffsetX(), 0);
}

TEST(SpriteSurfaceScroller, LeavingTheSurfaceRestoresItsHandler) {
    Scroll s;
    s.Scroller.SetSpriteSurface(nullptr);
    s.Scroller.MouseDown(TMouseButton::mbLeft, 0, 56, 56);
    s.Board.Render();
    EXPECT_EQ(s.Board.OffsetX(), 0);
    EXPECT_EQ(s.Frames.size(), 1u);

    TSpriteSurfaceScroller tiny;
    tiny.Width = tiny.Height = 1;
    tiny.SetSpriteSurface(&s.Board);
    tiny.Loaded();
    tiny.MouseDown(TMouseButton::mbLeft, 0, 0, 0);
    s.Board.Render();  // no centre, no scrolling, no crash
    EXPECT_EQ(s.Board.OffsetX(), 0);
    EXPECT_EQ(s.Frames.size(), 2u);
}

TEST(SpriteSurfaceScroller, PaintsArrowsOrItsGlyph) {
    TSpriteSurfaceScroller scroller;
    scroller.Color = clBlack;
    scroller.ColorHighlight = clLime;
    scroller.ColorShadow = clRed;
    test::RecordingCanvas canvas;
    scroller.Paint(canvas);
    ASSERT_FALSE(canvas.Calls.empty());
    EXPECT_EQ(canvas.Calls[0], "FillRect 0,0-57,57 #000000");
    auto drawn = [&](const std::string& call) {
        return std::count(canvas.Calls.begin(), canvas.Calls.end(), call + " fill #000000");
    };
    EXPECT_EQ(drawn("LineTo 56,0 pen #00ff00"), 1);   // top edge
    EXPECT_EQ(drawn("LineTo 56,28 pen #00ff00"), 1);  // diamond, upper right
    EXPECT_EQ(drawn("LineTo 0,56 pen #ff0000"), 1);   // bottom edge
    EXPECT_EQ(drawn("LineTo 28,56 pen #ff0000"), 2);  // diamond, lower right; vertical centre line
    EXPECT_EQ(drawn("LineTo 56,28 pen #ff0000"), 1);  // centre line
    scroller.Glyph.SetSize(8, 8);
    canvas.Calls.clear();
    scroller.Paint(canvas);
    EXPECT_EQ(canvas.Calls, (Log{"StretchDraw 0,0-57,57 8x8"}));
}

} // namespace
} // namespace qx
