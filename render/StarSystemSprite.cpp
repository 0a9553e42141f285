#include "render/StarSystemSprite.h"

#include <algorithm>
#include <string>

#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarSystem.h"
#include "render/SpriteLink.h"

namespace qx {

uint8_t TStarSystemSprite::FrameCounter = 0;

TStarSystemSprite::TStarSystemSprite(TIndexedBitmap& sheet, TStarSystem* system)
    : TBitmapSprite(sheet), StarSystem_(system) {
    SetFramesX(1);
    SetFramesY(12);
    FrameColumn = 0;
    Transparent = true;
    if (system) AttachSprite(*system, this);
}

int32_t TStarSystemSprite::VisibleRow() const {
    if (!StarSystem_) return HiddenRow;
    const TStarSystem& system = *StarSystem_;
    const bool all = system.Engine && system.Engine->AllComputer();
    const TPlayer* local = system.Engine ? system.Engine->CurrentPlayer : nullptr;
    if (!all && !system.IsVisibleTo(local)) return HiddenRow;
    return system.Owner ? system.Owner->Index : UnownedRow;
}

void TStarSystemSprite::Render(PlatformCanvas& canvas, TDIBCanvas& frame) {
    if (!StarSystem_) return;
    const TStarSystem& system = *StarSystem_;
    const bool all = system.Engine && system.Engine->AllComputer();
    const TPlayer* local = system.Engine ? system.Engine->CurrentPlayer : nullptr;
    const bool visible = system.IsVisibleTo(local);

    FrameRow = VisibleRow();
    TBitmapSprite::Render(canvas, frame);
    const TPoint c = ScreenCentre(*this);

    if (visible && system.Capital && system.Owner) {
        frame.PenColorIndex = static_cast<uint8_t>(system.Owner->ColorIndex());
        frame.Polygon({{c.X - 1, c.Y - 16}, {c.X + 14, c.Y - 1}, {c.X - 1, c.Y + 14}, {c.X - 16, c.Y - 1}});
    }
    if (all || visible) {
        const int32_t rings = std::min(system.Shields, MaxShieldRings);
        for (int32_t i = 0; i < rings; ++i) {
            frame.PenColorIndex = static_cast<uint8_t>(224 + (FrameCounter + i) % 5);
            frame.Circle(c.X - 2, c.Y - 1, 20 + 2 * i);
        }
        if (system.Scanners > 0 && local && system.Owner == local && !all)
            DrawRangeRing(canvas, *this, system.Scanners, 183);
    }

    canvas.Font = {"Final Frontier", 10, PaletteColor(*this, system.ColorIndex()), false};
    canvas.Brush.Style = TBrushStyle::bsClear;
    const TSize extent = canvas.TextExtent(system.Name);
    canvas.TextOut(c.X - extent.Width / 2, c.Y + 10, system.Name);
    if (all || visible) {
        canvas.Font = {"Small Fonts", 6, clWhite, false};
        canvas.TextOut(c.X - 20, c.Y - 15, "V" + std::to_string(system.Value));
        canvas.TextOut(c.X + 5, c.Y - 15, "R" + std::to_string(RoundHalfEven(system.Resources)));
    }
}

} // namespace qx
