#pragma once

#include <cstdint>
#include <vector>

#include "base/Random.h"
#include "render/Sprite.h"

namespace qx {

// A spray of 2 x 2 pixel sparks in random palette colours between ColorLow
// (included) and ColorHigh (excluded). The sparks advance each time they are
// drawn, so an effect scrolled out of view pauses.
class TFireworkSprite : public TSprite {
public:
    struct TParticle {
        float OffsetX = 0;
        float OffsetY = 0;
        float VelocityX = 0;
        float VelocityY = 0;
    };

    // On its own a firework lives 50..69 frames in colours 0..254; its
    // factory overrides both.
    // `random` is the board's presentation generator; it must outlive the sprite.
    TFireworkSprite(int32_t particleCount, TRandom& random);

    int32_t ParticleCount() const { return static_cast<int32_t>(Particles_.size()); }
    const std::vector<TParticle>& Particles() const { return Particles_; }
    uint8_t ColorLow() const { return ColorLow_; }
    uint8_t ColorHigh() const { return ColorHigh_; }
    void SetColors(uint8_t low, uint8_t high) {
        ColorLow_ = low;
        ColorHigh_ = high;
    }
    int32_t ColorRange() const { return int32_t{ColorHigh_} - ColorLow_; }

    // 100 x 100 around the centre.
    TRect GetBoundsRect() const override;
    void Render(PlatformCanvas& canvas, TDIBCanvas& frame) override;

private:
    TRandom& Random_;
    std::vector<TParticle> Particles_;
    uint8_t ColorLow_ = 0;
    uint8_t ColorHigh_ = 255;
};

} // namespace qx
