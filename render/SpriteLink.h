#pragma once

#include <cstdint>

#include "engine/QxObject.h"
#include "render/ColorPalette.h"
#include "render/PlatformCanvas.h"
#include "render/Sprite.h"
#include "render/SpriteSurface.h"
#include "render/SquareGridSpriteSurface.h"

namespace qx {

// A game object's Sprite field always holds a TSprite*; these keep the
// conversions in one place.
inline void AttachSprite(TQxMapObject& object, TSprite* sprite) { object.Sprite = sprite; }
inline TSprite* SpriteOf(const TQxMapObject* object) {
    return object ? static_cast<TSprite*>(object->Sprite) : nullptr;
}

// RGB of a palette entry of the sprite's surface; white without a palette.
inline TColor PaletteColor(const TSprite& sprite, int32_t index) {
    const TSpriteSurface* surface = sprite.SpriteSurface();
    if (!surface || !surface->ColorPalette()) return clWhite;
    return surface->ColorPalette()->GetColor(index) & 0xFFFFFF;
}

// The board's cell size (30 x 30 when the sprite is not on a board).
inline TSize BoardCellSize(const TSprite& sprite) {
    if (const auto* board = dynamic_cast<const TSquareGridSpriteSurface*>(sprite.SpriteSurface()))
        return {board->CellWidth(), board->CellHeight()};
    return {30, 30};
}

// The sprite's centre on screen.
inline TPoint ScreenCentre(const TSprite& sprite) {
    const TSpriteSurface* surface = sprite.SpriteSurface();
    return {RoundHalfEven(sprite.X()) - (surface ? surface->OffsetX() : 0),
            RoundHalfEven(sprite.Y()) - (surface ? surface->OffsetY() : 0)};
}

// A dotted range ring around the sprite: r cells out from its own cell.
inline void DrawRangeRing(PlatformCanvas& canvas, const TSprite& sprite, int32_t r, int32_t colorIndex) {
    const TSize cell = BoardCellSize(sprite);
    const TPoint c = ScreenCentre(sprite);
    const int32_t rx = r * cell.Width + cell.Width / 2 - 1, ry = r * cell.Height + cell.Height / 2 - 1;
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Pen = {PaletteColor(sprite, colorIndex), TPenStyle::psDot, 1};
    canvas.Ellipse(c.X - rx, c.Y - ry, c.X + rx, c.Y + ry);
    canvas.Pen.Style = TPenStyle::psSolid;
}

} // namespace qx
