#pragma once

#include <cstdint>

#include "base/Random.h"
#include "render/RenderTypes.h"
#include "render/SpriteMover.h"

namespace qx {

class TDestinationSpriteMoverData : public TSpriteMoverData {
public:
    int32_t DestY = 0;
    int32_t DestX = 0;
    float Speed = 0;
    bool StopAtDestination = false;
    float VelocityY = 0;
    float VelocityX = 0;
};

// Moves each sprite towards its own destination at its own speed (pixels per
// frame, split between the axes by their distances), optionally stopping
// there. The board's ships glide from cell to cell this way.
class TDestinationSpriteMover : public TSpriteMover {
public:
    bool RandomizeStartingDestination = false;
    float InitialSpeedMin = 0;
    float InitialSpeedMax = 5.0f;
    bool StopAtDestination = false;

    void InitSprite(TSprite& sprite) override;
    void MoveSprite(TSprite& sprite) override;

    // Give the sprite data of this mover first when it has none.
    void SetDestination(TSprite& sprite, TPoint destination);
    void SetSpeed(TSprite& sprite, float speed);
    static TDestinationSpriteMoverData* DataOf(TSprite& sprite);

private:
    // For sprites of an engine that is on no surface.
    TRandom OwnRandom_;
    static TDestinationSpriteMoverData& EnsureData(TSprite& sprite);
    static void UpdateVelocity(const TSprite& sprite, TDestinationSpriteMoverData& data);
};

} // namespace qx
