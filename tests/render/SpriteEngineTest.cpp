#include "render/SpriteEngine.h"

#include <gtest/gtest.h>

#include "render/DestinationSpriteMover.h"
#include "render/SpriteSurface.h"
#include "tests/render/RecordingCanvas.h"
#include "tests/render/TestSprites.h"

namespace qx {
namespace {

using test::Box;
using test::BoxSprite;
using Log = std::vector<std::string>;

// A surface with a palette and one engine, logging engine events.
struct Board {
    Board() {
        Surface.SetColorPalette(&Palette);
        Surface.SetSize(100, 80);
        Engine.SetSpriteSurface(&Surface);
        Engine.OnAddSprite = [this](TObject*, TSprite* s) { Events.push_back("add " + Name(s)); };
        Engine.OnRemoveSprite = [this](TObject*, TSprite* s) { Events.push_back("remove " + Name(s)); };
    }
    static std::string Name(TSprite* s) { return static_cast<BoxSprite*>(s)->Name; }
    std::vector<std::string> LiveNames() const {
        std::vector<std::string> names;
        for (int32_t i = 0; i < Engine.SpriteCount(); ++i) names.push_back(Name(Engine.Sprites(i)));
        return names;
    }
    Log Events;  // first: the sprites log into it while the engine goes
    TColorPalette Palette;
    TSpriteSurface Surface;
    TSpriteEngine Engine;
};

TEST(SpriteEngine, SpriteKilledBeforeItsFirstFrameIsMovedOnceThenReapedUndrawn) {
    Board b;
    TSprite* s = b.Engine.AddSprite(Box("a", &b.Events));
    s->Kill();
    EXPECT_FALSE(s->Visible);
    EXPECT_EQ(b.Engine.SpriteCount(), 0);
    b.Surface.Render();
    EXPECT_EQ(b.Events, (Log{"add a", "move a", "remove a", "destroy a"}));
    EXPECT_EQ(b.Engine.SpriteCount(), 0);
    EXPECT_EQ(b.Engine.PendingCount(), 0);
}

TEST(SpriteEngine, SpriteAddedAndKilledInsideOneMoveStepVanishesWithoutEvents) {
    Board b;
    auto parent = Box("p", &b.Events);
    bool done = false;
    parent->OnMove = [&b, &done](BoxSprite&) {
        if (done) return;
        done = true;
        b.Engine.AddSprite(Box("c", &b.Events))->Kill();
    };
    b.Engine.AddSprite(std::move(parent));
    b.Surface.Render();
    EXPECT_EQ(b.Events, (Log{"add p", "move p", "destroy c", "draw p"}));
    EXPECT_EQ(b.Engine.PendingCount(), 0);
    EXPECT_EQ(b.LiveNames(), (Log{"p"}));
}

TEST(SpriteEngine, LifeSpanCountsFramesAndKillsAtZero) {
    Board b;
    b.Engine.AddSprite(Box("one", &b.Events))->LifeSpan = 1;
    b.Engine.AddSprite(Box("three", &b.Events))->LifeSpan = 3;
    for (int i = 0; i < 3; ++i) b.Surface.Render();
    auto count = [&](const std::string& e) { return std::count(b.Events.begin(), b.Events.end(), e); };
    EXPECT_EQ(count("draw one"), 0);
    EXPECT_EQ(count("remove one"), 1);
    EXPECT_EQ(count("draw three"), 2);
    EXPECT_EQ(count("remove three"), 1);
    EXPECT_EQ(b.Engine.SpriteCount(), 0);
}

TEST(SpriteEngine, NewSpritesGoBeforeTheFirstOfEqualOrHigherZOrder) {
    Board b;
    for (auto [name, z] : {std::pair{"a5", 5}, {"b1", 1}, {"c5", 5}, {"d3", 3}})
        b.Engine.AddSprite(Box(name, nullptr))->ZOrder = z;
    b.Surface.Render();
    EXPECT_EQ(b.LiveNames(), (Log{"b1", "d3", "c5", "a5"}));
    b.Engine.AddSprite(Box("e5", nullptr))->ZOrder = 5;
    b.Engine.AddSprite(Box("f9", nullptr))->ZOrder = 9;
    b.Surface.Render();
    EXPECT_EQ(b.LiveNames(), (Log{"b1", "d3", "e5", "c5", "a5", "f9"}));

    // A requested sort keeps equal keys in their order.
    b.Engine.Sprites(5)->ZOrder = 0;
    b.Engine.Sprites(0)->ZOrder = 5;
    b.Engine.RequestSort();
    b.Surface.Render();
    EXPECT_EQ(b.LiveNames(), (Log{"f9", "d3", "b1", "e5", "c5", "a5"}));
}

TEST(SpriteEngine, ClearAndRemoveSpriteReapAtTheNextStep) {
    Board b;
    TSprite* a = b.Engine.AddSprite(Box("a", nullptr));
    b.Engine.AddSprite(Box("b", nullptr));
    b.Surface.Render();
    TSpriteEngine other;
    other.RemoveSprite(a);  // not its sprite
    EXPECT_FALSE(a->Dead());
    b.Engine.RemoveSprite(a);
    b.Engine.RemoveSprite(a);
    b.Engine.Clear();
    EXPECT_EQ(b.Engine.SpriteCount(), 2);
    b.Surface.Render();
    EXPECT_EQ(b.Engine.SpriteCount(), 0);
    EXPECT_EQ(std::count(b.Events.begin(), b.Events.end(), "remove a"), 1);
}

TEST(SpriteEngine, InvisibleEnginesMoveButDoNotDrawAndOffscreenSpritesAreSkipped) {
    Board b;
    b.Surface.SetUseVirtualSize(true);
    b.Surface.SetVirtualWidth(1000);
    b.Surface.SetVirtualHeight(1000);
    b.Engine.AddSprite(Box("near", &b.Events, 20, 20));
    b.Engine.AddSprite(Box("far", &b.Events, 500, 500));
    b.Engine.AddSprite(Box("edge", &b.Events, 104, 20));  // bounds 99..108: one column shows
    b.Surface.Render();
    EXPECT_EQ(std::count(b.Events.begin(), b.Events.end(), "draw near"), 1);
    EXPECT_EQ(std::count(b.Events.begin(), b.Events.end(), "draw far"), 0);
    EXPECT_EQ(std::count(b.Events.begin(), b.Events.end(), "draw edge"), 1);
    b.Surface.SetOffsetX(450);
    b.Surface.SetOffsetY(460);
    b.Events.clear();
    b.Surface.Render();
    EXPECT_EQ(b.Events, (Log{"move edge", "move far", "move near", "draw far"}));
    b.Engine.Visible = false;
    b.Events.clear();
    b.Surface.Render();
    EXPECT_EQ(b.Events, (Log{"move edge", "move far", "move near"}));
}

TEST(SpriteEngine, SpinKeepsTheAngleInRangeAndWrapFollowsThePlane) {
    Board b;
    b.Surface.WrapHorizontal = true;
    b.Surface.WrapVertical = true;
    TSprite* s = b.Engine.AddSprite(Box("s", nullptr, -5, 85));
    s->Spin = 250;
    s->SetAngle(200);
    b.Surface.Render();
    EXPECT_FLOAT_EQ(s->Angle(), 90);
    EXPECT_FLOAT_EQ(s->X(), 95);
    EXPECT_FLOAT_EQ(s->Y(), 5);
    s->SpinReverse = true;
    b.Surface.Render();
    EXPECT_FLOAT_EQ(s->Angle(), 200);
    s->SetAngle(-720.5f);
    EXPECT_FLOAT_EQ(s->Angle(), 359.5f);
    // A plane without size leaves the position alone instead of looping.
    b.Surface.SetSize(0, 0);
    s->SetX(-3);
    b.Surface.Render();
    EXPECT_FLOAT_EQ(s->X(), -3);
}

TEST(SpriteEngine, CollisionsUseInsetRectanglesAndLivingVisibleSprites) {
    Board b;
    std::vector<std::string> hits;
    b.Engine.OnCollision = [&](TObject*, TSprite* x, TSprite* y) { hits.push_back(Board::Name(x) + Board::Name(y)); };
    b.Engine.AddCollisionEngine(&b.Engine);
    b.Engine.AddSprite(Box("a", nullptr, 20, 20));
    b.Engine.AddSprite(Box("b", nullptr, 28, 20));  // overlaps a by 2 columns
    b.Engine.AddSprite(Box("c", nullptr, 60, 20));
    b.Surface.Render();
    EXPECT_EQ(hits.size(), 1u);
    hits.clear();
    b.Engine.Sprites(0)->CollisionInsetRight = 2;  // the newest ("c") is first
    b.Engine.Sprites(1)->CollisionInsetRight = 2;  // "b"
    b.Engine.Sprites(2)->CollisionInsetRight = 2;  // "a"
    b.Surface.Render();
    EXPECT_TRUE(hits.empty());

    TSpriteEngine others;
    others.SetSpriteSurface(&b.Surface);
    others.AddSprite(Box("x", nullptr, 60, 22));
    b.Engine.AddCollisionEngine(&others);
    b.Surface.Render();
    EXPECT_EQ(hits, (Log{"cx"}));
}

TEST(SpriteEngine, DestroyedPartnersAreForgotten) {
    auto surface = std::make_unique<TSpriteSurface>();
    TSpriteEngine engine;
    engine.SetSpriteSurface(surface.get());
    TSprite* s = engine.AddSprite(Box("a", nullptr));
    EXPECT_EQ(s->SpriteSurface(), surface.get());
    {
        TSpriteEngine second;
        second.SetSpriteSurface(surface.get());
        engine.AddCollisionEngine(&second);
        EXPECT_EQ(surface->EngineCount(), 2);
    }
    EXPECT_EQ(surface->EngineCount(), 1);
    engine.OnCollision = [](TObject*, TSprite*, TSprite*) {};
    engine.TestCollisions();  // the destroyed partner is no longer listed
    surface.reset();
    EXPECT_EQ(engine.SpriteSurface(), nullptr);
    EXPECT_EQ(s->SpriteSurface(), nullptr);

    auto mover = std::make_unique<TDestinationSpriteMover>();
    engine.SetSpriteMover(mover.get());
    mover.reset();
    EXPECT_EQ(engine.SpriteMover(), nullptr);
}

TEST(DestinationSpriteMover, SplitsTheSpeedByAxisDistanceAndStopsPerAxis) {
    Board b;
    TDestinationSpriteMover mover;
    mover.InitialSpeedMin = mover.InitialSpeedMax = 3;
    mover.StopAtDestination = true;
    int inits = 0;
    mover.OnInitSprite = [&](TObject* sender, TSprite* s) {
        ++inits;
        static_cast<TDestinationSpriteMover*>(sender)->SetDestination(*s, {RoundHalfEven(s->X()), RoundHalfEven(s->Y())});
    };
    b.Engine.SetSpriteMover(&mover);
    TSprite* s = b.Engine.AddSprite(Box("s", nullptr, 10, 10));
    EXPECT_EQ(inits, 1);
    b.Surface.Render();
    EXPECT_FLOAT_EQ(s->X(), 10);  // at its destination: it stays
    EXPECT_FLOAT_EQ(s->Y(), 10);

    mover.SetDestination(*s, {14, 7});  // 4 right, 3 up
    const auto* data = TDestinationSpriteMover::DataOf(*s);
    ASSERT_NE(data, nullptr);
    EXPECT_FLOAT_EQ(data->VelocityX, 3.0f * 4 / 7);
    EXPECT_FLOAT_EQ(data->VelocityY, -3.0f * 3 / 7);

    mover.SetDestination(*s, {14, 8});  // velocity (2, -1)
    s->SetY(8.5f);                      // the vertical axis is nearly there
    b.Surface.Render();
    EXPECT_FLOAT_EQ(s->X(), 12);
    EXPECT_FLOAT_EQ(s->Y(), 8);  // held at the destination row
    b.Surface.Render();
    b.Surface.Render();
    EXPECT_FLOAT_EQ(s->X(), 14);
    EXPECT_FLOAT_EQ(s->Y(), 8);

    mover.StopAtDestination = false;
    mover.SetDestination(*s, {20, 8});
    for (int i = 0; i < 3; ++i) b.Surface.Render();
    EXPECT_FLOAT_EQ(s->X(), 23);  // overshoots without the stop

    // A new mover re-initialises every live sprite.
    TDestinationSpriteMover other;
    int otherInits = 0;
    other.OnInitSprite = [&](TObject*, TSprite*) { ++otherInits; };
    b.Engine.SetSpriteMover(&other);
    EXPECT_EQ(otherInits, 1);
    EXPECT_TRUE(s->Moved());
}

TEST(DestinationSpriteMover, DistanceZeroMovesAtHalfSpeedOnBothAxes) {
    TDestinationSpriteMover mover;
    test::BoxSprite s("s", nullptr);
    s.SetPosition(5, 5);
    mover.SetSpeed(s, 4);
    mover.SetDestination(s, {5, 5});
    EXPECT_FLOAT_EQ(TDestinationSpriteMover::DataOf(s)->VelocityX, 2);
    EXPECT_FLOAT_EQ(TDestinationSpriteMover::DataOf(s)->VelocityY, 2);
}

} // namespace
} // namespace qx
