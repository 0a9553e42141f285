#pragma once

#include <cstdint>
#include <memory>

#include "render/BitmapSprite.h"
#include "render/IndexedBitmap.h"
#include "render/SpriteFactory.h"

namespace qx {

enum class TAnimationDirection { adForward, adBackward };

// Makes animated sprites from one frame sheet (the wormhole strip). The
// sprites draw from the factory's own copy of the sheet, so the factory must
// outlive them.
class TBitmapSpriteFactory : public TSpriteFactory {
public:
    const TIndexedBitmap& Bitmap() const { return Bitmap_; }
    // Throws ERenderError("Bitmap Width must be a multiple of 4").
    void SetBitmap(const TIndexedBitmap& bitmap);

    int32_t FramesX = 1;
    int32_t FramesY = 1;
    int32_t AnimationInterval = 0;
    TAnimationDirection AnimationDirection = TAnimationDirection::adForward;
    bool Transparent = false;
    uint8_t TransparentColorIndex = 0;

    // Throws ERenderError("Bitmap must be assigned") without a sheet.
    std::unique_ptr<TSprite> CreateSprite(TRandom& random) override;
    std::unique_ptr<TBitmapSprite> CreateBitmapSprite();

private:
    TIndexedBitmap Bitmap_;
};

} // namespace qx
