#pragma once

#include <cstdint>
#include <functional>

#include "base/Object.h"
#include "render/RenderTypes.h"

namespace qx {

class TSprite;
class TDIBCanvas;
class PlatformCanvas;

// Callbacks bound to a target, the sender first; an unset event is skipped.
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TSpriteEvent = std::function<void(TObject* Sender, TSprite* Sprite)>;
using TCollisionEvent = std::function<void(TObject* Sender, TSprite* Sprite1, TSprite* Sprite2)>;
using TCanvasEvent = std::function<void(TObject* Sender, PlatformCanvas& Canvas, TDIBCanvas& Frame)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int32_t X, int32_t Y)>;

} // namespace qx
