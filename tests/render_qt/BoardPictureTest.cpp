#include <gtest/gtest.h>

#include "engine/StarShip.h"
#include "engine/StarSystem.h"
#include "base/Random.h"
#include "render/GameBoard.h"
#include "render/qt/BoardPicture.h"
#include "render/qt/GameFonts.h"
#include "tests/engine/TestGalaxy.h"

namespace qx::test {

namespace {

const std::string kData = std::string(QX_BINARY_DIR) + "/data";

class BoardPictureTest : public ::testing::Test {
protected:
    static TBoardArt& Art() {
        static TBoardArt* art = [] {
            EnsureGuiApplication();
            auto* loaded = new TBoardArt;
            loaded->Load(kData);
            return loaded;
        }();
        return *art;
    }

    // Two computer players on a 10 x 10 map: everything is shown.
    TestGalaxy galaxy{2, 10, 10};

    void SetUp() override {
        galaxy.P(0)->Computer = galaxy.P(1)->Computer = true;
        galaxy.System(2, 2, galaxy.P(0))->Name = "Home";
    }

    QImage Snapshot(int32_t x, int32_t y, int32_t w, int32_t h) {
        TGameBoard board(Art(), QtCanvasFactory());
        board.Surface().ShowCursor = false;
        board.PresentationRandom().Seed(5);
        board.Show(galaxy.engine);
        board.SetView(x, y, w, h);
        board.RenderFrames(2);
        return BoardPicture(board);
    }
};

TEST_F(BoardPictureTest, ShipAndItsCaptionsAreDrawnAtItsCell) {
    const QImage without = Snapshot(0, 0, 300, 300);
    galaxy.Ship(galaxy.P(0), TShipType::WarShip, 5, 5, 20, 3);
    const QImage with = Snapshot(0, 0, 300, 300);
    ASSERT_EQ(with.size(), QSize(300, 300));

    QRect changed;
    int count = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (with.pixelIndex(x, y) != without.pixelIndex(x, y)) {
                changed |= QRect(x, y, 1, 1);
                ++count;
            }
    EXPECT_GT(count, 60);
    // The ship's cell is 150..179; captions sit on its frame's corners.
    EXPECT_GE(changed.left(), 148);
    EXPECT_GE(changed.top(), 148);
    EXPECT_LE(changed.right(), 185);
    EXPECT_LE(changed.bottom(), 185);
}

TEST_F(BoardPictureTest, ViewShowsTheSamePixelsAsTheWholeBoard) {
    galaxy.Ship(galaxy.P(1), TShipType::ScanShip, 3, 3, 10, 2);
    const QImage whole = Snapshot(0, 0, 300, 300);
    // An odd width: the frame is wider, the picture is cropped to the view.
    // (The ship's frame lies wholly inside: frames cut by the view's edge
    // are left out by design.)
    const QImage part = Snapshot(45, 50, 97, 85);
    ASSERT_EQ(part.size(), QSize(97, 85));
    for (int y = 0; y < 85; ++y)
        for (int x = 0; x < 97; ++x)
            ASSERT_EQ(part.pixelIndex(x, y), whole.pixelIndex(45 + x, 50 + y)) << x << "," << y;
}

// Pixels (of a 300 x 300 picture) that differ, and their bounding box.
int Differences(const QImage& a, const QImage& b, QRect& box) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixelIndex(x, y) != b.pixelIndex(x, y)) {
                box |= QRect(x, y, 1, 1);
                ++count;
            }
    return count;
}

TEST_F(BoardPictureTest, WormholesAndGatesShowOnlyWhenSeen) {
    const QImage empty = Snapshot(0, 0, 300, 300);
    galaxy.Wormhole(7, 7, 1, 8);
    galaxy.Wormhole(1, 8, 7, 7)->IsJumpGate = true;
    const QImage shown = Snapshot(0, 0, 300, 300);
    QRect box;
    EXPECT_GT(Differences(empty, shown, box), 100);
    EXPECT_TRUE(QRect(20, 205, 225, 75).contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x"
                                                       << box.height();

    // A human player who has not seen them gets an empty board there.
    galaxy.P(0)->Computer = false;
    galaxy.engine.SetCurrentPlayer(galaxy.P(0));
    galaxy.engine.GetStarSystem(0)->Visible[0] = true;
    const QImage unseen = Snapshot(0, 0, 300, 300);
    galaxy.engine.GetWormhole(0)->Visible[0] = galaxy.engine.GetWormhole(1)->Visible[0] = true;
    const QImage seen = Snapshot(0, 0, 300, 300);
    QRect ignored;
    QRect lower(0, 200, 300, 100);  // both lie in the lowest third
    EXPECT_EQ(Differences(empty.copy(lower), unseen.copy(lower), ignored), 0);
    EXPECT_GT(Differences(unseen, seen, ignored), 100);
}

TEST_F(BoardPictureTest, GoneBoardLeavesNoLinksBehind) {
    TStarShip* ship = galaxy.Ship(galaxy.P(0), TShipType::Drone, 1, 1);
    {
        TGameBoard board(Art(), QtCanvasFactory());
        board.Show(galaxy.engine);
        EXPECT_NE(ship->Sprite, nullptr);
        EXPECT_NE(galaxy.engine.GetStarSystem(0)->Sprite, nullptr);
    }
    EXPECT_EQ(ship->Sprite, nullptr);
    EXPECT_EQ(galaxy.engine.GetStarSystem(0)->Sprite, nullptr);
}

TEST(BoardArtTest, MissingFilesAreNamed) {
    TBoardArt art;
    try {
        art.Load("/nonexistent-folder");
        FAIL() << "no error";
    } catch (const ERenderError& error) {
        EXPECT_NE(std::string(error.what()).find("MainPalette.txt"), std::string::npos) << error.what();
    }
}

} // namespace

} // namespace qx::test
