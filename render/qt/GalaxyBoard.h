#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include "render/BitmapSpriteFactory.h"
#include "render/ColorPalette.h"
#include "render/IndexedBitmap.h"
#include "render/SpriteEngine.h"
#include "render/SquareGridSpriteSurface.h"

namespace qx {

class TCharMatrix;
class TQuorvexEngine;

// The pictures the board is drawn from, as the art generator writes them
// into the program's data folder.
struct TBoardArt {
    TColorPalette Palette;
    TIndexedBitmap StarShips;    // 46 x 10 cells of 30 x 30
    TIndexedBitmap StarSystems;  // 1 x 12 cells of 32 x 30
    TIndexedBitmap Wormhole;     // 8 frames of 30 x 30
    TIndexedBitmap Tiles;        // 40 x 6 tiles of 30 x 30

    // Reads MainPalette.txt, StarShips.bmp, StarSystems.bmp, Wormhole.bmp and
    // Tiles.bmp from Folder. Throws ERenderError naming the file that is
    // missing or damaged.
    void Load(const std::string& folder);
};

// The galaxy board as the game window sets it up, without a window: the
// square-grid surface with its four sprite engines, one sprite per
// StarSystem, StarShip and wormhole of a game, the background tiles, and
// Qt's text and ellipses in the frame. Used by the snapshot tool and the
// rendering benchmark.
//
// The game objects' Sprite links point at this board's sprites: the game
// engine must outlive the board (the board clears the links when it goes).
class TGalaxyBoard {
public:
    static constexpr int32_t CellSize = 30;

    explicit TGalaxyBoard(TBoardArt& art);
    ~TGalaxyBoard();
    TGalaxyBoard(const TGalaxyBoard&) = delete;
    TGalaxyBoard& operator=(const TGalaxyBoard&) = delete;

    // Drops the previous game's sprites and makes new ones for Engine's
    // objects; Map gives the background (open space or nebula per cell) and
    // may be null. Draws from the engine's current player's point of view.
    void Show(TQuorvexEngine& engine, const TCharMatrix* map);
    // The part of the virtual plane (pixels) shown in the frame. The frame
    // is at least 4 x 1 pixels; its width is a multiple of 4, so the view's
    // own width is kept separately for the picture.
    void SetView(int32_t x, int32_t y, int32_t width, int32_t height);
    void RenderFrames(int32_t count);
    // The last frame as an indexed picture the size of the view (null
    // before the first frame).
    QImage Picture() const;

    TSquareGridSpriteSurface& Surface() { return Surface_; }
    TSpriteEngine& StarSystems() { return StarSystems_; }
    TSpriteEngine& StarShips() { return StarShips_; }
    TSpriteEngine& Explosions() { return Explosions_; }
    TSpriteEngine& Wormholes() { return Wormholes_; }
    // Background tile of a cell (column + 40 x row of the tile sheet).
    uint8_t BackgroundTile(int32_t cellX, int32_t cellY) const;

private:
    void ClearLinks();

    TBoardArt& Art_;
    TSquareGridSpriteSurface Surface_;
    TSpriteEngine StarSystems_;
    TSpriteEngine StarShips_;
    TSpriteEngine Explosions_;
    TSpriteEngine Wormholes_;
    TBitmapSpriteFactory WormholeFactory_;
    TQuorvexEngine* Game_ = nullptr;
    std::vector<uint8_t> Background_;
    int32_t ViewWidth_ = 0;
    int32_t ViewHeight_ = 0;
};

} // namespace qx
