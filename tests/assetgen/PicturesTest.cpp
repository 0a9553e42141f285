#include "tests/assetgen/AssetFiles.h"

#include "tools/assetgen/EffectArtist.h"
#include "tools/assetgen/TitleArtist.h"

#include <gtest/gtest.h>

#include <set>

namespace qx::art {
namespace {

using test::Count;
using test::Difference;
using test::Mask;

double MeanLuminance(const QImage& image, const QRect& area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += Luminance(image.color(image.pixelIndex(x, y)));
    return sum / (area.width() * area.height());
}

std::set<int> Entries(const QImage& image, const QRect& area)
{
    std::set<int> entries;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            entries.insert(image.pixelIndex(x, y));
    return entries;
}

TEST(AssetgenStarSystemSheet, ShowsTheOwnerInItsRow)
{
    const QImage sheet = test::LoadIndexed("StarSystems.bmp");
    ASSERT_EQ(sheet.size(), QSize(32, 360));
    for (int row = 0; row < 12; ++row) {
        const QRect frame(0, row * 30, 32, 30);
        const std::set<int> used = Entries(sheet, frame);
        EXPECT_GT(Count(Mask(sheet, 0, row * 30, 32, 30)), 150) << "row " << row;
        if (row < 10) {
            EXPECT_TRUE(used.count(pal::kPlayer[static_cast<std::size_t>(row)])) << "row " << row;
            for (int other = 0; other < 10; ++other)
                if (other != row) {
                    EXPECT_FALSE(used.count(pal::kPlayer[static_cast<std::size_t>(other)])) << row << " uses " << other;
                }
        }
    }
    EXPECT_TRUE(Entries(sheet, QRect(0, 300, 32, 30)).count(pal::kSilver)) << "unowned systems ring in silver";
    // Out of sight: nothing but greys, no owner and no sunlight.
    for (int index : Entries(sheet, QRect(0, 330, 32, 30))) {
        const QRgb c = sheet.color(index);
        EXPECT_LE(std::abs(qRed(c) - qBlue(c)) + std::abs(qGreen(c) - qBlue(c)), 30) << "entry " << index;
    }
}

TEST(AssetgenWormholeStrip, TurnsOverEightFramesAndLoops)
{
    const QImage strip = test::LoadIndexed("Wormhole.bmp");
    ASSERT_EQ(strip.size(), QSize(240, 30));
    std::vector<std::vector<bool>> frames;
    for (int f = 0; f < 8; ++f) {
        frames.push_back(Mask(strip, f * 30, 0, 30, 30));
        EXPECT_GT(Count(frames.back()), 200) << "frame " << f;
        // Edges transparent, so neighbouring frames never bleed together.
        for (int y = 0; y < 30; ++y) {
            EXPECT_EQ(strip.pixelIndex(f * 30, y), 0);
            EXPECT_EQ(strip.pixelIndex(f * 30 + 29, y), 0);
        }
    }
    auto pixelsDiffer = [&](int a, int b) {
        int n = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
                n += strip.pixelIndex(a * 30 + x, y) != strip.pixelIndex(b * 30 + x, y) ? 1 : 0;
        return n;
    };
    for (int f = 0; f < 8; ++f)
        EXPECT_GT(pixelsDiffer(f, (f + 1) % 8), 40) << "frames " << f << " and " << (f + 1) % 8 << " do not move";
    // The step from the last frame back to the first is no bigger a jump than any other.
    int largest = 0;
    for (int f = 0; f < 7; ++f)
        largest = std::max(largest, pixelsDiffer(f, f + 1));
    EXPECT_LE(pixelsDiffer(7, 0), largest * 5 / 4);
}

TEST(AssetgenTileSheet, KeepsOpenSpaceDarkAndNebulaeSeamless)
{
    const QImage tiles = test::LoadIndexed("Tiles.bmp");
    ASSERT_EQ(tiles.size(), QSize(1200, 180));
    EXPECT_EQ(Entries(tiles, QRect(0, 0, 30, 30)), std::set<int>{0}) << "tile 0 also fills the space past the map";
    double open = 0, nebula = 0;
    for (int variant = 0; variant < 6; ++variant)
        for (int column = 0; column < 40; ++column) {
            const double mean = MeanLuminance(tiles, QRect(column * 30, variant * 30, 30, 30));
            (column < 34 ? open : nebula) += mean;
            if (column < 34)
                EXPECT_LT(mean, 12) << "open space tile " << column << "/" << variant << " is too busy";
            else
                EXPECT_LT(mean, 90) << "nebula tile " << column << "/" << variant << " would drown the ships";
        }
    EXPECT_GT(nebula / 36, 2.5 * (open / 204)) << "a nebula must stand out from open space";

    // Any nebula tile may meet any other: their touching edges must agree.
    for (int a = 34; a < 40; ++a)
        for (int b = 34; b < 40; ++b) {
            const int va = a % 6, vb = (b + 3) % 6;
            double worst = 0;
            for (int y = 0; y < 30; ++y) {
                const QRgb right = tiles.color(tiles.pixelIndex(a * 30 + 29, va * 30 + y));
                const QRgb left = tiles.color(tiles.pixelIndex(b * 30, vb * 30 + y));
                worst = std::max(worst, std::abs(Luminance(right) - Luminance(left)));
            }
            EXPECT_LT(worst, 28) << "seam between nebula tiles " << a << " and " << b;
        }
}

TEST(AssetgenExplosionPictures, AreFlameFromEdgeToEdgeAndHotInTheMiddle)
{
    for (auto [name, size] : {std::pair{"Explosion200.bmp", 200}, {"Explosion100.bmp", 100}}) {
        SCOPED_TRACE(name);
        const QImage picture = test::LoadIndexed(name);
        ASSERT_EQ(picture.size(), QSize(size, size));
        // Patches are cut anywhere but the last 9 pixels: none may come out black.
        int dark = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                dark += Luminance(picture.color(picture.pixelIndex(x, y))) < 20 ? 1 : 0;
        EXPECT_LT(dark, size * size / 50);
        const int q = size / 10;
        const double centre = MeanLuminance(picture, QRect(size / 2 - q, size / 2 - q, 2 * q, 2 * q));
        const double corner = MeanLuminance(picture, QRect(0, 0, q, q));
        EXPECT_GT(centre, 200);
        EXPECT_GT(centre, corner + 100);
        // Fire: reds lead, blues trail.
        const QRgb mid = picture.color(picture.pixelIndex(size / 4, size / 2));
        EXPECT_GE(qRed(mid), qBlue(mid));
    }
    const TArtPalette palette = TArtPalette::Main();
    EXPECT_THROW(TEffectArtist(palette).Explosion(9, 1), std::invalid_argument);
}

TEST(AssetgenDigitStrip, ShowsTenDifferentDigitsSideBySide)
{
    const QImage strip = test::LoadIndexed("Digits.bmp");
    ASSERT_EQ(strip.size(), QSize(120, 15));
    std::vector<std::vector<bool>> lit;
    for (int d = 0; d < 10; ++d) {
        std::vector<bool> mask;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 12; ++x)
                mask.push_back(Luminance(strip.color(strip.pixelIndex(d * 12 + x, y))) > 100);
        lit.push_back(mask);
        // A dark column on the right of each digit keeps "11" from running together.
        for (int y = 0; y < 15; ++y)
            EXPECT_EQ(strip.pixelIndex(d * 12 + 11, y), 0) << "digit " << d;
    }
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b)
            EXPECT_GT(Difference(lit[static_cast<std::size_t>(a)], lit[static_cast<std::size_t>(b)]), 6)
                << a << " vs " << b;
    for (int d = 0; d < 10; ++d) {
        if (d != 8) {
            EXPECT_LT(Count(lit[static_cast<std::size_t>(d)]), Count(lit[8])) << d;
        }
        if (d != 1) {
            EXPECT_GT(Count(lit[static_cast<std::size_t>(d)]), Count(lit[1])) << d;
        }
    }
    EXPECT_THROW(TEffectArtist::Segments(10), std::out_of_range);
}

TEST(AssetgenTitlePicture, SpellsTheNameInSevenSeparateLetters)
{
    const QImage title = test::LoadIndexed("TitleScreen.bmp");
    ASSERT_EQ(title.size(), QSize(640, 480));
    // Walk across the middle of the lettering: gold strokes and the dark gaps
    // between letters alternate seven times.
    const QRectF box = TTitleArtist::NameBox();
    int letters = 0, gapRun = 0;
    bool inLetter = false;
    for (int x = static_cast<int>(box.left()) - 8; x <= static_cast<int>(box.right()) + 8; ++x) {
        int gold = 0;
        for (int y = static_cast<int>(box.top()) + 4; y < static_cast<int>(box.bottom()) - 4; ++y) {
            const QRgb c = title.color(title.pixelIndex(x, y));
            gold += qRed(c) > 150 && qRed(c) > qBlue(c) + 50 ? 1 : 0;
        }
        if (gold > 6) {
            if (!inLetter && (letters == 0 || gapRun >= 6))
                ++letters;
            inLetter = true;
            gapRun = 0;
        } else {
            inLetter = false;
            ++gapRun;
        }
    }
    EXPECT_EQ(letters, 7);
    EXPECT_THROW(TTitleArtist::Letter('Z'), std::invalid_argument);
}

} // namespace
} // namespace qx::art
