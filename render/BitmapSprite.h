#pragma once

#include <cstdint>

#include "render/DIBCanvas.h"
#include "render/IndexedBitmap.h"
#include "render/Sprite.h"

namespace qx {

// Draws one frame of a frame sheet centred on its position, optionally
// stepping through the frames. The sheet is borrowed: its owner (a factory or
// the window) keeps it alive while the sprite lives.
class TBitmapSprite : public TSprite {
public:
    // Throws ERenderError("Bitmap Width must be a multiple of 4").
    explicit TBitmapSprite(TIndexedBitmap& sheet);

    int32_t FramesX() const { return FramesX_; }
    int32_t FramesY() const { return FramesY_; }
    // A sheet that does not divide into that many frames is refused.
    void SetFramesX(int32_t value);
    void SetFramesY(int32_t value);
    int32_t FrameWidth() const { return FrameWidth_; }
    int32_t FrameHeight() const { return FrameHeight_; }

    // Frames between animation steps; below 1 the frame never changes.
    int32_t AnimationInterval = 0;
    int32_t FrameColumn = 0;
    int32_t FrameRow = 0;
    bool Animated = false;
    bool Reverse = false;
    bool Transparent = false;
    uint8_t TransparentColorIndex() const { return Sheet_.TransparentColorIndex; }
    void SetTransparentColorIndex(uint8_t index) { Sheet_.TransparentColorIndex = index; }

    TRect GetBoundsRect() const override;
    void Render(PlatformCanvas& canvas, TDIBCanvas& frame) override;

protected:
    const TDIBCanvas& SheetCanvas() const { return Sheet_; }
    // Top-left of the current frame on screen (centred on the position).
    TPoint ScreenTopLeft() const;
    TRect FrameSource() const;
    void Animate();

private:
    void UpdateFrameSize();

    TIndexedBitmap& Bitmap_;
    TDIBCanvas Sheet_;
    int32_t FramesX_ = 1;
    int32_t FramesY_ = 1;
    int32_t FrameWidth_ = 0;
    int32_t FrameHeight_ = 0;
    int32_t Tick_ = 0;
};

} // namespace qx
