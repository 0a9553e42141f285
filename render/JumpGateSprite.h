#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "render/PolygonSprite.h"
#include "render/Sprite.h"

namespace qx {

// A jump gate: two squares spinning opposite ways (their own polygon
// sprites, handed to the gate's engine at its first drawing) under three
// shimmering rings.
class TJumpGateSprite : public TSprite {
public:
    TJumpGateSprite();

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
};

} // namespace qx
