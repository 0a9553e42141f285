#include "render/SpriteSurface.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "render/AnimateThread.h"

namespace qx {

TSpriteSurface::TSpriteSurface(std::shared_ptr<IMainThreadExecutor> executor) : Executor_(std::move(executor)) {}

TSpriteSurface::~TSpriteSurface() {
    Thread_.reset();
    Active_ = false;
    NotifyFree();
    SetColorPalette(nullptr);
}

void TSpriteSurface::SetActive(bool value) {
    if (value == Active_) return;
    if (value) {
        if (!Executor_) throw ERenderError("The sprite surface has no main-thread executor to animate with");
        if (!Thread_)
            Thread_ = std::make_unique<TAnimateThread>(Executor_, [this] {
                Render();
                return AnimationInterval;
            });
        Thread_->Resume();
    } else if (Thread_) {
        Thread_->Suspend();
    }
    Active_ = value;
}

void TSpriteSurface::SetColorPalette(TColorPalette* palette) {
    if (palette == ColorPalette_) return;
    if (ColorPalette_) ColorPalette_->RemoveFreeNotification(this);
    ColorPalette_ = palette;
    if (palette) palette->AddFreeNotification(this, [this] {
        ColorPalette_ = nullptr;
        SectionExists_ = false;
    });
    // The platform canvas matches colours against the palette it was made
    // with: the next frame makes a new one.
    SectionExists_ = false;
}

void TSpriteSurface::SetOffsetX(int32_t value) {
    if (!UseVirtualSize_) return;
    OffsetX_ = value;
    if (ScrollBarHorz_.Bound) MoveBar(ScrollBarHorz_, value);
    if (OnOffsetChange) OnOffsetChange(this);
}

void TSpriteSurface::SetOffsetY(int32_t value) {
    if (!UseVirtualSize_) return;
    OffsetY_ = value;
    if (ScrollBarVert_.Bound) MoveBar(ScrollBarVert_, value);
    if (OnOffsetChange) OnOffsetChange(this);
}

void TSpriteSurface::SetUseVirtualSize(bool value) {
    UseVirtualSize_ = value;
    if (!value) {
        VirtualWidth_ = Width_;
        VirtualHeight_ = Height_;
        OffsetX_ = 0;
        OffsetY_ = 0;
    }
    RefreshScrollBars();
}

void TSpriteSurface::SetVirtualWidth(int32_t value) {
    if (!UseVirtualSize_) return;
    VirtualWidth_ = value;
    RefreshScrollBars();
}

void TSpriteSurface::SetVirtualHeight(int32_t value) {
    if (!UseVirtualSize_) return;
    VirtualHeight_ = value;
    RefreshScrollBars();
}

void TSpriteSurface::SetSize(int32_t width, int32_t height) {
    // The frame canvas needs rows of a multiple of 4 bytes.
    Width_ = std::max(width, 0) / 4 * 4;
    Height_ = std::max(height, 0);
    if (!UseVirtualSize_) {
        VirtualWidth_ = Width_;
        VirtualHeight_ = Height_;
    }
    RefreshScrollBars();
}

void TSpriteSurface::BindScrollBarHorz(bool bound) {
    ScrollBarHorz_.Bound = bound;
    RefreshScrollBars();
}

void TSpriteSurface::BindScrollBarVert(bool bound) {
    ScrollBarVert_.Bound = bound;
    RefreshScrollBars();
}

void TSpriteSurface::RefreshScrollBars() {
    auto refresh = [](TScrollBarState& bar, int32_t control, int32_t plane, int32_t offset) {
        if (!bar.Bound) return;
        bar.Enabled = control < plane;
        bar.Max = bar.Enabled ? plane - control : 0;
        bar.Position = offset;
    };
    refresh(ScrollBarHorz_, Width_, VirtualWidth_, OffsetX_);
    refresh(ScrollBarVert_, Height_, VirtualHeight_, OffsetY_);
    if ((ScrollBarHorz_.Bound || ScrollBarVert_.Bound) && OnScrollBarsChanged) {
        const bool was = UpdatingBars_;
        UpdatingBars_ = true;
        try {
            OnScrollBarsChanged(this);
        } catch (...) {
            UpdatingBars_ = was;
            throw;
        }
        UpdatingBars_ = was;
    }
}

void TSpriteSurface::MoveBar(TScrollBarState& bar, int32_t position) {
    bar.Position = position;
    if (!OnScrollBarsChanged) return;
    // The widget moves its bar and reports the move back: ignore that echo.
    const bool was = UpdatingBars_;
    UpdatingBars_ = true;
    try {
        OnScrollBarsChanged(this);
    } catch (...) {
        UpdatingBars_ = was;
        throw;
    }
    UpdatingBars_ = was;
}

void TSpriteSurface::ScrollBarHorzChanged(int32_t position) {
    if (UpdatingBars_ || !ScrollBarHorz_.Bound) return;
    ScrollBarHorz_.Position = position;
    SetOffsetX(position);
}

void TSpriteSurface::ScrollBarVertChanged(int32_t position) {
    if (UpdatingBars_ || !ScrollBarVert_.Bound) return;
    ScrollBarVert_.Position = position;
    SetOffsetY(position);
}

void TSpriteSurface::CenterOn(int32_t x, int32_t y) {
    // Within the plane; a plane smaller than the view stays at offset 0.
    const int32_t ox = std::min<int64_t>(int64_t{x} - Width_ / 2, int64_t{VirtualWidth_} - Width_);
    const int32_t oy = std::min<int64_t>(int64_t{y} - Height_ / 2, int64_t{VirtualHeight_} - Height_);
    SetOffsetX(std::max(ox, 0));
    SetOffsetY(std::max(oy, 0));
}

void TSpriteSurface::AddEngine(TSpriteEngine* engine) {
    if (std::find(Engines_.begin(), Engines_.end(), engine) == Engines_.end()) Engines_.push_back(engine);
    SortEngines();
}

void TSpriteSurface::RemoveEngine(TSpriteEngine* engine) { std::erase(Engines_, engine); }

void TSpriteSurface::SortEngines() {
    std::stable_sort(Engines_.begin(), Engines_.end(),
                     [](const TSpriteEngine* a, const TSpriteEngine* b) { return a->Priority() > b->Priority(); });
}

void TSpriteSurface::BuildSection() {
    Frame_.assign(static_cast<size_t>(Width_) * static_cast<size_t>(Height_), 0);
    FrameCanvas_.Attach(Frame_.empty() ? nullptr : Frame_.data(), Width_, Height_, false);
    if (PlatformCanvasFactory)
        PlatformCanvas_ = PlatformCanvasFactory(FrameCanvas_, *ColorPalette_);
    if (!PlatformCanvas_ || !PlatformCanvasFactory)
        PlatformCanvas_ = std::make_unique<TNullPlatformCanvas>(Width_, Height_);
    SectionExists_ = true;
}

int64_t TSpriteSurface::Now() const {
    if (MillisecondClock) return MillisecondClock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TSpriteSurface::Render() {
    if (!ColorPalette_) {
        SetActive(false);
        throw ERenderError("ColorPalette property must be assigned");
    }
    if (!SectionExists_) BuildSection();
    if (BeforeRender) BeforeRender(this);
    ++FrameCount_;
    if (!SectionExists_ || FrameCanvas_.Width() != Width_ || FrameCanvas_.Height() != Height_) {
        if (!ColorPalette_) {  // dropped by a BeforeRender handler
            SetActive(false);
            throw ERenderError("ColorPalette property must be assigned");
        }
        BuildSection();
    }
    if (AutoBlank) FrameCanvas_.FillRect(0, 0, Width_, Height_, AutoBlankColorIndex);

    PlatformCanvas& canvas = *PlatformCanvas_;
    DoBeforeSpriteRender(canvas, FrameCanvas_);
    // All engines move before any engine draws. Handlers may drop engines,
    // so the list is read afresh at every step.
    for (size_t i = 0; i < Engines_.size(); ++i) Engines_[i]->MoveStep();
    for (size_t i = 0; i < Engines_.size(); ++i) {
        TSpriteEngine* engine = Engines_[i];
        engine->DrawStep(canvas, FrameCanvas_);
        engine->TestCollisions();
    }
    DoAfterSpriteRender(canvas, FrameCanvas_);

    if (ShowPerformance) {
        const int64_t now = Now();
        if (now > NextMeasure_) {
            NextMeasure_ = now + 1000;
            FramesPerSecond_ = FrameCount_;
            FrameCount_ = 0;
        }
        canvas.Font = Font;
        canvas.Brush = {clBlack, TBrushStyle::bsSolid};
        canvas.TextOut(4, 4, std::to_string(FramesPerSecond_));
    }
    if (OnPresent) OnPresent(this);
    if (AfterRender) AfterRender(this);
    DoProcessMessages();
}

void TSpriteSurface::DoBeforeSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame) {
    if (BeforeSpriteRender) BeforeSpriteRender(this, canvas, frame);
}

void TSpriteSurface::DoAfterSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame) {
    if (AfterSpriteRender) AfterSpriteRender(this, canvas, frame);
}

void TSpriteSurface::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    SurfaceMouseDown(button, shift, x, y);
}

void TSpriteSurface::MouseMove(TShiftState shift, int32_t x, int32_t y) { SurfaceMouseMove(shift, x, y); }

void TSpriteSurface::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    SurfaceMouseUp(button, shift, x, y);
}

void TSpriteSurface::SurfaceMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x + OffsetX_, y + OffsetY_);
}

void TSpriteSurface::SurfaceMouseMove(TShiftState shift, int32_t x, int32_t y) {
    if (OnMouseMove) OnMouseMove(this, shift, x + OffsetX_, y + OffsetY_);
}

void TSpriteSurface::SurfaceMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    const int32_t vx = x + OffsetX_, vy = y + OffsetY_;
    if (OnMouseUp) OnMouseUp(this, button, shift, vx, vy);
    if (!OnSpriteClick) return;
    // The first hit wins: engines in drawing order, sprites in list order.
    for (size_t e = 0; e < Engines_.size(); ++e) {
        TSpriteEngine* engine = Engines_[e];
        if (!engine->ClickSprites) continue;
        for (int32_t i = 0; i < engine->SpriteCount(); ++i) {
            TSprite* sprite = engine->Sprites(i);
            if (sprite->Visible && !sprite->Dead() && sprite->GetBoundsRect().Contains(vx, vy)) {
                OnSpriteClick(this, sprite);
                return;
            }
        }
    }
}

} // namespace qx
