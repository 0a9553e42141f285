#pragma once

#include <QImage>
#include <QList>

namespace qx::art {

// The program's icon for desktop menus: a gold "Q" over a ringed planet on
// deep space, drawn afresh (smoothly) at each size so small ones stay clear.
class TIconArtist {
public:
    static QList<int> Sizes() { return {16, 32, 48, 64, 128, 256}; }
    // size x size, ARGB with transparent corners.
    static QImage Icon(int size);
};

} // namespace qx::art
