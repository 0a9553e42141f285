#include "render/qt/GalaxyBoard.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/CharMatrix.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "engine/Wormhole.h"
#include "base/Random.h"
#include "render/BmpFile.h"
#include "render/JumpGateSprite.h"
#include "render/SpriteLink.h"
#include "render/StarShipSprite.h"
#include "render/StarSystemSprite.h"
#include "render/qt/FrameImage.h"
#include "render/qt/QtPlatformCanvas.h"

namespace qx {

namespace {

constexpr int32_t kTilesPerRow = 40;

TIndexedBitmap LoadPicture(const std::string& folder, const char* name) {
    const std::string path = folder + "/" + name;
    try {
        return LoadBmpFile(path);
    } catch (const ERenderError& error) {
        throw ERenderError(path + ": " + error.what());
    }
}

} // namespace

void TBoardArt::Load(const std::string& folder) {
    const std::string palettePath = folder + "/MainPalette.txt";
    std::ifstream in(palettePath, std::ios::binary);
    if (!in) throw ERenderError(palettePath + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    bool damaged = false;
    Palette.OnMessage = [&damaged](TObject*, const std::string&) { damaged = true; };
    try {
        Palette.LoadFromText(text.str());
    } catch (const ERenderError& error) {
        throw ERenderError(palettePath + ": " + error.what());
    }
    Palette.OnMessage = nullptr;
    if (damaged) throw ERenderError(palettePath + ": Error Loading Palette Data");
    StarShips = LoadPicture(folder, "StarShips.bmp");
    StarSystems = LoadPicture(folder, "StarSystems.bmp");
    Wormhole = LoadPicture(folder, "Wormhole.bmp");
    Tiles = LoadPicture(folder, "Tiles.bmp");
}

TGalaxyBoard::TGalaxyBoard(TBoardArt& art) : Art_(art) {
    Surface_.SetCellWidth(CellSize);
    Surface_.SetCellHeight(CellSize);
    Surface_.SetColorPalette(&Art_.Palette);
    Surface_.ShowCursor = false;
    // Beyond the map's last column and row the board draws nothing.
    Surface_.AutoBlank = true;
    Surface_.AutoBlankColorIndex = 0;
    Surface_.PlatformCanvasFactory = [](TDIBCanvas& frame, TColorPalette& palette) -> std::unique_ptr<PlatformCanvas> {
        return std::make_unique<TQtPlatformCanvas>(frame, palette);
    };
    Surface_.SetTiles(Art_.Tiles);
    Surface_.OnTile = [this](TObject*, int32_t cellX, int32_t cellY, int32_t& tileX, int32_t& tileY) {
        const uint8_t tile = BackgroundTile(cellX, cellY);
        tileX = tile % kTilesPerRow;
        tileY = tile / kTilesPerRow;
    };
    // The shield rings ripple outward, one step a frame.
    Surface_.BeforeRender = [](TObject*) { ++TStarSystemSprite::FrameCounter; };

    StarSystems_.SetPriority(1);
    StarSystems_.ClickSprites = false;
    StarShips_.SetPriority(0);
    Explosions_.SetPriority(-1);
    Explosions_.ClickSprites = false;
    Wormholes_.SetPriority(-2);
    Wormholes_.ClickSprites = false;
    for (TSpriteEngine* engine : {&StarSystems_, &StarShips_, &Explosions_, &Wormholes_})
        engine->SetSpriteSurface(&Surface_);

    WormholeFactory_.SetBitmap(Art_.Wormhole);
    WormholeFactory_.FramesX = 8;
    WormholeFactory_.FramesY = 1;
    WormholeFactory_.AnimationInterval = 3;
    WormholeFactory_.Transparent = true;
    WormholeFactory_.TransparentColorIndex = 0;
}

TGalaxyBoard::~TGalaxyBoard() { ClearLinks(); }

void TGalaxyBoard::ClearLinks() {
    if (!Game_) return;
    TQuorvexEngine& game = *Game_;
    for (int i = 0; i < game.StarSystemCount(); ++i) AttachSprite(*game.GetStarSystem(i), nullptr);
    for (int i = 0; i < game.WormholeCount(); ++i) AttachSprite(*game.GetWormhole(i), nullptr);
    for (int p = 0; p < game.PlayerCount(); ++p)
        for (const auto& ship : game.GetPlayer(p)->StarShips) AttachSprite(*ship, nullptr);
    Game_ = nullptr;
}

uint8_t TGalaxyBoard::BackgroundTile(int32_t cellX, int32_t cellY) const {
    // Cells outside the map (the column just past it) show tile 0.
    if (!Game_ || cellX < 0 || cellY < 0 || cellX >= Game_->MapWidth || cellY >= Game_->MapHeight) return 0;
    const size_t at = static_cast<size_t>(cellY) * static_cast<size_t>(Game_->MapWidth) + static_cast<size_t>(cellX);
    return at < Background_.size() ? Background_[at] : 0;
}

void TGalaxyBoard::Show(TQuorvexEngine& engine, const TCharMatrix* map) {
    ClearLinks();
    for (TSpriteEngine* layer : {&StarSystems_, &StarShips_, &Explosions_, &Wormholes_}) layer->Clear();
    Game_ = &engine;
    const int32_t width = std::max(engine.MapWidth, 0), height = std::max(engine.MapHeight, 0);
    Surface_.SetCellsX(width);
    Surface_.SetCellsY(height);

    // Open space takes one of the first 34 tiles, a nebula one of the last
    // six; the row of the sheet picks a variant.
    TRandom& random = Surface_.PresentationRandom();
    Background_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const bool open = !map || map->GetChar(x, y) == '-';
            const int32_t tile = (open ? random.Random(34) : 34 + random.Random(6)) + kTilesPerRow * random.Random(6);
            Background_[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(tile);
        }

    auto centre = [](int32_t cell) { return static_cast<float>(cell * CellSize + CellSize / 2); };
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        TStarSystem* system = engine.GetStarSystem(i);
        auto sprite = std::make_unique<TStarSystemSprite>(Art_.StarSystems, system);
        sprite->SetPosition(centre(system->X) + 1, centre(system->Y) + 1);
        StarSystems_.AddSprite(std::move(sprite));
    }
    const bool all = engine.AllComputer();
    for (int i = 0; i < engine.WormholeCount(); ++i) {
        TWormhole* wormhole = engine.GetWormhole(i);
        std::unique_ptr<TSprite> sprite;
        if (wormhole->IsJumpGate)
            sprite = std::make_unique<TJumpGateSprite>(random);
        else
            sprite = WormholeFactory_.CreateBitmapSprite();
        sprite->SetPosition(centre(wormhole->X), centre(wormhole->Y));
        sprite->Visible = all || wormhole->IsVisibleTo(engine.CurrentPlayer);
        AttachSprite(*wormhole, sprite.get());
        Wormholes_.AddSprite(std::move(sprite));
    }
    for (int p = 0; p < engine.PlayerCount(); ++p)
        for (const auto& ship : engine.GetPlayer(p)->StarShips) {
            if (ship->Destroyed) continue;
            auto sprite = std::make_unique<TStarShipSprite>(Art_.StarShips, ship.get(), random);
            sprite->SetPosition(centre(ship->X) + 1, centre(ship->Y) + 1);
            AttachSprite(*ship, sprite.get());
            StarShips_.AddSprite(std::move(sprite));
        }
}

void TGalaxyBoard::SetView(int32_t x, int32_t y, int32_t width, int32_t height) {
    ViewWidth_ = std::max(width, 1);
    ViewHeight_ = std::max(height, 1);
    // The frame's rows are a multiple of four bytes: round up and crop later.
    Surface_.SetSize((ViewWidth_ + 3) / 4 * 4, ViewHeight_);
    Surface_.SetOffsetX(x);
    Surface_.SetOffsetY(y);
}

void TGalaxyBoard::RenderFrames(int32_t count) {
    for (int32_t i = 0; i < count; ++i) Surface_.Render();
}

QImage TGalaxyBoard::Picture() const {
    const uint8_t* bits = Surface_.FrameBits();
    if (!bits) return {};
    const QImage frame = FrameToImage(bits, Surface_.Width(), Surface_.Height(), Art_.Palette);
    if (frame.width() == ViewWidth_ && frame.height() == ViewHeight_) return frame;
    return frame.copy(0, 0, ViewWidth_, ViewHeight_);
}

} // namespace qx
