#include "render/StrategicMap.h"

#include <algorithm>

#include "engine/CharMatrix.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "engine/Wormhole.h"
#include "render/ColorPalette.h"
#include "render/SquareGridSpriteSurface.h"

namespace qx {

namespace {

constexpr TColor kNebula = RgbColor(128, 128, 0);
constexpr TColor kWormhole = RgbColor(255, 0, 255);
constexpr TColor kWormholeLink = RgbColor(255, 255, 0);
constexpr TColor kTeal = RgbColor(0, 128, 128);
constexpr int32_t kHiddenSystemColor = 248;
constexpr int32_t kUnownedSystemColor = 7;

float Scale(int32_t pixels, int32_t cells) {
    return cells < 1 ? 1.0f : static_cast<float>(pixels) / static_cast<float>(cells);
}

int32_t Scaled(int32_t cell, float scale) { return RoundHalfEven(static_cast<double>(cell) * scale); }

bool KnownTo(const TWormhole& wormhole, const TPlayer* player) {
    return player && player->Index >= 0 && player->Index < MaxPlayers &&
           wormhole.Known[static_cast<size_t>(player->Index)];
}

} // namespace

TStrategicMap::~TStrategicMap() {
    SetColorPalette(nullptr);
    SetSquareGridSpriteSurface(nullptr);
}

void TStrategicMap::SetColorPalette(TColorPalette* palette) {
    if (ColorPalette_) ColorPalette_->RemoveFreeNotification(this);
    ColorPalette_ = palette;
    if (palette) palette->AddFreeNotification(this, [this] { ColorPalette_ = nullptr; });
}

void TStrategicMap::SetSquareGridSpriteSurface(TSquareGridSpriteSurface* board) {
    if (Board_) Board_->RemoveFreeNotification(this);
    Board_ = board;
    if (board) board->AddFreeNotification(this, [this] { Board_ = nullptr; });
}

void TStrategicMap::SetSize(int32_t width, int32_t height) {
    Width_ = std::max(width, 0);
    Height_ = std::max(height, 0);
}

float TStrategicMap::ScaleX() const { return Scale(Width_, QuorvexEngine ? QuorvexEngine->MapWidth : 0); }
float TStrategicMap::ScaleY() const { return Scale(Height_, QuorvexEngine ? QuorvexEngine->MapHeight : 0); }

TPoint TStrategicMap::MapToControl(int32_t cellX, int32_t cellY) const {
    return {Scaled(cellX, ScaleX()), Scaled(cellY, ScaleY())};
}

TColor TStrategicMap::PaletteRgb(int32_t index, TColor fallback) const {
    return ColorPalette_ ? ColorPalette_->GetColor(index) & 0xFFFFFF : fallback;
}

void TStrategicMap::ResetBackground() {
    BackgroundStale_ = true;
    Invalidate();
}

void TStrategicMap::Paint(PlatformCanvas& canvas) {
    if (!QuorvexEngine) {
        canvas.Brush = {Color, TBrushStyle::bsSolid};
        canvas.FillRect(canvas.ClipRect());
        return;
    }
    const bool all = QuorvexEngine->AllComputer();
    canvas.Brush = {clBlack, TBrushStyle::bsSolid};
    canvas.FillRect(canvas.ClipRect());
    PaintNebulae(canvas);
    PaintStarSystems(canvas, all);
    PaintWormholes(canvas, all);
    PaintViewFrame(canvas);
    if (ShowScanners && QuorvexEngine->CurrentPlayer) PaintScanners(canvas);
    if (ShowStarShips) PaintStarShips(canvas, all);
}

void TStrategicMap::PaintNebulae(PlatformCanvas& canvas) {
    if (!CharMatrix || CharMatrix->Columns() != QuorvexEngine->MapWidth) return;
    // A galaxy of another size needs a new picture even if nobody asked.
    if (BackgroundStale_ || BackgroundWidth_ != Width_ || BackgroundHeight_ != Height_ ||
        BackgroundCellsX_ != QuorvexEngine->MapWidth || BackgroundCellsY_ != QuorvexEngine->MapHeight)
        BuildBackground();
    if (Width_ > 0 && Height_ > 0) canvas.DrawPixels(0, 0, Width_, Height_, Background_.data());
}

void TStrategicMap::BuildBackground() {
    const double scaleX = ScaleX(), scaleY = ScaleY();
    BackgroundWidth_ = Width_;
    BackgroundHeight_ = Height_;
    BackgroundCellsX_ = QuorvexEngine->MapWidth;
    BackgroundCellsY_ = QuorvexEngine->MapHeight;
    Background_.assign(static_cast<size_t>(Width_) * static_cast<size_t>(Height_), clBlack);
    for (int32_t py = 0; py < Height_; ++py) {
        const int32_t cy = RoundHalfEven(py / scaleY);
        for (int32_t px = 0; px < Width_; ++px)
            if (CharMatrix->GetChar(RoundHalfEven(px / scaleX), cy) == 'N')
                Background_[static_cast<size_t>(py) * static_cast<size_t>(Width_) + static_cast<size_t>(px)] = kNebula;
    }
    BackgroundStale_ = false;
}

void TStrategicMap::PaintStarSystems(PlatformCanvas& canvas, bool all) {
    const TPlayer* local = QuorvexEngine->CurrentPlayer;
    const int32_t r = StarSystemRadius;
    for (int i = 0; i < QuorvexEngine->StarSystemCount(); ++i) {
        const TStarSystem& system = *QuorvexEngine->GetStarSystem(i);
        // Without a palette: grey for what is hidden, silver for no owner.
        TColor color;
        if (!all && !system.IsVisibleTo(local))
            color = PaletteRgb(kHiddenSystemColor, RgbColor(128, 128, 128));
        else if (!system.Owner)
            color = PaletteRgb(kUnownedSystemColor, RgbColor(192, 192, 192));
        else
            color = PaletteRgb(system.Owner->ColorIndex(), clWhite);
        canvas.Pen = {color, TPenStyle::psSolid, 1};
        canvas.Brush = {color, TBrushStyle::bsSolid};
        const TPoint at = MapToControl(system.X, system.Y);
        canvas.Ellipse(at.X - r, at.Y - r, at.X + r, at.Y + r);
    }
}

void TStrategicMap::PaintWormholes(PlatformCanvas& canvas, bool all) {
    const TPlayer* local = QuorvexEngine->CurrentPlayer;
    const int32_t r = WormholeRadius;
    canvas.Brush.Style = TBrushStyle::bsClear;
    for (int i = 0; i < QuorvexEngine->WormholeCount(); ++i) {
        const TWormhole& wormhole = *QuorvexEngine->GetWormhole(i);
        if (!all && !wormhole.IsVisibleTo(local)) continue;
        const TPoint at = MapToControl(wormhole.X, wormhole.Y);
        canvas.Pen = {kWormhole, TPenStyle::psSolid, 1};
        canvas.Ellipse(at.X - r, at.Y - r, at.X + r, at.Y + r);
        if (KnownTo(wormhole, local)) {
            const TPoint exit = MapToControl(wormhole.DestX, wormhole.DestY);
            canvas.Pen = {kWormholeLink, TPenStyle::psSolid, 1};
            canvas.MoveTo(at.X, at.Y);
            canvas.LineTo(exit.X, exit.Y);
        }
    }
}

void TStrategicMap::PaintViewFrame(PlatformCanvas& canvas) {
    if (!Board_) return;
    const float scaleX = ScaleX(), scaleY = ScaleY();
    // A board without a cell size shows one cell per pixel.
    const int32_t cellW = std::max(Board_->CellWidth(), 1), cellH = std::max(Board_->CellHeight(), 1);
    const int32_t left = Scaled(Board_->OffsetCellX(), scaleX), top = Scaled(Board_->OffsetCellY(), scaleY);
    const int32_t right = left + Scaled(Board_->Width() / cellW, scaleX);
    const int32_t bottom = top + Scaled(Board_->Height() / cellH, scaleY);
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Pen = {kTeal, TPenStyle::psSolid, 1};
    canvas.Rectangle(left, top, right, bottom);
}

void TStrategicMap::PaintScanners(PlatformCanvas& canvas) {
    const TPlayer& local = *QuorvexEngine->CurrentPlayer;
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Pen = {kTeal, TPenStyle::psSolid, 1};
    for (const TStarSystem* system : local.StarSystems)
        if (system->Scanners > 0) ScannerRing(canvas, system->X, system->Y, system->Scanners);
    for (const auto& ship : local.StarShips)
        if (ship->Scanners() > 0) ScannerRing(canvas, ship->X, ship->Y, ship->Scanners());
}

void TStrategicMap::ScannerRing(PlatformCanvas& canvas, int32_t cellX, int32_t cellY, int32_t range) {
    const TPoint at = MapToControl(cellX, cellY);
    // The ring covers the scanner's own cell plus its range.
    const double reach = static_cast<double>(range) + 1;
    const int32_t rx = RoundHalfEven(reach * ScaleX()), ry = RoundHalfEven(reach * ScaleY());
    canvas.Ellipse(at.X - rx, at.Y - ry, at.X + rx, at.Y + ry);
}

void TStrategicMap::PaintStarShips(PlatformCanvas& canvas, bool all) {
    const TPlayer* local = QuorvexEngine->CurrentPlayer;
    const double scaleX = ScaleX(), scaleY = ScaleY();
    for (int p = 0; p < QuorvexEngine->PlayerCount(); ++p) {
        const TPlayer& player = *QuorvexEngine->GetPlayer(p);
        const TColor color = PaletteRgb(player.ColorIndex(), clWhite);
        for (const auto& ship : player.StarShips) {
            if (!all && !ship->IsVisibleTo(local)) continue;
            canvas.SetPixel(TruncToInt(ship->X * scaleX), TruncToInt(ship->Y * scaleY), color);
        }
    }
}

TPoint TStrategicMap::ControlToCell(int32_t x, int32_t y) const {
    if (!Board_) return {x, y};
    // A control without a size maps as one pixel wide; a board without a
    // cell size has one pixel per cell.
    const double perPixelX = static_cast<double>(Board_->VirtualWidth()) / std::max(Width_, 1);
    const double perPixelY = static_cast<double>(Board_->VirtualHeight()) / std::max(Height_, 1);
    return {RoundHalfEven(perPixelX * x) / std::max(Board_->CellWidth(), 1),
            RoundHalfEven(perPixelY * y) / std::max(Board_->CellHeight(), 1)};
}

void TStrategicMap::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    const TPoint cell = ControlToCell(x, y);
    if (OnMouseDown) OnMouseDown(this, button, shift, cell.X, cell.Y);
}

void TStrategicMap::MouseMove(TShiftState shift, int32_t x, int32_t y) {
    const TPoint cell = ControlToCell(x, y);
    if (OnMouseMove) OnMouseMove(this, shift, cell.X, cell.Y);
}

void TStrategicMap::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    const TPoint cell = ControlToCell(x, y);
    if (OnMouseUp) OnMouseUp(this, button, shift, cell.X, cell.Y);
}

} // namespace qx
