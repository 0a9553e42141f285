#pragma once

#include <cstdint>
#include <memory>

#include "render/FireworkSprite.h"
#include "render/SpriteFactory.h"

namespace qx {

// Makes fireworks with a random spark count and life span from the given
// ranges (minimum included, maximum excluded; equal bounds give exactly that
// value, a reversed range the minimum).
class TFireworkSpriteFactory : public TSpriteFactory {
public:
    int32_t LifeSpanMin = 50;
    int32_t LifeSpanMax = 70;
    int32_t NumParticlesMin = 50;
    int32_t NumParticlesMax = 70;
    uint8_t ColorIndexLow = 0;
    uint8_t ColorIndexHigh = 255;

    std::unique_ptr<TSprite> CreateSprite(TRandom& random) override { return CreateFirework(random); }
    std::unique_ptr<TFireworkSprite> CreateFirework(TRandom& random);
};

} // namespace qx
