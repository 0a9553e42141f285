#include "render/GameBoard.h"

#include <algorithm>

#include "engine/CharMatrix.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "engine/Wormhole.h"
#include "render/JumpGateSprite.h"
#include "render/SpriteLink.h"
#include "render/StarShipSprite.h"
#include "render/StarSystemSprite.h"

namespace qx {

namespace {

// Sprites of ships and systems sit one pixel right of and below their
// cell's centre (their pictures are an even number of pixels wide).
TPoint SpritePoint(TPoint p, int32_t nudge) { return {p.X + nudge, p.Y + nudge}; }

void Place(TSprite& sprite, TPoint at) { sprite.SetPosition(static_cast<float>(at.X), static_cast<float>(at.Y)); }

// Pixels per frame of a ship's sprite: faster ships glide faster.
float ShipSpeed(int32_t engines) { return static_cast<float>(engines / 4 + 1); }

} // namespace

TGameBoard::TGameBoard(TBoardArt& art, TSpriteSurface::TPlatformCanvasFactory canvasFactory,
                       std::shared_ptr<IMainThreadExecutor> executor)
    : Art_(art), Surface_(std::move(executor)), Effects_(EffectsLayer_, Surface_.PresentationRandom()) {
    Surface_.SetCellWidth(CellSize);
    Surface_.SetCellHeight(CellSize);
    Surface_.SetColorPalette(&Art_.Palette);
    // Beyond the map's last column and row the board draws nothing.
    Surface_.AutoBlank = true;
    Surface_.AutoBlankColorIndex = 0;
    Surface_.PlatformCanvasFactory = std::move(canvasFactory);
    Surface_.SetTiles(Art_.Tiles);
    Surface_.OnTile = [this](TObject*, int32_t cellX, int32_t cellY, int32_t& tileX, int32_t& tileY) {
        const uint8_t tile = BackgroundTile(cellX, cellY);
        tileX = tile % TilesPerRow;
        tileY = tile / TilesPerRow;
    };
    // The shield rings ripple outward, one step a frame.
    Surface_.BeforeRender = [](TObject*) { ++TStarSystemSprite::FrameCounter; };

    StarSystems_.SetPriority(1);
    StarSystems_.ClickSprites = false;
    StarShips_.SetPriority(0);
    Wormholes_.SetPriority(-2);
    Wormholes_.ClickSprites = false;
    for (TSpriteEngine* layer : {&StarSystems_, &StarShips_, &EffectsLayer_, &Wormholes_})
        layer->SetSpriteSurface(&Surface_);
    // TBoardEffects made the effects layer the top one (priority -1).
    ShipMover_.StopAtDestination = true;
    SystemMover_.StopAtDestination = true;
    StarShips_.SetSpriteMover(&ShipMover_);
    StarSystems_.SetSpriteMover(&SystemMover_);

    if (!Art_.Wormhole.Empty()) WormholeFactory_.SetBitmap(Art_.Wormhole);
    WormholeFactory_.FramesX = 8;
    WormholeFactory_.FramesY = 1;
    WormholeFactory_.AnimationInterval = 3;
    WormholeFactory_.Transparent = true;
    WormholeFactory_.TransparentColorIndex = 0;
    if (!Art_.Explosion200.Empty()) Effects_.ShipExplosion.SetBitmap(Art_.Explosion200);
    if (!Art_.Explosion100.Empty()) Effects_.StarSystemExplosion.SetBitmap(Art_.Explosion100);
}

TGameBoard::~TGameBoard() {
    Surface_.SetActive(false);
    Clear();
    Unfollow();
}

void TGameBoard::ClearLayer(TSpriteEngine& layer) {
    if (Game_) {
        // Only links to this layer's sprites are cleared: a ship may already
        // hold the sprite of the game that replaced the old one.
        auto unlink = [&layer](TQxMapObject& object) {
            if (TSprite* sprite = SpriteOf(&object); sprite && layer.Holds(sprite)) {
                if (auto* ship = dynamic_cast<TStarShipSprite*>(sprite)) ship->DetachStarShip();
                if (auto* system = dynamic_cast<TStarSystemSprite*>(sprite)) system->DetachStarSystem();
                AttachSprite(object, nullptr);
            }
        };
        TQuorvexEngine& game = *Game_;
        for (int i = 0; i < game.StarSystemCount(); ++i) unlink(*game.GetStarSystem(i));
        for (int i = 0; i < game.WormholeCount(); ++i) unlink(*game.GetWormhole(i));
        for (int p = 0; p < game.PlayerCount(); ++p)
            for (const auto& ship : game.GetPlayer(p)->StarShips) unlink(*ship);
    }
    // Sprites whose objects are gone still hold them until reaped.
    for (int32_t i = 0; i < layer.SpriteCount(); ++i) {
        if (auto* ship = dynamic_cast<TStarShipSprite*>(layer.Sprites(i))) ship->DetachStarShip();
        if (auto* system = dynamic_cast<TStarSystemSprite*>(layer.Sprites(i))) system->DetachStarSystem();
    }
    layer.KillAll();
}

void TGameBoard::Clear() {
    for (TSpriteEngine* layer : {&StarSystems_, &StarShips_, &EffectsLayer_, &Wormholes_}) ClearLayer(*layer);
}

void TGameBoard::Show(TQuorvexEngine& engine) {
    if (Game_ && Game_ != &engine) Clear();
    Game_ = &engine;
    ClearLayer(StarSystems_);
    ClearLayer(Wormholes_);
    const int32_t width = std::clamp(engine.MapWidth, 0, MaxMapSide);
    const int32_t height = std::clamp(engine.MapHeight, 0, MaxMapSide);
    Surface_.SetCellsX(width);
    Surface_.SetCellsY(height);
    MakeBackground(engine);

    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        TStarSystem* system = engine.GetStarSystem(i);
        auto sprite = std::make_unique<TStarSystemSprite>(Art_.StarSystems, system);  // links itself
        Place(*sprite, SpritePoint(PixelPosition(system->X, system->Y), 1));
        StarSystems_.AddSprite(std::move(sprite));
    }
    for (int i = 0; i < engine.WormholeCount(); ++i) MakeWormholeSprite(*engine.GetWormhole(i), false);
    UpdateWormholes();
    for (int p = 0; p < engine.PlayerCount(); ++p)
        for (const auto& ship : engine.GetPlayer(p)->StarShips)
            if (!ship->Destroyed && !StarShips_.Holds(SpriteOf(ship.get()))) StarShipCreated(ship.get());
}

void TGameBoard::MakeBackground(const TQuorvexEngine& engine) {
    // Open space takes one of the first 34 tiles, a nebula one of the last
    // six; the row of the sheet picks a variant.
    TRandom& random = PresentationRandom();
    BackgroundWidth_ = Surface_.CellsX();
    BackgroundHeight_ = Surface_.CellsY();
    Background_.assign(static_cast<size_t>(BackgroundWidth_) * static_cast<size_t>(BackgroundHeight_), 0);
    for (int32_t y = 0; y < BackgroundHeight_; ++y)
        for (int32_t x = 0; x < BackgroundWidth_; ++x) {
            const bool open = !engine.CharMatrix || engine.CharMatrix->GetChar(x, y) == '-';
            const int32_t tile = (open ? random.Random(34) : 34 + random.Random(6)) + TilesPerRow * random.Random(6);
            Background_[static_cast<size_t>(y) * static_cast<size_t>(BackgroundWidth_) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(tile);
        }
}

uint8_t TGameBoard::BackgroundTile(int32_t cellX, int32_t cellY) const {
    if (cellX < 0 || cellY < 0 || cellX >= BackgroundWidth_ || cellY >= BackgroundHeight_) return 0;
    return Background_[static_cast<size_t>(cellY) * static_cast<size_t>(BackgroundWidth_) + static_cast<size_t>(cellX)];
}

void TGameBoard::MakeWormholeSprite(TWormhole& wormhole, bool gate) {
    std::unique_ptr<TSprite> sprite;
    if (gate || wormhole.IsJumpGate)
        sprite = std::make_unique<TJumpGateSprite>(PresentationRandom());
    else if (!WormholeFactory_.Bitmap().Empty())
        sprite = WormholeFactory_.CreateBitmapSprite();
    else
        return;  // no picture to show it with
    Place(*sprite, SpritePoint(PixelPosition(wormhole.X, wormhole.Y), 0));
    AttachSprite(wormhole, sprite.get());
    Wormholes_.AddSprite(std::move(sprite));
}

void TGameBoard::UpdateWormholes() {
    if (!Game_) return;
    const bool all = Game_->AllComputer();
    for (int i = 0; i < Game_->WormholeCount(); ++i) {
        TWormhole* wormhole = Game_->GetWormhole(i);
        if (TSprite* sprite = SpriteOf(wormhole)) sprite->Visible = all || wormhole->IsVisibleTo(Game_->CurrentPlayer);
    }
}

void TGameBoard::StarShipCreated(TStarShip* ship) {
    if (!ship) return;
    auto sprite = std::make_unique<TStarShipSprite>(Art_.StarShips, ship, PresentationRandom());
    const TPoint at = SpritePoint(PixelPosition(ship->X, ship->Y), 1);
    Place(*sprite, at);
    AttachSprite(*ship, sprite.get());
    TSprite* added = StarShips_.AddSprite(std::move(sprite));
    // A new ship rests where it stands until its first move.
    ShipMover_.SetDestination(*added, at);
    ShipMover_.SetSpeed(*added, ShipSpeed(ship->Engines));
}

void TGameBoard::StarShipDestroyed(TStarShip* ship) {
    if (!ship) return;
    if (auto* sprite = dynamic_cast<TStarShipSprite*>(SpriteOf(ship)); sprite && StarShips_.Holds(sprite)) {
        sprite->DetachStarShip();
        StarShips_.RemoveSprite(sprite);
    }
    AttachSprite(*ship, nullptr);
}

void TGameBoard::StarShipMoved(TStarShip* ship, int direction) {
    auto* sprite = ship ? dynamic_cast<TStarShipSprite*>(SpriteOf(ship)) : nullptr;
    if (!sprite || !StarShips_.Holds(sprite)) return;
    sprite->Facing = direction & 7;
    int32_t engines = ship->Engines;
    if (!ship->TowedBy.empty() && ship->Engine)
        if (const TStarShip* tug = ship->Engine->FindStarShipByCode(ship->TowedBy)) engines = tug->Engines;
    ShipMover_.SetSpeed(*sprite, ShipSpeed(engines));
    ShipMover_.SetDestination(*sprite, SpritePoint(PixelPosition(ship->X, ship->Y), 1));
}

void TGameBoard::WormholeTravelled(TStarShip* ship) {
    TSprite* sprite = SpriteOf(ship);
    if (!sprite || !StarShips_.Holds(sprite)) return;
    const TPoint at = PixelPosition(ship->X, ship->Y);
    Place(*sprite, SpritePoint(at, 0));
    ShipMover_.SetDestination(*sprite, at);
}

void TGameBoard::StarSystemMoved(TStarSystem* system) {
    TSprite* sprite = SpriteOf(system);
    if (!sprite || !StarSystems_.Holds(sprite)) return;
    SystemMover_.SetSpeed(*sprite, 4);
    SystemMover_.SetDestination(*sprite, PixelPosition(system->X, system->Y));
}

void TGameBoard::JumpGateCreated(TWormhole* wormhole) {
    if (wormhole) MakeWormholeSprite(*wormhole, true);
}

void TGameBoard::Follow(TQuorvexEngine& engine) {
    Unfollow();
    Followed_ = &engine;
    Previous_ = {engine.OnClearGame,    engine.OnStarShipCreate, engine.OnStarShipDestroy, engine.OnMoveStarShip,
                 engine.OnWormholeTravel, engine.OnMoveStarSystem, engine.OnCreateJumpGate};
    auto chain = [](auto& slot, auto handler) {
        slot = [previous = slot, handler](auto... args) {
            if (previous) previous(args...);
            handler(args...);
        };
    };
    chain(engine.OnClearGame, [this](TObject*) { Clear(); });
    chain(engine.OnStarShipCreate, [this](TObject*, TStarShip* ship) { StarShipCreated(ship); });
    chain(engine.OnStarShipDestroy, [this](TObject*, TStarShip* ship) { StarShipDestroyed(ship); });
    chain(engine.OnMoveStarShip, [this](TObject*, TStarShip* ship, int direction) { StarShipMoved(ship, direction); });
    chain(engine.OnWormholeTravel, [this](TObject*, TStarShip* ship, int) { WormholeTravelled(ship); });
    chain(engine.OnMoveStarSystem, [this](TObject*, TStarSystem* system) { StarSystemMoved(system); });
    chain(engine.OnCreateJumpGate, [this](TObject*, TWormhole* wormhole) { JumpGateCreated(wormhole); });
}

void TGameBoard::Unfollow() {
    if (!Followed_) return;
    // The engine gets back the handlers it had before the board followed it.
    TQuorvexEngine& engine = *Followed_;
    engine.OnClearGame = Previous_.ClearGame;
    engine.OnStarShipCreate = Previous_.StarShipCreate;
    engine.OnStarShipDestroy = Previous_.StarShipDestroy;
    engine.OnMoveStarShip = Previous_.MoveStarShip;
    engine.OnWormholeTravel = Previous_.WormholeTravel;
    engine.OnMoveStarSystem = Previous_.MoveStarSystem;
    engine.OnCreateJumpGate = Previous_.CreateJumpGate;
    Followed_ = nullptr;
}

void TGameBoard::SetView(int32_t x, int32_t y, int32_t width, int32_t height) {
    ViewWidth_ = std::max(width, 1);
    ViewHeight_ = std::max(height, 1);
    // The frame's rows are a multiple of four bytes: round up, crop later.
    Surface_.SetSize((ViewWidth_ + 3) / 4 * 4, ViewHeight_);
    Surface_.SetOffsetX(x);
    Surface_.SetOffsetY(y);
}

void TGameBoard::RenderFrames(int32_t count) {
    for (int32_t i = 0; i < count; ++i) Surface_.Render();
}

} // namespace qx
