#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/Object.h"

#include "base/MainThreadExecutor.h"
#include "base/Random.h"
#include "render/BitmapSpriteFactory.h"
#include "render/BoardArt.h"
#include "render/BoardEffects.h"
#include "render/DestinationSpriteMover.h"
#include "render/SpriteEngine.h"
#include "render/SquareGridSpriteSurface.h"

namespace qx {

class TPlayer;
class TQuorvexEngine;
class TStarShip;
class TStarSystem;
class TWormhole;

// The galaxy board: the square-grid surface with its four layers (star
// systems, ships, effects, wormholes), one sprite per game object, the
// background tiles, and the sprite steps that follow the engine's events.
// The game window, qxtool snapshot and the tests share it; the window adds
// the rest of the presentation (sounds, alerts, messages) around it.
//
// Game objects' Sprite fields point at this board's sprites. Clear() drops
// and unlinks every sprite and must run before the game's objects are
// freed: Follow() does that by itself when the engine clears its game. The
// engine must outlive the board.
class TGameBoard {
public:
    static constexpr int32_t CellSize = 30;
    static constexpr int32_t TilesPerRow = 40;

    // `canvasFactory` draws text and ellipses into the frame (none: they are
    // left out); `executor` runs the frame thread's frames on the main thread
    // (none: frames are rendered only by RenderFrames).
    TGameBoard(TBoardArt& art, TSpriteSurface::TPlatformCanvasFactory canvasFactory,
               std::shared_ptr<IMainThreadExecutor> executor = nullptr);
    ~TGameBoard();
    TGameBoard(const TGameBoard&) = delete;
    TGameBoard& operator=(const TGameBoard&) = delete;

    // The generator of everything this board only shows (facings, flicker,
    // effects, background tiles). The owner may share its own.
    TRandom& PresentationRandom() const { return Surface_.PresentationRandom(); }
    void SetPresentationRandom(TRandom* random) { Surface_.SetPresentationRandom(random); }

    // Shows `engine`'s game: sizes the board, draws the background tiles
    // anew, makes one sprite per star system and wormhole, and one per ship
    // that has none yet (ships of a game being set up or loaded get theirs
    // from StarShipCreated). Drops another game's sprites first.
    void Show(TQuorvexEngine& engine);
    // Kills every sprite and clears every object's link to one.
    void Clear();
    // Wires the engine's events to the handlers below (keeping handlers set
    // before), and Clear() to the engine clearing its game. For programs that
    // show a game without a window; the window calls the handlers itself.
    void Follow(TQuorvexEngine& engine);

    // The sprite steps of the engine's events.
    void StarShipCreated(TStarShip* ship);
    void StarShipDestroyed(TStarShip* ship);
    // Turns the sprite to the step's direction, sets its speed from the
    // engines (a towed ship moves at its tug's speed) and its destination to
    // the new cell.
    void StarShipMoved(TStarShip* ship, int direction);
    // A ship that went through a wormhole is at its exit at once.
    void WormholeTravelled(TStarShip* ship);
    void StarSystemMoved(TStarSystem* system);
    void JumpGateCreated(TWormhole* wormhole);
    // Each wormhole's sprite is visible exactly when the local player sees it.
    void UpdateWormholes();

    // The part of the virtual plane (pixels) the frame shows; the frame is at
    // least 4 x 1 pixels and its width a multiple of 4, so the view's own
    // width is kept for the picture.
    void SetView(int32_t x, int32_t y, int32_t width, int32_t height);
    int32_t ViewWidth() const { return ViewWidth_; }
    int32_t ViewHeight() const { return ViewHeight_; }
    void RenderFrames(int32_t count);

    // Centre of a cell on the virtual plane.
    static TPoint PixelPosition(int32_t cellX, int32_t cellY) {
        return {CellSize * cellX + CellSize / 2, CellSize * cellY + CellSize / 2};
    }
    // Background tile of a cell (column + 40 x row of the tile sheet); tile 0
    // outside the map.
    uint8_t BackgroundTile(int32_t cellX, int32_t cellY) const;

    TQuorvexEngine* Game() const { return Game_; }
    TBoardArt& Art() const { return Art_; }
    TSquareGridSpriteSurface& Surface() { return Surface_; }
    const TSquareGridSpriteSurface& Surface() const { return Surface_; }
    TSpriteEngine& StarSystems() { return StarSystems_; }
    TSpriteEngine& StarShips() { return StarShips_; }
    TSpriteEngine& EffectsLayer() { return EffectsLayer_; }
    TSpriteEngine& Wormholes() { return Wormholes_; }
    TBoardEffects& Effects() { return Effects_; }
    TDestinationSpriteMover& ShipMover() { return ShipMover_; }

private:
    void ClearLayer(TSpriteEngine& layer);
    void MakeBackground(const TQuorvexEngine& engine);
    void MakeWormholeSprite(TWormhole& wormhole, bool gate);
    void Unfollow();

    TBoardArt& Art_;
    TSquareGridSpriteSurface Surface_;
    TSpriteEngine StarSystems_;
    TSpriteEngine StarShips_;
    TSpriteEngine EffectsLayer_;
    TSpriteEngine Wormholes_;
    TDestinationSpriteMover ShipMover_;
    TDestinationSpriteMover SystemMover_;
    TBitmapSpriteFactory WormholeFactory_;
    TBoardEffects Effects_;
    TQuorvexEngine* Game_ = nullptr;
    TQuorvexEngine* Followed_ = nullptr;
    // The followed engine's handlers from before, given back by Unfollow.
    struct {
        std::function<void(TObject*)> ClearGame;
        std::function<void(TObject*, TStarShip*)> StarShipCreate;
        std::function<void(TObject*, TStarShip*)> StarShipDestroy;
        std::function<void(TObject*, TStarShip*, int)> MoveStarShip;
        std::function<void(TObject*, TStarShip*, int)> WormholeTravel;
        std::function<void(TObject*, TStarSystem*)> MoveStarSystem;
        std::function<void(TObject*, TWormhole*)> CreateJumpGate;
    } Previous_;
    std::vector<uint8_t> Background_;
    int32_t BackgroundWidth_ = 0;
    int32_t BackgroundHeight_ = 0;
    int32_t ViewWidth_ = 0;
    int32_t ViewHeight_ = 0;
};

} // namespace qx
