#include "render/SpriteSurface.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/TaskQueueExecutor.h"
#include "render/AnimateThread.h"
#include "tests/render/RecordingCanvas.h"
#include "tests/render/TestSprites.h"

namespace qx {
namespace {

using test::Box;
using test::BoxSprite;
using Log = std::vector<std::string>;
using namespace std::chrono_literals;

struct View {
    explicit View(std::shared_ptr<IMainThreadExecutor> executor = nullptr) : Surface(std::move(executor)) {
        Surface.SetColorPalette(&Palette);
        Surface.SetSize(100, 80);
        Surface.PlatformCanvasFactory = [this](TDIBCanvas& frame, TColorPalette&) {
            auto canvas = std::make_unique<test::RecordingCanvas>(frame.Width(), frame.Height());
            Canvas = canvas.get();
            return canvas;
        };
    }
    Log Events;
    TColorPalette Palette;
    TSpriteSurface Surface;
    test::RecordingCanvas* Canvas = nullptr;
};

TEST(SpriteSurface, FrameRunsItsStepsInOrder) {
    View v;
    TSpriteEngine low, high;
    high.SetPriority(5);
    low.SetSpriteSurface(&v.Surface);
    high.SetSpriteSurface(&v.Surface);
    low.AddSprite(Box("low", &v.Events));
    high.AddSprite(Box("high", &v.Events));
    auto note = [&](const char* what) { return [&v, what](TObject*) { v.Events.push_back(what); }; };
    v.Surface.BeforeRender = note("before");
    v.Surface.AfterRender = note("after");
    v.Surface.OnPresent = note("present");
    v.Surface.BeforeSpriteRender = [&](TObject*, PlatformCanvas&, TDIBCanvas&) { v.Events.push_back("sprites<"); };
    v.Surface.AfterSpriteRender = [&](TObject*, PlatformCanvas&, TDIBCanvas&) { v.Events.push_back("sprites>"); };
    v.Surface.ProcessMessages = [&] { v.Events.push_back("messages"); };
    v.Surface.Render();
    EXPECT_EQ(v.Events, (Log{"before", "sprites<", "move high", "move low", "draw high", "draw low", "sprites>",
                             "present", "after", "messages"}));
    EXPECT_EQ(v.Surface.Engines(0), &high);
    low.SetPriority(9);
    EXPECT_EQ(v.Surface.Engines(0), &low);
}

TEST(SpriteSurface, FrameWithoutPaletteStopsTheAnimation) {
    auto executor = std::make_shared<TaskQueueExecutor>();
    View v(executor);
    v.Surface.SetColorPalette(nullptr);
    v.Surface.SetActive(true);
    ASSERT_TRUE(v.Surface.Active());
    try {
        executor->RunUntil([] { return false; }, 2s);
        FAIL() << "no frame was asked for";
    } catch (const ERenderError& e) {
        EXPECT_STREQ(e.what(), "ColorPalette property must be assigned");
    }
    EXPECT_FALSE(v.Surface.Active());
    EXPECT_FALSE(executor->RunOne(100ms));  // the thread asks for no more frames

    TSpriteSurface alone;
    EXPECT_THROW(alone.Render(), ERenderError);
    EXPECT_THROW(alone.SetActive(true), ERenderError);  // nothing to run frames on
}

TEST(SpriteSurface, AnimationThreadDeliversFramesUntilPaused) {
    auto executor = std::make_shared<TaskQueueExecutor>();
    View v(executor);
    v.Surface.AnimationInterval = 1;
    int frames = 0;
    v.Surface.AfterRender = [&](TObject*) { ++frames; };
    v.Surface.SetActive(true);
    EXPECT_TRUE(executor->RunUntil([&] { return frames >= 3; }, 5s));
    v.Surface.SetActive(false);
    const int seen = frames;
    executor->RunPending();
    EXPECT_FALSE(executor->RunOne(50ms));
    EXPECT_LE(frames, seen + 1);
    v.Surface.SetActive(true);
    EXPECT_TRUE(executor->RunUntil([&] { return frames >= seen + 2; }, 5s));
    // Pausing from inside a frame must not wait for the frame itself.
    v.Surface.AfterRender = [&](TObject*) {
        ++frames;
        v.Surface.SetActive(false);
    };
    EXPECT_TRUE(executor->RunUntil([&] { return !v.Surface.Active(); }, 5s));
    EXPECT_FALSE(executor->RunOne(50ms));
}

TEST(AnimateThread, SleepsOnlyForWhatIsLeftOfTheInterval) {
    EXPECT_EQ(TAnimateThread::SleepTime(60, 80ms), 0ms);
    EXPECT_EQ(TAnimateThread::SleepTime(60, 60ms), 0ms);
    EXPECT_EQ(TAnimateThread::SleepTime(60, 20ms), 40ms);
    EXPECT_EQ(TAnimateThread::SleepTime(0, 0ms), 0ms);
}

TEST(SpriteSurface, FrameFollowsTheControlSizeAndBlanks) {
    View v;
    v.Surface.SetSize(103, 50);
    EXPECT_EQ(v.Surface.Width(), 100);
    EXPECT_EQ(v.Surface.VirtualWidth(), 100);
    v.Surface.AutoBlank = true;
    v.Surface.AutoBlankColorIndex = 33;
    v.Surface.Render();
    ASSERT_NE(v.Surface.FrameBits(), nullptr);
    EXPECT_EQ(v.Surface.FrameCanvas().Width(), 100);
    EXPECT_EQ(v.Surface.FrameCanvas().Height(), 50);
    EXPECT_EQ(v.Surface.FrameBits()[100 * 50 - 1], 33);
    v.Surface.SetSize(40, 30);
    v.Surface.Render();
    EXPECT_EQ(v.Surface.FrameCanvas().Width(), 40);
    EXPECT_EQ(v.Canvas->ClipRect(), (TRect{0, 0, 40, 30}));
}

TEST(SpriteSurface, OffsetsNeedAVirtualPlaneAndCenterOnStaysInside) {
    View v;
    int changes = 0;
    v.Surface.OnOffsetChange = [&](TObject*) { ++changes; };
    v.Surface.SetOffsetX(30);
    v.Surface.SetVirtualWidth(500);
    EXPECT_EQ(v.Surface.OffsetX(), 0);
    EXPECT_EQ(v.Surface.VirtualWidth(), 100);
    EXPECT_EQ(changes, 0);

    v.Surface.SetUseVirtualSize(true);
    v.Surface.SetVirtualWidth(500);
    v.Surface.SetVirtualHeight(300);
    v.Surface.CenterOn(250, 150);
    EXPECT_EQ(v.Surface.OffsetX(), 200);
    EXPECT_EQ(v.Surface.OffsetY(), 110);
    v.Surface.CenterOn(490, 5);
    EXPECT_EQ(v.Surface.OffsetX(), 400);
    EXPECT_EQ(v.Surface.OffsetY(), 0);
    v.Surface.SetVirtualWidth(60);  // a plane narrower than the view
    v.Surface.CenterOn(30, 0);
    EXPECT_EQ(v.Surface.OffsetX(), 0);
    EXPECT_EQ(changes, 6);

    v.Surface.SetUseVirtualSize(false);
    EXPECT_EQ(v.Surface.VirtualWidth(), 100);
    EXPECT_EQ(v.Surface.OffsetY(), 0);
}

TEST(SpriteSurface, ScrollBarsFollowTheOffsetsAndIgnoreTheirOwnEcho) {
    View v;
    v.Surface.SetUseVirtualSize(true);
    v.Surface.BindScrollBarHorz(true);
    v.Surface.SetVirtualWidth(300);
    v.Surface.SetVirtualHeight(50);
    v.Surface.BindScrollBarVert(true);
    EXPECT_TRUE(v.Surface.ScrollBarHorz().Enabled);
    EXPECT_EQ(v.Surface.ScrollBarHorz().Max, 200);
    EXPECT_FALSE(v.Surface.ScrollBarVert().Enabled);
    // The widget mirrors every change and its bar reports the new value back.
    int echoes = 0;
    v.Surface.OnScrollBarsChanged = [&](TObject*) {
        ++echoes;
        v.Surface.ScrollBarHorzChanged(v.Surface.ScrollBarHorz().Position + 1);
    };
    v.Surface.SetOffsetX(70);
    EXPECT_EQ(v.Surface.OffsetX(), 70);
    EXPECT_EQ(v.Surface.ScrollBarHorz().Position, 70);
    EXPECT_EQ(echoes, 1);
    v.Surface.OnScrollBarsChanged = nullptr;
    v.Surface.ScrollBarHorzChanged(120);
    EXPECT_EQ(v.Surface.OffsetX(), 120);
    v.Surface.ScrollBarVertChanged(9);  // bound, so it applies
    EXPECT_EQ(v.Surface.OffsetY(), 9);
    v.Surface.BindScrollBarVert(false);
    v.Surface.ScrollBarVertChanged(20);
    EXPECT_EQ(v.Surface.OffsetY(), 9);
}

TEST(SpriteSurface, ClickPicksTheFirstVisibleSpriteOfAClickableEngine) {
    View v;
    v.Surface.SetUseVirtualSize(true);
    v.Surface.SetVirtualWidth(1000);
    v.Surface.SetVirtualHeight(1000);
    TSpriteEngine systems, ships;
    systems.SetPriority(1);
    systems.ClickSprites = false;
    systems.SetSpriteSurface(&v.Surface);
    ships.SetSpriteSurface(&v.Surface);
    systems.AddSprite(Box("system", nullptr, 120, 120));
    ships.AddSprite(Box("under", nullptr, 118, 118));
    ships.AddSprite(Box("over", nullptr, 122, 122));  // newest: first in the list
    TSprite* hidden = ships.AddSprite(Box("hidden", nullptr, 120, 120));
    v.Surface.Render();
    hidden->Visible = false;

    std::vector<std::string> clicked;
    v.Surface.OnSpriteClick = [&](TObject*, TSprite* s) { clicked.push_back(static_cast<BoxSprite*>(s)->Name); };
    TPoint upAt;
    v.Surface.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int32_t x, int32_t y) { upAt = {x, y}; };
    v.Surface.SetOffsetX(100);
    v.Surface.SetOffsetY(100);
    v.Surface.MouseUp(TMouseButton::mbLeft, 0, 20, 20);  // virtual (120, 120): both ships
    v.Surface.MouseUp(TMouseButton::mbLeft, 0, 15, 15);  // only "under"
    v.Surface.MouseUp(TMouseButton::mbLeft, 0, 60, 60);  // nothing
    EXPECT_EQ(clicked, (Log{"over", "under"}));
    EXPECT_EQ(upAt, (TPoint{160, 160}));

    TPoint downAt, moveAt;
    v.Surface.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int32_t x, int32_t y) { downAt = {x, y}; };
    v.Surface.OnMouseMove = [&](TObject*, TShiftState, int32_t x, int32_t y) { moveAt = {x, y}; };
    v.Surface.MouseDown(TMouseButton::mbRight, ssShift, 1, 2);
    v.Surface.MouseMove(0, 3, 4);
    EXPECT_EQ(downAt, (TPoint{101, 102}));
    EXPECT_EQ(moveAt, (TPoint{103, 104}));
}

TEST(SpriteSurface, PerformanceCountIsDrawnOnBlackOncePerSecond) {
    View v;
    int64_t now = 5000;
    v.Surface.MillisecondClock = [&] { return now; };
    v.Surface.ShowPerformance = true;
    v.Surface.Render();  // first measurement: one frame counted
    for (int i = 0; i < 4; ++i) v.Surface.Render();
    EXPECT_EQ(v.Canvas->Calls.back(), "TextOut 4,4 '1' Small Fonts/8 #ffffff on #000000");
    now = 6001;
    v.Surface.Render();
    EXPECT_EQ(v.Surface.FramesPerSecond(), 5);
    EXPECT_EQ(v.Canvas->Calls.back(), "TextOut 4,4 '5' Small Fonts/8 #ffffff on #000000");
}

TEST(SpriteSurface, YieldingEngineLetsInputInAfterEachSprite) {
    View v;
    TSpriteEngine engine;
    engine.SetSpriteSurface(&v.Surface);
    engine.Yield = true;
    engine.AddSprite(Box("a", &v.Events));
    engine.AddSprite(Box("b", &v.Events));
    v.Surface.ProcessMessages = [&] { v.Events.push_back("messages"); };
    v.Surface.Render();
    EXPECT_EQ(v.Events, (Log{"move b", "move a", "draw b", "messages", "draw a", "messages", "messages"}));
}

} // namespace
} // namespace qx
