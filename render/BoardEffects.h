#pragma once

#include <cstdint>

#include "render/ExplosionSpriteFactory.h"
#include "render/FireworkSpriteFactory.h"
#include "render/SpriteEngine.h"

namespace qx {

// The game's three effect factories with their tuning, and the placing of
// their sprites on the board's effects layer. Whether the local player sees
// the event is the caller's decision; each call makes one effect and returns
// it (the caller then notes that a sound is due). The explosion pictures
// (200 x 200 for ships, 100 x 100 for star systems) are set by the owner.
class TBoardEffects {
public:
    // Makes Engine the effects layer: drawn above the other layers, not
    // clickable, no mover. Effects are centred on cells of Engine's board
    // (30 x 30 pixels when it is not on a board).
    // `random` is the presentation generator the effects draw from.
    TBoardEffects(TSpriteEngine& engine, TRandom& random);
    TBoardEffects(const TBoardEffects&) = delete;
    TBoardEffects& operator=(const TBoardEffects&) = delete;

    // "expl": a ship blows up.
    TExplosionSpriteFactory ShipExplosion;
    // "explStarSystem": a star system is attacked.
    TExplosionSpriteFactory StarSystemExplosion;
    // "damage": sparks on a damaged ship.
    TFireworkSpriteFactory Damage;

    static constexpr int32_t FinaleLifeSpan = 500;
    static constexpr int32_t FinaleParticles = 500;

    TSpriteEngine& Engine() const { return Engine_; }

    TExplosionSprite* ShipDestroyed(int32_t cellX, int32_t cellY);
    TExplosionSprite* StarSystemAttacked(int32_t cellX, int32_t cellY);
    TFireworkSprite* ShipDamaged(int32_t cellX, int32_t cellY);
    // The local player's defeat: one long, dense ship explosion over its capital.
    TExplosionSprite* PlayerConquered(int32_t capitalX, int32_t capitalY);
    // The local player's victory: one long, dense star system explosion at a
    // point of the virtual plane (the middle of the visible board).
    TExplosionSprite* Victory(int32_t pixelX, int32_t pixelY);

    // The centre of a cell on the virtual plane.
    TPoint CellCentre(int32_t cellX, int32_t cellY) const;

private:
    TExplosionSprite* Finale(TExplosionSpriteFactory& factory, float x, float y);
    template <class T>
    T* Place(std::unique_ptr<T> sprite, float x, float y) {
        sprite->SetPosition(x, y);
        return Engine_.Add(std::move(sprite));
    }

    TSpriteEngine& Engine_;
    TRandom& Random_;
};

} // namespace qx
