#include "render/BitmapSprite.h"

#include <gtest/gtest.h>

#include "render/BitmapSpriteFactory.h"
#include "render/JumpGateSprite.h"
#include "render/PolygonSprite.h"
#include "render/SpriteSurface.h"
#include "tests/render/RecordingCanvas.h"

namespace qx {
namespace {

// A strip of frames 8 x 6 pixels, `columns` x `rows`; frame (c, r) is
// filled with 1 + c + 10 r, except the sheet's bottom-left pixel, 0.
TIndexedBitmap Strip(int columns, int rows) {
    TIndexedBitmap sheet(8 * columns, 6 * rows);
    for (int y = 0; y < sheet.Height(); ++y)
        for (int x = 0; x < sheet.Width(); ++x) sheet.SetPixel(x, y, static_cast<uint8_t>(1 + x / 8 + 10 * (y / 6)));
    sheet.SetPixel(0, sheet.Height() - 1, 0);
    return sheet;
}

struct Stage {
    Stage() {
        Surface.SetColorPalette(&Palette);
        Surface.SetSize(40, 40);
        Surface.AutoBlank = true;
        Surface.AutoBlankColorIndex = 99;
        Engine.SetSpriteSurface(&Surface);
    }
    uint8_t At(int x, int y) { return Surface.FrameCanvas().Pixel(x, y); }
    TColorPalette Palette;
    TSpriteSurface Surface;
    TSpriteEngine Engine;
};

TEST(BitmapSprite, DrawsItsFrameCentredOnItsPosition) {
    Stage s;
    TIndexedBitmap sheet = Strip(3, 2);
    auto sprite = std::make_unique<TBitmapSprite>(sheet);
    sprite->SetFramesX(3);
    sprite->SetFramesY(2);
    EXPECT_EQ(sprite->FrameWidth(), 8);
    EXPECT_EQ(sprite->FrameHeight(), 6);
    EXPECT_EQ(sprite->TransparentColorIndex(), 0);
    sprite->SetPosition(10.5f, 20);  // rounds to 10
    sprite->FrameColumn = 2;
    sprite->FrameRow = 1;
    EXPECT_EQ(sprite->GetBoundsRect(), (TRect{6, 17, 14, 23}));
    s.Engine.AddSprite(std::move(sprite));
    s.Surface.Render();
    EXPECT_EQ(s.At(6, 17), 13);
    EXPECT_EQ(s.At(13, 22), 13);
    EXPECT_EQ(s.At(5, 17), 99);
    EXPECT_EQ(s.At(14, 22), 99);
}

TEST(BitmapSprite, AnimationStepsThroughRowsBothWays) {
    TIndexedBitmap sheet = Strip(3, 2);
    TBitmapSprite sprite(sheet);
    sprite.SetFramesX(3);
    sprite.SetFramesY(2);
    sprite.Animated = true;
    sprite.AnimationInterval = 2;
    test::RecordingCanvas canvas;
    std::vector<uint8_t> bits(40 * 40);
    TDIBCanvas frame;
    frame.Attach(bits.data(), 40, 40, false);
    std::vector<std::pair<int, int>> seen;
    for (int i = 0; i < 12; ++i) {
        sprite.Render(canvas, frame);
        seen.push_back({sprite.FrameColumn, sprite.FrameRow});
    }
    EXPECT_EQ(seen[1], (std::pair{1, 0}));
    EXPECT_EQ(seen[5], (std::pair{0, 1}));
    EXPECT_EQ(seen[11], (std::pair{0, 0}));
    sprite.Reverse = true;
    sprite.Render(canvas, frame);
    sprite.Render(canvas, frame);
    EXPECT_EQ((std::pair{sprite.FrameColumn, sprite.FrameRow}), (std::pair{2, 1}));
    sprite.AnimationInterval = 0;  // never steps
    for (int i = 0; i < 5; ++i) sprite.Render(canvas, frame);
    EXPECT_EQ((std::pair{sprite.FrameColumn, sprite.FrameRow}), (std::pair{2, 1}));
}

TEST(BitmapSprite, SheetsThatDoNotFitAreRefused) {
    TIndexedBitmap odd(6, 6);
    try {
        TBitmapSprite sprite(odd);
        FAIL();
    } catch (const ERenderError& e) {
        EXPECT_STREQ(e.what(), "Bitmap Width must be a multiple of 4");
    }
    TIndexedBitmap sheet = Strip(3, 2);  // 24 x 12
    TBitmapSprite sprite(sheet);
    EXPECT_THROW(sprite.SetFramesX(5), ERenderError);
    EXPECT_THROW(sprite.SetFramesY(5), ERenderError);
    EXPECT_EQ(sprite.FrameWidth(), 24);  // unchanged: still one frame
    sprite.SetFramesX(0);                // below 1: the whole sheet
    EXPECT_EQ(sprite.FrameWidth(), 24);

    TBitmapSpriteFactory factory;
    try {
        TRandom random;
        factory.CreateSprite(random);
        FAIL();
    } catch (const ERenderError& e) {
        EXPECT_STREQ(e.what(), "Bitmap must be assigned");
    }
    EXPECT_THROW(factory.SetBitmap(odd), ERenderError);
}

TEST(PolygonSprite, TurnsByWholeDegreesAndBoundsTheTurnedShape) {
    TPolygonSprite p;
    p.AddVertex(10, 0);
    p.AddVertex(0, -4);
    p.SetPosition(50, 60);
    EXPECT_EQ(p.GetBoundsRect(), (TRect{50, 56, 61, 61}));
    p.SetAngle(89.6f);  // 90
    EXPECT_EQ(p.RotatedPolygon()[0].X, 0);
    EXPECT_EQ(p.RotatedPolygon()[0].Y, 10);
    EXPECT_EQ(p.RotatedPolygon()[1].X, 4);
    EXPECT_EQ(p.GetBoundsRect(), (TRect{50, 60, 55, 71}));
    p.AddVertex(-3, 0);  // a new vertex is turned too
    EXPECT_EQ(p.RotatedPolygon().size(), 3u);
    EXPECT_EQ(p.RotatedPolygon()[2].Y, -3);
}

TEST(PolygonSprite, FilledSquareWithADifferentOutline) {
    Stage s;
    auto square = std::make_unique<TPolygonSprite>();
    for (auto [x, y] : {std::pair{-5, -5}, {5, -5}, {5, 5}, {-5, 5}}) square->AddVertex(x, y);
    square->Filled = true;
    square->BrushColorIndex = 7;
    square->PenColorIndex = 8;
    square->SetPosition(20, 20);
    s.Engine.AddSprite(std::move(square));
    s.Surface.Render();
    EXPECT_EQ(s.At(20, 20), 7);
    EXPECT_EQ(s.At(15, 15), 8);
    EXPECT_EQ(s.At(25, 25), 8);
    EXPECT_EQ(s.At(26, 20), 99);
}

TEST(JumpGateSprite, HandsItsSquaresToTheEngineAndTakesThemAlong) {
    Stage s;
    TJumpGateSprite* gate = s.Engine.Add(std::make_unique<TJumpGateSprite>(s.Surface.PresentationRandom()));
    gate->SetPosition(20, 20);
    EXPECT_TRUE(gate->Inner()->Spin >= 0 && gate->Inner()->Spin < 20);
    EXPECT_TRUE(gate->Inner()->SpinReverse);
    EXPECT_FALSE(gate->Outer()->SpinReverse);
    EXPECT_EQ(gate->Inner()->PenColorIndex, 0);
    s.Surface.Render();  // the gate draws and hands over its squares
    EXPECT_EQ(s.Engine.SpriteCount(), 1);
    EXPECT_EQ(s.Engine.PendingCount(), 2);
    s.Surface.Render();
    ASSERT_EQ(s.Engine.SpriteCount(), 3);
    EXPECT_EQ(s.Engine.Sprites(0), gate->Outer());
    EXPECT_EQ(s.Engine.Sprites(1), gate->Inner());
    EXPECT_EQ(s.Engine.Sprites(2), gate);
    gate->SetPosition(30, 25);
    s.Surface.Render();
    EXPECT_FLOAT_EQ(gate->Outer()->X(), 30);
    EXPECT_FLOAT_EQ(gate->Inner()->Y(), 25);
    gate->Kill();
    s.Surface.Render();  // the gate goes, the squares are killed with it
    s.Surface.Render();
    EXPECT_EQ(s.Engine.SpriteCount(), 0);
}

TEST(JumpGateSprite, SurvivesItsSquaresBeingClearedFirst) {
    Stage s;
    TJumpGateSprite* gate = s.Engine.Add(std::make_unique<TJumpGateSprite>(s.Surface.PresentationRandom()));
    s.Surface.Render();
    s.Surface.Render();
    s.Engine.RemoveSprite(gate->Outer());
    s.Engine.RemoveSprite(gate->Inner());
    s.Surface.Render();
    EXPECT_EQ(s.Engine.SpriteCount(), 1);
    s.Surface.Render();  // the gate must not touch the reaped squares
    gate->Kill();
    s.Surface.Render();
    EXPECT_EQ(s.Engine.SpriteCount(), 0);
}

} // namespace
} // namespace qx
