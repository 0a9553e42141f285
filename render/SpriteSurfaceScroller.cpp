#include "render/SpriteSurfaceScroller.h"

#include <algorithm>
#include <cmath>

#include "render/SpriteSurface.h"

namespace qx {

// The handler installed on the surface: the surface's previous handler, then
// the scroller's frame.
struct TSpriteSurfaceScroller::THook {
    TSpriteSurfaceScroller* Owner;
    TNotifyEvent Saved;
    void operator()(TObject* sender) const {
        if (Saved) Saved(sender);
        Owner->Tick();
    }
};

TSpriteSurfaceScroller::~TSpriteSurfaceScroller() { SetSpriteSurface(nullptr); }

void TSpriteSurfaceScroller::SetSpriteSurface(TSpriteSurface* surface) {
    if (surface == SpriteSurface_) return;
    if (SpriteSurface_) {
        Unhook();
        SpriteSurface_->RemoveFreeNotification(this);
    }
    SpriteSurface_ = surface;
    if (!surface) return;
    surface->AddFreeNotification(this, [this] { SpriteSurface_ = nullptr; });
    if (Loaded_) Hook();
}

void TSpriteSurfaceScroller::Loaded() {
    Loaded_ = true;
    if (SpriteSurface_) Hook();
}

void TSpriteSurfaceScroller::Hook() {
    TNotifyEvent& handler = SpriteSurface_->BeforeRender;
    if (const THook* hook = handler.target<THook>(); hook && hook->Owner == this) return;
    handler = THook{this, handler};
}

void TSpriteSurfaceScroller::Unhook() {
    // Only take our handler out if nobody has replaced it since.
    TNotifyEvent& handler = SpriteSurface_->BeforeRender;
    if (const THook* hook = handler.target<THook>(); hook && hook->Owner == this) {
        TNotifyEvent saved = hook->Saved;
        handler = std::move(saved);
    }
}

void TSpriteSurfaceScroller::MouseDown(TMouseButton, TShiftState, int32_t x, int32_t y) {
    MouseIsDown_ = true;
    Mouse_ = {x, y};
    if (OnScrollStart) OnScrollStart(this);
}

void TSpriteSurfaceScroller::MouseMove(TShiftState, int32_t x, int32_t y) { Mouse_ = {x, y}; }

void TSpriteSurfaceScroller::MouseUp(TMouseButton, TShiftState, int32_t, int32_t) {
    MouseIsDown_ = false;
    if (OnScrollEnd) OnScrollEnd(this);
}

void TSpriteSurfaceScroller::ClampOffsets(int64_t x, int64_t y) {
    // Within the plane; a plane smaller than the view stays at 0.
    TSpriteSurface& s = *SpriteSurface_;
    x = std::max<int64_t>(std::min<int64_t>(x, int64_t{s.VirtualWidth()} - s.Width()), 0);
    y = std::max<int64_t>(std::min<int64_t>(y, int64_t{s.VirtualHeight()} - s.Height()), 0);
    s.SetOffsetX(static_cast<int32_t>(x));
    s.SetOffsetY(static_cast<int32_t>(y));
}

void TSpriteSurfaceScroller::Tick() {
    if (!MouseIsDown_ || !SpriteSurface_) return;
    const int32_t hw = Width / 2, hh = Height / 2;
    // A scroller too small to have a centre does not scroll.
    if (hw < 1 || hh < 1) return;
    auto step = [this](int32_t mouse, int32_t half) {
        const double f = std::fabs(static_cast<double>(mouse) - half) / half;
        int64_t s = std::min<int64_t>(RoundHalfEven(MaxScroll * f), MaxScroll);
        return half > mouse ? -s : s;
    };
    ClampOffsets(int64_t{SpriteSurface_->OffsetX()} + step(Mouse_.X, hw),
                 int64_t{SpriteSurface_->OffsetY()} + step(Mouse_.Y, hh));
}

void TSpriteSurfaceScroller::DoubleClick(int32_t x, int32_t y) {
    if (!SpriteSurface_) return;
    TSpriteSurface& s = *SpriteSurface_;
    int64_t ox = s.OffsetX(), oy = s.OffsetY();
    if (x > Width - Width / 4) ox = int64_t{s.VirtualWidth()} - s.Width();
    else if (x < Width / 4) ox = 0;
    if (y > Height - Height / 4) oy = int64_t{s.VirtualHeight()} - s.Height();
    else if (y < Height / 4) oy = 0;
    ClampOffsets(ox, oy);
}

void TSpriteSurfaceScroller::Paint(PlatformCanvas& canvas) const {
    if (!Glyph.Empty()) {
        canvas.StretchDraw({0, 0, Width, Height}, Glyph);
        return;
    }
    const int32_t r = Width - 1, b = Height - 1, hw = Width / 2, hh = Height / 2;
    canvas.Brush = {Color, TBrushStyle::bsSolid};
    canvas.FillRect({0, 0, Width, Height});
    canvas.Pen = {ColorHighlight, TPenStyle::psSolid, 1};
    canvas.MoveTo(0, 0);
    canvas.LineTo(r, 0);   // top
    canvas.LineTo(r, b);   // right
    canvas.MoveTo(hw, 0);  // diamond, upper edges
    canvas.LineTo(r, hh);
    canvas.MoveTo(0, hh);
    canvas.LineTo(hw, 0);
    canvas.Pen.Color = ColorShadow;
    canvas.MoveTo(r, b);
    canvas.LineTo(0, b);  // bottom
    canvas.LineTo(0, 0);  // left
    canvas.MoveTo(r, hh);  // diamond, lower edges
    canvas.LineTo(hw, b);
    canvas.LineTo(0, hh);
    canvas.MoveTo(0, hh);  // centre lines
    canvas.LineTo(r, hh);
    canvas.MoveTo(hw, 0);
    canvas.LineTo(hw, b);
}

} // namespace qx
