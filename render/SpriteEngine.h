#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "base/Object.h"
#include "render/FreeNotifier.h"
#include "render/Sprite.h"
#include "render/SpriteEvents.h"

namespace qx {

class TSpriteMover;

// Owns, moves, draws and reaps one layer of sprites on a surface. Additions
// and deaths are queued (pending and dead lists) and applied only in the
// move step, because event handlers run between and inside frames.
class TSpriteEngine : public TObject, public TFreeNotifier {
public:
    TSpriteEngine() = default;
    ~TSpriteEngine() override;
    TSpriteEngine(const TSpriteEngine&) = delete;
    TSpriteEngine& operator=(const TSpriteEngine&) = delete;

    TSpriteSurface* SpriteSurface() const { return SpriteSurface_; }
    // Registers the engine with the surface (and leaves the old one).
    void SetSpriteSurface(TSpriteSurface* surface);
    // Higher priorities draw first, underneath.
    int32_t Priority() const { return Priority_; }
    void SetPriority(int32_t value);
    TSpriteMover* SpriteMover() const { return SpriteMover_; }
    // Gives every live sprite fresh mover data from the new mover.
    void SetSpriteMover(TSpriteMover* mover);

    bool ClickSprites = true;
    bool Visible = true;
    bool Yield = false;
    bool RandomizeStartingPosition = false;
    TSpriteEvent OnAddSprite;
    TSpriteEvent OnRemoveSprite;
    TCollisionEvent OnCollision;

    // Takes ownership; the sprite is pending until the next move step.
    TSprite* AddSprite(std::unique_ptr<TSprite> sprite);
    template <class T>
        requires std::is_base_of_v<TSprite, T>
    T* Add(std::unique_ptr<T> sprite) {
        T* raw = sprite.get();
        AddSprite(std::move(sprite));
        return raw;
    }
    // Kills the sprite; it is destroyed at the end of the next move step.
    // Sprites of other engines are left alone.
    void RemoveSprite(TSprite* sprite);
    // Removes every live sprite, last to first.
    void Clear();
    // Kills every sprite, the pending ones too: nothing added so far is drawn.
    void KillAll();

    // The live list, in drawing order.
    int32_t SpriteCount() const { return static_cast<int32_t>(Live_.size()); }
    TSprite* Sprites(int32_t index) const { return Live_.at(static_cast<size_t>(index)).get(); }
    int32_t PendingCount() const { return static_cast<int32_t>(Pending_.size()); }
    int32_t IndexOf(const TSprite* sprite) const;
    // True while the sprite is pending or live here (not yet destroyed).
    bool Holds(const TSprite* sprite) const;

    // Engines whose sprites are tested against this engine's (this engine
    // itself tests its own sprites pairwise).
    void AddCollisionEngine(TSpriteEngine* engine);
    void RemoveCollisionEngine(TSpriteEngine* engine);
    // Have the live list sorted by ZOrder before the next move step.
    void RequestSort() { Resort_ = true; }

    // The steps of a frame, run by the surface.
    void MoveStep();
    void DrawStep(PlatformCanvas& canvas, TDIBCanvas& frame);
    void TestCollisions();

private:
    friend class TSprite;
    friend class TSpriteSurface;

    void QueueDead(TSprite* sprite) { Dead_.push_back(sprite); }
    void InitMover(TSprite& sprite);
    void InsertLive(std::unique_ptr<TSprite> sprite);
    void Reap();
    void SurfaceGone();
    void TestPair(TSprite& mine, TSprite& other);

    TSpriteSurface* SpriteSurface_ = nullptr;
    int32_t Priority_ = 0;
    TSpriteMover* SpriteMover_ = nullptr;
    std::vector<std::unique_ptr<TSprite>> Live_;
    std::vector<std::unique_ptr<TSprite>> Pending_;
    std::vector<TSprite*> Dead_;
    std::vector<TSpriteEngine*> Collisions_;
    bool Resort_ = false;
};

} // namespace qx
