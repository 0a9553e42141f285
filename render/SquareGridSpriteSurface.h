#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "render/IndexedBitmap.h"
#include "render/SpriteSurface.h"

namespace qx {

// Asks which tile of the sheet (column, row) to draw under a cell.
using TTileEvent =
    std::function<void(TObject* Sender, int32_t CellX, int32_t CellY, int32_t& TileX, int32_t& TileY)>;
using TCellMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t CellX, int32_t CellY)>;
using TCellMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int32_t CellX, int32_t CellY)>;
// The dragged-over cells, corners inclusive (Left, Top) to (Right, Bottom);
// the handler may change them before sprites are selected.
using TAreaEvent = std::function<void(TObject* Sender, TRect& Area)>;

// The galaxy board: a sprite surface laid out as a grid of square cells. It
// draws a background tile under every visible cell, grid lines, the cursor
// cell and the rubber band of a drag, and reports the mouse in cells.
class TSquareGridSpriteSurface : public TSpriteSurface {
public:
    explicit TSquareGridSpriteSurface(std::shared_ptr<IMainThreadExecutor> executor = nullptr);

    int32_t CellWidth() const { return CellWidth_; }
    int32_t CellHeight() const { return CellHeight_; }
    int32_t CellsX() const { return CellsX_; }
    int32_t CellsY() const { return CellsY_; }
    void SetCellWidth(int32_t value);
    void SetCellHeight(int32_t value);
    void SetCellsX(int32_t value);
    void SetCellsY(int32_t value);
    // First visible cell: OffsetX div CellWidth (OffsetX itself below a cell
    // size of 1); setting it scrolls to that cell.
    int32_t OffsetCellX() const;
    int32_t OffsetCellY() const;
    void SetOffsetCellX(int32_t value);
    void SetOffsetCellY(int32_t value);

    bool ShowGrid = false;
    uint8_t GridColorIndex = 187;
    bool ShowCursor = true;
    uint8_t CursorColorIndex = 214;
    bool ShowSelectionBand = true;
    uint8_t SelectionBandColorIndex = 101;

    const TIndexedBitmap& Tiles() const { return Tiles_; }
    // Copies the sheet; its width must be a multiple of 4.
    void SetTiles(const TIndexedBitmap& tiles);
    int32_t TilesX() const;
    int32_t TilesY() const;

    TTileEvent OnTile;
    TCellMouseEvent OnCellMouseDown;
    TCellMouseEvent OnCellMouseUp;
    TCellMouseMoveEvent OnCellMouseMove;
    TAreaEvent OnAreaSelected;
    TSpriteEvent OnSpriteSelected;

    // After the stored configuration is read: the plane follows the cells.
    void Loaded() { UpdateVirtualPlane(); }

    TPoint CursorCell() const { return Cursor_; }
    void SetCursorCell(TPoint cell) { Cursor_ = cell; }
    bool Dragging() const { return Dragging_; }
    TPoint DownCell() const { return Down_; }
    TPoint CurrentCell() const { return Current_; }
    // The cell of a virtual-plane point (the point itself below a cell size of 1).
    TPoint CellAt(int32_t virtualX, int32_t virtualY) const;

    void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;

protected:
    void DoBeforeSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame) override;
    void DoAfterSpriteRender(PlatformCanvas& canvas, TDIBCanvas& frame) override;

private:
    void UpdateVirtualPlane();
    void DrawTiles(TDIBCanvas& frame, int32_t remX, int32_t remY);
    void DrawGrid(TDIBCanvas& frame, int32_t remX, int32_t remY);
    void DrawBand(TDIBCanvas& frame);
    void SelectSprites(const TRect& cells);
    TPoint CellUnderMouse(int32_t x, int32_t y) const { return CellAt(x + OffsetX(), y + OffsetY()); }

    int32_t CellWidth_ = 30;
    int32_t CellHeight_ = 30;
    int32_t CellsX_ = 100;
    int32_t CellsY_ = 100;
    TIndexedBitmap Tiles_;
    std::unique_ptr<TDIBCanvas> TileCanvas_;
    TPoint Cursor_;
    bool Dragging_ = false;
    TPoint Down_;
    TPoint Current_;
};

} // namespace qx
