#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/MainThreadExecutor.h"
#include "base/Object.h"
#include "base/Random.h"
#include "render/ColorPalette.h"
#include "render/DIBCanvas.h"
#include "render/FreeNotifier.h"
#include "render/PlatformCanvas.h"
#include "render/SpriteEngine.h"
#include "render/SpriteEvents.h"

namespace qx {

class TAnimateThread;

// A scroll bar bound to one of the surface's offsets, as plain state: the
// widget shows it and reports the user's moves back.
struct TScrollBarState {
    bool Bound = false;
    bool Enabled = false;
    int32_t Max = 0;
    int32_t Position = 0;
};

// The galaxy view's model: a window of Width x Height pixels onto a larger
// virtual plane, an off-screen 8-bit frame the size of the window, and the
// sprite engines that draw into it. A widget forwards paint, size and mouse
// events; the frame thread asks for one frame every AnimationInterval ms.
class TSpriteSurface : public TObject, public TFreeNotifier {
public:
    // Canvas for text and ellipses over the frame, made whenever the frame
    // is (re)built. Without one, such drawing is dropped.
    using TPlatformCanvasFactory =
        std::function<std::unique_ptr<PlatformCanvas>(TDIBCanvas& Frame, TColorPalette& Palette)>;

    explicit TSpriteSurface(std::shared_ptr<IMainThreadExecutor> executor = nullptr);
    ~TSpriteSurface() override;
    TSpriteSurface(const TSpriteSurface&) = delete;
    TSpriteSurface& operator=(const TSpriteSurface&) = delete;

    // Starts (true) or pauses (false) the frame thread. Needs an executor.
    bool Active() const { return Active_; }
    void SetActive(bool value);
    // The generator of everything that only shows on this board: sprite
    // facings and flicker, effects, starting positions. The owner may link
    // its own (shared with sound and music); by default the surface has one.
    TRandom& PresentationRandom() const { return PresentationRandom_ ? *PresentationRandom_ : OwnRandom_; }
    void SetPresentationRandom(TRandom* random) { PresentationRandom_ = random; }
    int32_t AnimationInterval = 0;
    bool AutoBlank = false;
    uint8_t AutoBlankColorIndex = 0;
    TColorPalette* ColorPalette() const { return ColorPalette_; }
    void SetColorPalette(TColorPalette* palette);

    int32_t OffsetX() const { return OffsetX_; }
    int32_t OffsetY() const { return OffsetY_; }
    // Ignored unless UseVirtualSize; not clamped (callers clamp).
    void SetOffsetX(int32_t value);
    void SetOffsetY(int32_t value);
    bool UseVirtualSize() const { return UseVirtualSize_; }
    void SetUseVirtualSize(bool value);
    int32_t VirtualWidth() const { return VirtualWidth_; }
    int32_t VirtualHeight() const { return VirtualHeight_; }
    // Stored only when UseVirtualSize.
    void SetVirtualWidth(int32_t value);
    void SetVirtualHeight(int32_t value);
    bool WrapHorizontal = false;
    bool WrapVertical = false;
    bool ShowPerformance = false;
    // The control's font: the frames-per-second count is drawn in it.
    TFont Font{"Small Fonts", 8, clWhite, false};

    // The control's size. The width is rounded down to a multiple of 4.
    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    void SetSize(int32_t width, int32_t height);

    TNotifyEvent BeforeRender;
    TNotifyEvent AfterRender;
    TCanvasEvent BeforeSpriteRender;
    TCanvasEvent AfterSpriteRender;
    TSpriteEvent OnSpriteClick;
    TNotifyEvent OnOffsetChange;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Platform seam.
    TPlatformCanvasFactory PlatformCanvasFactory;
    // The frame is complete: show it (FrameBits with the palette's colours).
    TNotifyEvent OnPresent;
    // Lets the user interface handle pending input (end of every frame, and
    // after each sprite of a yielding engine).
    std::function<void()> ProcessMessages;
    // Milliseconds for the frames-per-second count; a steady clock by default.
    std::function<int64_t()> MillisecondClock;
    // The bound scroll bars changed (enabled, maximum or position).
    TNotifyEvent OnScrollBarsChanged;

    // One frame, in its fixed step order.
    void Render();
    // Scrolls so that (x, y) is in the middle, within the virtual plane.
    void CenterOn(int32_t x, int32_t y);

    int32_t EngineCount() const { return static_cast<int32_t>(Engines_.size()); }
    TSpriteEngine* Engines(int32_t index) const { return Engines_.at(static_cast<size_t>(index)); }

    // The last frame: Width x Height indices, top row first; null before the first frame.
    const uint8_t* FrameBits() const { return Frame_.empty() ? nullptr : Frame_.data(); }
    TDIBCanvas& FrameCanvas() { return FrameCanvas_; }
    PlatformCanvas* Canvas() const { return PlatformCanvas_.get(); }
    int32_t FramesPerSecond() const { return FramesPerSecond_; }

    void BindScrollBarHorz(bool bound);
    void BindScrollBarVert(bool bound);
    const TScrollBarState& ScrollBarHorz() const { return ScrollBarHorz_; }
    const TScrollBarState& ScrollBarVert() const { return ScrollBarVert_; }
    // The user moved a bar: the matching offset follows (unless the surface
    // itself is moving the bar).
    void ScrollBarHorzChanged(int32_t position);
    void ScrollBarVertChanged(int32_t position);

    // Mouse input in control pixels; the events report virtual-plane pixels.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    virtual void MouseMove(TShiftState shift, int32_t x, int32_t y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);

protected:
    // Hooks around the sprites; the defaults fire the events.
    virtual void DoBeforeSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame);
    virtual void DoAfterSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame);
    // The surface's own mouse handling (events in virtual pixels, clicking).
    void SurfaceMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    void SurfaceMouseMove(TShiftState shift, int32_t x, int32_t y);
    void SurfaceMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    void DoProcessMessages() {
        if (ProcessMessages) ProcessMessages();
    }

private:
    TRandom* PresentationRandom_ = nullptr;
    mutable TRandom OwnRandom_;
    friend class TSpriteEngine;

    void AddEngine(TSpriteEngine* engine);
    void RemoveEngine(TSpriteEngine* engine);
    void SortEngines();
    void BuildSection();
    void RefreshScrollBars();
    void MoveBar(TScrollBarState& bar, int32_t position);
    int64_t Now() const;

    std::shared_ptr<IMainThreadExecutor> Executor_;
    std::unique_ptr<TAnimateThread> Thread_;
    bool Active_ = false;
    TColorPalette* ColorPalette_ = nullptr;
    int32_t OffsetX_ = 0;
    int32_t OffsetY_ = 0;
    bool UseVirtualSize_ = false;
    int32_t Width_ = 184;  // 185 rounded down to a multiple of 4
    int32_t Height_ = 41;
    int32_t VirtualWidth_ = 184;
    int32_t VirtualHeight_ = 41;

    std::vector<TSpriteEngine*> Engines_;
    std::vector<uint8_t> Frame_;
    TDIBCanvas FrameCanvas_;
    std::unique_ptr<PlatformCanvas> PlatformCanvas_;
    bool SectionExists_ = false;
    int32_t FrameCount_ = 0;
    int32_t FramesPerSecond_ = 0;
    int64_t NextMeasure_ = 0;

    TScrollBarState ScrollBarHorz_;
    TScrollBarState ScrollBarVert_;
    bool UpdatingBars_ = false;
};

} // namespace qx
