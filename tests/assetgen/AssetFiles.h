#pragma once

#include "tools/assetgen/ArtPalette.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace qx::art::test {

// The folder the build wrote the data files into.
QString DataPath(const QString& name);
QByteArray ReadBytes(const QString& path);

// What an 8-bit BMP's own headers say, read byte by byte (not through Qt).
struct TBmpInfo {
    bool valid = false;
    std::int32_t width = 0, height = 0;
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t pixelOffset = 0;
    std::vector<QRgb> colourTable;
    // Index of the pixel at (x, y), y counted from the top of the picture.
    int Pixel(const QByteArray& file, int x, int y) const;
};
TBmpInfo ReadBmpInfo(const QByteArray& file);

// A data picture through Qt, as the game loads it; fails the test when it
// cannot be read as an 8-bit picture.
QImage LoadIndexed(const QString& name);
TArtPalette LoadPalette(const QString& name);

// Opaque (non-zero) pixels of a rectangle, as a bit mask in row order.
std::vector<bool> Mask(const QImage& sheet, int x, int y, int w, int h);
int Count(const std::vector<bool>& mask);
int Difference(const std::vector<bool>& a, const std::vector<bool>& b);

} // namespace qx::art::test
