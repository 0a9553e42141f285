#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/ColorPalette.h"
#include "render/DIBCanvas.h"
#include "render/qt/QtPlatformCanvas.h"

namespace qx::test {

// A frame over a buffer with guard bytes on both sides, so that a write
// past the frame shows up, and a palette whose entries are all different:
// entry i is (i, 255 - i, (7 i) mod 256).
class FrameFixture : public ::testing::Test {
protected:
    static constexpr int32_t W = 64;
    static constexpr int32_t H = 40;
    static constexpr size_t Guard = 4096;
    static constexpr uint8_t Background = 3;
    static constexpr uint8_t GuardByte = 0xA5;

    TColorPalette palette;
    std::vector<uint8_t> memory;
    TDIBCanvas frame;

    void SetUp() override {
        std::vector<std::string> lines;
        for (int i = 0; i < 256; ++i) lines.push_back(Entry(i));
        palette.SetPaletteEntries(lines);
        memory.assign(Guard + W * H + Guard, GuardByte);
        std::fill(memory.begin() + Guard, memory.begin() + Guard + W * H, Background);
        frame.Attach(memory.data() + Guard, W, H, false);
    }

    static std::string Entry(int i) {
        return std::to_string(i) + "," + std::to_string(255 - i) + "," + std::to_string((7 * i) % 256);
    }
    // The RGB colour of entry i.
    static TColor Color(int i) {
        return RgbColor(static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>((7 * i) % 256));
    }

    uint8_t At(int32_t x, int32_t y) const { return frame.Pixel(x, y); }
    bool GuardsIntact() const {
        for (size_t i = 0; i < Guard; ++i)
            if (memory[i] != GuardByte || memory[Guard + W * H + i] != GuardByte) return false;
        return true;
    }
    int Count(uint8_t index, int32_t left = 0, int32_t top = 0, int32_t right = W, int32_t bottom = H) const {
        int n = 0;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) n += At(x, y) == index;
        return n;
    }
    // Bounding box (Right/Bottom exclusive) of the pixels with the index.
    TRect Box(uint8_t index) const {
        TRect box{W, H, -1, -1};
        for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x)
                if (At(x, y) == index) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
};

} // namespace qx::test
