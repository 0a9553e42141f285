#pragma once

#include <cstdint>

#include "base/Object.h"
#include "render/IndexedBitmap.h"
#include "render/PlatformCanvas.h"
#include "render/SpriteEvents.h"

namespace qx {

class TSpriteSurface;

// A small square that scrolls a surface while the mouse is held on it:
// every frame by up to MaxScroll pixels per axis, faster the further the
// mouse is from the centre. A double click jumps to an edge of the plane.
class TSpriteSurfaceScroller : public TObject {
public:
    TSpriteSurfaceScroller() = default;
    ~TSpriteSurfaceScroller() override;
    TSpriteSurfaceScroller(const TSpriteSurfaceScroller&) = delete;
    TSpriteSurfaceScroller& operator=(const TSpriteSurfaceScroller&) = delete;

    TSpriteSurface* SpriteSurface() const { return SpriteSurface_; }
    // The scroller runs inside the surface's BeforeRender, after the handler
    // the surface had when the scroller was loaded (or linked afterwards).
    void SetSpriteSurface(TSpriteSurface* surface);
    void Loaded();

    int32_t Width = 57;
    int32_t Height = 57;
    int32_t MaxScroll = 100;
    TColor Color = RgbColor(192, 192, 192);
    TColor ColorHighlight = clWhite;
    TColor ColorShadow = RgbColor(128, 128, 128);
    // When not empty, stretched over the control instead of the drawn arrows.
    TIndexedBitmap Glyph;
    TNotifyEvent OnScrollStart;
    TNotifyEvent OnScrollEnd;

    // Mouse input in the scroller's own pixels.
    void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    void MouseMove(TShiftState shift, int32_t x, int32_t y);
    void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    void DoubleClick(int32_t x, int32_t y);
    bool Scrolling() const { return MouseIsDown_; }

    // One frame's scrolling (run from the surface's BeforeRender).
    void Tick();
    void Paint(PlatformCanvas& canvas) const;

private:
    struct THook;
    void Hook();
    void Unhook();
    void ClampOffsets(int64_t x, int64_t y);

    TSpriteSurface* SpriteSurface_ = nullptr;
    bool Loaded_ = false;
    bool MouseIsDown_ = false;
    TPoint Mouse_;
};

} // namespace qx
