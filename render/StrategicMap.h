#pragma once

#include <cstdint>
#include <vector>

#include "base/Object.h"
#include "render/PlatformCanvas.h"
#include "render/RenderTypes.h"
#include "render/SpriteEvents.h"

namespace qx {

class TCharMatrix;
class TColorPalette;
class TQuorvexEngine;
class TSquareGridSpriteSurface;
class TStarShip;

// The whole galaxy scaled into a small control, as the local player knows
// it: nebulae, star systems in their owners' colours, wormholes and their
// links, the player's scanner coverage, ships as single pixels and a frame
// around the part the board shows. Mouse positions are reported in map cells
// so the window can scroll the board to the point under the mouse. Paints in
// RGB through the platform canvas; the widget forwards paint, size and mouse
// events and repaints when OnInvalidate fires.
class TStrategicMap : public TObject {
public:
    TStrategicMap() = default;
    ~TStrategicMap() override;
    TStrategicMap(const TStrategicMap&) = delete;
    TStrategicMap& operator=(const TStrategicMap&) = delete;

    // Without an engine the control paints as an empty control in Color.
    TQuorvexEngine* QuorvexEngine = nullptr;
    // The galaxy's nebulae; ignored unless it has as many columns as the map.
    TCharMatrix* CharMatrix = nullptr;
    TColorPalette* ColorPalette() const { return ColorPalette_; }
    void SetColorPalette(TColorPalette* palette);
    TSquareGridSpriteSurface* SquareGridSpriteSurface() const { return Board_; }
    // The board whose view is framed and whose cells the mouse reports.
    void SetSquareGridSpriteSurface(TSquareGridSpriteSurface* board);

    int32_t StarSystemRadius = 3;
    int32_t WormholeRadius = 3;
    bool ShowScanners = false;
    bool ShowStarShips = false;
    // The empty control's colour.
    TColor Color = RgbColor(192, 192, 192);

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    // The control should be repainted.
    TNotifyEvent OnInvalidate;

    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    // Negative sizes count as 0.
    void SetSize(int32_t width, int32_t height);

    // Pixels per cell; 1.0 along a side the map does not have.
    float ScaleX() const;
    float ScaleY() const;
    // Where a map cell lands in the control.
    TPoint MapToControl(int32_t cellX, int32_t cellY) const;

    void Paint(PlatformCanvas& canvas);
    // The next paint rebuilds the nebula picture (a new galaxy), then repaints.
    void ResetBackground();
    void Invalidate() {
        if (OnInvalidate) OnInvalidate(this);
    }

    // Mouse input in control pixels; the events report map cells (pixels
    // when no board is linked).
    void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    void MouseMove(TShiftState shift, int32_t x, int32_t y);
    void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    TPoint ControlToCell(int32_t x, int32_t y) const;

    // The cached nebula picture, Width x Height RGB pixels top row first
    // (empty until the first paint with a map of characters).
    const std::vector<TColor>& Background() const { return Background_; }

private:
    TColor PaletteRgb(int32_t index, TColor fallback) const;
    void PaintNebulae(PlatformCanvas& canvas);
    void BuildBackground();
    void PaintStarSystems(PlatformCanvas& canvas, bool all);
    void PaintWormholes(PlatformCanvas& canvas, bool all);
    void PaintViewFrame(PlatformCanvas& canvas);
    void PaintScanners(PlatformCanvas& canvas);
    void PaintStarShips(PlatformCanvas& canvas, bool all);
    void ScannerRing(PlatformCanvas& canvas, int32_t cellX, int32_t cellY, int32_t range);

    TColorPalette* ColorPalette_ = nullptr;
    TSquareGridSpriteSurface* Board_ = nullptr;
    int32_t Width_ = 177;
    int32_t Height_ = 145;
    std::vector<TColor> Background_;
    int32_t BackgroundWidth_ = 0;
    int32_t BackgroundHeight_ = 0;
    int32_t BackgroundCellsX_ = 0;
    int32_t BackgroundCellsY_ = 0;
    bool BackgroundStale_ = true;
};

} // namespace qx
