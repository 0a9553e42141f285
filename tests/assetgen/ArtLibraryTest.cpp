#include "tools/assetgen/ArtNoise.h"
#include "tools/assetgen/ArtPalette.h"
#include "tools/assetgen/ArtRandom.h"
#include "tools/assetgen/IndexedImage.h"

#include <gtest/gtest.h>

namespace qx::art {
namespace {

TEST(AssetgenIndexMapper, ChoosesOnlyAmongItsCandidates)
{
    const TArtPalette palette = TArtPalette::Main();
    // Pure red is entry 249, but a mapper without it must settle for another.
    EXPECT_EQ(TIndexMapper(palette, TIndexMapper::Span(0, 255)).Nearest(qRgb(255, 0, 0)), 249);
    const TIndexMapper noRed(palette, {0, 251, 252, pal::PlayerShade(0, 1)});
    EXPECT_EQ(noRed.Nearest(qRgb(255, 0, 0)), pal::PlayerShade(0, 1));
    EXPECT_EQ(noRed.Nearest(qRgb(3, 3, 3)), 0);
    EXPECT_THROW(TIndexMapper(palette, {}), std::invalid_argument);
}

TEST(AssetgenPutArgb, LeavesFaintPixelsAloneAndKeepsEdgeColours)
{
    const TArtPalette palette = TArtPalette::Main();
    QImage target = NewIndexed(8, 4, palette);
    ASSERT_EQ(target.colorCount(), 256);
    QImage art(4, 1, QImage::Format_ARGB32);
    art.setPixel(0, 0, qRgba(255, 255, 0, 255)); // solid yellow
    art.setPixel(1, 0, qRgba(255, 255, 0, 140)); // anti-aliased edge: still yellow
    art.setPixel(2, 0, qRgba(255, 255, 0, 60));  // too faint: left as it was
    art.setPixel(3, 0, qRgba(0, 0, 255, 255));
    PutArgb(target, 5, 2, art, TIndexMapper(palette, {251, 252, pal::kOutline}));
    EXPECT_EQ(target.pixelIndex(5, 2), 251);
    EXPECT_EQ(target.pixelIndex(6, 2), 251);
    EXPECT_EQ(target.pixelIndex(7, 2), 0);
    // The fourth pixel falls outside the target and is dropped, not wrapped.
    EXPECT_EQ(target.pixelIndex(0, 3), 0);
    EXPECT_EQ(target.pixelIndex(0, 2), 0);
}

TEST(AssetgenArtRandom, RepeatsItsSequenceAndStaysInRange)
{
    TArtRandom a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const int va = a.Below(7);
        EXPECT_EQ(va, b.Below(7));
        differs = differs || va != c.Below(7);
        EXPECT_GE(va, 0);
        EXPECT_LT(va, 7);
        const double r = a.Real();
        b.Real();
        c.Real();
        EXPECT_GE(r, 0.0);
        EXPECT_LT(r, 1.0);
    }
    EXPECT_TRUE(differs);
    EXPECT_EQ(a.Below(0), 0);
    EXPECT_EQ(a.Below(-5), 0);
}

TEST(AssetgenArtNoise, WrapsAroundItsPeriod)
{
    const TArtNoise periodic(7, 4), plain(7);
    for (double y = 0; y < 4; y += 0.37) {
        EXPECT_DOUBLE_EQ(periodic.Value(0.0, y), periodic.Value(4.0, y));
        EXPECT_NEAR(periodic.Fractal(0.0, y, 3), periodic.Fractal(4.0, y, 3), 1e-12);
    }
    bool wraps = true;
    for (double y = 0; y < 4; y += 0.37)
        wraps = wraps && plain.Value(0.0, y) == plain.Value(4.0, y);
    EXPECT_FALSE(wraps) << "without a period the field must not repeat";
    for (double x = -3; x < 3; x += 0.29) {
        const double v = plain.Fractal(x, x * 0.7, 4);
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
    }
}

TEST(AssetgenPaletteHelpers, MixAndRampBlendLinearly)
{
    EXPECT_EQ(Mix(qRgb(0, 0, 0), qRgb(200, 100, 50), 0.5), qRgb(100, 50, 25));
    EXPECT_EQ(Mix(qRgb(10, 10, 10), qRgb(20, 20, 20), 2.0), qRgb(30, 30, 30));
    EXPECT_EQ(Mix(qRgb(10, 10, 10), qRgb(250, 250, 250), 2.0), qRgb(255, 255, 255)) << "clamped, not wrapped";
    TArtPalette p;
    p.Ramp(20, 24, qRgb(0, 0, 0), qRgb(100, 200, 40));
    EXPECT_EQ(p[20], qRgb(0, 0, 0));
    EXPECT_EQ(p[22], qRgb(50, 100, 20));
    EXPECT_EQ(p[24], qRgb(100, 200, 40));
    EXPECT_EQ(p[25], qRgb(25, 25, 25)) << "entries outside the ramp keep their grey";
    EXPECT_THROW(p.Set(256, 0), std::out_of_range);
}

} // namespace
} // namespace qx::art
