#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>

namespace qx::art {

// A Windows cursor file (.cur) with one 32 x 32 picture in 32-bit colour and
// its 1-bit mask, and the targeting crosshair the game uses as its cursor.
class TCursorFile {
public:
    static constexpr int kSize = 32;

    // The file bytes for a 32 x 32 ARGB picture; pixels with alpha below 128
    // are transparent in the mask. Throws std::invalid_argument for another
    // size or a hot spot outside the picture.
    static QByteArray Encode(const QImage& picture, QPoint hotSpot);

    // A green ring with four ticks, ringed in black so it shows on any
    // background; its centre pixel is CrosshairHotSpot().
    static QImage Crosshair();
    static QPoint CrosshairHotSpot() { return QPoint(15, 15); }
};

} // namespace qx::art
