#include "tests/assetgen/AssetFiles.h"

#include "tools/assetgen/AssetWriter.h"
#include "tools/assetgen/CursorFile.h"

#include <QBuffer>
#include <QDirIterator>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qx::art {
namespace {

using test::DataPath;
using test::ReadBmpInfo;
using test::ReadBytes;

struct TExpectedPicture {
    const char* name;
    int width, height;
    const char* palette;
};

const TExpectedPicture kPictures[] = {
    {"StarShips.bmp", 1380, 300, "MainPalette.txt"},  {"StarSystems.bmp", 32, 360, "MainPalette.txt"},
    {"Wormhole.bmp", 240, 30, "MainPalette.txt"},     {"Tiles.bmp", 1200, 180, "MainPalette.txt"},
    {"Explosion200.bmp", 200, 200, "MainPalette.txt"}, {"Explosion100.bmp", 100, 100, "MainPalette.txt"},
    {"Digits.bmp", 120, 15, "MainPalette.txt"},       {"TitleScreen.bmp", 640, 480, "TitlePalette.txt"},
};

TEST(AssetgenDataPictures, AreUncompressed8BitBmpsWithTheirPalette)
{
    for (const TExpectedPicture& expected : kPictures) {
        SCOPED_TRACE(expected.name);
        const QByteArray file = ReadBytes(DataPath(expected.name));
        const test::TBmpInfo info = ReadBmpInfo(file);
        ASSERT_TRUE(info.valid);
        EXPECT_EQ(info.width, expected.width);
        EXPECT_EQ(info.height, expected.height); // positive: rows stored bottom up
        EXPECT_EQ(info.bitCount, 8);
        EXPECT_EQ(info.compression, 0u);
        EXPECT_EQ(info.width % 4, 0) << "the 8-bit canvas needs widths in multiples of 4";
        EXPECT_GE(file.size(), static_cast<qsizetype>(info.pixelOffset) + qsizetype(info.width) * info.height);

        const TArtPalette palette = test::LoadPalette(expected.palette);
        ASSERT_EQ(info.colourTable.size(), 256u);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(info.colourTable[static_cast<std::size_t>(i)], palette[i]) << "colour table entry " << i;

        // Qt reads it back as the same 8-bit picture.
        const QImage image = test::LoadIndexed(expected.name);
        EXPECT_EQ(image.size(), QSize(expected.width, expected.height));
        EXPECT_EQ(image.pixelIndex(0, expected.height - 1), info.Pixel(file, 0, expected.height - 1));
        EXPECT_EQ(image.pixelIndex(expected.width / 2, 3), info.Pixel(file, expected.width / 2, 3));
    }
}

TEST(AssetgenDataPictures, SpriteSheetsAreTransparentAtTheirBottomLeftPixel)
{
    // A sprite takes its transparent entry from that pixel; entry 0 is what
    // every sheet leaves around its shapes.
    for (const char* name : {"StarShips.bmp", "StarSystems.bmp", "Wormhole.bmp"}) {
        const QByteArray file = ReadBytes(DataPath(name));
        const test::TBmpInfo info = ReadBmpInfo(file);
        ASSERT_TRUE(info.valid) << name;
        EXPECT_EQ(info.Pixel(file, 0, info.height - 1), 0) << name;
    }
}

TEST(AssetgenTargetCursor, IsAWindowsCursorQtCanLoad)
{
    const QByteArray file = ReadBytes(DataPath("TARGET.CUR"));
    ASSERT_GE(file.size(), 22 + 40);
    EXPECT_EQ(file[0], 0);
    EXPECT_EQ(file[2], 2) << "type 2 marks a cursor, 1 an icon";
    EXPECT_EQ(file[4], 1);
    EXPECT_EQ(static_cast<uchar>(file[6]), 32u);
    EXPECT_EQ(file[10], 15) << "hot spot x";
    EXPECT_EQ(file[12], 15) << "hot spot y";

    QImageReader reader(DataPath("TARGET.CUR"), "cur");
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(32, 32));
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QPoint hot = TCursorFile::CrosshairHotSpot();
    EXPECT_EQ(qAlpha(argb.pixel(hot)), 255) << "the hot spot must show where the cursor aims";
    EXPECT_GT(qGreen(argb.pixel(hot)), 200);
    EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(argb.pixel(31, 31)), 0);
    EXPECT_EQ(qAlpha(argb.pixel(hot.x() + 2, hot.y() + 2)), 0) << "the aim point stands clear of the cross";
}

TEST(AssetgenCursorEncoding, MasksWhatIsTransparentAndRefusesBadInput)
{
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(0, 0, qRgb(255, 0, 0)); // top left opaque
    const QByteArray bytes = TCursorFile::Encode(picture, QPoint(0, 0));
    const int colours = 22 + 40, mask = colours + 32 * 32 * 4;
    ASSERT_EQ(bytes.size(), mask + 32 * 4);
    // The top row is stored last; its first pixel is opaque, so its mask bit is clear.
    const int topRow = 31;
    EXPECT_EQ(static_cast<uchar>(bytes[mask + topRow * 4]), 0x7Fu);
    EXPECT_EQ(static_cast<uchar>(bytes[mask]), 0xFFu);
    EXPECT_EQ(static_cast<uchar>(bytes[colours + topRow * 128 + 2]), 255u) << "red";
    EXPECT_EQ(static_cast<uchar>(bytes[colours + topRow * 128 + 3]), 255u) << "alpha";

    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "cur");
    const QImage back = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(back.pixel(1, 0)), 0);

    EXPECT_THROW(TCursorFile::Encode(QImage(16, 16, QImage::Format_ARGB32), QPoint(0, 0)), std::invalid_argument);
    EXPECT_THROW(TCursorFile::Encode(picture, QPoint(32, 4)), std::invalid_argument);
    EXPECT_THROW(TCursorFile::Encode(picture, QPoint(-1, 4)), std::invalid_argument);
}

TEST(AssetgenAssetWriter, WritesTheSameFilesEveryTimeAndNothingElse)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QStringList written = TAssetWriter(folder.path()).WriteAll(false);
    EXPECT_EQ(written, TAssetWriter::DataFiles());

    QStringList found;
    QDirIterator it(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder.path()).relativeFilePath(it.next());
    found.sort();
    QStringList expected = TAssetWriter::DataFiles();
    expected.sort();
    EXPECT_EQ(found, expected) << "no stray or temporary files";

    // A second run (this one) gives the very bytes the build wrote.
    for (const QString& name : TAssetWriter::DataFiles())
        EXPECT_TRUE(ReadBytes(QDir(folder.path()).filePath(name)) == ReadBytes(DataPath(name))) << name.toStdString();
}

TEST(AssetgenAssetWriter, ReportsAFolderItCannotCreate)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile blocker(QDir(folder.path()).filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(TAssetWriter(QDir(folder.path()).filePath("file/sub")).WriteAll(false), std::runtime_error);
}

} // namespace
} // namespace qx::art
