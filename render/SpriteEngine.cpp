#include "render/SpriteEngine.h"

#include <algorithm>

#include "base/Random.h"
#include "render/DIBCanvas.h"
#include "render/PlatformCanvas.h"
#include "render/SpriteMover.h"
#include "render/SpriteSurface.h"

namespace qx {

TSpriteEngine::~TSpriteEngine() {
    NotifyFree();
    for (auto& sprite : Live_) sprite->Dead_ = true;
    for (auto& sprite : Pending_) sprite->Dead_ = true;
    for (TSpriteEngine* other : Collisions_)
        if (other != this) other->RemoveFreeNotification(this);
    if (SpriteMover_) SpriteMover_->RemoveFreeNotification(this);
    SetSpriteSurface(nullptr);
}

void TSpriteEngine::SetSpriteSurface(TSpriteSurface* surface) {
    if (surface == SpriteSurface_) return;
    if (SpriteSurface_) {
        SpriteSurface_->RemoveFreeNotification(this);
        SpriteSurface_->RemoveEngine(this);
    }
    SpriteSurface_ = surface;
    if (surface) {
        surface->AddEngine(this);
        surface->AddFreeNotification(this, [this] { SurfaceGone(); });
    }
    for (auto& sprite : Live_) sprite->SpriteSurface_ = surface;
    for (auto& sprite : Pending_) sprite->SpriteSurface_ = surface;
}

void TSpriteEngine::SurfaceGone() {
    SpriteSurface_ = nullptr;
    for (auto& sprite : Live_) sprite->SpriteSurface_ = nullptr;
    for (auto& sprite : Pending_) sprite->SpriteSurface_ = nullptr;
}

void TSpriteEngine::SetPriority(int32_t value) {
    Priority_ = value;
    if (SpriteSurface_) SpriteSurface_->SortEngines();
}

void TSpriteEngine::SetSpriteMover(TSpriteMover* mover) {
    if (SpriteMover_) SpriteMover_->RemoveFreeNotification(this);
    SpriteMover_ = mover;
    if (mover) {
        mover->SpriteEngine_ = this;
        mover->AddFreeNotification(this, [this] {
            SpriteMover_ = nullptr;
            for (auto& sprite : Live_) sprite->SetMoverData(nullptr);
        });
    }
    for (auto& sprite : Live_) {
        sprite->SetMoverData(nullptr);
        InitMover(*sprite);
        sprite->Moved_ = true;
    }
}

void TSpriteEngine::InitMover(TSprite& sprite) {
    if (!SpriteMover_) return;
    TSpriteMover* mover = SpriteMover_;
    mover->InitSprite(sprite);
    if (mover->OnInitSprite) mover->OnInitSprite(mover, &sprite);
}

TSprite* TSpriteEngine::AddSprite(std::unique_ptr<TSprite> owned) {
    if (!owned) return nullptr;
    TSprite* sprite = owned.get();
    sprite->SpriteSurface_ = SpriteSurface_;
    sprite->SpriteEngine_ = this;
    sprite->SetMoverData(nullptr);
    if (RandomizeStartingPosition && SpriteSurface_) {
        TRandom& random = SpriteSurface_->PresentationRandom();
        sprite->SetX(static_cast<float>(random.Random(SpriteSurface_->VirtualWidth())));
        sprite->SetY(static_cast<float>(random.Random(SpriteSurface_->VirtualHeight())));
    }
    Pending_.push_back(std::move(owned));
    InitMover(*sprite);
    // Killed before it was handed over: it still has to be reaped.
    if (sprite->Dead_) QueueDead(sprite);
    return sprite;
}

void TSpriteEngine::RemoveSprite(TSprite* sprite) {
    if (sprite && sprite->SpriteEngine_ == this) sprite->Kill();
}

void TSpriteEngine::Clear() {
    for (size_t i = Live_.size(); i-- > 0;) RemoveSprite(Live_[i].get());
}

void TSpriteEngine::KillAll() {
    Clear();
    for (const auto& sprite : Pending_) sprite->Kill();
}

int32_t TSpriteEngine::IndexOf(const TSprite* sprite) const {
    for (size_t i = 0; i < Live_.size(); ++i)
        if (Live_[i].get() == sprite) return static_cast<int32_t>(i);
    return -1;
}

bool TSpriteEngine::Holds(const TSprite* sprite) const {
    auto same = [sprite](const std::unique_ptr<TSprite>& s) { return s.get() == sprite; };
    return std::any_of(Live_.begin(), Live_.end(), same) || std::any_of(Pending_.begin(), Pending_.end(), same);
}

void TSpriteEngine::AddCollisionEngine(TSpriteEngine* engine) {
    if (!engine || std::find(Collisions_.begin(), Collisions_.end(), engine) != Collisions_.end()) return;
    Collisions_.push_back(engine);
    if (engine != this) engine->AddFreeNotification(this, [this, engine] { std::erase(Collisions_, engine); });
}

void TSpriteEngine::RemoveCollisionEngine(TSpriteEngine* engine) {
    if (std::erase(Collisions_, engine) > 0 && engine != this) engine->RemoveFreeNotification(this);
}

void TSpriteEngine::InsertLive(std::unique_ptr<TSprite> owned) {
    TSprite* sprite = owned.get();
    // Before the first sprite of the same or a higher ZOrder: among equals
    // the newest is drawn first.
    auto at = std::find_if(Live_.begin(), Live_.end(),
                           [sprite](const std::unique_ptr<TSprite>& s) { return s->ZOrder >= sprite->ZOrder; });
    Live_.insert(at, std::move(owned));
    if (OnAddSprite) OnAddSprite(this, sprite);
}

void TSpriteEngine::MoveStep() {
    if (Resort_) {
        Resort_ = false;
        std::stable_sort(Live_.begin(), Live_.end(),
                         [](const auto& a, const auto& b) { return a->ZOrder < b->ZOrder; });
    }
    // Sprites added by the handlers below wait for the next step.
    auto pending = std::move(Pending_);
    Pending_.clear();
    for (auto& sprite : pending) InsertLive(std::move(sprite));
    for (size_t i = 0; i < Live_.size(); ++i) Live_[i]->Move();
    Reap();
}

void TSpriteEngine::Reap() {
    for (size_t i = 0; i < Dead_.size(); ++i) {
        TSprite* sprite = Dead_[i];
        auto same = [sprite](const std::unique_ptr<TSprite>& s) { return s.get() == sprite; };
        if (std::find_if(Live_.begin(), Live_.end(), same) != Live_.end()) {
            if (OnRemoveSprite) OnRemoveSprite(this, sprite);
            // Look again: the handler may have changed the list.
            auto live = std::find_if(Live_.begin(), Live_.end(), same);
            if (live != Live_.end()) Live_.erase(live);
        } else {
            auto pending = std::find_if(Pending_.begin(), Pending_.end(), same);
            if (pending != Pending_.end()) Pending_.erase(pending);
        }
    }
    Dead_.clear();
}

void TSpriteEngine::DrawStep(PlatformCanvas& canvas, TDIBCanvas& frame) {
    if (!Visible || !SpriteSurface_) return;
    const TRect clip = canvas.ClipRect();
    const int32_t ox = SpriteSurface_->OffsetX(), oy = SpriteSurface_->OffsetY();
    for (size_t i = 0; i < Live_.size(); ++i) {
        TSprite* sprite = Live_[i].get();
        if (!sprite->Visible) continue;
        if (RectsIntersect(sprite->GetBoundsRect().Offset(-ox, -oy), clip)) sprite->Render(canvas, frame);
        if (Yield && SpriteSurface_) SpriteSurface_->DoProcessMessages();
    }
}

void TSpriteEngine::TestPair(TSprite& mine, TSprite& other) {
    if (!mine.Visible || !other.Visible || mine.Dead_ || other.Dead_) return;
    if (RectsIntersect(mine.CollisionRect(), other.CollisionRect())) OnCollision(this, &mine, &other);
}

void TSpriteEngine::TestCollisions() {
    if (!OnCollision) return;
    for (size_t e = 0; e < Collisions_.size(); ++e) {
        TSpriteEngine* other = Collisions_[e];
        if (other == this) {
            for (size_t i = 0; i < Live_.size(); ++i)
                for (size_t j = i + 1; j < Live_.size(); ++j) TestPair(*Live_[i], *Live_[j]);
        } else {
            for (size_t i = 0; i < Live_.size(); ++i)
                for (size_t j = 0; j < other->Live_.size(); ++j) TestPair(*Live_[i], *other->Live_[j]);
        }
    }
}

} // namespace qx
