#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSpinBox>

#include "controls/CellImage.h"
#include "controls/DigitalReadout.h"
#include "controls/ElasticPanel.h"
#include "controls/GameStyle.h"
#include "controls/GraphicPanel.h"
#include "tests/controls/WidgetApp.h"

namespace qx {
namespace {

using test::At;
using test::Paint;
using test::Rgb;

QWidget* Child(QWidget* parent, const char* name, QRect rect) {
    auto* child = new QWidget(parent);
    child->setObjectName(name);
    child->setGeometry(rect);
    return child;
}

TEST(ElasticPanelTest, ChildrenScaleWithThePanel) {
    test::WidgetApp();
    TElasticPanel panel;
    panel.resize(100, 100);
    QWidget* box = Child(&panel, "box", QRect(10, 20, 30, 15));
    auto* edit = new QLineEdit(&panel);
    edit->setObjectName("edit");
    edit->setGeometry(5, 50, 40, 21);
    auto* spin = new QSpinBox(&panel);
    spin->setObjectName("spin");
    spin->setGeometry(50, 50, 40, 21);
    QWidget* tagged = Child(&panel, "tagged", QRect(0, 80, 10, 10));
    tagged->setProperty(TElasticPanel::TagProperty, -1);
    QWidget* unnamed = Child(&panel, "", QRect(1, 2, 3, 4));
    panel.Loaded();
    panel.show();
    QWidget* late = Child(&panel, "late", QRect(7, 7, 7, 7));

    panel.resize(200, 100);
    EXPECT_EQ(box->geometry(), QRect(20, 20, 60, 15));
    EXPECT_EQ(edit->geometry(), QRect(10, 50, 80, 21));
    EXPECT_EQ(unnamed->geometry(), QRect(1, 2, 3, 4));
    EXPECT_EQ(late->geometry(), QRect(7, 7, 7, 7));

    panel.resize(200, 200);
    EXPECT_EQ(box->geometry(), QRect(20, 40, 60, 30));
    EXPECT_EQ(edit->geometry(), QRect(10, 100, 80, 21)) << "an edit box keeps its height";
    EXPECT_EQ(spin->height(), 21);
    EXPECT_EQ(tagged->geometry(), QRect(0, 160, 20, 10)) << "a tag of -1 keeps the height";

    // Back to the design size: exactly the original layout, no drift.
    panel.resize(100, 100);
    EXPECT_EQ(box->geometry(), QRect(10, 20, 30, 15));

    panel.SetResizeEditHeights(true);
    panel.resize(100, 200);
    EXPECT_EQ(edit->geometry(), QRect(5, 100, 40, 42));
}

TEST(ElasticPanelTest, OnlyElasticDirectionsScale) {
    test::WidgetApp();
    TElasticPanel panel;
    panel.resize(100, 100);
    QWidget* box = Child(&panel, "box", QRect(10, 10, 10, 10));
    panel.SetElasticVertical(false);
    panel.Loaded();
    panel.show();
    panel.resize(300, 300);
    EXPECT_EQ(box->geometry(), QRect(30, 10, 30, 10));
}

TEST(ElasticPanelTest, DesignSizeBelowOneDoesNotScale) {
    test::WidgetApp();
    TElasticPanel panel;
    panel.SetDesignSize(QSize(0, 0));
    panel.resize(0, 0);
    QWidget* box = Child(&panel, "box", QRect(10, 10, 10, 10));
    panel.Loaded();
    panel.SetDesignSize(QSize(0, -3));
    panel.show();
    panel.resize(640, 480);
    EXPECT_EQ(box->geometry(), QRect(10, 10, 10, 10));
}

TEST(ElasticPanelTest, NestedPanelsScaleTheWholeScreen) {
    test::WidgetApp();
    TElasticPanel screen;
    screen.resize(200, 100);
    auto* inner = new TElasticPanel(&screen);
    inner->setObjectName("inner");
    inner->setGeometry(0, 0, 100, 50);
    QWidget* leaf = Child(inner, "leaf", QRect(10, 10, 20, 10));
    inner->Loaded();
    screen.Loaded();
    screen.show();
    screen.resize(400, 200);
    EXPECT_EQ(inner->geometry(), QRect(0, 0, 200, 100));
    EXPECT_EQ(leaf->geometry(), QRect(20, 20, 40, 20));
}

TEST(GraphicPanelTest, RingsGoFromTheOutsideIn) {
    test::WidgetApp();
    TGraphicPanel panel;
    panel.resize(40, 20);
    panel.SetColor(Qt::black);
    panel.SetColorHighlight(Qt::white);
    panel.SetColorShadow(Qt::darkGray);
    panel.SetBevelOuter(TBevelCut::Raised);
    panel.SetBevelInner(TBevelCut::Lowered);
    panel.SetBorderWidth(1);
    EXPECT_EQ(panel.Rings(), 3);
    const QImage image = Paint(panel);
    EXPECT_EQ(At(image, 0, 0), Rgb(Qt::white));      // raised outer: light top-left
    EXPECT_EQ(At(image, 39, 19), Rgb(Qt::darkGray));
    EXPECT_EQ(At(image, 1, 1), Rgb(Qt::black));      // border width in the face colour
    EXPECT_EQ(At(image, 2, 2), Rgb(Qt::darkGray));   // lowered inner: dark top-left
    EXPECT_EQ(At(image, 37, 17), Rgb(Qt::white));
    EXPECT_EQ(At(image, 3, 3), Rgb(Qt::black));
}

TEST(GraphicPanelTest, CaptionFollowsTheAlignment) {
    test::WidgetApp();
    TGraphicPanel panel;
    panel.resize(200, 24);
    panel.SetColor(Qt::black);
    panel.SetFontColor(Qt::yellow);
    panel.SetBevelOuter(TBevelCut::None);
    panel.setFont(DisplayFont(13));
    panel.SetCaption("Veloria");
    panel.SetAlignment(TCaptionAlignment::Left);
    const int left = test::ColumnsOf(Paint(panel), Qt::yellow, 0, 24).first;
    panel.SetAlignment(TCaptionAlignment::Right);
    const int right = test::ColumnsOf(Paint(panel), Qt::yellow, 0, 24).second;
    ASSERT_GE(left, 0);
    EXPECT_LE(left, 3);
    EXPECT_GE(right, 190);
    EXPECT_LE(right, 199);
}

// A strip of `images` digit pictures 12 x 15, picture d filled with the
// colour Digit(d); the "8" carries a middle bar of its own colour.
QColor Digit(int d) { return QColor(20 * d + 10, 100, 200); }
QColor MiddleBar() { return QColor(250, 250, 0); }
QImage Strip(int images) {
    QImage strip(12 * images, 15, QImage::Format_RGB32);
    for (int d = 0; d < images; ++d)
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 12; ++x) strip.setPixel(12 * d + x, y, Digit(d).rgb());
    for (int y = 6; y < 9; ++y)
        for (int x = 3; x < 9; ++x) strip.setPixel(12 * 8 + x, y, MiddleBar().rgb());
    return strip;
}

TEST(DigitalReadoutTest, ImpulseCounterShowsPaddedDigits) {
    test::WidgetApp();
    TDigitalReadout readout;
    readout.SetAutoSize(false);
    readout.SetBevelOuter(TBevelCut::Lowered);
    readout.resize(57, 21);
    readout.SetNumbers(Strip(10));
    EXPECT_EQ(readout.NumberWidth(), 12);
    readout.SetFormatWidth(4);
    readout.SetValue(42);
    EXPECT_EQ(readout.Text(), "0042");
    const QImage image = Paint(readout);
    EXPECT_EQ(At(image, 42, 3), Rgb(Digit(2)));
    EXPECT_EQ(At(image, 53, 17), Rgb(Digit(2)));
    EXPECT_EQ(At(image, 30, 10), Rgb(Digit(4)));
    EXPECT_EQ(At(image, 18, 10), Rgb(Digit(0)));
    EXPECT_EQ(At(image, 6, 10), Rgb(Digit(0)));
    EXPECT_EQ(At(image, 4, 10), Rgb(Qt::black));

    // Room for three digits: "042".
    readout.resize(45, 21);
    const QImage narrow = Paint(readout);
    EXPECT_EQ(At(narrow, 30, 10), Rgb(Digit(2)));
    EXPECT_EQ(At(narrow, 6, 10), Rgb(Digit(0)));
    EXPECT_EQ(At(narrow, 4, 10), Rgb(Qt::black));
}

TEST(DigitalReadoutTest, MinusComesFromTheStripWithoutReadingPastIt) {
    test::WidgetApp();
    TDigitalReadout readout;
    readout.SetAutoSize(false);
    readout.SetBevelOuter(TBevelCut::None);
    readout.resize(60, 20);
    readout.SetNumbers(Strip(10));
    readout.SetValue(-5);
    EXPECT_EQ(readout.Text(), "-5");
    const QImage image = Paint(readout);
    // Inset 2: the "5" takes x = 46..57, the "-" x = 34..45, drawn from the
    // middle of the "8" picture only.
    EXPECT_EQ(At(image, 50, 5), Rgb(Digit(5)));
    EXPECT_EQ(At(image, 40, 9), Rgb(MiddleBar()));
    EXPECT_EQ(At(image, 40, 3), Rgb(Qt::black));
    EXPECT_EQ(At(image, 35, 9), Rgb(Qt::black));
    EXPECT_EQ(At(image, 40, 16), Rgb(Qt::black));
}

TEST(DigitalReadoutTest, AutoSizeFitsTheHeightToTheStrip) {
    test::WidgetApp();
    TDigitalReadout readout;
    readout.resize(80, 50);
    readout.SetBevelOuter(TBevelCut::Raised);
    readout.show();
    readout.SetNumbers(Strip(10));
    EXPECT_EQ(readout.height(), 15 + 2 * (1 + 2));
    readout.SetMargin(4);
    EXPECT_EQ(readout.height(), 15 + 2 * (1 + 4));
    readout.resize(80, 100);
    EXPECT_EQ(readout.height(), 25);
    readout.SetAutoSize(false);
    readout.resize(80, 100);
    EXPECT_EQ(readout.height(), 100);
}

TEST(CellImageTest, CellsAreCutFromThePicture) {
    test::WidgetApp();
    QImage sheet(1380, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 1380; ++x) sheet.setPixel(x, y, qRgb(x / 30 * 5, y / 30 * 20, 7));
    TCellImage cells;
    cells.SetPicture(sheet);
    const QImage* whole = cells.GetCell(0, 0);
    ASSERT_NE(whole, nullptr) << "one cell by default: the whole sheet";
    EXPECT_EQ(whole->size(), QSize(1380, 300));
    cells.SetNumCellsX(46);
    cells.SetNumCellsY(10);
    const QImage* cell = cells.GetCell(3, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->size(), QSize(30, 30));
    EXPECT_EQ(cell->pixel(0, 0), qRgb(15, 40, 7));
    EXPECT_EQ(cell->pixel(29, 29), qRgb(15, 40, 7));
    // The same bitmap, overwritten.
    EXPECT_EQ(cells.GetCell(45, 9), cell);
    EXPECT_EQ(cell->pixel(0, 0), qRgb(225, 180, 7));
    EXPECT_EQ(cells.GetCell(46, 0), nullptr);
    EXPECT_EQ(cells.GetCell(-1, 0), nullptr);
    EXPECT_EQ(cells.GetCell(0, -1), nullptr);
    cells.SetNumCellsX(0);
    EXPECT_EQ(cells.GetCell(0, 0), nullptr);
}

} // namespace
} // namespace qx
