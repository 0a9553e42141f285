#include "render/BmpFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace qx {
namespace {

TIndexedBitmap Sample() {
    TIndexedBitmap picture(6, 3);  // rows padded to 8 bytes
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) picture.SetPixel(x, y, static_cast<uint8_t>(10 * y + x));
    picture.Palette[1] = {200, 100, 50};
    return picture;
}

void Put32(std::string& data, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>((v >> (8 * i)) & 255);
}

TEST(BmpFile, RoundTripKeepsPixelsAndColours) {
    const std::string data = WriteBmp(Sample());
    EXPECT_EQ(data.size(), 14u + 40 + 1024 + 8 * 3);
    const TIndexedBitmap back = ReadBmp(data);
    EXPECT_EQ(back.Width(), 6);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(back.Pixel(0, 0), 0);
    EXPECT_EQ(back.Pixel(5, 2), 25);
    EXPECT_EQ(back.Palette[1], (TRgbQuad{200, 100, 50}));
}

TEST(BmpFile, TopDownRowsAndShortColourTables) {
    std::string data = WriteBmp(Sample());
    // Flip the row order in the file and mark the height negative.
    const std::string rows = data.substr(data.size() - 24);
    for (int r = 0; r < 3; ++r) data.replace(data.size() - 24 + 8 * r, 8, rows.substr(8 * (2 - r), 8));
    Put32(data, 22, static_cast<uint32_t>(-3));
    EXPECT_EQ(ReadBmp(data).Pixel(5, 2), 25);
    Put32(data, 46, 2);  // only two colours listed
    EXPECT_EQ(ReadBmp(data).Palette[1], (TRgbQuad{200, 100, 50}));
}

TEST(BmpFile, DamagedOrForeignFilesAreRefusedWithAReason) {
    const std::string good = WriteBmp(Sample());
    auto refused = [](const std::string& data) {
        try {
            ReadBmp(data);
        } catch (const ERenderError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refused("hello"), "Not a BMP file");
    EXPECT_EQ(refused(good.substr(0, good.size() - 9)), "BMP file is truncated");
    std::string deep = good;
    deep[28] = 24;
    EXPECT_EQ(refused(deep), "Only 256 Color Bitmaps supported");
    std::string packed = good;
    Put32(packed, 30, 1);
    EXPECT_EQ(refused(packed), "Compressed BMP files are not supported");
    std::string huge = good;
    Put32(huge, 18, 1u << 20);
    Put32(huge, 22, 1u << 20);
    EXPECT_EQ(refused(huge), "BMP picture is too large");
    std::string flat = good;
    Put32(flat, 22, 0);
    EXPECT_EQ(refused(flat), "BMP picture has no size");
    std::string far = good;
    Put32(far, 10, 0xFFFFFFF0u);
    EXPECT_EQ(refused(far), "BMP file is truncated");
}

TEST(BmpFile, FilesAreNamedInTheirErrors) {
    const auto dir = std::filesystem::temp_directory_path() / "qx_bmp_test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "sheet.bmp").string();
    SaveBmpFile(Sample(), path);
    EXPECT_EQ(LoadBmpFile(path).Pixel(3, 1), 13);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    try {
        LoadBmpFile((dir / "missing.bmp").string());
        FAIL();
    } catch (const ERenderError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.bmp"), std::string::npos);
    }
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace qx
