#include <gtest/gtest.h>

#include "engine/ImpulseDriver.h"
#include "engine/SavedGame.h"
#include "render/GameBoard.h"
#include "render/SpriteLink.h"
#include "render/StarShipSprite.h"
#include "render/StarSystemSprite.h"
#include "scenario/ScriptsModule.h"
#include "tests/engine/TestGalaxy.h"
#include "tests/render/TinyBoardArt.h"

namespace qx {
namespace {

using test::TestGalaxy;

TBoardArt& Art() { return test::BoardArt(); }

TStarShipSprite* ShipSprite(const TStarShip* ship) { return dynamic_cast<TStarShipSprite*>(SpriteOf(ship)); }

struct BoardScene {
    TestGalaxy galaxy{2, 10, 10};
    TGameBoard board{Art(), nullptr};
    TImpulseDriver driver{galaxy.engine};

    BoardScene() {
        galaxy.P(0)->Computer = galaxy.P(1)->Computer = true;  // everything is shown
        galaxy.System(8, 8, galaxy.P(1));
        board.Follow(galaxy.engine);
        board.SetView(0, 0, 300, 300);
    }
    void Impulse(TPlayer* player, const std::string& order) {
        driver.QueueOrder(player, order);
        driver.RunImpulse();
    }
};

TEST(GameBoard, AnOrderTurnsTheSpriteAndFramesSlideItIntoTheNewCell) {
    BoardScene s;
    TStarShip* ship = s.galaxy.Ship(s.galaxy.P(0), TShipType::WarShip, 2, 2, 20, 3);
    s.board.Show(s.galaxy.engine);
    TStarShipSprite* sprite = ShipSprite(ship);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->StarShip(), ship);
    s.board.RenderFrames(1);
    EXPECT_EQ(sprite->X(), 76);  // the cell's centre plus one pixel
    EXPECT_EQ(sprite->Y(), 76);

    s.Impulse(s.galaxy.P(0), "2:" + ship->Code + ":5:2");  // east, one cell per acting impulse
    ASSERT_EQ(ship->X, 3);
    EXPECT_EQ(sprite->Facing, 2);
    auto* data = dynamic_cast<TDestinationSpriteMoverData*>(sprite->MoverData());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->DestX, 106);
    EXPECT_EQ(data->DestY, 76);
    EXPECT_EQ(data->Speed, 6);  // 20 engines: 20 div 4 + 1 pixels a frame
    s.board.RenderFrames(1);
    EXPECT_EQ(sprite->X(), 82);
    s.board.RenderFrames(10);
    EXPECT_EQ(sprite->X(), 106) << "it stops in the new cell";
    EXPECT_EQ(sprite->Y(), 76);
}

TEST(GameBoard, TowedShipsGlideAtTheirTugsSpeedAndWormholesMoveShipsAtOnce) {
    BoardScene s;
    TStarShip* tug = s.galaxy.Ship(s.galaxy.P(0), TShipType::Tug, 2, 5, 4, 3);
    TStarShip* towed = s.galaxy.Ship(s.galaxy.P(0), TShipType::WarShip, 1, 5, 20, 3);
    towed->TowedBy = tug->Code;
    s.galaxy.Wormhole(6, 1, 9, 9);
    TStarShip* traveller = s.galaxy.Ship(s.galaxy.P(0), TShipType::Drone, 5, 1, 20, 1);
    s.board.Show(s.galaxy.engine);
    s.board.RenderFrames(1);

    s.board.StarShipMoved(towed, 2);
    EXPECT_EQ(dynamic_cast<TDestinationSpriteMoverData*>(ShipSprite(towed)->MoverData())->Speed, 2);

    s.Impulse(s.galaxy.P(0), "2:" + traveller->Code + ":6:1");
    ASSERT_NE(traveller->X, 5) << "the drone went through";
    TStarShipSprite* sprite = ShipSprite(traveller);
    const TPoint exit = TGameBoard::PixelPosition(traveller->X, traveller->Y);
    EXPECT_EQ(sprite->X(), exit.X);
    EXPECT_EQ(sprite->Y(), exit.Y);
    s.board.RenderFrames(3);
    EXPECT_EQ(sprite->X(), exit.X) << "no glide back from the wormhole";
}

TEST(GameBoard, ReplacingTheGameDropsEverySpriteBeforeItsObjectIsFreed) {
    BoardScene s;
    TStarShip* doomed = s.galaxy.Ship(s.galaxy.P(0), TShipType::WarShip, 1, 1, 5, 3);
    s.galaxy.Wormhole(4, 4, 6, 6);
    s.board.Show(s.galaxy.engine);
    s.board.RenderFrames(2);
    TStarShipSprite* oldSprite = ShipSprite(doomed);
    ASSERT_NE(oldSprite, nullptr);
    ASSERT_EQ(s.board.StarShips().SpriteCount(), 1);

    // Another game of two ships is loaded into the same engine.
    TestGalaxy other{2, 12, 12};
    other.Ship(other.P(0), TShipType::Drone, 3, 3);
    other.Ship(other.P(1), TShipType::Drone, 9, 9);
    TSavedGame::Load(other.engine.SaveToText(), s.galaxy.engine);
    EXPECT_TRUE(oldSprite->Dead());
    EXPECT_EQ(oldSprite->StarShip(), nullptr) << "a dying sprite must not keep its freed ship";

    s.board.Show(s.galaxy.engine);
    s.board.RenderFrames(2);
    ASSERT_EQ(s.board.StarShips().SpriteCount(), 2);
    for (int i = 0; i < s.board.StarShips().SpriteCount(); ++i) {
        const auto* sprite = dynamic_cast<TStarShipSprite*>(s.board.StarShips().Sprites(i));
        ASSERT_NE(sprite->StarShip(), nullptr);
        EXPECT_EQ(SpriteOf(sprite->StarShip()), sprite);
        EXPECT_EQ(s.galaxy.engine.FindStarShipByCode(sprite->StarShip()->Code), sprite->StarShip());
    }
    EXPECT_EQ(s.board.Wormholes().SpriteCount(), 0);
    EXPECT_EQ(s.board.Surface().CellsX(), 12);

    // A destroyed ship loses its sprite when the impulse removes it.
    TStarShip* victim = s.galaxy.engine.GetPlayer(1)->GetStarShip(0);
    s.galaxy.engine.DestroyStarShip(victim);
    s.galaxy.engine.RemoveDestroyedStarShips();
    s.board.RenderFrames(1);
    EXPECT_EQ(s.board.StarShips().SpriteCount(), 1);
}

TEST(GameBoard, BackgroundTilesFollowTheNebulaMap) {
    BoardScene s;
    for (int x = 0; x < 10; ++x) s.galaxy.map.SetChar(x, 7, 'N');
    s.board.Show(s.galaxy.engine);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const int tile = s.board.BackgroundTile(x, y) % TGameBoard::TilesPerRow;
            if (y == 7)
                EXPECT_GE(tile, 34) << x << "," << y;
            else
                EXPECT_LT(tile, 34) << x << "," << y;
            EXPECT_LT(s.board.BackgroundTile(x, y) / TGameBoard::TilesPerRow, 6);
        }
    EXPECT_EQ(s.board.BackgroundTile(10, 0), 0) << "the column past the map shows tile 0";
    EXPECT_EQ(s.board.BackgroundTile(-1, 3), 0);
}

// The final state of a seeded all-computer game on the bundled Duel map,
// with or without a board drawing every impulse.
std::string PlayDuel(bool drawn, int* shipSprites = nullptr) {
    TQuorvexEngine engine;
    engine.RulesRandom.Seed(21);
    TdmScripts scripts;
    engine.CharMatrix = scripts.MatrixMap;
    scripts.RunScenario(engine, std::string(QX_SOURCE_DIR) + "/data/scenarios/Duel.qxscen", 18, 100, 2, 2);
    TImpulseDriver driver(engine);
    driver.BrainTurn = [&scripts](TPlayer* player) { scripts.BrainTurn(player); };
    TGameBoard board(Art(), nullptr);
    if (drawn) {
        board.Follow(engine);
        board.SetView(0, 0, 640, 480);
        board.Show(engine);
    }
    engine.UpdateVisibility();
    for (int i = 0; i < 400; ++i) {
        driver.RunImpulse();
        if (drawn) {
            board.UpdateWormholes();
            if (i % 7 == 0) board.Effects().ShipDestroyed(i % 10, i % 9);
            board.RenderFrames(2);
        }
    }
    if (shipSprites) *shipSprites = board.StarShips().SpriteCount();
    return engine.SaveToText();
}

TEST(GameBoard, ASeededGameEndsTheSameWhetherOrNotItIsDrawn) {
    const std::string headless = PlayDuel(false);
    int shipSprites = 0;
    EXPECT_EQ(PlayDuel(true, &shipSprites), headless);
    EXPECT_EQ(headless.rfind("4;401;", 0), 0u);
    EXPECT_GT(shipSprites, 4) << "the brains built ships, and the board drew them";
}

} // namespace
} // namespace qx
