#include "render/FireworkSprite.h"

#include <algorithm>

#include "base/Random.h"
#include "render/DIBCanvas.h"
#include "render/SpriteSurface.h"

namespace qx {

namespace {

// The product of two uniform values: slow sparks are more likely than fast ones.
float RandomSpeed(TRandom& random) {
    return static_cast<float>(random.RandomReal()) * static_cast<float>(random.RandomReal());
}

} // namespace

TFireworkSprite::TFireworkSprite(int32_t particleCount, TRandom& random) : Random_(random) {
    LifeSpan = Random_.Random(20) + 50;
    Particles_.resize(static_cast<size_t>(std::max(particleCount, 0)));
    for (TParticle& particle : Particles_) {
        particle.VelocityX = RandomSpeed(Random_);
        particle.VelocityY = RandomSpeed(Random_);
        if (Random_.Random(100) > 50) particle.VelocityX = -particle.VelocityX;
        if (Random_.Random(100) > 50) particle.VelocityY = -particle.VelocityY;
    }
}

TRect TFireworkSprite::GetBoundsRect() const {
    const int32_t left = RoundHalfEven(X()) - 50, top = RoundHalfEven(Y()) - 50;
    return {left, top, left + 100, top + 100};
}

void TFireworkSprite::Render(PlatformCanvas&, TDIBCanvas& frame) {
    const TSpriteSurface* surface = SpriteSurface();
    const int32_t ox = surface ? surface->OffsetX() : 0, oy = surface ? surface->OffsetY() : 0;
    // A reversed range gives every spark the low colour.
    const int32_t range = ColorRange();
    for (TParticle& p : Particles_) {
        p.OffsetX += p.VelocityX;
        p.OffsetY += p.VelocityY;
        const int32_t x = RoundHalfEven(X() + p.OffsetX) - ox, y = RoundHalfEven(Y() + p.OffsetY) - oy;
        for (int32_t dx = 0; dx <= 1; ++dx)
            for (int32_t dy = 0; dy <= 1; ++dy)
                frame.SetPixel(x + dx, y + dy, static_cast<uint8_t>(ColorLow_ + Random_.Random(range)));
    }
}

} // namespace qx
