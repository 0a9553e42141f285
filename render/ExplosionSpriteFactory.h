#pragma once

#include <cstdint>
#include <memory>

#include "render/DIBCanvas.h"
#include "render/ExplosionSprite.h"
#include "render/IndexedBitmap.h"
#include "render/SpriteFactory.h"

namespace qx {

// Makes explosions from its own copy of an explosion picture; the sprites
// borrow the factory's canvas, so the factory must outlive them.
class TExplosionSpriteFactory : public TSpriteFactory {
public:
    TExplosionSpriteFactory() = default;
    TExplosionSpriteFactory(const TExplosionSpriteFactory&) = delete;
    TExplosionSpriteFactory& operator=(const TExplosionSpriteFactory&) = delete;

    // Frames the explosion lives. Below 1 the explosion still ends, after
    // one frame: a sprite without a life span would never be reaped.
    int32_t LifeSpan = 40;
    int32_t NumParticles = 100;

    const TIndexedBitmap& Bitmap() const { return Bitmap_; }
    // Copies the picture; its width must be a multiple of 4 (throws
    // ERenderError("Bitmap Width must be a multiple of 4")). Live explosions
    // go on drawing from the new picture.
    void SetBitmap(const TIndexedBitmap& bitmap);
    const TDIBCanvas& Canvas() const { return Canvas_; }
    // After the stored configuration is read: the canvas follows the picture.
    void Loaded() { RebuildCanvas(); }

    // Throws ERenderError("Bitmap must be assigned") without a picture.
    std::unique_ptr<TSprite> CreateSprite(TRandom& random) override { return CreateExplosion(random); }
    std::unique_ptr<TExplosionSprite> CreateExplosion(TRandom& random);

private:
    void RebuildCanvas();

    TIndexedBitmap Bitmap_;
    TDIBCanvas Canvas_;
};

} // namespace qx
