#include "render/ExplosionSpriteFactory.h"

#include <algorithm>

namespace qx {

void TExplosionSpriteFactory::SetBitmap(const TIndexedBitmap& bitmap) {
    if (bitmap.Width() % 4 != 0) throw ERenderError("Bitmap Width must be a multiple of 4");
    Bitmap_ = bitmap;
    RebuildCanvas();
}

void TExplosionSpriteFactory::RebuildCanvas() {
    Canvas_.Attach(Bitmap_.Empty() ? nullptr : Bitmap_.Bits(), Bitmap_.Width(), Bitmap_.Height(), true);
}

std::unique_ptr<TExplosionSprite> TExplosionSpriteFactory::CreateExplosion(TRandom& random) {
    if (Bitmap_.Empty()) throw ERenderError("Bitmap must be assigned");
    auto sprite = std::make_unique<TExplosionSprite>(Canvas_, NumParticles, random);
    sprite->LifeSpan = std::max(LifeSpan, 1);
    return sprite;
}

} // namespace qx
