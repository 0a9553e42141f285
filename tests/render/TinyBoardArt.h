#pragma once

#include "render/BoardArt.h"

namespace qx::test {

// Board pictures of the right sizes for tests that need a board but not
// what it shows.
inline TBoardArt& BoardArt() {
    static TBoardArt* art = [] {
        auto* a = new TBoardArt;
        a->StarShips = TIndexedBitmap(1380, 300, 1);
        a->StarSystems = TIndexedBitmap(32, 360, 2);
        a->Wormhole = TIndexedBitmap(240, 30, 3);
        a->Tiles = TIndexedBitmap(1200, 180, 4);
        a->Explosion200 = TIndexedBitmap(200, 200, 5);
        a->Explosion100 = TIndexedBitmap(100, 100, 6);
        return a;
    }();
    return *art;
}

} // namespace qx::test
