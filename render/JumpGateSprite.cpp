#include "render/JumpGateSprite.h"

#include "base/Random.h"
#include "render/SpriteEngine.h"
#include "render/SpriteLink.h"

namespace qx {

namespace {

std::unique_ptr<TPolygonSprite> Square(int32_t half, uint8_t color, bool reverse, TRandom& random) {
    auto square = std::make_unique<TPolygonSprite>();
    for (auto [x, y] : {std::pair{-half, -half}, {half, -half}, {half, half}, {-half, half}}) square->AddVertex(x, y);
    square->Spin = static_cast<float>(random.RandomReal() * 20);
    square->SpinReverse = reverse;
    square->PenColorIndex = square->BrushColorIndex = color;
    square->Filled = true;
    return square;
}

} // namespace

TJumpGateSprite::TJumpGateSprite(TRandom& random) : Random_(random) {
    for (uint8_t& color : Colors_) color = static_cast<uint8_t>(Random_.Random(256));
    OwnedOuter_ = Square(12, static_cast<uint8_t>(Random_.Random(256)), false, Random_);
    OwnedInner_ = Square(10, 0, true, Random_);
    Outer_ = OwnedOuter_.get();
    Inner_ = OwnedInner_.get();
}

TRect TJumpGateSprite::GetBoundsRect() const {
    const int32_t x = RoundHalfEven(X()), y = RoundHalfEven(Y());
    return {x - 15, y - 15, x + 15, y + 15};
}

void TJumpGateSprite::Move() {
    TSprite::Move();
    // Squares already handed over may have been reaped by their engine
    // (cleared with it); only those it still holds are touched.
    TSpriteEngine* engine = SpriteEngine();
    for (TPolygonSprite* square : {Outer_, Inner_}) {
        const bool owned = square == OwnedOuter_.get() || square == OwnedInner_.get();
        if (!owned && !(engine && engine->Holds(square))) continue;
        if (Dead()) square->Kill();
        else square->SetPosition(X(), Y());
    }
}

void TJumpGateSprite::Render(PlatformCanvas& canvas, TDIBCanvas&) {
    if (TSpriteEngine* engine = SpriteEngine(); engine && OwnedInner_) {
        OwnedInner_->SetPosition(X(), Y());
        OwnedOuter_->SetPosition(X(), Y());
        engine->AddSprite(std::move(OwnedInner_));
        engine->AddSprite(std::move(OwnedOuter_));
    }
    canvas.Brush.Style = TBrushStyle::bsClear;
    const TPoint c = ScreenCentre(*this);
    for (uint8_t color : Colors_) {
        canvas.Pen = {PaletteColor(*this, color), TPenStyle::psSolid, 1};
        const int32_t rx = 15 + Random_.Random(5) - 2;
        const int32_t ry = 15 + Random_.Random(5) - 2;
        canvas.Ellipse(c.X - rx, c.Y - ry, c.X + rx, c.Y + ry);
    }
}

} // namespace qx
