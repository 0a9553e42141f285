#pragma once

#include "tools/assetgen/ArtPalette.h"

#include <QImage>

namespace qx::art {

// The explosion pictures (patches of them fly apart on the board, so every
// part of the picture is flame, none of it black) and the digit strip of the
// impulse counter.
class TEffectArtist {
public:
    static constexpr int kDigitWidth = 12, kDigitHeight = 15;

    explicit TEffectArtist(const TArtPalette& palette) : palette_(palette) {}

    // size x size, white-hot in the middle, dark red flame at the rim.
    QImage Explosion(int size, unsigned seed) const;
    // 120 x 15: the digits 0..9 as lit segments, the unlit ones faintly showing.
    QImage Digits() const;

    // Which of the seven segments (a..g, bit 0 = top, clockwise, bit 6 =
    // middle) light up for a digit.
    static unsigned Segments(int digit);

private:
    const TArtPalette& palette_;
};

} // namespace qx::art
