#include "render/StrategicMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/Player.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "engine/Wormhole.h"
#include "render/ColorPalette.h"
#include "render/RgbPixelCanvas.h"
#include "render/SquareGridSpriteSurface.h"
#include "tests/engine/TestGalaxy.h"
#include "tests/render/RecordingCanvas.h"

namespace qx {
namespace {

using Calls = std::vector<std::string>;

// Palette entry i is (i, 3i mod 256, 77): every entry differs from the
// others and from the map's fixed colours.
TColor Entry(int i) { return RgbColor(static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3 % 256), 77); }
std::string Hex(int i) { return test::RecordingCanvas::Hex(Entry(i)); }

constexpr int kPlayer0 = 249, kPlayer1 = 251, kHidden = 248, kUnowned = 7;

// strategicMain's setup over a 100 x 100 galaxy seen by player 0.
struct MapScene {
    MapScene() : Galaxy(3, 100, 100) {
        std::vector<std::string> entries;
        for (int i = 0; i < 256; ++i)
            entries.push_back(std::to_string(i) + "," + std::to_string(i * 3 % 256) + ",77");
        Palette.SetPaletteEntries(entries);
        Galaxy.engine.CurrentPlayer = Galaxy.P(0);
        Map.QuorvexEngine = &Galaxy.engine;
        Map.CharMatrix = &Galaxy.map;
        Map.SetColorPalette(&Palette);
        Map.SetSize(177, 145);
        Map.StarSystemRadius = 2;
        Map.WormholeRadius = 2;
    }
    // The calls of one paint, without the black fill.
    Calls Paint() {
        test::RecordingCanvas canvas(177, 145);
        Map.Paint(canvas);
        Calls calls;
        for (const auto& call : canvas.Calls)
            if (call.rfind("FillRect", 0) != 0 && call.rfind("DrawPixels", 0) != 0) calls.push_back(call);
        return calls;
    }
    TRgbPixelCanvas PaintPixels() {
        TRgbPixelCanvas canvas(Map.Width(), Map.Height(), RgbColor(1, 2, 3));
        Map.Paint(canvas);
        return canvas;
    }
    void Link(TSquareGridSpriteSurface& board) {
        board.SetSize(240, 240);
        board.SetCellsX(100);
        board.SetCellsY(100);
        Map.SetSquareGridSpriteSurface(&board);
    }
    static bool Has(const Calls& calls, const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    test::TestGalaxy Galaxy;
    TColorPalette Palette;
    TStrategicMap Map;
};

TEST(StrategicMap, ScalesTheGalaxyIntoTheControl) {
    MapScene s;
    EXPECT_EQ(s.Map.ScaleX(), 1.77f);
    EXPECT_EQ(s.Map.ScaleY(), 1.45f);
    TStarSystem* system = s.Galaxy.System(10, 20, s.Galaxy.P(0));
    system->Visible[0] = true;
    EXPECT_EQ(s.Map.MapToControl(10, 20), (TPoint{18, 29}));
    EXPECT_EQ(s.Paint(), (Calls{"Ellipse 16,27-20,31 pen " + Hex(kPlayer0) + " fill " + Hex(kPlayer0)}));
}

TEST(StrategicMap, EmptyOrMissingGalaxiesPaintWithoutFailing) {
    MapScene s;
    s.Galaxy.engine.MapWidth = 0;
    EXPECT_EQ(s.Map.ScaleX(), 1.0f);
    s.Galaxy.System(5, 6, nullptr)->Visible[0] = true;
    EXPECT_EQ(s.Map.MapToControl(5, 6), (TPoint{5, 9}));
    EXPECT_EQ(s.PaintPixels().Pixel(0, 0), clBlack);
    s.Map.SetSize(0, 0);
    TRgbPixelCanvas empty(0, 0);
    s.Map.Paint(empty);

    s.Map.QuorvexEngine = nullptr;
    s.Map.Color = RgbColor(9, 9, 9);
    test::RecordingCanvas canvas(177, 145);
    s.Map.Paint(canvas);
    EXPECT_EQ(canvas.Calls, (Calls{"FillRect 0,0-177,145 #090909"}));
}

TEST(StrategicMap, StarSystemsShowOnlyWhatTheLocalPlayerSees) {
    MapScene s;
    TStarSystem* own = s.Galaxy.System(0, 0, s.Galaxy.P(0));
    TStarSystem* seenEnemy = s.Galaxy.System(10, 0, s.Galaxy.P(1));
    TStarSystem* hiddenEnemy = s.Galaxy.System(20, 0, s.Galaxy.P(1));
    TStarSystem* free = s.Galaxy.System(30, 0, nullptr);
    own->Visible[0] = seenEnemy->Visible[0] = free->Visible[0] = true;
    hiddenEnemy->Visible[1] = true;
    const Calls calls = s.Paint();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_NE(calls[0].find("fill " + Hex(kPlayer0)), std::string::npos);
    EXPECT_NE(calls[1].find("fill " + Hex(kPlayer1)), std::string::npos);
    EXPECT_NE(calls[2].find("fill " + Hex(kHidden)), std::string::npos) << "an unseen owner is not revealed";
    EXPECT_NE(calls[3].find("fill " + Hex(kUnowned)), std::string::npos);

    // The all-computer game shows every owner.
    for (int p = 0; p < 3; ++p) s.Galaxy.P(p)->Computer = true;
    EXPECT_NE(s.Paint()[2].find("fill " + Hex(kPlayer1)), std::string::npos);
}

TEST(StrategicMap, ShipsAreSinglePixelsOfVisibleShipsOnly) {
    MapScene s;
    s.Map.ShowStarShips = true;
    TStarShip* own = s.Galaxy.Ship(s.Galaxy.P(0), TShipType::WarShip, 10, 21);
    TStarShip* seen = s.Galaxy.Ship(s.Galaxy.P(1), TShipType::WarShip, 50, 50);
    TStarShip* unseen = s.Galaxy.Ship(s.Galaxy.P(1), TShipType::WarShip, 60, 60);
    own->Visible[0] = seen->Visible[0] = true;
    unseen->Visible[1] = true;
    // Truncated, not rounded: 10 x 1.77 = 17.7 lands on 17.
    EXPECT_EQ(s.Paint(), (Calls{"Pixel 17,30 " + Hex(kPlayer0), "Pixel 88,72 " + Hex(kPlayer1)}));

    for (int p = 0; p < 3; ++p) s.Galaxy.P(p)->Computer = true;
    EXPECT_TRUE(MapScene::Has(s.Paint(), "Pixel 106,87 " + Hex(kPlayer1)));

    s.Map.ShowStarShips = false;
    EXPECT_TRUE(s.Paint().empty());
}

TEST(StrategicMap, WormholesAreRingsLinkedOnlyWhenTheExitIsKnown) {
    MapScene s;
    TWormhole* known = s.Galaxy.Wormhole(10, 20, 50, 50);
    TWormhole* seen = s.Galaxy.Wormhole(0, 0, 99, 99);
    TWormhole* hidden = s.Galaxy.Wormhole(40, 40, 0, 0);
    known->Visible[0] = known->Known[0] = true;
    seen->Visible[0] = true;
    hidden->Known[0] = true;
    // The exit (50, 50): 50 x 1.45f lies just above 72.5 in single precision, so 73.
    EXPECT_EQ(s.Paint(), (Calls{"Ellipse 16,27-20,31 pen #ff00ff", "MoveTo 18,29", "LineTo 88,73 pen #ffff00",
                                "Ellipse -2,-2-2,2 pen #ff00ff"}));

    for (int p = 0; p < 3; ++p) s.Galaxy.P(p)->Computer = true;
    EXPECT_TRUE(MapScene::Has(s.Paint(), "Ellipse 69,56-73,60 pen #ff00ff"));
}

TEST(StrategicMap, ScannerRingsCoverTheLocalPlayersScannersOnly) {
    MapScene s;
    s.Map.ShowScanners = true;
    TStarSystem* own = s.Galaxy.System(10, 20, s.Galaxy.P(0));
    own->Scanners = 3;
    s.Galaxy.System(50, 50, s.Galaxy.P(1))->Scanners = 5;
    s.Galaxy.Ship(s.Galaxy.P(0), TShipType::ScanShip, 0, 0, 5, 1);
    s.Galaxy.Ship(s.Galaxy.P(0), TShipType::WarShip, 30, 30, 5, 9);
    s.Galaxy.Ship(s.Galaxy.P(1), TShipType::ScanShip, 60, 60, 5, 2);
    Calls rings;
    for (const auto& call : s.Paint())
        if (call.find("#008080") != std::string::npos) rings.push_back(call);
    // (3 + 1) cells: 7 pixels across, 6 down.
    EXPECT_EQ(rings, (Calls{"Ellipse 11,23-25,35 pen #008080", "Ellipse -4,-3-4,3 pen #008080"}));

    s.Galaxy.engine.CurrentPlayer = nullptr;
    for (const auto& call : s.Paint()) EXPECT_EQ(call.find("#008080"), std::string::npos) << call;
}

TEST(StrategicMap, FramesThePartOfTheGalaxyTheBoardShows) {
    MapScene s;
    {
        TSquareGridSpriteSurface board;
        s.Link(board);
        board.SetOffsetCellX(10);
        board.SetOffsetCellY(20);
        // 8 x 8 cells in view.
        EXPECT_EQ(s.Paint(), (Calls{"Rectangle 18,29-32,41 pen #008080"}));
        board.SetCellWidth(0);
        EXPECT_EQ(s.Paint().size(), 1u);
    }
    EXPECT_EQ(s.Map.SquareGridSpriteSurface(), nullptr);
    EXPECT_TRUE(s.Paint().empty());
}

TEST(StrategicMap, MousePositionsAreReportedInBoardCells) {
    MapScene s;
    TPoint reported{-1, -1};
    s.Map.OnMouseMove = [&](TObject*, TShiftState, int32_t x, int32_t y) { reported = {x, y}; };
    s.Map.MouseMove(0, 88, 72);
    EXPECT_EQ(reported, (TPoint{88, 72})) << "pixels without a board";
    TSquareGridSpriteSurface board;
    s.Link(board);
    // 3000 / 177 x 88 = 1491.5 -> 1492 -> cell 49; 3000 / 145 x 72 = 1489.7 -> 1490 -> cell 49.
    s.Map.MouseMove(ssLeft, 88, 72);
    EXPECT_EQ(reported, (TPoint{49, 49}));
    EXPECT_EQ(s.Map.ControlToCell(177, 145), (TPoint{100, 100}));
    EXPECT_EQ(s.Map.ControlToCell(-10, 0), (TPoint{-5, 0}));
    // A control without a size maps as if one pixel wide instead of dividing by zero.
    s.Map.SetSize(0, 0);
    EXPECT_EQ(s.Map.ControlToCell(3, 3), (TPoint{300, 300}));
}

TEST(StrategicMap, NebulaeAreCachedAndRebuiltOnlyWhenAsked) {
    MapScene s;
    s.Galaxy.map.SetChar(50, 50, 'N');
    const TColor olive = RgbColor(128, 128, 0);
    TRgbPixelCanvas first = s.PaintPixels();
    EXPECT_EQ(first.CountColor(olive), 4);
    for (auto [x, y] : {std::pair{88, 72}, {89, 72}, {88, 73}, {89, 73}}) EXPECT_EQ(first.Pixel(x, y), olive);

    s.Galaxy.map.SetChar(0, 0, 'N');
    EXPECT_EQ(s.PaintPixels().CountColor(olive), 4) << "the cached picture is kept";
    int invalidated = 0;
    s.Map.OnInvalidate = [&](TObject*) { ++invalidated; };
    s.Map.ResetBackground();
    EXPECT_EQ(invalidated, 1);
    TRgbPixelCanvas second = s.PaintPixels();
    EXPECT_EQ(second.Pixel(0, 0), olive);
    EXPECT_GT(second.CountColor(olive), 4);

    s.Map.SetSize(100, 100);
    EXPECT_EQ(s.PaintPixels().Pixel(50, 50), olive) << "a new size rebuilds the picture";
    s.Galaxy.engine.MapHeight = 50;
    EXPECT_EQ(s.PaintPixels().Pixel(50, 99), olive) << "so does a galaxy of another size";

    s.Galaxy.map.SetSize(99, 100);
    s.Galaxy.map.Fill('N');
    EXPECT_EQ(s.PaintPixels().CountColor(olive), 0) << "a grid of another width is not this galaxy's";
}

TEST(RgbPixelCanvas, ShapesStayInTheirBoxesAndInsideTheBuffer) {
    TRgbPixelCanvas canvas(20, 20);
    canvas.Brush = {clBlue, TBrushStyle::bsSolid};
    canvas.Pen = {clRed, TPenStyle::psSolid, 1};
    canvas.Ellipse(2, 2, 9, 9);
    EXPECT_EQ(canvas.Pixel(5, 5), clBlue);
    EXPECT_EQ(canvas.Pixel(2, 5), clRed);
    EXPECT_EQ(canvas.Pixel(8, 5), clRed);
    EXPECT_EQ(canvas.Pixel(9, 5), clBlack);
    EXPECT_EQ(canvas.Pixel(2, 2), clBlack);
    canvas.MoveTo(0, 15);
    canvas.LineTo(5, 15);
    EXPECT_EQ(canvas.Pixel(4, 15), clRed);
    EXPECT_EQ(canvas.Pixel(5, 15), clBlack) << "a line leaves out its end";

    canvas.Rectangle(15, 5, INT32_MAX, INT32_MAX);
    canvas.MoveTo(INT32_MIN, INT32_MIN);
    canvas.LineTo(INT32_MAX, INT32_MAX);  // across the buffer, without walking four billion steps
    canvas.SetPixel(20, 0, clWhite);
    const TColor white[] = {clWhite};
    canvas.DrawPixels(19, 19, 1, 1, white);
    canvas.DrawPixels(-5, -5, 1, 1, white);
    EXPECT_EQ(canvas.Pixel(15, 7), clRed);
    EXPECT_EQ(canvas.Pixel(12, 12), clRed);
    EXPECT_EQ(canvas.CountColor(clWhite), 1);
    EXPECT_EQ(canvas.Pixel(19, 19), clWhite);
}

} // namespace
} // namespace qx
