#include "render/BoardEffects.h"

#include "render/SquareGridSpriteSurface.h"

namespace qx {

TBoardEffects::TBoardEffects(TSpriteEngine& engine, TRandom& random) : Engine_(engine), Random_(random) {
    Engine_.SetPriority(-1);
    Engine_.ClickSprites = false;
    Engine_.SetSpriteMover(nullptr);

    ShipExplosion.LifeSpan = 40;
    ShipExplosion.NumParticles = 100;
    StarSystemExplosion.LifeSpan = 80;
    StarSystemExplosion.NumParticles = 20;
    Damage.LifeSpanMin = 25;
    Damage.LifeSpanMax = 35;
    Damage.NumParticlesMin = 30;
    Damage.NumParticlesMax = 50;
    Damage.ColorIndexLow = 0;
    Damage.ColorIndexHigh = 255;
}

TPoint TBoardEffects::CellCentre(int32_t cellX, int32_t cellY) const {
    int32_t w = 30, h = 30;
    if (const auto* board = dynamic_cast<const TSquareGridSpriteSurface*>(Engine_.SpriteSurface())) {
        w = board->CellWidth();
        h = board->CellHeight();
    }
    return {cellX * w + w / 2, cellY * h + h / 2};
}

TExplosionSprite* TBoardEffects::ShipDestroyed(int32_t cellX, int32_t cellY) {
    const TPoint at = CellCentre(cellX, cellY);
    return Place(ShipExplosion.CreateExplosion(Random_), static_cast<float>(at.X), static_cast<float>(at.Y));
}

TExplosionSprite* TBoardEffects::StarSystemAttacked(int32_t cellX, int32_t cellY) {
    const TPoint at = CellCentre(cellX, cellY);
    return Place(StarSystemExplosion.CreateExplosion(Random_), static_cast<float>(at.X), static_cast<float>(at.Y));
}

TFireworkSprite* TBoardEffects::ShipDamaged(int32_t cellX, int32_t cellY) {
    const TPoint at = CellCentre(cellX, cellY);
    return Place(Damage.CreateFirework(Random_), static_cast<float>(at.X), static_cast<float>(at.Y));
}

TExplosionSprite* TBoardEffects::PlayerConquered(int32_t capitalX, int32_t capitalY) {
    const TPoint at = CellCentre(capitalX, capitalY);
    return Finale(ShipExplosion, static_cast<float>(at.X), static_cast<float>(at.Y));
}

TExplosionSprite* TBoardEffects::Victory(int32_t pixelX, int32_t pixelY) {
    return Finale(StarSystemExplosion, static_cast<float>(pixelX), static_cast<float>(pixelY));
}

TExplosionSprite* TBoardEffects::Finale(TExplosionSpriteFactory& factory, float x, float y) {
    // The factory keeps its own tuning afterwards, so the next game's
    // explosions look as before (also when the picture is missing).
    const int32_t lifeSpan = factory.LifeSpan, particles = factory.NumParticles;
    factory.LifeSpan = FinaleLifeSpan;
    factory.NumParticles = FinaleParticles;
    std::unique_ptr<TExplosionSprite> sprite;
    try {
        sprite = factory.CreateExplosion(Random_);
    } catch (...) {
        factory.LifeSpan = lifeSpan;
        factory.NumParticles = particles;
        throw;
    }
    factory.LifeSpan = lifeSpan;
    factory.NumParticles = particles;
    return Place(std::move(sprite), x, y);
}

} // namespace qx
