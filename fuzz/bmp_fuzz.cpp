// Fuzz target for 8-bit BMP pictures (the sprite sheets, tiles and pictures
// beside the program): any bytes either read as a picture or are refused with
// ERenderError; a picture that reads writes a file that reads back to the
// same pixels and colours.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "render/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::TIndexedBitmap picture;
    try {
        picture = qx::ReadBmp(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const qx::ERenderError&) {
        return -1;
    }
    const qx::TIndexedBitmap again = qx::ReadBmp(qx::WriteBmp(picture));
    if (again.Width() != picture.Width() || again.Height() != picture.Height()) std::abort();
    for (int32_t y = 0; y < picture.Height(); ++y)
        for (int32_t x = 0; x < picture.Width(); ++x)
            if (again.Pixel(x, y) != picture.Pixel(x, y)) std::abort();
    if (again.Palette != picture.Palette) std::abort();
    return 0;
}
