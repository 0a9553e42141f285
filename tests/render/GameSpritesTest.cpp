#include "render/StarShipSprite.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/Player.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "base/Random.h"
#include "render/SpriteLink.h"
#include "render/SquareGridSpriteSurface.h"
#include "render/StarSystemSprite.h"
#include "tests/engine/TestGalaxy.h"
#include "tests/render/RecordingCanvas.h"

namespace qx {
namespace {

using Log = std::vector<std::string>;
constexpr uint8_t kBlank = 99;

// The StarShip cell sheet: 46 x 10 frames of 30 x 30. Frame (c, r) is
// filled with c + 1 and marks its top-left pixel with 200 + r; its bottom
// row is 0, the transparent index.
TIndexedBitmap ShipSheet() {
    TIndexedBitmap sheet(1380, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 1380; ++x) {
            const int c = x / 30, r = y / 30, lx = x % 30, ly = y % 30;
            sheet.SetPixel(x, y, static_cast<uint8_t>(ly == 29 ? 0 : (lx == 0 && ly == 0) ? 200 + r : c + 1));
        }
    return sheet;
}

// The StarSystem cell sheet: 1 x 12 frames of 32 x 30, frame r filled with 100 + r.
TIndexedBitmap SystemSheet() {
    TIndexedBitmap sheet(32, 360);
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 32; ++x) sheet.SetPixel(x, y, static_cast<uint8_t>(100 + y / 30));
    sheet.SetPixel(0, 359, 0);
    return sheet;
}

struct Scene {
    Scene() : Galaxy(3) {
        Galaxy.engine.CurrentPlayer = Galaxy.P(0);
        Galaxy.engine.ColorPalette = &Palette;
        Board.SetColorPalette(&Palette);
        Board.SetSize(240, 240);
        Board.AutoBlank = true;
        Board.AutoBlankColorIndex = kBlank;
        Board.ShowCursor = false;
        Board.PlatformCanvasFactory = [this](TDIBCanvas& frame, TColorPalette&) {
            auto canvas = std::make_unique<test::RecordingCanvas>(frame.Width(), frame.Height());
            Canvas = canvas.get();
            return canvas;
        };
        Ships.SetSpriteSurface(&Board);
        Systems.SetSpriteSurface(&Board);
        Systems.SetPriority(1);
    }
    TStarShip* Ship(TPlayer* owner, TShipType type, int cx, int cy, int engines = 4, int value = 3) {
        TStarShip* ship = Galaxy.Ship(owner, type, cx, cy, engines, value);
        ship->Visible[0] = true;
        auto sprite = std::make_unique<TStarShipSprite>(ShipSheet_, ship, Board.PresentationRandom());
        sprite->SetPosition(cx * 30.0f + 15 + 1, cy * 30.0f + 15 + 1);
        sprite->Facing = 2;
        AttachSprite(*ship, Ships.Add(std::move(sprite)));
        return ship;
    }
    TStarShipSprite* SpriteOfShip(TStarShip* ship) { return static_cast<TStarShipSprite*>(SpriteOf(ship)); }
    TStarSystem* System(TPlayer* owner, int cx, int cy) {
        TStarSystem* system = Galaxy.System(cx, cy, owner);
        system->Visible[0] = true;
        auto sprite = std::make_unique<TStarSystemSprite>(SystemSheet_, system);
        sprite->SetPosition(cx * 30.0f + 15, cy * 30.0f + 15);
        Systems.AddSprite(std::move(sprite));
        return system;
    }
    // One frame; the canvas then holds only that frame's calls.
    void Render() {
        if (Canvas) Canvas->Calls.clear();
        Board.Render();
    }
    uint8_t At(int x, int y) { return Board.FrameCanvas().Pixel(x, y); }
    int Count(uint8_t low, uint8_t high) {
        int n = 0;
        const uint8_t* bits = Board.FrameBits();
        for (int i = 0; i < 240 * 240; ++i) n += bits[i] >= low && bits[i] <= high;
        return n;
    }
    Log Texts() const {
        Log texts;
        for (const auto& call : Canvas->Calls)
            if (call.rfind("TextOut", 0) == 0) texts.push_back(call);
        return texts;
    }

    test::TestGalaxy Galaxy;
    TColorPalette Palette;
    TIndexedBitmap ShipSheet_ = ShipSheet();
    TIndexedBitmap SystemSheet_ = SystemSheet();
    TSquareGridSpriteSurface Board;
    TSpriteEngine Systems;
    TSpriteEngine Ships;
    test::RecordingCanvas* Canvas = nullptr;
};

TEST(StarShipSprite, OwnShipShowsItsTypeFrameTurnedToItsFacing) {
    Scene s;
    TStarShip* ship = s.Ship(s.Galaxy.P(0), TShipType::Drone, 2, 2);
    TStarShipSprite* sprite = s.SpriteOfShip(ship);
    const int32_t quadrants[8] = {3, 3, 0, 0, 1, 1, 2, 2};
    for (int facing = 0; facing < 8; ++facing) {
        sprite->Facing = facing;
        const auto look = sprite->Look();
        EXPECT_TRUE(look.Drawn && look.Known);
        EXPECT_EQ(look.Column, 4 + facing % 2) << facing;
        EXPECT_EQ(look.Quadrant, quadrants[facing]) << facing;
        EXPECT_EQ(look.Row, 0);
    }
    sprite->Facing = 4;  // south: a quarter turn, the marked corner ends top-right
    s.Render();
    const int left = 2 * 30 + 16 - 15, top = 2 * 30 + 16 - 15;
    EXPECT_EQ(s.At(left + 29, top), 200);
    EXPECT_EQ(s.At(left + 10, top + 10), 5);
    EXPECT_EQ(s.At(left, top + 10), kBlank);  // the transparent bottom row, turned to the left
    sprite->Facing = 6;  // west: half a turn
    s.Render();
    EXPECT_EQ(s.At(left + 29, top + 29), 200);
    EXPECT_EQ(s.At(left + 10, top), kBlank);
}

TEST(StarShipSprite, UnknownEnemyShowsTheUnknownFrameAndOnlyItsGuessedRating) {
    Scene s;
    TStarShip* enemy = s.Ship(s.Galaxy.P(1), TShipType::WarShip, 3, 3, 4, 6);
    enemy->Known[0] = false;
    enemy->KnownValue[0] = 3;
    const auto look = s.SpriteOfShip(enemy)->Look();
    EXPECT_FALSE(look.Known);
    EXPECT_EQ(look.Column, TStarShipSprite::UnknownColumn);
    EXPECT_EQ(look.Quadrant, 0);
    EXPECT_EQ(look.Row, 1);
    s.Render();
    EXPECT_EQ(s.Texts(), (Log{"TextOut 91,110 'W3?' Small Fonts/6 #ffffff on #000000"}));
    EXPECT_EQ(s.At(91, 91), 201);  // unturned: the row marker stays top-left
    EXPECT_EQ(s.At(95, 95), 45);
    enemy->KnownValue[0] = 0;
    s.Render();
    EXPECT_TRUE(s.Texts().empty());
}

TEST(StarShipSprite, HiddenShipsAreNotDrawnUnlessEveryPlayerIsAComputer) {
    Scene s;
    TStarShip* enemy = s.Ship(s.Galaxy.P(1), TShipType::ScanShip, 1, 1);
    enemy->Visible[0] = false;
    enemy->Known[0] = false;
    s.Render();
    EXPECT_EQ(s.Count(1, 46), 0);
    EXPECT_TRUE(s.Texts().empty());
    for (int i = 0; i < 3; ++i) s.Galaxy.P(i)->Computer = true;
    const auto look = s.SpriteOfShip(enemy)->Look();
    EXPECT_TRUE(look.Drawn && look.Known);
    EXPECT_EQ(look.Column, 2);
}

TEST(StarShipSprite, EnemyDoppleShipPassesForAWarShip) {
    Scene s;
    TStarShip* dopple = s.Ship(s.Galaxy.P(1), TShipType::DoppleShip, 2, 2, 4, 2);
    dopple->Known[0] = true;
    dopple->Engines = 1;  // damaged, yet shown in white
    s.SpriteOfShip(dopple)->Facing = 3;
    EXPECT_EQ(s.SpriteOfShip(dopple)->Look().Column, 1);
    s.Render();
    const std::string apparent = std::to_string(dopple->ApparentEngines());
    EXPECT_EQ(s.Texts(), (Log{"TextOut 61,61 'E" + apparent + "' Small Fonts/6 #ffffff on #000000",
                              "TextOut 61,80 '" + dopple->ValueText() + "' Small Fonts/6 #ffffff on #000000"}));
    // Its owner sees the real thing.
    s.Galaxy.engine.CurrentPlayer = s.Galaxy.P(1);
    dopple->Visible[1] = true;
    EXPECT_EQ(s.SpriteOfShip(dopple)->Look().Column, 2 * 12 + 1);
}

TEST(StarShipSprite, CaptionColoursFollowTheRemainingStrength) {
    Scene s;
    TStarShip* ship = s.Ship(s.Galaxy.P(0), TShipType::WarShip, 1, 1, 10, 10);
    ship->Cargo = 7;
    s.Render();
    Log texts = s.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "TextOut 31,31 'E10' Small Fonts/6 #ffffff on #000000");
    EXPECT_EQ(texts[2], "TextOut 50,50 'R7' Small Fonts/6 #ffffff on #000000");
    ship->Engines = 3;  // 30 %: yellow
    ship->Value = 2;    // 20 %: red
    s.Render();
    texts = s.Texts();
    EXPECT_NE(texts[0].find("'E3' Small Fonts/6 #ffff00"), std::string::npos);
    EXPECT_NE(texts[1].find("#ff0000"), std::string::npos);
}

TEST(StarShipSprite, HealthyShipsHoldStillAndWreckedOnesShake) {
    Scene s;
    TStarShip* ship = s.Ship(s.Galaxy.P(0), TShipType::WarShip, 2, 2, 5, 5);
    s.SpriteOfShip(ship)->Facing = 2;  // unturned: the marker stays top-left at (61, 61)
    s.Board.PresentationRandom().Seed(7);
    for (int i = 0; i < 30; ++i) {
        s.Render();
        ASSERT_EQ(s.At(61, 61), 200) << i;
    }
    ship->Engines = 0;
    ship->Value = 0;
    int moved = 0;
    for (int i = 0; i < 30; ++i) {
        s.Render();
        moved += s.At(61, 61) != 200;
    }
    EXPECT_GT(moved, 10);
    // A ship without any rating cannot divide by its full strength.
    ship->MaxEngines = ship->MaxValue = 0;
    s.Render();
    EXPECT_EQ(s.At(61, 61), 200);
}

TEST(StarShipSprite, FramePartlyOutsideTheViewIsSkippedButCaptionsStay) {
    Scene s;
    TStarShip* ship = s.Ship(s.Galaxy.P(0), TShipType::WarShip, 0, 0);
    s.SpriteOfShip(ship)->SetPosition(10, 16);  // the frame starts at x = -5
    s.Render();
    EXPECT_EQ(s.Count(1, 46), 0);
    EXPECT_EQ(s.Texts().size(), 2u);
}

TEST(StarShipSprite, SelectionOutlineAndOwnRangeRings) {
    Scene s;
    TStarShip* scout = s.Ship(s.Galaxy.P(0), TShipType::ScanShip, 3, 3, 4, 2);
    s.SpriteOfShip(scout)->Selected = true;
    s.Render();
    EXPECT_EQ(s.At(91 + 2, 91 + 10), 255);
    EXPECT_EQ(s.At(91 + 27, 91 + 10), 255);
    EXPECT_EQ(s.At(91 + 1, 91 + 10), 3);  // ScanShip frame (column 2) outside the outline
    const std::string ring = "Ellipse " + std::to_string(106 - 74) + "," + std::to_string(106 - 74) + "-" +
                             std::to_string(106 + 74) + "," + std::to_string(106 + 74) + " pen " +
                             test::RecordingCanvas::Hex(s.Palette.GetColor(183) & 0xFFFFFF) + " dotted";
    EXPECT_EQ(std::count(s.Canvas->Calls.begin(), s.Canvas->Calls.end(), ring), 1);
}

TEST(StarShipSprite, TugSparksReachTheTowedShip) {
    Scene s;
    TStarShip* tug = s.Ship(s.Galaxy.P(0), TShipType::Tug, 2, 2);
    TStarShip* towed = s.Ship(s.Galaxy.P(0), TShipType::Freighter, 5, 2);
    tug->Towing = towed->Code;
    s.Render();
    int sparks = s.Count(121, 126);
    EXPECT_GT(sparks, 30);
    // Between the two ships, on the row of their centres.
    int between = 0;
    for (int x = 110; x < 150; ++x)
        for (int y = 70; y < 82; ++y) between += s.At(x, y) >= 121 && s.At(x, y) <= 126;
    EXPECT_GT(between, 10);
    tug->Towing.clear();
    s.Render();
    EXPECT_EQ(s.Count(121, 126), 0);
}

TEST(StarSystemSprite, RowShowsOwnerUnownedOrHidden) {
    Scene s;
    TStarSystem* mine = s.System(s.Galaxy.P(0), 1, 1);
    TStarSystem* free = s.System(nullptr, 3, 1);
    TStarSystem* far = s.System(s.Galaxy.P(2), 5, 1);
    far->Visible[0] = false;
    auto row = [](TStarSystem* system) { return static_cast<TStarSystemSprite*>(SpriteOf(system))->VisibleRow(); };
    EXPECT_EQ(row(mine), 0);
    EXPECT_EQ(row(free), TStarSystemSprite::UnownedRow);
    EXPECT_EQ(row(far), TStarSystemSprite::HiddenRow);
    s.Render();
    EXPECT_EQ(s.At(45, 45), 100);
    EXPECT_EQ(s.At(105, 45), 110);
    EXPECT_EQ(s.At(165, 45), 111);
    for (int i = 0; i < 3; ++i) s.Galaxy.P(i)->Computer = true;
    EXPECT_EQ(row(far), 2);
}

TEST(StarSystemSprite, ShieldsDrawAtMostFortyRings) {
    Scene s;
    TStarSystem* system = s.System(s.Galaxy.P(1), 3, 3);
    system->Shields = 50;
    TStarSystemSprite::FrameCounter = 0;
    s.Render();
    const int cx = 105 - 2, cy = 105 - 1;
    EXPECT_EQ(s.At(cx + 20, cy), 224);
    EXPECT_EQ(s.At(cx + 22, cy), 225);
    EXPECT_EQ(s.At(cx + 20 + 2 * 39, cy), 224 + 39 % 5);
    EXPECT_EQ(s.At(cx + 20 + 2 * 40, cy), kBlank);
    system->Shields = 2;
    TStarSystemSprite::FrameCounter = 3;  // the ripple moves with the frame counter
    s.Render();
    EXPECT_EQ(s.At(cx + 20, cy), 227);
    EXPECT_EQ(s.At(cx + 24, cy), kBlank);
}

TEST(StarSystemSprite, CapitalDiamondNameAndFigures) {
    Scene s;
    TStarSystem* capital = s.System(s.Galaxy.P(0), 3, 3);
    capital->Capital = true;
    capital->Name = "Vega";
    capital->Resources = 12.5;
    capital->Value = 40;
    capital->Scanners = 2;
    s.Render();
    const int x = 105, y = 105;
    EXPECT_EQ(s.At(x - 1, y - 16), s.Galaxy.P(0)->ColorIndex());
    EXPECT_EQ(s.At(x + 14, y - 1), s.Galaxy.P(0)->ColorIndex());
    const std::string colour = test::RecordingCanvas::Hex(s.Palette.GetColor(s.Galaxy.P(0)->ColorIndex()) & 0xFFFFFF);
    EXPECT_EQ(s.Texts(), (Log{"TextOut " + std::to_string(x - 10) + ",115 'Vega' Final Frontier/10 " + colour + " on clear",
                              "TextOut 85,90 'V40' Small Fonts/6 #ffffff on clear",
                              "TextOut 110,90 'R12' Small Fonts/6 #ffffff on clear"}));
    const std::string ring = "Ellipse " + std::to_string(x - 74) + "," + std::to_string(y - 74) + "-" +
                             std::to_string(x + 74) + "," + std::to_string(y + 74) + " pen " +
                             test::RecordingCanvas::Hex(s.Palette.GetColor(183) & 0xFFFFFF) + " dotted";
    EXPECT_EQ(std::count(s.Canvas->Calls.begin(), s.Canvas->Calls.end(), ring), 1);

    capital->Visible[0] = false;  // out of sight: name in grey, no figures, no diamond
    s.Render();
    EXPECT_NE(s.At(x - 1, y - 16), s.Galaxy.P(0)->ColorIndex());
    ASSERT_EQ(s.Texts().size(), 1u);
    EXPECT_NE(s.Texts()[0].find(test::RecordingCanvas::Hex(s.Palette.GetColor(248) & 0xFFFFFF)), std::string::npos);
}

} // namespace
} // namespace qx
