#include "tests/assetgen/AssetFiles.h"

#include <QFile>

#include <gtest/gtest.h>

namespace qx::art::test {

namespace {

std::uint32_t U32(const QByteArray& b, int at)
{
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
int U16(const QByteArray& b, int at) { return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8; }

} // namespace

QString DataPath(const QString& name) { return QStringLiteral(QX_BINARY_DIR "/data/") + name; }

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

TBmpInfo ReadBmpInfo(const QByteArray& file)
{
    TBmpInfo info;
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return info;
    info.pixelOffset = U32(file, 10);
    const std::uint32_t headerSize = U32(file, 14);
    info.width = static_cast<std::int32_t>(U32(file, 18));
    info.height = static_cast<std::int32_t>(U32(file, 22));
    info.bitCount = U16(file, 28);
    info.compression = U32(file, 30);
    info.coloursUsed = U32(file, 46);
    const int entries = info.coloursUsed == 0 ? 256 : static_cast<int>(info.coloursUsed);
    const int tableAt = 14 + static_cast<int>(headerSize);
    if (file.size() < tableAt + 4 * entries)
        return info;
    for (int i = 0; i < entries; ++i) {
        const int at = tableAt + 4 * i;
        info.colourTable.push_back(qRgb(static_cast<std::uint8_t>(file[at + 2]), static_cast<std::uint8_t>(file[at + 1]),
                                        static_cast<std::uint8_t>(file[at])));
    }
    info.valid = true;
    return info;
}

int TBmpInfo::Pixel(const QByteArray& file, int x, int y) const
{
    const int pitch = (width + 3) / 4 * 4;
    const int row = height > 0 ? height - 1 - y : y; // positive height: bottom row first
    return static_cast<std::uint8_t>(file[static_cast<int>(pixelOffset) + row * pitch + x]);
}

QImage LoadIndexed(const QString& name)
{
    QImage image(DataPath(name));
    EXPECT_FALSE(image.isNull()) << name.toStdString() << " does not load";
    EXPECT_EQ(image.format(), QImage::Format_Indexed8) << name.toStdString();
    return image;
}

TArtPalette LoadPalette(const QString& name)
{
    return TArtPalette::FromText(ReadBytes(DataPath(name)).toStdString());
}

std::vector<bool> Mask(const QImage& sheet, int x, int y, int w, int h)
{
    std::vector<bool> mask;
    mask.reserve(static_cast<std::size_t>(w * h));
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            mask.push_back(sheet.pixelIndex(col, row) != 0);
    return mask;
}

int Count(const std::vector<bool>& mask)
{
    int n = 0;
    for (bool b : mask)
        n += b ? 1 : 0;
    return n;
}

int Difference(const std::vector<bool>& a, const std::vector<bool>& b)
{
    int n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += a[i] != b[i] ? 1 : 0;
    return n;
}

} // namespace qx::art::test
