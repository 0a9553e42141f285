#include "render/ColorPalette.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qx {
namespace {

std::vector<std::string> RampEntries() {
    std::vector<std::string> lines;
    for (int i = 0; i < 256; ++i)
        lines.push_back(std::to_string(255 - i) + "," + std::to_string(i / 2) + "," + std::to_string(i % 7));
    return lines;
}

uint32_t RgbOf(int r, int g, int b) { return static_cast<uint32_t>(r | g << 8 | b << 16); }

uint32_t Rgb(int r, int g, int b, int flag) {
    return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16 |
           static_cast<uint32_t>(flag) << 24;
}

TEST(ColorPalette, StartsWithStaticColoursAndGreyRamp) {
    TColorPalette palette;
    EXPECT_EQ(palette.GetColor(0), Rgb(0, 0, 0, 0));
    EXPECT_EQ(palette.GetColor(7), Rgb(192, 192, 192, 0));
    EXPECT_EQ(palette.GetColor(249), Rgb(255, 0, 0, 0));
    EXPECT_EQ(palette.GetColor(255), Rgb(255, 255, 255, 0));
    EXPECT_EQ(palette.GetColor(10), Rgb(10, 10, 10, 4));
    EXPECT_EQ(palette.GetColor(245), Rgb(245, 245, 245, 4));
    // Only the low byte of the index counts.
    EXPECT_EQ(palette.GetColor(256 + 7), palette.GetColor(7));
    EXPECT_EQ(palette.GetColor(-1), palette.GetColor(255));
    ASSERT_EQ(palette.PaletteEntries().size(), 256u);
    EXPECT_EQ(palette.PaletteEntries()[10], "10,10,10");
    EXPECT_EQ(palette.PaletteEntries()[9], "166,202,240");
}

TEST(ColorPalette, AppliesEntriesWithFlagsByRange) {
    TColorPalette palette;
    palette.SetPaletteEntries(RampEntries());
    EXPECT_EQ(palette.GetColor(0), Rgb(255, 0, 0, 0));
    EXPECT_EQ(palette.GetColor(9), Rgb(246, 4, 2, 0));
    EXPECT_EQ(palette.GetColor(10), Rgb(245, 5, 3, 4));
    EXPECT_EQ(palette.GetColor(245), Rgb(10, 122, 0, 4));
    EXPECT_EQ(palette.GetColor(246), Rgb(9, 123, 1, 0));

    palette.SetPalEntryFlag(TPalEntryFlag::pcReserved);
    EXPECT_EQ(palette.GetColor(10) >> 24, 1u);
    EXPECT_EQ(palette.GetColor(245) >> 24, 1u);
    EXPECT_EQ(palette.GetColor(9) >> 24, 0u);
    EXPECT_EQ(palette.GetColor(246) >> 24, 0u);
    palette.SetPalEntryFlag(TPalEntryFlag::pcNoCollapse);
    EXPECT_EQ(palette.GetColor(100) >> 24, 4u);
}

TEST(ColorPalette, WrongEntryCountIsRefusedAndKeepsColours) {
    TColorPalette palette;
    palette.SetPaletteEntries(RampEntries());
    const auto before = palette.Table();
    auto entries = std::vector<std::string>(255, "1,2,3");
    try {
        palette.SetPaletteEntries(entries);
        FAIL() << "255 entries were accepted";
    } catch (const ERenderError& e) {
        EXPECT_STREQ(e.what(), "Exactly 256 entries must exist");
    }
    entries.resize(257, "1,2,3");
    EXPECT_THROW(palette.SetPaletteEntries(entries), ERenderError);
    EXPECT_EQ(palette.Table(), before);
    // An empty list changes nothing and is no error.
    palette.SetPaletteEntries({});
    EXPECT_EQ(palette.Table(), before);
}

TEST(ColorPalette, BadEntryStopsReadingAndTellsTheUser) {
    TColorPalette palette;
    std::vector<std::string> messages;
    palette.OnMessage = [&](TObject*, const std::string& m) { messages.push_back(m); };
    const uint32_t oldAt100 = palette.GetColor(100);
    const uint32_t oldAt200 = palette.GetColor(200);

    auto entries = RampEntries();
    entries[100] = "12,x,4";
    palette.SetPaletteEntries(entries);
    ASSERT_EQ(messages, std::vector<std::string>{"Error Loading Palette Data"});
    EXPECT_EQ(palette.GetColor(99), Rgb(156, 49, 1, 4));
    EXPECT_EQ(palette.GetColor(100), oldAt100);
    EXPECT_EQ(palette.GetColor(200), oldAt200);
}

TEST(ColorPalette, EntryTextsThatDoNotConvert) {
    for (const std::string bad : {"7", "1,2", "256,0,0", "-1,0,0", "1,2,3,4", "", "a,b,c"}) {
        TColorPalette palette;
        int shown = 0;
        palette.OnMessage = [&](TObject*, const std::string&) { ++shown; };
        auto entries = RampEntries();
        entries[0] = bad;
        palette.SetPaletteEntries(entries);
        EXPECT_EQ(shown, 1) << '"' << bad << '"';
        EXPECT_EQ(palette.GetColor(0), Rgb(0, 0, 0, 0)) << '"' << bad << '"';
    }
}

TEST(ColorPalette, ReadsPaletteFilesAndWritesThemBack) {
    std::string text;
    for (const auto& line : RampEntries()) text += line + "\r\n";
    TColorPalette palette;
    palette.LoadFromText(text);
    EXPECT_EQ(palette.GetColor(3), Rgb(252, 1, 3, 0));

    TColorPalette copy;
    copy.LoadFromText(palette.SaveToText());
    EXPECT_EQ(copy.Table(), palette.Table());
    EXPECT_THROW(copy.LoadFromText("1,2,3\n4,5,6\n"), ERenderError);
}

TEST(ColorPalette, ImagePaletteReplacesOnlyTheFreeEntries) {
    TIndexedBitmap image(4, 4);
    for (int i = 0; i < 256; ++i)
        image.Palette[static_cast<size_t>(i)] = {static_cast<uint8_t>(i), 1, 2};
    image.Name = "imgCells";
    TColorPalette palette;
    palette.Designing = true;
    std::string shown;
    palette.OnMessage = [&](TObject*, const std::string& m) { shown = m; };
    palette.SetImagePalette(image);
    EXPECT_EQ(palette.GetColor(10), Rgb(10, 1, 2, 4));
    EXPECT_EQ(palette.GetColor(245), Rgb(245, 1, 2, 4));
    EXPECT_EQ(palette.GetColor(9), Rgb(166, 202, 240, 0));
    EXPECT_EQ(palette.GetColor(246), Rgb(255, 251, 240, 0));
    EXPECT_EQ(palette.PaletteEntries()[20], "20,1,2");
    EXPECT_EQ(shown, "Palette Data Loaded from TImage imgCells");
}

TEST(ColorPalette, NearestIndexAndShownColourTable) {
    TColorPalette palette;
    EXPECT_EQ(palette.NearestIndex(0x0000FF), 249);  // pure red
    EXPECT_EQ(palette.NearestIndex(0xFFFFFF), 255);
    EXPECT_EQ(palette.NearestIndex(0x000000), 0);
    EXPECT_EQ(palette.NearestIndex(0x646464), 100);  // grey ramp entry
    EXPECT_EQ(palette.NearestIndex(0x656565), 101);
    // A tie between two greys goes to the lower index.
    auto entries = RampEntries();
    entries[20] = entries[30] = "10,20,30";
    palette.SetPaletteEntries(entries);
    EXPECT_EQ(palette.NearestIndex(RgbOf(10, 20, 31)), 20);
    EXPECT_EQ(palette.ArgbTable()[20], 0xFF0A141Eu);
    EXPECT_EQ(palette.ArgbTable()[0], 0xFFFF0000u);
}

} // namespace
} // namespace qx
