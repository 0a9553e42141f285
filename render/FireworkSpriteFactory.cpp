#include "render/FireworkSpriteFactory.h"

#include <algorithm>

#include "base/Random.h"

namespace qx {

namespace {

// Min + random(max - min), the difference taken without overflow.
int32_t RandomBetween(TRandom& random, int32_t low, int32_t high) {
    const int64_t span = std::clamp<int64_t>(int64_t{high} - low, 0, INT32_MAX);
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{low} + random.Random(static_cast<int32_t>(span)), INT32_MIN,
                                                    INT32_MAX));
}

} // namespace

std::unique_ptr<TFireworkSprite> TFireworkSpriteFactory::CreateFirework(TRandom& random) {
    const int32_t count = RandomBetween(random, NumParticlesMin, NumParticlesMax);
    auto sprite = std::make_unique<TFireworkSprite>(count, random);
    // A firework must end: a life span of 0 would mean "forever".
    sprite->LifeSpan = std::max(RandomBetween(random, LifeSpanMin, LifeSpanMax), 1);
    sprite->SetColors(ColorIndexLow, ColorIndexHigh);
    return sprite;
}

} // namespace qx
