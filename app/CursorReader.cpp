#include "app/CursorReader.h"

#include <QFile>

namespace qx {

namespace {

// Little-endian reads that refuse to go past the end.
class TReader {
public:
    explicit TReader(const QByteArray& bytes) : bytes_(bytes) {}
    bool Has(qint64 offset, qint64 count) const {
        return offset >= 0 && count >= 0 && offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    quint32 U8(qint64 at) const { return static_cast<quint8>(bytes_[at]); }
    quint32 U16(qint64 at) const { return U8(at) | U8(at + 1) << 8; }
    quint32 U32(qint64 at) const { return U16(at) | U16(at + 2) << 16; }
    qint32 I32(qint64 at) const { return static_cast<qint32>(U32(at)); }

private:
    const QByteArray& bytes_;
};

constexpr int kMaxSide = 256;

} // namespace

std::optional<TCursorPicture> TCursorReader::Decode(const QByteArray& bytes) {
    const TReader in(bytes);
    // Directory: reserved 0, type 2 (cursor), at least one entry.
    if (!in.Has(0, 6 + 16) || in.U16(0) != 0 || in.U16(2) != 2 || in.U16(4) < 1) return std::nullopt;
    const QPoint hotSpot(static_cast<int>(in.U16(10)), static_cast<int>(in.U16(12)));
    const qint64 size = in.U32(14);
    const qint64 offset = in.U32(18);
    if (!in.Has(offset, size) || !in.Has(offset, 40)) return std::nullopt;

    // The bitmap header; the height counts colour and mask rows.
    const qint64 header = in.U32(offset);
    const qint32 width = in.I32(offset + 4);
    const qint32 doubleHeight = in.I32(offset + 8);
    const quint32 planes = in.U16(offset + 12);
    const quint32 bits = in.U16(offset + 14);
    const quint32 compression = in.U32(offset + 16);
    quint32 paletteSize = in.U32(offset + 32);
    if (header < 40 || header > size || planes != 1 || compression != 0) return std::nullopt;
    if (width < 1 || width > kMaxSide || doubleHeight < 2 || doubleHeight > 2 * kMaxSide || doubleHeight % 2)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
    const int height = doubleHeight / 2;
    if (bits <= 8) {
        if (paletteSize == 0) paletteSize = 1u << bits;
        if (paletteSize > (1u << bits)) return std::nullopt;
    } else {
        paletteSize = 0;
    }
    const qint64 paletteAt = offset + header;
    const qint64 colourStride = ((static_cast<qint64>(width) * bits + 31) / 32) * 4;
    const qint64 maskStride = ((static_cast<qint64>(width) + 31) / 32) * 4;
    const qint64 colourAt = paletteAt + 4 * static_cast<qint64>(paletteSize);
    const qint64 maskAt = colourAt + colourStride * height;
    if (!in.Has(paletteAt, maskAt + maskStride * height - paletteAt)) return std::nullopt;
    if (maskAt + maskStride * height > offset + size) return std::nullopt;
    if (hotSpot.x() >= width || hotSpot.y() >= height) return std::nullopt;

    const auto paletteColour = [&](quint32 index) -> QRgb {
        if (index >= paletteSize) return qRgb(0, 0, 0);
        const qint64 at = paletteAt + 4 * static_cast<qint64>(index);
        return qRgb(static_cast<int>(in.U8(at + 2)), static_cast<int>(in.U8(at + 1)), static_cast<int>(in.U8(at)));
    };
    // A 32-bit picture whose alpha is all zero predates alpha: only the mask counts.
    bool anyAlpha = false;
    if (bits == 32)
        for (int y = 0; y < height && !anyAlpha; ++y)
            for (int x = 0; x < width; ++x)
                if (in.U8(colourAt + colourStride * y + 4 * x + 3) != 0) {
                    anyAlpha = true;
                    break;
                }

    QImage picture(width, height, QImage::Format_ARGB32);
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // stored bottom up
        const qint64 line = colourAt + colourStride * row;
        const qint64 maskLine = maskAt + maskStride * row;
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb colour = 0;
            int alpha = 255;
            switch (bits) {
            case 1: colour = paletteColour((in.U8(line + x / 8) >> (7 - x % 8)) & 1); break;
            case 4: colour = paletteColour((in.U8(line + x / 2) >> (x % 2 ? 0 : 4)) & 15); break;
            case 8: colour = paletteColour(in.U8(line + x)); break;
            case 24:
                colour = qRgb(static_cast<int>(in.U8(line + 3 * x + 2)), static_cast<int>(in.U8(line + 3 * x + 1)),
                              static_cast<int>(in.U8(line + 3 * x)));
                break;
            default:
                colour = qRgb(static_cast<int>(in.U8(line + 4 * x + 2)), static_cast<int>(in.U8(line + 4 * x + 1)),
                              static_cast<int>(in.U8(line + 4 * x)));
                if (anyAlpha) alpha = static_cast<int>(in.U8(line + 4 * x + 3));
                break;
            }
            const bool screenShows = (in.U8(maskLine + x / 8) >> (7 - x % 8)) & 1;
            if (screenShows) alpha = 0;
            out[x] = qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha);
        }
    }
    return TCursorPicture{picture, hotSpot};
}

std::optional<TCursorPicture> TCursorReader::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return Decode(file.read(1024 * 1024));
}

} // namespace qx
