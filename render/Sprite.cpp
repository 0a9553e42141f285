#include "render/Sprite.h"

#include <cmath>

#include "render/SpriteEngine.h"
#include "render/SpriteMover.h"
#include "render/SpriteSurface.h"

namespace qx {

namespace {

// Brings a coordinate back onto a plane of the given size the way repeated
// adding or subtracting of the size would: below 0 lands in [0, size), above
// the size lands in (0, size].
float Wrap(float value, float size) {
    if (value < 0) {
        value = std::fmod(value, size);
        if (value < 0) value += size;
    } else if (value > size) {
        value = std::fmod(value, size);
        if (value == 0) value = size;
    }
    return value;
}

} // namespace

TSprite::~TSprite() = default;

void TSprite::SetX(float value) {
    X_ = value;
    Moved_ = true;
}

void TSprite::SetY(float value) {
    Y_ = value;
    Moved_ = true;
}

void TSprite::SetAngle(float value) {
    if (!std::isfinite(value)) value = 0;
    float angle = std::fmod(value, 360.0f);
    if (angle < 0) angle += 360.0f;
    if (angle >= 360.0f) angle = 0;
    Angle_ = angle;
}

void TSprite::Kill() {
    if (Dead_) return;
    Dead_ = true;
    Visible = false;
    if (SpriteEngine_) SpriteEngine_->QueueDead(this);
}

TRect TSprite::CollisionRect() const {
    const TRect bounds = GetBoundsRect();
    return {bounds.Left + CollisionInsetLeft, bounds.Top + CollisionInsetTop, bounds.Right - CollisionInsetRight,
            bounds.Bottom - CollisionInsetBottom};
}

void TSprite::Move() {
    if (LifeSpan > 0) {
        --LifeSpan;
        if (LifeSpan == 0) {
            Kill();
            return;
        }
    }
    if (Spin > 0) SetAngle(SpinReverse ? Angle_ - Spin : Angle_ + Spin);
    if (SpriteEngine_ && SpriteEngine_->SpriteMover()) SpriteEngine_->SpriteMover()->MoveSprite(*this);
    // A plane without size cannot be wrapped around.
    if (SpriteSurface_) {
        if (SpriteSurface_->WrapHorizontal && SpriteSurface_->VirtualWidth() > 0)
            SetX(Wrap(X_, static_cast<float>(SpriteSurface_->VirtualWidth())));
        if (SpriteSurface_->WrapVertical && SpriteSurface_->VirtualHeight() > 0)
            SetY(Wrap(Y_, static_cast<float>(SpriteSurface_->VirtualHeight())));
    }
    Moved_ = false;
}

} // namespace qx
