#include "render/DestinationSpriteMover.h"

#include <cmath>
#include <memory>

#include "base/Random.h"
#include "render/SpriteSurface.h"

namespace qx {

TDestinationSpriteMoverData* TDestinationSpriteMover::DataOf(TSprite& sprite) {
    return dynamic_cast<TDestinationSpriteMoverData*>(sprite.MoverData());
}

TDestinationSpriteMoverData& TDestinationSpriteMover::EnsureData(TSprite& sprite) {
    if (TDestinationSpriteMoverData* data = DataOf(sprite)) return *data;
    auto fresh = std::make_unique<TDestinationSpriteMoverData>();
    TDestinationSpriteMoverData& ref = *fresh;
    sprite.SetMoverData(std::move(fresh));
    return ref;
}

void TDestinationSpriteMover::InitSprite(TSprite& sprite) {
    sprite.SetMoverData(std::make_unique<TDestinationSpriteMoverData>());
    TRandom& random = sprite.SpriteSurface() ? sprite.SpriteSurface()->PresentationRandom() : OwnRandom_;
    if (RandomizeStartingDestination && sprite.SpriteSurface()) {
        const int32_t x = random.Random(sprite.SpriteSurface()->VirtualWidth());
        const int32_t y = random.Random(sprite.SpriteSurface()->VirtualHeight());
        SetDestination(sprite, {x, y});
    }
    SetSpeed(sprite, static_cast<float>(random.RandomReal()) * (InitialSpeedMax - InitialSpeedMin) + InitialSpeedMin);
}

void TDestinationSpriteMover::SetDestination(TSprite& sprite, TPoint destination) {
    TDestinationSpriteMoverData& data = EnsureData(sprite);
    data.DestX = destination.X;
    data.DestY = destination.Y;
    data.StopAtDestination = StopAtDestination;
    UpdateVelocity(sprite, data);
}

void TDestinationSpriteMover::SetSpeed(TSprite& sprite, float speed) {
    TDestinationSpriteMoverData& data = EnsureData(sprite);
    data.Speed = speed;
    UpdateVelocity(sprite, data);
}

void TDestinationSpriteMover::UpdateVelocity(const TSprite& sprite, TDestinationSpriteMoverData& data) {
    // The speed is shared by the axes in proportion to their distances, so
    // |vx| + |vy| = speed.
    const float distX = std::fabs(static_cast<float>(data.DestX) - sprite.X());
    const float distY = std::fabs(static_cast<float>(data.DestY) - sprite.Y());
    const float d = distX + distY;
    if (d == 0) {
        data.VelocityX = data.Speed / 2;
        data.VelocityY = data.Speed / 2;
        return;
    }
    data.VelocityX = data.Speed * distX / d;
    data.VelocityY = data.Speed * distY / d;
    if (static_cast<float>(data.DestX) < sprite.X()) data.VelocityX = -data.VelocityX;
    if (static_cast<float>(data.DestY) < sprite.Y()) data.VelocityY = -data.VelocityY;
}

void TDestinationSpriteMover::MoveSprite(TSprite& sprite) {
    TDestinationSpriteMoverData* data = DataOf(sprite);
    if (!data) return;
    auto step = [&](float position, float velocity, int32_t destination) {
        const float next = position + velocity;
        if (!data->StopAtDestination) return next;
        const auto dest = static_cast<float>(destination);
        if ((velocity > 0 && dest < next) || (velocity < 0 && dest > next)) return dest;
        return next;
    };
    sprite.SetX(step(sprite.X(), data->VelocityX, data->DestX));
    sprite.SetY(step(sprite.Y(), data->VelocityY, data->DestY));
}

} // namespace qx
