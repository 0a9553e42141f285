#include "tools/assetgen/CursorFile.h"

#include <QtEndian>

#include <cmath>
#include <stdexcept>

namespace qx::art {

namespace {

void Put16(QByteArray& out, int value)
{
    const quint16 v = qToLittleEndian(static_cast<quint16>(value));
    out.append(reinterpret_cast<const char*>(&v), 2);
}

void Put32(QByteArray& out, qint64 value)
{
    const quint32 v = qToLittleEndian(static_cast<quint32>(value));
    out.append(reinterpret_cast<const char*>(&v), 4);
}

} // namespace

QByteArray TCursorFile::Encode(const QImage& picture, QPoint hotSpot)
{
    if (picture.width() != kSize || picture.height() != kSize)
        throw std::invalid_argument("a cursor picture must be 32 x 32 pixels");
    if (hotSpot.x() < 0 || hotSpot.y() < 0 || hotSpot.x() >= kSize || hotSpot.y() >= kSize)
        throw std::invalid_argument("the cursor's hot spot must lie inside its picture");
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);

    const int colourBytes = kSize * kSize * 4;
    const int maskBytes = kSize * (kSize / 8); // 4 bytes a row, already a multiple of 4
    const int imageBytes = 40 + colourBytes + maskBytes;

    QByteArray out;
    // Directory: reserved, type 2 (cursor), one picture.
    Put16(out, 0);
    Put16(out, 2);
    Put16(out, 1);
    // Entry: size, no palette, hot spot where an icon keeps planes and bit count.
    out.append(static_cast<char>(kSize));
    out.append(static_cast<char>(kSize));
    out.append('\0');
    out.append('\0');
    Put16(out, hotSpot.x());
    Put16(out, hotSpot.y());
    Put32(out, imageBytes);
    Put32(out, 6 + 16);
    // Bitmap header: the height counts the colour rows and the mask rows.
    Put32(out, 40);
    Put32(out, kSize);
    Put32(out, 2 * kSize);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, colourBytes + maskBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    // Rows bottom up; colour as blue, green, red, alpha.
    for (int y = kSize - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < kSize; ++x) {
            const bool opaque = qAlpha(line[x]) >= 128;
            out.append(static_cast<char>(opaque ? qBlue(line[x]) : 0));
            out.append(static_cast<char>(opaque ? qGreen(line[x]) : 0));
            out.append(static_cast<char>(opaque ? qRed(line[x]) : 0));
            out.append(static_cast<char>(opaque ? 255 : 0));
        }
    }
    // Mask: a set bit lets the screen show through.
    for (int y = kSize - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int byte = 0; byte < kSize / 8; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (qAlpha(line[byte * 8 + bit]) < 128)
                    bits |= 0x80u >> bit;
            out.append(static_cast<char>(bits));
        }
    }
    return out;
}

QImage TCursorFile::Crosshair()
{
    const QPoint hot = CrosshairHotSpot();
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb green = qRgb(80, 255, 120);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const int dx = x - hot.x(), dy = y - hot.y();
            const double d = std::hypot(dx, dy);
            const bool ring = std::abs(d - 9.0) < 0.75;
            // Ticks on the axes, through the ring, with a gap around the centre.
            const bool tick = (dx == 0 && std::abs(dy) >= 4 && std::abs(dy) <= 13) ||
                              (dy == 0 && std::abs(dx) >= 4 && std::abs(dx) <= 13);
            if (ring || tick || (dx == 0 && dy == 0))
                image.setPixel(x, y, green);
        }
    // A black rim around every green pixel.
    const QImage shape = image.copy();
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            if (qAlpha(shape.pixel(x, y)) != 0)
                continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < kSize && ny < kSize && qAlpha(shape.pixel(nx, ny)) != 0)
                        image.setPixel(x, y, qRgb(0, 0, 0));
                }
        }
    return image;
}

} // namespace qx::art
