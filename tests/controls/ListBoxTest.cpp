#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include "controls/CellImage.h"
#include "controls/OwnerDrawListBox.h"
#include "controls/StarShipListBox.h"
#include "engine/Player.h"
#include "engine/QuorvexEngine.h"
#include "tests/controls/WidgetApp.h"

namespace qx {
namespace {

using test::At;
using test::Rgb;

// The list's items as painted, one image per visible item.
QImage PaintItems(TOwnerDrawListBox& box) {
    box.resize(220, 5 * TOwnerDrawListBox::ItemHeight + 8);
    box.show();
    QImage image(box.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    box.viewport()->render(&image);
    return image;
}

int Row(int index) { return index * TOwnerDrawListBox::ItemHeight; }

TEST(OwnerDrawListBoxTest, SelectedItemsTakeTheSelectColourAndWhiteText) {
    test::WidgetApp();
    TOwnerDrawListBox box;
    QPalette colors = box.palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, Qt::green);
    box.setPalette(colors);
    box.AddItem("Veloria;12;3", 12);
    box.AddItem("Casoria", 7);
    box.AddItem("Anthel;9", 9);
    box.item(1)->setSelected(true);
    EXPECT_EQ(box.ItemNumber(0), 12);
    EXPECT_EQ(box.ItemNumber(5), 0);

    const QImage image = PaintItems(box);
    const int h = TOwnerDrawListBox::ItemHeight;
    EXPECT_EQ(At(image, 200, Row(1) + 1), Rgb(QColor(0, 0, 128)));
    EXPECT_EQ(At(image, 200, Row(0) + 1), Rgb(Qt::black));
    // White text on the selected row, the list's text colour elsewhere.
    EXPECT_GE(test::ColumnsOf(image, Qt::white, Row(1), Row(1) + h).first, 0);
    EXPECT_EQ(test::ColumnsOf(image, Qt::white, Row(0), Row(0) + h).first, -1);
    EXPECT_GE(test::ColumnsOf(image, Qt::green, Row(0), Row(0) + h).first, 0);
    EXPECT_EQ(test::ColumnsOf(image, Qt::green, Row(1), Row(1) + h).first, -1);

    box.SetSelectColor(Qt::red);
    EXPECT_EQ(At(PaintItems(box), 200, Row(1) + 1), Rgb(Qt::red));
}

TEST(OwnerDrawListBoxTest, TextIsCutBeforeTheDelimiterAndWholeWithoutOne) {
    test::WidgetApp();
    TOwnerDrawListBox box;
    QPalette colors = box.palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Text, Qt::green);
    box.setPalette(colors);
    box.AddItem("Veloria;12;3");
    box.AddItem("Veloria");
    box.AddItem("Veloria;12;3");
    const int h = TOwnerDrawListBox::ItemHeight;
    QImage image = PaintItems(box);
    const auto cut = test::ColumnsOf(image, Qt::green, Row(0), Row(0) + h);
    const auto whole = test::ColumnsOf(image, Qt::green, Row(1), Row(1) + h);
    ASSERT_GE(cut.first, 0);
    EXPECT_EQ(cut, whole) << "both rows show exactly \"Veloria\"";

    box.SetUseDelimiter(false);
    image = PaintItems(box);
    const auto full = test::ColumnsOf(image, Qt::green, Row(2), Row(2) + h);
    const QFontMetrics metrics(box.font());
    EXPECT_GE(full.second - cut.second, metrics.horizontalAdvance(";12;3") - 3);
}

TEST(OwnerDrawListBoxTest, CustomDrawingReplacesTheDefaultText) {
    test::WidgetApp();
    TOwnerDrawListBox box;
    box.AddItem("one");
    box.AddItem("two");
    box.item(0)->setSelected(true);
    std::vector<std::pair<int, bool>> drawn;
    box.SetDefaultDrawing(false);
    box.OnCustomDraw = [&](TOwnerDrawListBox* sender, int index, const QRect& rect, bool selected, QPainter& painter) {
        EXPECT_EQ(sender, &box);
        EXPECT_EQ(rect.height(), TOwnerDrawListBox::ItemHeight);
        drawn.emplace_back(index, selected);
        painter.fillRect(rect.adjusted(2, 2, -2, -2), Qt::yellow);
    };
    const QImage image = PaintItems(box);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::make_pair(0, true)), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::make_pair(1, false)), drawn.end());
    EXPECT_EQ(At(image, 10, Row(1) + 9), Rgb(Qt::yellow));
    // The background is still the list's: the selection colour on the selected row.
    EXPECT_EQ(At(image, 0, Row(0)), Rgb(QColor(0, 0, 128)));
}

class StarShipListBoxTest : public test::WithWidgetApp, public ::testing::Test {
protected:
    void SetUp() override {
        test::WidgetApp();
        QImage sheet(1380, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 1380; ++x) sheet.setPixel(x, y, CellColor(x / 30, y / 30).rgb());
        cells.SetPicture(sheet);
        cells.SetNumCellsX(46);
        cells.SetNumCellsY(10);
        box.setSelectionMode(QAbstractItemView::MultiSelection);
    }
    static QColor CellColor(int column, int player) { return QColor(column * 5, player * 25, 99); }

    TCellImage cells;
    TStarShipListBox box;
};

TEST_F(StarShipListBoxTest, ListsTheSetInTypeOrderAndReportsTypesNotRows) {
    box.SetShipTypes({TShipType::TechShip, TShipType::Drone, TShipType::Tug});
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.ItemText(0), "Drone");
    EXPECT_EQ(box.ItemText(1), "Tug");
    EXPECT_EQ(box.ItemText(2), "TechShip");
    EXPECT_EQ(box.SelectedTypes(), TShipTypeSet{});

    box.SelectType(TShipType::Tug);
    box.SelectType(TShipType::TechShip);
    box.SelectType(TShipType::WarShip);  // not listed: nothing happens
    EXPECT_EQ(box.SelectedTypes(), (TShipTypeSet{TShipType::Tug, TShipType::TechShip}));
    box.setCurrentRow(1, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(box.SelectedType(), TShipType::Tug);

    box.SetShipTypes({TShipType::ScanShip});
    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(box.SelectedTypes(), TShipTypeSet{});
}

TEST_F(StarShipListBoxTest, ItemsShowTheTypePictureInThePlayersColour) {
    box.SetShipTypes({TShipType::Drone, TShipType::Tug});
    box.SetStarShipCells(&cells);
    QImage image = PaintItems(box);
    const int h = TOwnerDrawListBox::ItemHeight;
    // The square (1, 1) .. (h - 2, h - 2) holds cell (2 t, 0) without an engine.
    EXPECT_EQ(At(image, 5, 5), Rgb(CellColor(2 * 2, 0)));
    EXPECT_EQ(At(image, 5, h + 5), Rgb(CellColor(2 * 8, 0)));
    EXPECT_EQ(At(image, 0, 5), Rgb(box.palette().color(QPalette::Base)));

    TQuorvexEngine engine;
    for (int i = 0; i < 4; ++i) engine.AddPlayer(std::make_unique<TPlayer>(&engine))->Index = i;
    engine.SetCurrentPlayer(engine.GetPlayer(3));
    box.SetQuorvexEngine(&engine);
    image = PaintItems(box);
    EXPECT_EQ(At(image, 5, 5), Rgb(CellColor(4, 3)));
}

} // namespace
} // namespace qx
