#pragma once

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

namespace qx {

// A picture from a Windows cursor file (.cur) with its hot spot, which Qt's
// own reader drops. Reads the first picture of the file: uncompressed
// bitmaps of 1, 4, 8, 24 or 32 bits with their transparency mask.
struct TCursorPicture {
    QImage Picture;  // ARGB, transparent where the mask says so
    QPoint HotSpot;
};

class TCursorReader {
public:
    // Nothing for anything that is not such a file, whatever the bytes.
    static std::optional<TCursorPicture> Decode(const QByteArray& bytes);
    static std::optional<TCursorPicture> Load(const QString& path);
};

} // namespace qx
