#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace qx {

class ERenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One colour of an image's own colour table.
struct TRgbQuad {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    friend bool operator==(const TRgbQuad&, const TRgbQuad&) = default;
};

// An 8-bit, 256-colour picture laid out like a device-independent bitmap:
// memory row 0 is the bottom picture row and every row is padded to a
// multiple of four bytes. Sprite sheets, tile sheets and explosion pictures
// are such bitmaps; a TDIBCanvas borrows their pixels.
class TIndexedBitmap {
public:
    TIndexedBitmap() = default;
    TIndexedBitmap(int32_t width, int32_t height, uint8_t fill = 0) { SetSize(width, height, fill); }

    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    int32_t RowPitch() const { return (Width_ + 3) / 4 * 4; }
    bool Empty() const { return Width_ <= 0 || Height_ <= 0; }

    // Drops the old pixels; negative sizes count as 0.
    void SetSize(int32_t width, int32_t height, uint8_t fill = 0) {
        Width_ = width < 0 ? 0 : width;
        Height_ = height < 0 ? 0 : height;
        Bits_.assign(static_cast<size_t>(RowPitch()) * static_cast<size_t>(Height_), fill);
    }

    // The first byte of pixel memory: the bottom row's left pixel.
    uint8_t* Bits() { return Bits_.data(); }
    const uint8_t* Bits() const { return Bits_.data(); }

    // Picture coordinates (y downward); outside the picture reads give 0 and
    // writes are ignored.
    uint8_t Pixel(int32_t x, int32_t y) const {
        if (!Inside(x, y)) return 0;
        return Bits_[Offset(x, y)];
    }
    void SetPixel(int32_t x, int32_t y, uint8_t index) {
        if (Inside(x, y)) Bits_[Offset(x, y)] = index;
    }

    std::array<TRgbQuad, 256> Palette{};
    // The picture's own transparency setting, copied by the sprites drawn from it.
    bool Transparent = false;
    // A name for messages ("Palette Data Loaded from TImage <name>").
    std::string Name;

private:
    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < Width_ && y < Height_; }
    size_t Offset(int32_t x, int32_t y) const {
        return static_cast<size_t>(Height_ - 1 - y) * static_cast<size_t>(RowPitch()) + static_cast<size_t>(x);
    }

    int32_t Width_ = 0;
    int32_t Height_ = 0;
    std::vector<uint8_t> Bits_;
};

} // namespace qx
