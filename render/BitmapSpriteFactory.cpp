#include "render/BitmapSpriteFactory.h"

namespace qx {

void TBitmapSpriteFactory::SetBitmap(const TIndexedBitmap& bitmap) {
    if (bitmap.Width() % 4 != 0) throw ERenderError("Bitmap Width must be a multiple of 4");
    Bitmap_ = bitmap;
}

std::unique_ptr<TSprite> TBitmapSpriteFactory::CreateSprite(TRandom&) { return CreateBitmapSprite(); }

std::unique_ptr<TBitmapSprite> TBitmapSpriteFactory::CreateBitmapSprite() {
    if (Bitmap_.Empty()) throw ERenderError("Bitmap must be assigned");
    Bitmap_.Transparent = Transparent;
    auto sprite = std::make_unique<TBitmapSprite>(Bitmap_);
    sprite->SetFramesX(FramesX);
    sprite->SetFramesY(FramesY);
    sprite->Animated = FramesX >= 1 && FramesY >= 1;
    sprite->AnimationInterval = AnimationInterval;
    sprite->Reverse = AnimationDirection == TAnimationDirection::adBackward;
    sprite->SetTransparentColorIndex(TransparentColorIndex);
    return sprite;
}

} // namespace qx
