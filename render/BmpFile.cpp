#include "render/BmpFile.h"

#include "base/AtomicFile.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

namespace qx {

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
// Larger pictures are not art of this game: refuse rather than allocate.
constexpr int64_t kMaxPixels = int64_t{1} << 26;

uint32_t U32(std::string_view d, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(d[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(d[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(d[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d[at + 3])) << 24;
}
uint16_t U16(std::string_view d, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(d[at]) | static_cast<uint8_t>(d[at + 1]) << 8);
}

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 255));
}
void Put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 255));
    out.push_back(static_cast<char>(v >> 8));
}

} // namespace

TIndexedBitmap ReadBmp(std::string_view d) {
    if (d.size() < kFileHeader + kInfoHeader || d[0] != 'B' || d[1] != 'M') throw ERenderError("Not a BMP file");
    const uint32_t pixelOffset = U32(d, 10);
    const uint32_t infoSize = U32(d, 14);
    if (infoSize < kInfoHeader) throw ERenderError("Unsupported BMP header");
    const auto width = static_cast<int32_t>(U32(d, 18));
    const auto rawHeight = static_cast<int32_t>(U32(d, 22));
    if (U16(d, 28) != 8) throw ERenderError("Only 256 Color Bitmaps supported");
    if (U32(d, 30) != 0) throw ERenderError("Compressed BMP files are not supported");
    const uint32_t colours = U32(d, 46) == 0 ? 256 : U32(d, 46);
    if (colours > 256) throw ERenderError("BMP colour table has more than 256 entries");
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) throw ERenderError("BMP picture has no size");
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (int64_t{width} * height > kMaxPixels) throw ERenderError("BMP picture is too large");

    const size_t tableAt = kFileHeader + infoSize;
    const size_t pitch = (static_cast<size_t>(width) + 3) / 4 * 4;
    // Some writers leave the last row unpadded.
    const size_t pixelBytes = pitch * static_cast<size_t>(height - 1) + static_cast<size_t>(width);
    if (tableAt > d.size() || (d.size() - tableAt) / 4 < colours || pixelOffset > d.size() ||
        d.size() - pixelOffset < pixelBytes)
        throw ERenderError("BMP file is truncated");

    TIndexedBitmap bitmap(width, height);
    for (uint32_t i = 0; i < colours; ++i) {
        const size_t at = tableAt + 4 * i;
        bitmap.Palette[i] = {static_cast<uint8_t>(d[at + 2]), static_cast<uint8_t>(d[at + 1]),
                             static_cast<uint8_t>(d[at])};
    }
    // Memory rows of the bitmap are bottom-up with the same padding.
    for (int32_t row = 0; row < height; ++row) {
        const int32_t memoryRow = topDown ? height - 1 - row : row;
        std::memcpy(bitmap.Bits() + static_cast<size_t>(memoryRow) * pitch,
                    d.data() + pixelOffset + static_cast<size_t>(row) * pitch, static_cast<size_t>(width));
    }
    return bitmap;
}

std::string WriteBmp(const TIndexedBitmap& bitmap) {
    const size_t pitch = static_cast<size_t>(bitmap.RowPitch());
    const size_t pixels = pitch * static_cast<size_t>(bitmap.Height());
    const auto offset = static_cast<uint32_t>(kFileHeader + kInfoHeader + 256 * 4);
    std::string out;
    out.reserve(offset + pixels);
    out += "BM";
    Put32(out, static_cast<uint32_t>(offset + pixels));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, kInfoHeader);
    Put32(out, static_cast<uint32_t>(bitmap.Width()));
    Put32(out, static_cast<uint32_t>(bitmap.Height()));
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(pixels));
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 256);
    Put32(out, 0);
    for (const TRgbQuad& c : bitmap.Palette) {
        out.push_back(static_cast<char>(c.Blue));
        out.push_back(static_cast<char>(c.Green));
        out.push_back(static_cast<char>(c.Red));
        out.push_back(0);
    }
    out.append(reinterpret_cast<const char*>(bitmap.Bits()), pixels);
    return out;
}

TIndexedBitmap LoadBmpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ERenderError("Cannot open " + path);
    std::ostringstream data;
    data << in.rdbuf();
    try {
        TIndexedBitmap bitmap = ReadBmp(data.str());
        bitmap.Name = path;
        return bitmap;
    } catch (const ERenderError& e) {
        throw ERenderError(path + ": " + e.what());
    }
}

void SaveBmpFile(const TIndexedBitmap& bitmap, const std::string& path) {
    // A failed or interrupted write never leaves half a picture under the real name.
    try {
        WriteFileAtomically(path, WriteBmp(bitmap));
    } catch (const std::exception&) {
        throw ERenderError("Cannot write " + path);
    }
}

} // namespace qx
