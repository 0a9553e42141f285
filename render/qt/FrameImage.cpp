#include "render/qt/FrameImage.h"

#include <cstring>

#include <QList>

namespace qx {

QImage FrameToImage(const uint8_t* bits, int32_t width, int32_t height, const TColorPalette& palette) {
    if (!bits || width <= 0 || height <= 0) return {};
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull()) return {};
    const auto table = palette.ArgbTable();
    QList<QRgb> colors(table.begin(), table.end());
    image.setColorTable(colors);
    // QImage pads rows to four bytes; copy row by row.
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), bits + static_cast<size_t>(y) * static_cast<size_t>(width),
                    static_cast<size_t>(width));
    return image;
}

void FrameToArgb(const uint8_t* bits, int32_t width, int32_t height, const TColorPalette& palette, uint32_t* out) {
    if (!bits || !out || width <= 0 || height <= 0) return;
    const auto table = palette.ArgbTable();
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) out[i] = table[bits[i]];
}

} // namespace qx
