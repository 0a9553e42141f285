#include "render/ExplosionSprite.h"

#include <algorithm>

#include "base/Random.h"
#include "render/SpriteSurface.h"

namespace qx {

namespace {

// Mostly full speed, but half the time slowed by a second factor, so the
// burst has a dense core and a few fast outliers.
float RandomSpeed(TRandom& random) {
    float speed = static_cast<float>(random.RandomReal());
    if (random.RandomReal() > 0.5) speed *= static_cast<float>(random.RandomReal());
    return speed;
}

} // namespace

TExplosionSprite::TExplosionSprite(const TDIBCanvas& picture, int32_t numParticles, TRandom& random)
    : Picture_(picture), Random_(random) {
    Particles_.resize(static_cast<size_t>(std::max(numParticles, 0)));
    for (TParticle& particle : Particles_) {
        particle.Width = 2 + Random_.Random(6);
        particle.Height = 2 + Random_.Random(6);
        PickSource(particle);
        particle.VelocityX = RandomSpeed(Random_);
        particle.VelocityY = RandomSpeed(Random_);
        particle.Life = -1;
        if (Random_.RandomReal() > 0.5) particle.VelocityX = -particle.VelocityX;
        if (Random_.RandomReal() > 0.5) particle.VelocityY = -particle.VelocityY;
    }
}

void TExplosionSprite::PickSource(TParticle& particle) const {
    // Patches start at least 9 pixels from the right and bottom edges. A
    // picture too small for that gives patches from its corner, clipped when
    // drawn (the generator answers 0 for an empty range).
    particle.SourceX = Random_.Random(Picture_.Width() - 9);
    particle.SourceY = Random_.Random(Picture_.Height() - 9);
}

TRect TExplosionSprite::GetBoundsRect() const {
    const int32_t x = RoundHalfEven(X()), y = RoundHalfEven(Y());
    return {x - 10, y - 10, x + 10, y + 10};
}

void TExplosionSprite::Move() {
    TSprite::Move();
    if (Dead()) return;
    for (TParticle& particle : Particles_) {
        if (particle.Life == -1) particle.Life = std::max(Random_.Random(LifeSpan), MinParticleLife);
        particle.OffsetX += particle.VelocityX;
        particle.OffsetY += particle.VelocityY;
        if (Random_.RandomReal() > 0.6) PickSource(particle);
        if (particle.Life > 0) --particle.Life;
    }
}

void TExplosionSprite::Render(PlatformCanvas&, TDIBCanvas& frame) {
    const TSpriteSurface* surface = SpriteSurface();
    const int32_t ox = surface ? surface->OffsetX() : 0, oy = surface ? surface->OffsetY() : 0;
    for (const TParticle& p : Particles_) {
        if (p.Life <= 0) continue;
        const int32_t x = RoundHalfEven(X() + p.OffsetX) - ox, y = RoundHalfEven(Y() + p.OffsetY) - oy;
        frame.CopyBlock(x, y, false, {p.SourceX, p.SourceY, p.SourceX + p.Width, p.SourceY + p.Height}, Picture_);
    }
}

} // namespace qx
