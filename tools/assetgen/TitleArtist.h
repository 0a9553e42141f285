#pragma once

#include "tools/assetgen/ArtPalette.h"

#include <QImage>
#include <QPainterPath>

#include <vector>

namespace qx::art {

// The title picture: a nebula, a ringed planet and the name "QUORVEX" in
// lettering drawn here (no font needed). The title palette is made from the
// picture: the 236 free entries are the colours that serve it best.
class TTitleArtist {
public:
    static constexpr int kWidth = 640, kHeight = 480;

    // Draws the picture in full colour (once); Palette() and Picture() use it.
    TTitleArtist();

    const TArtPalette& Palette() const { return palette_; }
    // 640 x 480, 8-bit on Palette().
    QImage Picture() const;
    const QImage& FullColour() const { return colour_; }

    // The outline of one letter of the name, in a box 60 wide and 90 high.
    static QPainterPath Letter(char letter);
    // The box the name is drawn in on the picture.
    static QRectF NameBox();

    // Reduces the picture's colours to `count` representative ones (a few
    // rounds of k-means, seeded deterministically).
    static std::vector<QRgb> Quantize(const QImage& picture, int count);

private:
    QImage colour_;
    TArtPalette palette_;
};

} // namespace qx::art
