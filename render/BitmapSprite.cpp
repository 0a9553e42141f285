#include "render/BitmapSprite.h"

#include <string>

#include "render/SpriteSurface.h"

namespace qx {

namespace {

TIndexedBitmap& CheckedSheet(TIndexedBitmap& sheet) {
    if (sheet.Width() % 4 != 0) throw ERenderError("Bitmap Width must be a multiple of 4");
    return sheet;
}

} // namespace

TBitmapSprite::TBitmapSprite(TIndexedBitmap& sheet) : Bitmap_(CheckedSheet(sheet)), Sheet_(sheet) {
    Transparent = sheet.Transparent;
    UpdateFrameSize();
}

void TBitmapSprite::SetFramesX(int32_t value) {
    if (value >= 1 && Bitmap_.Width() % value != 0)
        throw ERenderError("Bitmap width " + std::to_string(Bitmap_.Width()) + " does not divide into " +
                           std::to_string(value) + " frames");
    FramesX_ = value;
    UpdateFrameSize();
}

void TBitmapSprite::SetFramesY(int32_t value) {
    if (value >= 1 && Bitmap_.Height() % value != 0)
        throw ERenderError("Bitmap height " + std::to_string(Bitmap_.Height()) + " does not divide into " +
                           std::to_string(value) + " frames");
    FramesY_ = value;
    UpdateFrameSize();
}

void TBitmapSprite::UpdateFrameSize() {
    const bool whole = FramesX_ < 1 || FramesY_ < 1;
    FrameWidth_ = whole ? Bitmap_.Width() : Bitmap_.Width() / FramesX_;
    FrameHeight_ = whole ? Bitmap_.Height() : Bitmap_.Height() / FramesY_;
}

TRect TBitmapSprite::GetBoundsRect() const {
    const int32_t left = RoundHalfEven(X()) - FrameWidth_ / 2;
    const int32_t top = RoundHalfEven(Y()) - FrameHeight_ / 2;
    return {left, top, left + FrameWidth_, top + FrameHeight_};
}

TPoint TBitmapSprite::ScreenTopLeft() const {
    const TSpriteSurface* surface = SpriteSurface();
    const int32_t ox = surface ? surface->OffsetX() : 0, oy = surface ? surface->OffsetY() : 0;
    return {RoundHalfEven(X()) - ox - FrameWidth_ / 2, RoundHalfEven(Y()) - oy - FrameHeight_ / 2};
}

TRect TBitmapSprite::FrameSource() const {
    const int32_t left = FrameColumn * FrameWidth_, top = FrameRow * FrameHeight_;
    return {left, top, left + FrameWidth_, top + FrameHeight_};
}

void TBitmapSprite::Animate() {
    if (!Animated || AnimationInterval < 1 || ++Tick_ < AnimationInterval) return;
    Tick_ = 0;
    const int32_t columns = FramesX_ < 1 ? 1 : FramesX_, rows = FramesY_ < 1 ? 1 : FramesY_;
    if (!Reverse) {
        if (++FrameColumn >= columns) {
            FrameColumn = 0;
            if (++FrameRow >= rows) FrameRow = 0;
        }
    } else if (--FrameColumn < 0) {
        FrameColumn = columns - 1;
        if (--FrameRow < 0) FrameRow = rows - 1;
    }
}

void TBitmapSprite::Render(PlatformCanvas&, TDIBCanvas& frame) {
    Animate();
    const TPoint at = ScreenTopLeft();
    frame.CopyBlock(at.X, at.Y, Transparent, FrameSource(), Sheet_);
}

} // namespace qx
