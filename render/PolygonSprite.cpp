#include "render/PolygonSprite.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/DIBCanvas.h"
#include "render/SpriteSurface.h"

namespace qx {

void TPolygonSprite::AddVertex(int32_t x, int32_t y) {
    Base_.push_back({x, y});
    RotationValid_ = false;
}

const TPolygon& TPolygonSprite::RotatedPolygon() const {
    UpdateRotation();
    return Rotated_;
}

void TPolygonSprite::UpdateRotation() const {
    if (RotationValid_ && RotatedAngle_ == Angle() && Rotated_.size() == Base_.size()) return;
    const double a = RoundHalfEven(Angle()) * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    Rotated_.clear();
    for (const TVertex& v : Base_)
        Rotated_.push_back({RoundHalfEven(v.X * c - v.Y * s), RoundHalfEven(v.Y * c + v.X * s)});
    Box_ = {};
    if (!Rotated_.empty()) {
        Box_ = {Rotated_[0].X, Rotated_[0].Y, Rotated_[0].X, Rotated_[0].Y};
        for (const TVertex& v : Rotated_) {
            Box_.Left = std::min(Box_.Left, v.X);
            Box_.Top = std::min(Box_.Top, v.Y);
            Box_.Right = std::max(Box_.Right, v.X);
            Box_.Bottom = std::max(Box_.Bottom, v.Y);
        }
        ++Box_.Right;
        ++Box_.Bottom;
    }
    RotatedAngle_ = Angle();
    RotationValid_ = true;
}

TRect TPolygonSprite::GetBoundsRect() const {
    UpdateRotation();
    return Box_.Offset(RoundHalfEven(X()), RoundHalfEven(Y()));
}

void TPolygonSprite::Render(PlatformCanvas&, TDIBCanvas& frame) {
    UpdateRotation();
    if (Rotated_.empty()) return;
    const TSpriteSurface* surface = SpriteSurface();
    const int32_t cx = RoundHalfEven(X()) - (surface ? surface->OffsetX() : 0);
    const int32_t cy = RoundHalfEven(Y()) - (surface ? surface->OffsetY() : 0);
    Screen_.clear();
    for (const TVertex& v : Rotated_) Screen_.push_back({v.X + cx, v.Y + cy});
    frame.PenColorIndex = PenColorIndex;
    frame.BrushColorIndex = BrushColorIndex;
    if (Filled) {
        frame.FillPolygon(Screen_);
        if (PenColorIndex != BrushColorIndex) frame.Polygon(Screen_);
    } else {
        frame.Polygon(Screen_);
    }
}

} // namespace qx
