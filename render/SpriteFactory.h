#pragma once

#include <memory>

#include "base/Object.h"
#include "base/Random.h"
#include "render/ColorPalette.h"
#include "render/Sprite.h"

namespace qx {

// Builds preconfigured sprites; the game's factories carry an effect's or a
// sheet's settings.
class TSpriteFactory : public TObject {
public:
    ~TSpriteFactory() override { SetColorPalette(nullptr); }

    TColorPalette* ColorPalette() const { return ColorPalette_; }
    void SetColorPalette(TColorPalette* palette) {
        if (ColorPalette_) ColorPalette_->RemoveFreeNotification(this);
        ColorPalette_ = palette;
        if (palette) palette->AddFreeNotification(this, [this] { ColorPalette_ = nullptr; });
    }

    // `random` is the presentation generator the sprite draws from.
    virtual std::unique_ptr<TSprite> CreateSprite(TRandom& random) = 0;

private:
    TColorPalette* ColorPalette_ = nullptr;
};

} // namespace qx
