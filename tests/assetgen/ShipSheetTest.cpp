#include "tests/assetgen/AssetFiles.h"

#include "tools/assetgen/ShipArtist.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace qx::art {
namespace {

using test::Count;
using test::Difference;
using test::Mask;

constexpr int kCell = 30;

class AssetgenShipSheet : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sheet_ = new QImage(test::LoadIndexed("StarShips.bmp"));
        palette_ = new TArtPalette(test::LoadPalette("MainPalette.txt"));
    }
    static void TearDownTestSuite()
    {
        delete sheet_;
        delete palette_;
    }
    static std::vector<bool> CellMask(int column, int row)
    {
        return Mask(*sheet_, column * kCell, row * kCell, kCell, kCell);
    }

    static QImage* sheet_;
    static TArtPalette* palette_;
};

QImage* AssetgenShipSheet::sheet_ = nullptr;
TArtPalette* AssetgenShipSheet::palette_ = nullptr;

TEST_F(AssetgenShipSheet, HasEveryCellDrawnAndClearOfItsBorder)
{
    ASSERT_EQ(sheet_->size(), QSize(1380, 300));
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 46; ++column) {
            const std::vector<bool> mask = CellMask(column, row);
            EXPECT_GT(Count(mask), 60) << "cell " << column << "," << row << " is (nearly) empty";
            // A clear border keeps quarter turns and neighbouring cells clean.
            for (int i = 0; i < kCell; ++i) {
                EXPECT_FALSE(mask[static_cast<std::size_t>(i)]) << "top edge, cell " << column << "," << row;
                EXPECT_FALSE(mask[static_cast<std::size_t>((kCell - 1) * kCell + i)]) << "bottom edge " << column;
                EXPECT_FALSE(mask[static_cast<std::size_t>(i * kCell)]) << "left edge " << column;
                EXPECT_FALSE(mask[static_cast<std::size_t>(i * kCell + kCell - 1)]) << "right edge " << column;
            }
        }
}

TEST_F(AssetgenShipSheet, GivesEveryShipTypeItsOwnSilhouette)
{
    // Shapes are compared on player 0's row; the straight and the diagonal
    // images each have to differ from every other type's.
    for (int facing = 0; facing < 2; ++facing)
        for (int a = 0; a < TShipArtist::kTypes; ++a)
            for (int b = a + 1; b < TShipArtist::kTypes; ++b) {
                const int difference = Difference(CellMask(2 * a + facing, 0), CellMask(2 * b + facing, 0));
                EXPECT_GT(difference, 40) << TShipArtist::TypeName(a) << " and " << TShipArtist::TypeName(b)
                                          << (facing ? " (diagonal)" : "") << " look alike";
            }
}

TEST_F(AssetgenShipSheet, DrawsTheDiagonalImageAnEighthTurnOnFromTheStraightOne)
{
    // The straight image heads east: its mass lies along the middle row
    // band; the diagonal one heads south-east, so its mass leans onto the
    // main diagonal. Slim ships show this clearly.
    auto spread = [&](int column, bool diagonal) {
        const std::vector<bool> mask = CellMask(column, 0);
        double along = 0, across = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                if (mask[static_cast<std::size_t>(y * kCell + x)]) {
                    const double dx = x + 0.5 - 15, dy = y + 0.5 - 15;
                    const double u = diagonal ? (dx + dy) / std::sqrt(2.0) : dx;
                    const double v = diagonal ? (dy - dx) / std::sqrt(2.0) : dy;
                    along += u * u;
                    across += v * v;
                }
        return along / across;
    };
    for (int type : {4, 15}) { // SpyShip, NukeMissile
        EXPECT_GT(spread(2 * type, false), 1.5) << TShipArtist::TypeName(type);
        EXPECT_GT(spread(2 * type + 1, true), 1.5) << TShipArtist::TypeName(type) << " diagonal";
        EXPECT_GT(Difference(CellMask(2 * type, 0), CellMask(2 * type + 1, 0)), 40);
    }
}

TEST_F(AssetgenShipSheet, KeepsOneShapePerTypeAcrossThePlayers)
{
    for (int column = 0; column < 46; ++column)
        for (int row = 1; row < 10; ++row)
            EXPECT_LE(Difference(CellMask(column, 0), CellMask(column, row)), 12)
                << "column " << column << " changes shape for player " << row;
}

TEST_F(AssetgenShipSheet, PaintsEachRowInItsPlayersColourOnly)
{
    std::map<int, int> owner; // palette entry -> player
    for (int player = 0; player < 10; ++player)
        for (int index : TArtPalette::PlayerEntries(player))
            owner[index] = player;
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 44; ++column) {
            int own = 0, opaque = 0;
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) {
                    const int index = sheet_->pixelIndex(column * kCell + x, row * kCell + y);
                    if (index == 0 || index == pal::kOutline)
                        continue;
                    ++opaque;
                    const auto it = owner.find(index);
                    if (it == owner.end())
                        continue;
                    ASSERT_EQ(it->second, row) << "cell " << column << "," << row << " borrows entry " << index;
                    ++own;
                }
            EXPECT_GT(own * 100, opaque * 30) << "cell " << column << "," << row << " shows too little player colour";
        }
}

TEST_F(AssetgenShipSheet, ShowsTheUnknownSymbolInColumns44And45)
{
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(Difference(CellMask(44, row), CellMask(45, row)), 0);
        // Not a ship shape: it must not pass for any known type.
        for (int type = 0; type < TShipArtist::kTypes; ++type)
            EXPECT_GT(Difference(CellMask(44, row), CellMask(2 * type, row)), 40) << TShipArtist::TypeName(type);
    }
}

TEST(AssetgenShipTypeNames, FollowTheTypeOrdinals)
{
    EXPECT_STREQ(TShipArtist::TypeName(0), "WarShip");
    EXPECT_STREQ(TShipArtist::TypeName(12), "DoppleShip");
    EXPECT_STREQ(TShipArtist::TypeName(21), "BattleStation");
    EXPECT_THROW(TShipArtist::TypeName(22), std::out_of_range);
    EXPECT_THROW(TShipArtist::TypeName(-1), std::out_of_range);
}

} // namespace
} // namespace qx::art
