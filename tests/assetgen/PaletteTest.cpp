#include "tests/assetgen/AssetFiles.h"

#include "tools/assetgen/ArtPalette.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

namespace qx::art {
namespace {

using test::DataPath;
using test::LoadPalette;
using test::ReadBytes;

TEST(AssetgenMainPalette, KeepsTheTwentyStaticColoursInPlace)
{
    const TArtPalette palette = LoadPalette("MainPalette.txt");
    EXPECT_EQ(palette[0], qRgb(0, 0, 0));
    EXPECT_EQ(palette[7], qRgb(192, 192, 192));
    EXPECT_EQ(palette[9], qRgb(166, 202, 240));
    EXPECT_EQ(palette[248], qRgb(128, 128, 128));
    EXPECT_EQ(palette[249], qRgb(255, 0, 0));
    EXPECT_EQ(palette[252], qRgb(0, 0, 255));
    EXPECT_EQ(palette[255], qRgb(255, 255, 255));
    for (int i = 0; i < 256; ++i)
        if (TArtPalette::IsStatic(i)) {
            EXPECT_EQ(palette[i], TArtPalette::StaticColour(i)) << "entry " << i;
        }
}

TEST(AssetgenMainPalette, TellsTheTenPlayersApart)
{
    const TArtPalette palette = LoadPalette("MainPalette.txt");
    for (int a = 0; a < 10; ++a) {
        const QRgb ca = palette[pal::kPlayer[static_cast<std::size_t>(a)]];
        // Every player must show on the black of space; the static blue is
        // dim, so the light shade the ships are lit with has to carry it.
        EXPECT_GT(Luminance(ca), 25) << "player " << a;
        EXPECT_GT(Luminance(palette[pal::PlayerShade(a, 2)]), 90) << "player " << a;
        for (int b = a + 1; b < 10; ++b)
            EXPECT_GT(ColourDistance(ca, palette[pal::kPlayer[static_cast<std::size_t>(b)]]), 60)
                << "players " << a << " and " << b;
    }
    // The two entries the player table takes from the free range have colours
    // of their own rather than the starting grey.
    EXPECT_NE(qRed(palette[16]), qBlue(palette[16]));
    EXPECT_NE(qRed(palette[80]), qBlue(palette[80]));
}

TEST(AssetgenMainPalette, GivesEveryNamedEffectAVisibleColour)
{
    const TArtPalette palette = LoadPalette("MainPalette.txt");
    // Range rings, ripples and sparks are drawn on black space.
    for (int index : {10, 22, 30, 32, 101, 110, 183, 214})
        EXPECT_GT(Luminance(palette[index]), 90) << "entry " << index;
    for (int first : {pal::kPulseFirst, pal::kGravSparkFirst, pal::kTugSparkFirst, pal::kGenerateSparkFirst,
                      pal::kShieldFirst, pal::kCloakFirst})
        EXPECT_GT(Luminance(palette[first]), 40) << "entry " << first;
    for (int i = pal::kGravSparkFirst; i <= pal::kGravSparkLast; ++i)
        EXPECT_GT(Luminance(palette[i]), 60) << "spark entry " << i;

    // The rings a player sees around his own ships differ from one another.
    const std::vector<int> rings = {pal::kScannerRing, pal::kCloakDetectorRing, pal::kCommandRing,
                                    pal::kStarTilleryRing};
    for (std::size_t a = 0; a < rings.size(); ++a)
        for (std::size_t b = a + 1; b < rings.size(); ++b)
            EXPECT_GT(ColourDistance(palette[rings[a]], palette[rings[b]]), 50) << rings[a] << " vs " << rings[b];

    // Shield rings ripple: five different blues.
    std::set<QRgb> shields;
    for (int i = pal::kShieldFirst; i <= pal::kShieldLast; ++i) {
        shields.insert(palette[i]);
        EXPECT_GT(qBlue(palette[i]), qRed(palette[i])) << "shield entry " << i;
    }
    EXPECT_EQ(shields.size(), 5u);
    std::set<QRgb> cloak;
    for (int i = pal::kCloakFirst; i <= pal::kCloakLast; ++i)
        cloak.insert(palette[i]);
    EXPECT_EQ(cloak.size(), 5u) << "the cloak shimmer needs five different entries";

    // Grid lines are seen but stay quieter than the cursor and the band.
    EXPECT_GT(Luminance(palette[pal::kGrid]), 25);
    EXPECT_LT(Luminance(palette[pal::kGrid]), 100);
    EXPECT_GT(Luminance(palette[pal::kCursor]), 150);
    EXPECT_GT(ColourDistance(palette[pal::kCursor], palette[pal::kSelectionBand]), 60);
}

TEST(AssetgenPaletteFiles, HoldExactly256PlainEntryLines)
{
    const std::regex entry("(0|[1-9][0-9]{0,2}),(0|[1-9][0-9]{0,2}),(0|[1-9][0-9]{0,2})");
    for (const char* name : {"MainPalette.txt", "TitlePalette.txt"}) {
        std::istringstream in(ReadBytes(DataPath(name)).toStdString());
        std::string line;
        int lines = 0;
        while (std::getline(in, line)) {
            EXPECT_TRUE(std::regex_match(line, entry)) << name << " line " << lines << ": " << line;
            ++lines;
        }
        EXPECT_EQ(lines, 256) << name;
    }
    EXPECT_EQ(ReadBytes(DataPath("MainPalette.txt")).toStdString(), TArtPalette::Main().ToText());
}

TEST(AssetgenPaletteText, RefusesWhatThePaletteComponentWouldRefuse)
{
    const std::string good = TArtPalette::Main().ToText();
    EXPECT_EQ(TArtPalette::FromText(good).ToText(), good);

    const std::string short255 = good.substr(0, good.rfind('\n', good.size() - 2) + 1);
    EXPECT_THROW(TArtPalette::FromText(short255), std::runtime_error);
    EXPECT_THROW(TArtPalette::FromText(good + "1,2,3\n"), std::runtime_error);
    std::string bad = good;
    bad.replace(0, bad.find('\n'), "0,zero,0");
    EXPECT_THROW(TArtPalette::FromText(bad), std::runtime_error);
    bad = good;
    bad.replace(0, bad.find('\n'), "0,256,0");
    EXPECT_THROW(TArtPalette::FromText(bad), std::runtime_error);
}

TEST(AssetgenTitlePalette, KeepsTheStaticColoursAndServesThePicture)
{
    const TArtPalette title = LoadPalette("TitlePalette.txt");
    for (int i = 0; i < 256; ++i)
        if (TArtPalette::IsStatic(i)) {
            EXPECT_EQ(title[i], TArtPalette::StaticColour(i)) << "entry " << i;
        }
    // The free entries are the picture's own colours, not 236 leftover greys.
    int greys = 0;
    std::set<QRgb> distinct;
    for (int i = 10; i <= 245; ++i) {
        greys += title[i] == qRgb(i, i, i) ? 1 : 0;
        distinct.insert(title[i]);
    }
    EXPECT_LT(greys, 5);
    EXPECT_GT(distinct.size(), 200u);
}

} // namespace
} // namespace qx::art
