#pragma once

#include "base/Object.h"
#include "render/FreeNotifier.h"
#include "render/Sprite.h"
#include "render/SpriteEvents.h"

namespace qx {

// Gives every sprite of an engine its motion. One mover may serve several
// engines; SpriteEngine is the one it was given to last.
class TSpriteMover : public TObject, public TFreeNotifier {
public:
    ~TSpriteMover() override { NotifyFree(); }

    TSpriteEngine* SpriteEngine() const { return SpriteEngine_; }
    // Fired after InitSprite for every sprite the mover takes on.
    TSpriteEvent OnInitSprite;

    // Default: the sprite gets no mover data.
    virtual void InitSprite(TSprite& sprite) { sprite.SetMoverData(nullptr); }
    virtual void MoveSprite(TSprite& sprite) = 0;

private:
    friend class TSpriteEngine;
    TSpriteEngine* SpriteEngine_ = nullptr;
};

} // namespace qx
