#pragma once

#include <string>

#include "render/ColorPalette.h"
#include "render/IndexedBitmap.h"

namespace qx {

// The pictures the board is drawn from, as the art generator writes them
// into the program's data folder.
struct TBoardArt {
    TColorPalette Palette;
    TIndexedBitmap StarShips;     // 46 x 10 cells of 30 x 30
    TIndexedBitmap StarSystems;   // 1 x 12 cells of 32 x 30
    TIndexedBitmap Wormhole;      // 8 frames of 30 x 30
    TIndexedBitmap Tiles;         // 40 x 6 tiles of 30 x 30
    TIndexedBitmap Explosion200;  // a ship blowing up
    TIndexedBitmap Explosion100;  // a star system under attack

    // Reads MainPalette.txt, StarShips.bmp, StarSystems.bmp, Wormhole.bmp,
    // Tiles.bmp, Explosion200.bmp and Explosion100.bmp from `folder`. Throws
    // ERenderError naming the file that is missing or damaged.
    void Load(const std::string& folder);
};

} // namespace qx
