#include "game/OrderLines.h"

#include <algorithm>
#include <string_view>

#include "base/FieldCodec.h"
#include "base/Random.h"
#include "engine/QuorvexEngine.h"
#include "render/DIBCanvas.h"
#include "render/GameBoard.h"
#include "render/PlatformCanvas.h"

namespace qx {

namespace {

// Cells far off the map (a destination nobody checked) stay far off without
// overflowing the pixel arithmetic.
TPoint CellPoint(int32_t x, int32_t y) {
    constexpr int32_t kFar = 1000000;
    return TGameBoard::PixelPosition(std::clamp(x, -kFar, kFar), std::clamp(y, -kFar, kFar));
}

// A ship the local player may be shown a line to.
const TStarShip* SeenShip(const TQuorvexEngine& engine, const std::string& code, const TPlayer* local) {
    const TStarShip* ship = engine.FindStarShipByCode(code);
    if (!ship || ship->Destroyed || !ship->IsVisibleTo(local)) return nullptr;
    return ship;
}

bool ParseCell(std::string_view text, TPoint& cell) {
    int32_t x = 0, y = 0;
    if (!TextToInt(NextToken(text, ','), x) || !TextToInt(text, y)) return false;
    cell = {x, y};
    return true;
}

} // namespace

uint8_t TOrderLines::OrderColor(uint8_t order) {
    switch (order) {
    case ordMove: return 6;
    case ordDefend: return 2;
    case ordEscort: return 7;
    case ordPatrol: return 5;
    case ordTransport: return 110;
    case ordTargetStarShip:
    case ordTargetStarSystem: return 249;
    case ordTug: return 80;
    case ordGenerate: return 250;
    case ordRepair: return 110;
    case ordDrag: return 32;
    default: return 0;
    }
}

std::vector<TOrderSegment> TOrderLines::Build(const TQuorvexEngine& engine, const TPlayer* local,
                                              const std::function<bool(const TStarShip*)>& isSelected,
                                              TRandom& random) {
    std::vector<TOrderSegment> segments;
    if (!local) return segments;
    for (const auto& owned : local->StarShips) {
        const TStarShip& ship = *owned;
        if (ship.Destroyed || ship.Order == ordNone) continue;
        const uint8_t color = isSelected && isSelected(&ship) ? SelectedColor : OrderColor(ship.Order);
        const TPoint from = CellPoint(ship.X, ship.Y);
        bool hasTarget = false;
        TPoint target;
        std::vector<std::pair<TPoint, TPoint>> route;
        auto aim = [&](const TQxMapObject* object) {
            if (!object) return;
            target = CellPoint(object->X, object->Y);
            hasTarget = true;
        };
        switch (ship.Order) {
        case ordMove:
            target = CellPoint(ship.DestX, ship.DestY);
            hasTarget = true;
            break;
        case ordDefend: {
            const TQxMapObject* object = engine.FindObjectByRef(ship.TargetRef);
            const auto* defended = dynamic_cast<const TStarShip*>(object);
            if (!defended || (!defended->Destroyed && defended->IsVisibleTo(local))) aim(object);
            break;
        }
        case ordEscort:
        case ordTargetStarShip:
        case ordTug:
        case ordRepair: aim(SeenShip(engine, ship.TargetRef, local)); break;
        case ordTargetStarSystem:
        case ordDrag: aim(engine.StarSystemOrNull(ship.TargetSystem)); break;
        case ordGenerate: {
            const TStarSystem* system = engine.StarSystemOrNull(ship.TargetSystem);
            if (system && !ship.IsAdjacent(*system)) aim(system);
            break;
        }
        case ordTransport: {
            const TStarSystem* source = engine.StarSystemOrNull(ship.SourceSystem);
            const TStarSystem* destination = engine.StarSystemOrNull(ship.TargetSystem);
            aim(ship.Cargo < 1 ? source : destination);
            if (source && destination)
                route.emplace_back(CellPoint(source->X, source->Y), CellPoint(destination->X, destination->Y));
            break;
        }
        case ordPatrol: {
            std::vector<TPoint> points;
            for (const std::string& text : ship.PatrolPoints) {
                TPoint cell;
                if (ParseCell(text, cell)) points.push_back(CellPoint(cell.X, cell.Y));
            }
            if (ship.PatrolIndex >= 0 && ship.PatrolIndex < static_cast<int32_t>(points.size())) {
                target = points[static_cast<size_t>(ship.PatrolIndex)];
                hasTarget = true;
            }
            for (size_t i = 1; i < points.size(); ++i) route.emplace_back(points[i - 1], points[i]);
            break;
        }
        default: break;
        }
        if (hasTarget) {
            segments.push_back({from, target, color});
            const int32_t dx = random.Random(3) - 1;
            const int32_t dy = random.Random(3) - 1;
            segments.push_back({{from.X + dx, from.Y + dy}, target, color});
        }
        for (const auto& [a, b] : route) segments.push_back({a, b, color});
    }
    return segments;
}

void TOrderLines::Draw(const std::vector<TOrderSegment>& segments, TDIBCanvas& frame, int32_t offsetX,
                       int32_t offsetY) {
    for (const TOrderSegment& segment : segments) {
        frame.PenColorIndex = segment.ColorIndex;
        frame.MoveTo(segment.From.X - offsetX, segment.From.Y - offsetY);
        frame.LineTo(segment.To.X - offsetX, segment.To.Y - offsetY);
    }
}

void TOrderLines::DrawPatrolEntry(const std::vector<std::string>& points, PlatformCanvas& canvas, int32_t offsetX,
                                  int32_t offsetY) {
    if (points.size() < 2) return;
    canvas.Pen = {clYellow, TPenStyle::psDot, 1};
    bool first = true;
    for (const std::string& text : points) {
        TPoint cell;
        if (!ParseCell(text, cell)) continue;
        const TPoint p = CellPoint(cell.X, cell.Y);
        if (first)
            canvas.MoveTo(p.X - offsetX, p.Y - offsetY);
        else
            canvas.LineTo(p.X - offsetX, p.Y - offsetY);
        first = false;
    }
    canvas.Pen.Style = TPenStyle::psSolid;
}

} // namespace qx
