#pragma once

#include <cstdint>
#include <vector>

#include "render/Sprite.h"

namespace qx {

struct TVertex {
    int32_t X = 0;
    int32_t Y = 0;
};
using TPolygon = std::vector<TVertex>;

// A polygon around the sprite's centre, turned by its Angle, drawn filled
// and/or outlined into the 8-bit frame.
class TPolygonSprite : public TSprite {
public:
    bool Filled = false;
    uint8_t PenColorIndex = 0;
    uint8_t BrushColorIndex = 0;

    // A vertex relative to the centre.
    void AddVertex(int32_t x, int32_t y);
    const TPolygon& BasePolygon() const { return Base_; }
    // The base polygon turned by the current angle (rounded to whole degrees).
    const TPolygon& RotatedPolygon() const;

    TRect GetBoundsRect() const override;
    void Render(PlatformCanvas& canvas, TDIBCanvas& frame) override;

private:
    void UpdateRotation() const;

    TPolygon Base_;
    // Cache of the turned polygon and its box (Right/Bottom exclusive),
    // rebuilt when the angle or the vertex count changes.
    mutable TPolygon Rotated_;
    mutable TRect Box_;
    mutable float RotatedAngle_ = 0;
    mutable bool RotationValid_ = false;
    std::vector<TPoint> Screen_;
};

} // namespace qx
