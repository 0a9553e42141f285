#include "render/SquareGridSpriteSurface.h"

#include <algorithm>

namespace qx {

namespace {

int32_t Saturate(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// Remainder of an offset within a cell; 0 without a usable cell size.
int32_t Remainder(int32_t offset, int32_t cell) { return cell < 1 ? 0 : offset % cell; }

} // namespace

TSquareGridSpriteSurface::TSquareGridSpriteSurface(std::shared_ptr<IMainThreadExecutor> executor)
    : TSpriteSurface(std::move(executor)) {
    SetUseVirtualSize(true);
    UpdateVirtualPlane();
}

void TSquareGridSpriteSurface::UpdateVirtualPlane() {
    SetVirtualWidth(Saturate(int64_t{CellWidth_} * CellsX_));
    SetVirtualHeight(Saturate(int64_t{CellHeight_} * CellsY_));
}

void TSquareGridSpriteSurface::SetCellWidth(int32_t value) {
    CellWidth_ = value;
    UpdateVirtualPlane();
}

void TSquareGridSpriteSurface::SetCellHeight(int32_t value) {
    CellHeight_ = value;
    UpdateVirtualPlane();
}

void TSquareGridSpriteSurface::SetCellsX(int32_t value) {
    CellsX_ = value;
    UpdateVirtualPlane();
}

void TSquareGridSpriteSurface::SetCellsY(int32_t value) {
    CellsY_ = value;
    UpdateVirtualPlane();
}

int32_t TSquareGridSpriteSurface::OffsetCellX() const { return CellWidth_ < 1 ? OffsetX() : OffsetX() / CellWidth_; }
int32_t TSquareGridSpriteSurface::OffsetCellY() const {
    return CellHeight_ < 1 ? OffsetY() : OffsetY() / CellHeight_;
}
void TSquareGridSpriteSurface::SetOffsetCellX(int32_t value) { SetOffsetX(Saturate(int64_t{value} * CellWidth_)); }
void TSquareGridSpriteSurface::SetOffsetCellY(int32_t value) { SetOffsetY(Saturate(int64_t{value} * CellHeight_)); }

void TSquareGridSpriteSurface::SetTiles(const TIndexedBitmap& tiles) {
    if (tiles.Width() % 4 != 0) throw ERenderError("Width must be a multiple of 4");
    Tiles_ = tiles;
    TileCanvas_.reset();  // rebuilt over the new pixels at the next frame
}

int32_t TSquareGridSpriteSurface::TilesX() const {
    return Tiles_.Empty() || CellWidth_ < 1 ? 0 : Tiles_.Width() / CellWidth_;
}

int32_t TSquareGridSpriteSurface::TilesY() const {
    return Tiles_.Empty() || CellHeight_ < 1 ? 0 : Tiles_.Height() / CellHeight_;
}

TPoint TSquareGridSpriteSurface::CellAt(int32_t virtualX, int32_t virtualY) const {
    return {CellWidth_ < 1 ? virtualX : virtualX / CellWidth_, CellHeight_ < 1 ? virtualY : virtualY / CellHeight_};
}

void TSquareGridSpriteSurface::DoBeforeSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame) {
    const int32_t remX = Remainder(OffsetX(), CellWidth_);
    const int32_t remY = Remainder(OffsetY(), CellHeight_);
    if (!Tiles_.Empty() && OnTile && CellWidth_ >= 1 && CellHeight_ >= 1) DrawTiles(frame, remX, remY);
    TSpriteSurface::DoBeforeSpriteRender(canvas, frame);
    // Without a cell size there are no cells to rule.
    if (ShowGrid && CellWidth_ >= 1 && CellHeight_ >= 1) DrawGrid(frame, remX, remY);
}

void TSquareGridSpriteSurface::DrawTiles(TDIBCanvas& frame, int32_t remX, int32_t remY) {
    if (!TileCanvas_) TileCanvas_ = std::make_unique<TDIBCanvas>(Tiles_);
    // One column and row past the last visible (or past the map) is asked for.
    const int64_t firstX = OffsetCellX(), firstY = OffsetCellY();
    const int64_t lastX = std::min<int64_t>(firstX + Width() / CellWidth_ + 1, CellsX_);
    const int64_t lastY = std::min<int64_t>(firstY + Height() / CellHeight_ + 1, CellsY_);
    int64_t screenX = -remX;
    for (int64_t cx = firstX; cx <= lastX; ++cx, screenX += CellWidth_) {
        int64_t screenY = -remY;
        for (int64_t cy = firstY; cy <= lastY; ++cy, screenY += CellHeight_) {
            int32_t tileX = 0, tileY = 0;
            OnTile(this, static_cast<int32_t>(cx), static_cast<int32_t>(cy), tileX, tileY);
            const int64_t left = int64_t{tileX} * CellWidth_, top = int64_t{tileY} * CellHeight_;
            // A tile number beyond the sheet draws nothing.
            if (left < 0 || top < 0 || left + CellWidth_ > Tiles_.Width() || top + CellHeight_ > Tiles_.Height())
                continue;
            const TRect source{static_cast<int32_t>(left), static_cast<int32_t>(top),
                               static_cast<int32_t>(left + CellWidth_), static_cast<int32_t>(top + CellHeight_)};
            frame.CopyBlock(static_cast<int32_t>(screenX), static_cast<int32_t>(screenY), false, source, *TileCanvas_);
        }
    }
}

void TSquareGridSpriteSurface::DrawGrid(TDIBCanvas& frame, int32_t remX, int32_t remY) {
    frame.PenColorIndex = GridColorIndex;
    const int32_t vw = VirtualWidth(), vh = VirtualHeight();
    for (int64_t x = 0; x < vw; x += CellWidth_) {
        frame.MoveTo(Saturate(x - remX), -remY);
        frame.LineTo(Saturate(x - remX), Saturate(int64_t{vh} - remY));
    }
    for (int64_t y = 0; y < vh; y += CellHeight_) {
        frame.MoveTo(-remX, Saturate(y - remY));
        frame.LineTo(Saturate(int64_t{vw} - remX), Saturate(y - remY));
    }
}

void TSquareGridSpriteSurface::DoAfterSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame) {
    if (ShowCursor) {
        frame.PenColorIndex = CursorColorIndex;
        const int32_t x = Saturate(int64_t{Cursor_.X} * CellWidth_ - OffsetX());
        const int32_t y = Saturate(int64_t{Cursor_.Y} * CellHeight_ - OffsetY());
        frame.Rectangle(x - 2, y - 2, x + CellWidth_ + 2, y + CellHeight_ + 2);
        frame.Rectangle(x - 1, y - 1, x + CellWidth_ + 1, y + CellHeight_ + 1);
    }
    if (Dragging_ && ShowSelectionBand) DrawBand(frame);
    TSpriteSurface::DoAfterSpriteRender(canvas, frame);
}

void TSquareGridSpriteSurface::DrawBand(TDIBCanvas& frame) {
    // Edges of the cells from the down cell to the current one, whichever
    // way the mouse went.
    auto span = [](int32_t down, int32_t current, int32_t cell, int32_t offset, int32_t& from, int32_t& to) {
        int64_t a = int64_t{down} * cell - offset, b;
        if (down == current) {
            b = a + cell;
        } else if (down > current) {
            a += cell;
            b = int64_t{current} * cell - offset;
        } else {
            b = (int64_t{current} + 1) * cell - offset;
        }
        from = Saturate(a);
        to = Saturate(b);
    };
    int32_t left, right, top, bottom;
    span(Down_.X, Current_.X, CellWidth_, OffsetX(), left, right);
    span(Down_.Y, Current_.Y, CellHeight_, OffsetY(), top, bottom);
    frame.PenColorIndex = SelectionBandColorIndex;
    frame.Rectangle(left, top, right, bottom);
    const int32_t growX = left <= right ? 1 : -1, growY = top <= bottom ? 1 : -1;
    frame.Rectangle(left - growX, top - growY, right + growX, bottom + growY);
}

void TSquareGridSpriteSurface::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    Down_ = Current_ = CellUnderMouse(x, y);
    SurfaceMouseDown(button, shift, x, y);
    if (OnCellMouseDown) OnCellMouseDown(this, button, shift, Down_.X, Down_.Y);
    Dragging_ = true;
}

void TSquareGridSpriteSurface::MouseMove(TShiftState shift, int32_t x, int32_t y) {
    const TPoint cell = CellUnderMouse(x, y);
    SurfaceMouseMove(shift, x, y);
    if (OnCellMouseMove) OnCellMouseMove(this, shift, cell.X, cell.Y);
    if (Dragging_) Current_ = cell;
}

void TSquareGridSpriteSurface::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    Dragging_ = false;
    Cursor_ = CellUnderMouse(x, y);
    if (OnCellMouseUp) OnCellMouseUp(this, button, shift, Cursor_.X, Cursor_.Y);
    // A press and release in one cell is a click: it ends here, without the
    // surface's sprite clicking.
    if (Down_ == Current_) return;
    TRect area{std::min(Down_.X, Current_.X), std::min(Down_.Y, Current_.Y), std::max(Down_.X, Current_.X),
               std::max(Down_.Y, Current_.Y)};
    if (OnAreaSelected) OnAreaSelected(this, area);
    if (OnSpriteSelected) SelectSprites(area);
    if (OnCellMouseUp) OnCellMouseUp(this, button, shift, Cursor_.X, Cursor_.Y);
    SurfaceMouseUp(button, shift, x, y);
}

void TSquareGridSpriteSurface::SelectSprites(const TRect& cells) {
    const TRect pixels{Saturate(int64_t{cells.Left} * CellWidth_), Saturate(int64_t{cells.Top} * CellHeight_),
                       Saturate((int64_t{cells.Right} + 1) * CellWidth_),
                       Saturate((int64_t{cells.Bottom} + 1) * CellHeight_)};
    for (int32_t e = 0; e < EngineCount(); ++e) {
        TSpriteEngine* engine = Engines(e);
        if (!engine->ClickSprites) continue;
        for (int32_t i = 0; i < engine->SpriteCount(); ++i) {
            TSprite* sprite = engine->Sprites(i);
            if (sprite->Visible && !sprite->Dead() && RectsIntersect(sprite->GetBoundsRect(), pixels))
                OnSpriteSelected(this, sprite);
        }
    }
}

} // namespace qx
