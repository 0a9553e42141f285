#include <gtest/gtest.h>

#include "FrameFixture.h"
#include "render/qt/FrameImage.h"

namespace qx::test {

namespace {

using FrameImageTest = FrameFixture;

TEST_F(FrameImageTest, IndexedImageKeepsTheIndicesAndShowsThePaletteColours) {
    // Six columns: the image pads its rows, the frame does not.
    const int32_t w = 6, h = 3;
    std::vector<uint8_t> bits(w * h);
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<uint8_t>(i * 13);
    const QImage image = FrameToImage(bits.data(), w, h, palette);
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    ASSERT_EQ(image.size(), QSize(w, h));
    EXPECT_EQ(image.colorCount(), 256);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t index = bits[static_cast<size_t>(y * w + x)];
            EXPECT_EQ(image.pixelIndex(x, y), index);
            const TColor rgb = Color(index);
            EXPECT_EQ(image.pixel(x, y), qRgb(rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255));
        }
    EXPECT_TRUE(FrameToImage(nullptr, w, h, palette).isNull());
    EXPECT_TRUE(FrameToImage(bits.data(), 0, h, palette).isNull());
}

TEST_F(FrameImageTest, ArgbConversionGoesThroughThePalette) {
    const uint8_t bits[4] = {0, 1, 128, 255};
    uint32_t out[4] = {};
    FrameToArgb(bits, 2, 2, palette, out);
    for (int i = 0; i < 4; ++i) {
        const TColor rgb = Color(bits[i]);
        EXPECT_EQ(out[i], 0xFF000000u | (rgb & 255) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 255)) << i;
    }
}

} // namespace

} // namespace qx::test
