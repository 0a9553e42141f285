#pragma once

#include <cstdint>

#include "render/BitmapSprite.h"

namespace qx {

class TStarSystem;

// A StarSystem as the local player sees it: its owner's frame (or the
// unowned or hidden one), the capital's diamond, rippling shield rings, the
// scanner ring, the name and its value and resources.
class TStarSystemSprite : public TBitmapSprite {
public:
    static constexpr int32_t UnownedRow = 10;
    static constexpr int32_t HiddenRow = 11;
    static constexpr int32_t MaxShieldRings = 40;

    // Sheet: 1 x 12 frames, row = owner, then unowned, then hidden.
    TStarSystemSprite(TIndexedBitmap& sheet, TStarSystem* system);

    TStarSystem* StarSystem() const { return StarSystem_; }
    // The system is going away: the sprite shows nothing from now on.
    void DetachStarSystem() { StarSystem_ = nullptr; }
    // Row of the sheet the local player sees.
    int32_t VisibleRow() const;

    void Render(PlatformCanvas& canvas, TDIBCanvas& frame) override;

    // Makes the shield rings ripple: the window advances it once per frame.
    static uint8_t FrameCounter;

private:
    TStarSystem* StarSystem_;
};

} // namespace qx
