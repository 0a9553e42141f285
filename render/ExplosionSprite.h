#pragma once

#include <cstdint>
#include <vector>

#include "base/Random.h"
#include "render/DIBCanvas.h"
#include "render/Sprite.h"

namespace qx {

// A burst of small patches cut at random from an explosion picture, flying
// out from the centre and flickering as they go. The picture's canvas is
// borrowed from the factory, which must outlive the sprite.
class TExplosionSprite : public TSprite {
public:
    struct TParticle {
        float OffsetX = 0;
        float OffsetY = 0;
        int32_t Width = 0;
        int32_t Height = 0;
        int32_t SourceX = 0;
        int32_t SourceY = 0;
        float VelocityX = 0;
        float VelocityY = 0;
        // Frames left to show; -1 until the first move.
        int32_t Life = -1;
    };

    // Shortest life a particle gets once it starts.
    static constexpr int32_t MinParticleLife = 15;

    // `random` is the board's presentation generator; it must outlive the sprite.
    TExplosionSprite(const TDIBCanvas& picture, int32_t numParticles, TRandom& random);

    const std::vector<TParticle>& Particles() const { return Particles_; }

    // A fixed 20 x 20 box: the engine draws the explosion only while its
    // centre is near the screen, although the patches fly further.
    TRect GetBoundsRect() const override;
    void Move() override;
    void Render(PlatformCanvas& canvas, TDIBCanvas& frame) override;

private:
    void PickSource(TParticle& particle) const;

    const TDIBCanvas& Picture_;
    TRandom& Random_;
    std::vector<TParticle> Particles_;
};

} // namespace qx
