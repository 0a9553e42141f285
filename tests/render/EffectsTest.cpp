#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "base/Random.h"
#include "render/BoardEffects.h"
#include "render/SquareGridSpriteSurface.h"
#include "tests/render/RecordingCanvas.h"

namespace qx {
namespace {

// An explosion picture whose pixels tell where they came from, never 0.
TIndexedBitmap Picture(int32_t size) {
    TIndexedBitmap picture(size, size);
    for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x) picture.SetPixel(x, y, static_cast<uint8_t>(1 + (x + 7 * y) % 250));
    return picture;
}

void Prepare(TExplosionSpriteFactory& factory, int32_t lifeSpan, int32_t particles, int32_t size = 100) {
    factory.SetBitmap(Picture(size));
    factory.LifeSpan = lifeSpan;
    factory.NumParticles = particles;
}

// A blank 64 x 64 top-down 8-bit frame.
struct Frame {
    Frame() : Bits(64 * 64, 0) { Canvas.Attach(Bits.data(), 64, 64, false); }
    int32_t Painted() const { return static_cast<int32_t>(64 * 64 - std::count(Bits.begin(), Bits.end(), 0)); }
    std::vector<uint8_t> Bits;
    TDIBCanvas Canvas;
    test::RecordingCanvas Platform{64, 64};
};

TEST(ExplosionSprite, NeedsAPictureAndStartsEveryParticleAtTheCentre) {
    TRandom random(7);
    TExplosionSpriteFactory factory;
    EXPECT_THROW(factory.CreateSprite(random), ERenderError);
    EXPECT_THROW(factory.SetBitmap(TIndexedBitmap(102, 100)), ERenderError);
    Prepare(factory, 40, 400, 200);
    auto sprite = factory.CreateExplosion(random);
    ASSERT_EQ(sprite->Particles().size(), 400u);
    bool negativeX = false, negativeY = false;
    std::set<int32_t> widths;
    for (const auto& p : sprite->Particles()) {
        EXPECT_TRUE(p.OffsetX == 0 && p.OffsetY == 0 && p.Life == -1);
        EXPECT_TRUE(p.Width >= 2 && p.Width <= 7 && p.Height >= 2 && p.Height <= 7);
        EXPECT_TRUE(p.SourceX >= 0 && p.SourceX < 191 && p.SourceY >= 0 && p.SourceY < 191);
        EXPECT_TRUE(std::abs(p.VelocityX) < 1 && std::abs(p.VelocityY) < 1);
        negativeX |= p.VelocityX < 0;
        negativeY |= p.VelocityY < 0;
        widths.insert(p.Width);
    }
    EXPECT_TRUE(negativeX && negativeY);
    EXPECT_EQ(widths.size(), 6u);
}

TEST(ExplosionSprite, ParticlesFlyAndFadeFrameByFrameUntilTheSpriteDies) {
    TRandom random(11);
    TExplosionSpriteFactory factory;
    Prepare(factory, 40, 50);
    TSpriteEngine engine;
    auto* sprite = engine.Add(factory.CreateExplosion(random));
    engine.MoveStep();  // 39 frames left
    for (const auto& p : sprite->Particles()) {
        // random(39), at least 15, then one frame spent.
        EXPECT_TRUE(p.Life >= 14 && p.Life <= 37) << p.Life;
        EXPECT_FLOAT_EQ(p.OffsetX, p.VelocityX);
    }
    const auto before = sprite->Particles();
    engine.MoveStep();
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(sprite->Particles()[i].Life, before[i].Life - 1);
        EXPECT_FLOAT_EQ(sprite->Particles()[i].OffsetY, 2 * before[i].VelocityY);
    }
    for (int frame = 2; frame < 39; ++frame) engine.MoveStep();
    EXPECT_EQ(engine.SpriteCount(), 1);
    engine.MoveStep();  // the fortieth frame ends it
    EXPECT_EQ(engine.SpriteCount(), 0);
}

TEST(ExplosionSprite, LateParticlesGetFifteenFramesAndEveryExplosionEnds) {
    TRandom random;
    TExplosionSpriteFactory factory;
    Prepare(factory, 3, 10);
    TSpriteEngine engine;
    auto* late = engine.Add(factory.CreateExplosion(random));
    factory.LifeSpan = 0;  // would mean "forever" for a plain sprite
    engine.Add(factory.CreateExplosion(random));
    engine.MoveStep();
    EXPECT_EQ(engine.SpriteCount(), 1);
    for (const auto& p : late->Particles()) EXPECT_EQ(p.Life, 14);
    engine.MoveStep();
    engine.MoveStep();
    EXPECT_EQ(engine.SpriteCount(), 0);
}

TEST(ExplosionSprite, DrawsLivePatchesOpaquelyAndClipsThemToTheFrame) {
    TRandom random(5);
    TExplosionSpriteFactory factory;
    Prepare(factory, 40, 1);
    auto sprite = factory.CreateExplosion(random);
    sprite->SetPosition(30, 30);
    Frame frame;
    sprite->Render(frame.Platform, frame.Canvas);
    EXPECT_EQ(frame.Painted(), 0) << "a particle that has not started is not drawn";
    sprite->Move();
    const auto& p = sprite->Particles()[0];
    sprite->Render(frame.Platform, frame.Canvas);
    const int32_t x = RoundHalfEven(30 + p.OffsetX), y = RoundHalfEven(30 + p.OffsetY);
    EXPECT_EQ(frame.Painted(), p.Width * p.Height);
    for (int32_t dy = 0; dy < p.Height; ++dy)
        for (int32_t dx = 0; dx < p.Width; ++dx)
            EXPECT_EQ(frame.Canvas.Pixel(x + dx, y + dy), factory.Bitmap().Pixel(p.SourceX + dx, p.SourceY + dy));
    EXPECT_EQ(sprite->GetBoundsRect(), (TRect{20, 20, 40, 40}));

    // A picture too small for the 9-pixel margin gives patches from its corner.
    Prepare(factory, 40, 60, 8);
    auto tiny = factory.CreateExplosion(random);
    for (const auto& q : tiny->Particles()) EXPECT_TRUE(q.SourceX == 0 && q.SourceY == 0);
    tiny->Move();
    frame.Bits.assign(frame.Bits.size(), 0);
    for (float at : {62.0f, -5000.0f, 1e9f}) {
        tiny->SetPosition(at, at);
        tiny->Render(frame.Platform, frame.Canvas);
    }
    for (int32_t i = 0; i < 64 * 64; ++i)
        EXPECT_TRUE(frame.Bits[static_cast<size_t>(i)] == 0 || (i % 64 > 50 && i / 64 > 50)) << i;
}

TEST(FireworkSpriteFactory, CountAndLifeComeFromTheRangesWithoutTheMaximum) {
    TRandom random(21);
    TFireworkSpriteFactory factory;
    factory.LifeSpanMin = 25;
    factory.LifeSpanMax = 28;
    factory.NumParticlesMin = 30;
    factory.NumParticlesMax = 32;
    std::set<int32_t> lives, counts;
    for (int i = 0; i < 200; ++i) {
        auto sprite = factory.CreateFirework(random);
        lives.insert(sprite->LifeSpan);
        counts.insert(sprite->ParticleCount());
    }
    EXPECT_EQ(lives, (std::set<int32_t>{25, 26, 27}));
    EXPECT_EQ(counts, (std::set<int32_t>{30, 31}));

    factory.LifeSpanMin = factory.LifeSpanMax = 33;
    factory.NumParticlesMin = factory.NumParticlesMax = 12;
    EXPECT_EQ(factory.CreateFirework(random)->LifeSpan, 33);
    EXPECT_EQ(factory.CreateFirework(random)->ParticleCount(), 12);

    // Reversed or empty ranges: the minimum count, and a firework that still ends.
    factory.LifeSpanMin = 0;
    factory.LifeSpanMax = -5;
    factory.NumParticlesMax = 2;
    auto odd = factory.CreateFirework(random);
    EXPECT_EQ(odd->ParticleCount(), 12);
    EXPECT_EQ(odd->LifeSpan, 1);
}

TEST(FireworkSprite, SparksAdvanceOnlyWhenDrawnAsTwoByTwoBlocksInRangeColours) {
    TRandom random(13);
    TSquareGridSpriteSurface board;
    board.SetSize(64, 64);
    board.SetOffsetX(100);
    board.SetOffsetY(200);
    TSpriteEngine engine;
    engine.SetSpriteSurface(&board);
    auto* sprite = engine.Add(std::make_unique<TFireworkSprite>(40, random));
    EXPECT_TRUE(sprite->LifeSpan >= 50 && sprite->LifeSpan < 70);
    sprite->SetColors(10, 14);
    sprite->SetPosition(132, 232);
    engine.MoveStep();
    for (const auto& p : sprite->Particles()) EXPECT_EQ(p.OffsetX, 0);

    Frame frame;
    sprite->Render(frame.Platform, frame.Canvas);
    std::set<uint8_t> colours;
    for (const auto& p : sprite->Particles()) {
        EXPECT_FLOAT_EQ(p.OffsetX, p.VelocityX);
        const int32_t x = RoundHalfEven(132 + p.OffsetX) - 100, y = RoundHalfEven(232 + p.OffsetY) - 200;
        for (int32_t d = 0; d < 4; ++d) colours.insert(frame.Canvas.Pixel(x + d % 2, y + d / 2));
    }
    EXPECT_EQ(colours, (std::set<uint8_t>{10, 11, 12, 13})) << "the high index itself is never drawn";
    EXPECT_EQ(sprite->GetBoundsRect(), (TRect{82, 182, 182, 282}));
}

struct EffectsBoard {
    explicit EffectsBoard(uint64_t seed = 1) : Random(seed), Effects(Layer, Random) {
        Board.SetSize(240, 240);
        Layer.SetSpriteSurface(&Board);
        Effects.ShipExplosion.SetBitmap(Picture(200));
        Effects.StarSystemExplosion.SetBitmap(Picture(100));
    }
    TSquareGridSpriteSurface Board;
    TSpriteEngine Layer;
    TRandom Random;
    TBoardEffects Effects;
};

TEST(BoardEffects, EachEventGetsItsOwnEffectCentredOnTheCellOfAnUnclickableTopLayer) {
    EffectsBoard b(4);
    EXPECT_EQ(b.Layer.Priority(), -1);
    EXPECT_FALSE(b.Layer.ClickSprites);
    TExplosionSprite* ship = b.Effects.ShipDestroyed(2, 3);
    EXPECT_EQ(ship->X(), 75);
    EXPECT_EQ(ship->Y(), 105);
    EXPECT_EQ(ship->LifeSpan, 40);
    EXPECT_EQ(ship->Particles().size(), 100u);
    TExplosionSprite* system = b.Effects.StarSystemAttacked(0, 1);
    EXPECT_EQ(system->Y(), 45);
    EXPECT_EQ(system->LifeSpan, 80);
    EXPECT_EQ(system->Particles().size(), 20u);
    b.Board.SetCellWidth(20);
    TFireworkSprite* sparks = b.Effects.ShipDamaged(1, 1);
    EXPECT_EQ(sparks->X(), 30);
    EXPECT_TRUE(sparks->LifeSpan >= 25 && sparks->LifeSpan < 35);
    EXPECT_TRUE(sparks->ParticleCount() >= 30 && sparks->ParticleCount() < 50);
    b.Layer.MoveStep();
    EXPECT_EQ(b.Layer.SpriteCount(), 3);
}

TEST(BoardEffects, FinalesAreLongAndDenseAndLeaveTheFactoriesAsTheyWere) {
    EffectsBoard b;
    TExplosionSprite* defeat = b.Effects.PlayerConquered(4, 4);
    EXPECT_EQ(defeat->LifeSpan, 500);
    EXPECT_EQ(defeat->Particles().size(), 500u);
    EXPECT_EQ(defeat->X(), 135);
    EXPECT_EQ(b.Effects.ShipExplosion.LifeSpan, 40);
    EXPECT_EQ(b.Effects.ShipExplosion.NumParticles, 100);
    TExplosionSprite* win = b.Effects.Victory(120, 90);
    EXPECT_EQ(win->Particles().size(), 500u);
    EXPECT_EQ(win->Y(), 90);
    EXPECT_EQ(b.Effects.StarSystemExplosion.LifeSpan, 80);
    EXPECT_EQ(b.Effects.StarSystemExplosion.NumParticles, 20);

    b.Effects.StarSystemExplosion.SetBitmap(TIndexedBitmap());
    EXPECT_THROW(b.Effects.Victory(0, 0), ERenderError);
    EXPECT_EQ(b.Effects.StarSystemExplosion.LifeSpan, 80);
}

} // namespace
} // namespace qx
