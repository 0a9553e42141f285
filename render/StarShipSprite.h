#pragma once

#include <cstdint>

#include "base/Random.h"
#include "render/BitmapSprite.h"

namespace qx {

class TStarShip;
class TPlayer;

// A StarShip as the local player sees it: its type's frame turned to its
// facing, captions, range rings and effects; an unknown symbol when the
// ship is visible but not identified; nothing when it is not visible.
class TStarShipSprite : public TBitmapSprite {
public:
    static constexpr int32_t UnknownColumn = 44;

    // Sheet: 46 x 10 frames, row = player, column = 2 x type (+1 diagonal).
    // `random` is the board's presentation generator; it must outlive the sprite.
    TStarShipSprite(TIndexedBitmap& sheet, TStarShip* ship, TRandom& random);

    TStarShip* StarShip() const { return StarShip_; }
    // The ship is going away: the sprite shows nothing from now on.
    void DetachStarShip() { StarShip_ = nullptr; }
    // Direction 0..7 of the last move; odd is diagonal.
    int32_t Facing = 0;

    void Render(PlatformCanvas& canvas, TDIBCanvas& frame) override;

    // How the local player sees the ship (public for the tests and the window).
    struct TLook {
        bool Drawn = false;
        bool Known = false;
        int32_t Column = 0;
        int32_t Row = 0;
        int32_t Quadrant = 0;
    };
    TLook Look() const;

private:
    void DrawCaptions(PlatformCanvas& canvas, TDIBCanvas& frame, const TRect& box, const TPlayer* local);
    void DrawOwnEffects(PlatformCanvas& canvas, TDIBCanvas& frame, const TRect& box);
    void DrawSparks(TDIBCanvas& frame, const TRect& box, const TSprite* target, int32_t low, int32_t high);

    TStarShip* StarShip_;
    TRandom& Random_;
};

} // namespace qx
