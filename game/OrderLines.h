#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "render/RenderTypes.h"

namespace qx {

class PlatformCanvas;
class TDIBCanvas;
class TPlayer;
class TQuorvexEngine;
class TRandom;
class TStarShip;

// One line of the order overlay, in pixels of the board's virtual plane.
struct TOrderSegment {
    TPoint From;
    TPoint To;
    uint8_t ColorIndex = 0;
    friend bool operator==(const TOrderSegment&, const TOrderSegment&) = default;
};

// The lines drawn under the sprites from each of the local player's ships
// toward what its order aims at, in the order's colour (the selected ships'
// in 255). The first line of an order is drawn twice, the second time from a
// start point shaken by a pixel (a flicker drawn from the presentation
// generator).
class TOrderLines {
public:
    static constexpr uint8_t SelectedColor = 255;

    // The colour of an order's lines; 0 for orders that draw none.
    static uint8_t OrderColor(uint8_t order);

    static std::vector<TOrderSegment> Build(const TQuorvexEngine& engine, const TPlayer* local,
                                            const std::function<bool(const TStarShip*)>& isSelected,
                                            TRandom& random);
    // Draws the segments into the frame whose top-left shows virtual pixel
    // (offsetX, offsetY).
    static void Draw(const std::vector<TOrderSegment>& segments, TDIBCanvas& frame, int32_t offsetX, int32_t offsetY);
    // The patrol path being entered ("x,y" cells), as a dotted yellow
    // polyline; nothing for fewer than two points.
    static void DrawPatrolEntry(const std::vector<std::string>& points, PlatformCanvas& canvas, int32_t offsetX,
                                int32_t offsetY);
};

} // namespace qx
