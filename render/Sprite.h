#pragma once

#include <cstdint>
#include <memory>

#include "base/Object.h"
#include "render/RenderTypes.h"

namespace qx {

class PlatformCanvas;
class TDIBCanvas;
class TSpriteEngine;
class TSpriteSurface;

// Per-sprite state of an engine's mover; owned by the sprite.
class TSpriteMoverData {
public:
    virtual ~TSpriteMoverData() = default;
};

// Something drawn on the board. Lives on the virtual plane (X, Y is its
// centre in pixels); owned by its engine once added: pending until the next
// move step, then live, then dead (killed) and destroyed at the end of the
// following move step.
class TSprite : public TObject {
public:
    TSprite() = default;
    ~TSprite() override;
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    float X() const { return X_; }
    float Y() const { return Y_; }
    void SetX(float value);
    void SetY(float value);
    void SetPosition(float x, float y) {
        SetX(x);
        SetY(y);
    }
    bool Moved() const { return Moved_; }

    // Drawn and clickable only when true.
    bool Visible = true;
    // Sort key among the engine's live sprites: lower values are drawn first.
    int32_t ZOrder = 0;
    // Frames left to live; 0 means unlimited.
    int32_t LifeSpan = 0;
    int32_t CollisionInsetLeft = 0;
    int32_t CollisionInsetTop = 0;
    int32_t CollisionInsetBottom = 0;
    int32_t CollisionInsetRight = 0;
    // Degrees added to (or, with SpinReverse, taken from) Angle every frame.
    float Spin = 0;
    bool SpinReverse = false;
    // Highlighted by the game; the engine ignores it.
    bool Selected = false;

    // Degrees, always in [0, 360).
    float Angle() const { return Angle_; }
    void SetAngle(float value);

    bool Dead() const { return Dead_; }
    // Hides the sprite and has its engine destroy it at the end of the next
    // move step. Killing twice does nothing more.
    void Kill();

    TSpriteSurface* SpriteSurface() const { return SpriteSurface_; }
    TSpriteEngine* SpriteEngine() const { return SpriteEngine_; }
    TSpriteMoverData* MoverData() const { return MoverData_.get(); }
    void SetMoverData(std::unique_ptr<TSpriteMoverData> data) { MoverData_ = std::move(data); }

    // The bounds shrunk by the collision insets.
    TRect CollisionRect() const;

    // Virtual-plane rectangle the sprite covers (Right/Bottom exclusive).
    virtual TRect GetBoundsRect() const = 0;
    // One frame of motion.
    virtual void Move();
    // Draws onto the platform canvas and/or the 8-bit frame; screen position
    // = virtual position - the surface's offsets.
    virtual void Render(PlatformCanvas& canvas, TDIBCanvas& frame) = 0;

protected:
    void ClearMoved() { Moved_ = false; }

private:
    friend class TSpriteEngine;

    float X_ = 0;
    float Y_ = 0;
    float Angle_ = 0;
    bool Moved_ = false;
    bool Dead_ = false;
    std::unique_ptr<TSpriteMoverData> MoverData_;
    TSpriteSurface* SpriteSurface_ = nullptr;
    TSpriteEngine* SpriteEngine_ = nullptr;
};

} // namespace qx
