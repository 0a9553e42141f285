#include <gtest/gtest.h>

#include <random>

#include <QFile>

#include "app/CursorReader.h"
#include "tests/app/AppFixture.h"

namespace qx {
namespace {

void Put16(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 255));
    out.append(static_cast<char>((v >> 8) & 255));
}
void Put32(QByteArray& out, qint64 v) {
    Put16(out, static_cast<int>(v & 0xFFFF));
    Put16(out, static_cast<int>((v >> 16) & 0xFFFF));
}

// A 16 x 16 cursor of one bit per pixel: white where x == y, black elsewhere,
// the right half transparent, hot spot (3, 5).
QByteArray OneBitCursor() {
    const int size = 16, stride = 4;  // 16 bits padded to 4 bytes
    QByteArray image;
    Put32(image, 40);
    Put32(image, size);
    Put32(image, 2 * size);
    Put16(image, 1);
    Put16(image, 1);
    for (int i = 0; i < 6; ++i) Put32(image, 0);
    Put32(image, 0x000000);  // palette: black, white
    Put32(image, 0xFFFFFF);
    for (int row = 0; row < size; ++row) {  // bottom up
        const int y = size - 1 - row;
        QByteArray line(stride, 0);
        line[y / 8] = static_cast<char>(static_cast<quint8>(line[y / 8]) | (0x80 >> (y % 8)));
        image += line;
    }
    for (int row = 0; row < size; ++row) image += QByteArray("\x00\xFF\x00\x00", 4);  // x 8..15 see through
    QByteArray file;
    Put16(file, 0);
    Put16(file, 2);
    Put16(file, 1);
    file.append(static_cast<char>(size));
    file.append(static_cast<char>(size));
    file.append('\0');
    file.append('\0');
    Put16(file, 3);
    Put16(file, 5);
    Put32(file, image.size());
    Put32(file, 22);
    return file + image;
}

TEST(CursorReader, GeneratedTargetCursorKeepsItsHotSpot) {
    QFile file(test::BuildData() + "/TARGET.CUR");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the build draws TARGET.CUR";
    const std::optional<TCursorPicture> cursor = TCursorReader::Decode(file.readAll());
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->Picture.size(), QSize(32, 32));
    EXPECT_EQ(cursor->HotSpot, QPoint(15, 15));
    EXPECT_EQ(qAlpha(cursor->Picture.pixel(0, 0)), 0) << "the corners are transparent";
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) opaque += qAlpha(cursor->Picture.pixel(x, y)) == 255;
    EXPECT_GT(opaque, 30);
    EXPECT_LT(opaque, 32 * 32 / 2);
}

TEST(CursorReader, PalettedPicturesRowsAndMask) {
    const std::optional<TCursorPicture> cursor = TCursorReader::Decode(OneBitCursor());
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->HotSpot, QPoint(3, 5));
    EXPECT_EQ(cursor->Picture.pixel(2, 2), qRgba(255, 255, 255, 255)) << "rows are stored bottom up";
    EXPECT_EQ(cursor->Picture.pixel(2, 3), qRgba(0, 0, 0, 255));
    EXPECT_EQ(qAlpha(cursor->Picture.pixel(9, 9)), 0) << "the mask lets the screen show";
    EXPECT_EQ(qAlpha(cursor->Picture.pixel(7, 9)), 255);
}

TEST(CursorReader, RefusesWhatIsNotACursorWhateverTheBytes) {
    EXPECT_FALSE(TCursorReader::Decode(QByteArray()));
    EXPECT_FALSE(TCursorReader::Load("/nonexistent/TARGET.CUR"));
    QByteArray icon = OneBitCursor();
    icon[2] = 1;  // an icon, not a cursor
    EXPECT_FALSE(TCursorReader::Decode(icon));
    QByteArray hotOutside = OneBitCursor();
    hotOutside[10] = 40;
    EXPECT_FALSE(TCursorReader::Decode(hotOutside));

    // Every truncation and thousands of random corruptions decode or are
    // refused; none reads outside the bytes (checked under the sanitizers).
    QFile file(test::BuildData() + "/TARGET.CUR");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    for (qsizetype length = 0; length < good.size(); length += 7)
        EXPECT_FALSE(TCursorReader::Decode(good.left(length))) << length;
    std::mt19937 random(20240611);
    int decoded = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = round % 2 ? good : OneBitCursor();
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            // Mostly the headers, where a wrong number does harm.
            const qsizetype at = random() % 3 ? random() % 70 : random() % bytes.size();
            bytes[at] = static_cast<char>(random());
        }
        if (const std::optional<TCursorPicture> cursor = TCursorReader::Decode(bytes)) {
            ++decoded;
            EXPECT_FALSE(cursor->Picture.isNull());
            EXPECT_TRUE(cursor->Picture.rect().contains(cursor->HotSpot));
        }
    }
    EXPECT_GT(decoded, 0);
}

} // namespace
} // namespace qx
