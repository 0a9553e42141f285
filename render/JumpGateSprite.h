#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "base/Random.h"
#include "render/PolygonSprite.h"
#include "render/Sprite.h"

namespace qx {

// A jump gate: two squares spinning opposite ways (their own polygon
// sprites, handed to the gate's engine at its first drawing) under three
// shimmering rings.
class TJumpGateSprite : public TSprite {
public:
    // `random` is the board's presentation generator; it must outlive the sprite.
    explicit TJumpGateSprite(TRandom& random);

    const std::array<uint8_t, 3>& Colors() const { return Colors_; }
    TPolygonSprite* Outer() const { return Outer_; }
    TPolygonSprite* Inner() const { return Inner_; }

    TRect GetBoundsRect() const override;
    void Move() override;
    void Render(PlatformCanvas& canvas, TDIBCanvas& frame) override;

private:
    // The squares while they still belong to the gate; handed over once.
    std::unique_ptr<TPolygonSprite> OwnedOuter_;
    std::unique_ptr<TPolygonSprite> OwnedInner_;
    TPolygonSprite* Outer_ = nullptr;
    TPolygonSprite* Inner_ = nullptr;
    std::array<uint8_t, 3> Colors_{};
    TRandom& Random_;
};

} // namespace qx
