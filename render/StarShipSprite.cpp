#include "render/StarShipSprite.h"

#include <string>

#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "base/Random.h"
#include "render/SpriteLink.h"

namespace qx {

namespace {

int32_t Jitter(TRandom& random) { return random.Random(3) - 1; }  // -1..1

// White at full strength, yellow down to 30 %, red below.
TColor StrengthColor(int32_t value, int32_t max) {
    if (value == max) return clWhite;
    const bool fair = max > 0 ? static_cast<double>(value) / max >= 0.3 : value > 0;
    return fair ? clYellow : clRed;
}

} // namespace

TStarShipSprite::TStarShipSprite(TIndexedBitmap& sheet, TStarShip* ship, TRandom& random)
    : TBitmapSprite(sheet), StarShip_(ship), Random_(random) {
    SetFramesX(46);
    SetFramesY(10);
    Transparent = true;
    Facing = Random_.Random(8);
}

TStarShipSprite::TLook TStarShipSprite::Look() const {
    TLook look;
    if (!StarShip_ || !StarShip_->Engine) return look;
    const TQuorvexEngine& engine = *StarShip_->Engine;
    const TPlayer* local = engine.CurrentPlayer;
    const bool all = engine.AllComputer();
    if (!all && !StarShip_->IsVisibleTo(local)) return look;
    look.Drawn = true;
    look.Row = StarShip_->Owner ? StarShip_->Owner->Index : 0;
    look.Known = all || StarShip_->IsKnownTo(local);
    if (!look.Known) {
        look.Column = UnknownColumn;
        return look;
    }
    // Another player's DoppleShip passes for a WarShip.
    const bool disguised = StarShip_->ShipType == TShipType::DoppleShip && StarShip_->Owner != local;
    const int32_t facing = Facing & 7;
    look.Column = (disguised ? 0 : 2 * static_cast<int32_t>(StarShip_->ShipType)) + (facing & 1);
    static constexpr int32_t kQuadrant[4] = {3, 0, 1, 2};
    look.Quadrant = kQuadrant[facing / 2];
    return look;
}

void TStarShipSprite::Render(PlatformCanvas& canvas, TDIBCanvas& frame) {
    const TLook look = Look();
    if (!look.Drawn) return;
    FrameColumn = look.Column;
    FrameRow = look.Row;
    const TPoint topLeft = ScreenTopLeft();
    // Corners inclusive.
    const TRect box{topLeft.X, topLeft.Y, topLeft.X + FrameWidth() - 1, topLeft.Y + FrameHeight() - 1};

    int32_t dx = 0, dy = 0;
    if (look.Known) {
        const TStarShip& ship = *StarShip_;
        const int64_t full = int64_t{ship.MaxEngines} + ship.MaxValue;
        // A ship without any rating has nothing to lose.
        const int64_t health = full > 0 ? (int64_t{ship.Engines} + ship.Value) * 100 / full : 100;
        if (Random_.Random(100) > health) {
            dx = Jitter(Random_);
            dy = Jitter(Random_);
        }
    }
    frame.CopyBlockTransQuad(box.Left + dx, box.Top + dy, look.Quadrant, FrameSource(), SheetCanvas());
    if (Selected) {
        frame.PenColorIndex = 255;
        frame.Rectangle(box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2);
    }

    canvas.Font = {"Small Fonts", 6, clWhite, false};
    canvas.Brush = {clBlack, TBrushStyle::bsSolid};
    const TPlayer* local = StarShip_->Engine->CurrentPlayer;
    if (look.Known) {
        DrawCaptions(canvas, frame, box, local);
        return;
    }
    const int32_t guess = StarShip_->KnownValueFor(local);
    if (guess > 0) canvas.TextOut(box.Left, box.Top + 19, "W" + std::to_string(guess) + "?");
}

void TStarShipSprite::DrawCaptions(PlatformCanvas& canvas, TDIBCanvas& frame, const TRect& box,
                                   const TPlayer* local) {
    const TStarShip& ship = *StarShip_;
    const bool disguised = ship.ShipType == TShipType::DoppleShip && ship.Owner != local;
    if (ship.Cloaked) {
        canvas.Brush.Style = TBrushStyle::bsClear;
        canvas.Pen = {PaletteColor(*this, 241 + Random_.Random(5)), TPenStyle::psSolid, 1};
        const int32_t l = box.Left + Jitter(Random_), t = box.Top + Jitter(Random_);
        const int32_t r = box.Right + 1 + Jitter(Random_), b = box.Bottom + 1 + Jitter(Random_);
        canvas.Ellipse(l, t, r, b);
        canvas.Brush = {clBlack, TBrushStyle::bsSolid};
    }
    canvas.Font.Color = disguised ? clWhite : StrengthColor(ship.Engines, ship.MaxEngines);
    canvas.TextOut(box.Left, box.Top, "E" + std::to_string(disguised ? ship.ApparentEngines() : ship.Engines));
    const std::string value = ship.ValueText();
    if (!value.empty()) {
        canvas.Font.Color = disguised ? clWhite : StrengthColor(ship.Value, ship.MaxValue);
        canvas.TextOut(box.Left, box.Top + 19, value);
    }
    if (ship.Cargo > 0) {
        canvas.Font.Color = clWhite;
        canvas.TextOut(box.Left + 19, box.Top + 19, "R" + std::to_string(ship.Cargo));
    }
    if (local && ship.Owner == local) DrawOwnEffects(canvas, frame, box);
}

void TStarShipSprite::DrawOwnEffects(PlatformCanvas& canvas, TDIBCanvas& frame, const TRect& box) {
    const TStarShip& ship = *StarShip_;
    const TQuorvexEngine& engine = *ship.Engine;
    switch (ship.ShipType) {
    case TShipType::ScanShip:
    case TShipType::SpyShip:
        if (ship.Scanners() > 0) DrawRangeRing(canvas, *this, ship.Value, 183);
        break;
    case TShipType::CloakDetector: DrawRangeRing(canvas, *this, ship.Value, 30); break;
    case TShipType::CommandShip: DrawRangeRing(canvas, *this, ship.Value, 10); break;
    case TShipType::StarTillery: DrawRangeRing(canvas, *this, ship.Value, 22); break;
    default: break;
    }
    if (ship.Pulsing) {
        canvas.Brush.Style = TBrushStyle::bsClear;
        for (int i = 0; i < 4; ++i) {
            canvas.Pen = {PaletteColor(*this, 10 + Random_.Random(13)), TPenStyle::psSolid, 1};
            const int32_t l = box.Left - 5 + Random_.Random(3), t = box.Top - 5 + Random_.Random(3);
            const int32_t r = box.Right + 3 + Random_.Random(3), b = box.Bottom + 3 + Random_.Random(3);
            canvas.Ellipse(l, t, r, b);
        }
    }
    if (ship.ShipType == TShipType::Tug && !ship.Towing.empty())
        DrawSparks(frame, box, SpriteOf(engine.FindStarShipByCode(ship.Towing)), 121, 126);
    if (ship.Order == ordGenerate) {
        const TStarSystem* system = engine.StarSystemOrNull(ship.TargetSystem);
        if (system && ship.IsAdjacent(*system)) DrawSparks(frame, box, SpriteOf(system), 201, 209);
    }
    if (ship.ShipType == TShipType::GravShip && ship.DragSystem >= 0)
        DrawSparks(frame, box, SpriteOf(engine.StarSystemOrNull(ship.DragSystem)), 16, 32);
}

void TStarShipSprite::DrawSparks(TDIBCanvas& frame, const TRect& box, const TSprite* target, int32_t low,
                                 int32_t high) {
    if (!target) return;
    const int32_t fromX = box.Left + FrameWidth() / 2, fromY = box.Top + FrameHeight() / 2;
    const TPoint to = ScreenCentre(*target);
    for (int i = 0; i < 6; ++i) {
        frame.PenColorIndex = static_cast<uint8_t>(low + Random_.Random(high - low + 1));
        frame.MoveTo(fromX, fromY);
        const int32_t x = to.X + Random_.Random(10) - 5, y = to.Y + Random_.Random(10) - 5;
        frame.LineTo(x, y);
    }
}

} // namespace qx
