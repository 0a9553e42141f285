#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include "controls/ColorButton.h"
#include "controls/ControlRules.h"
#include "controls/GameStyle.h"
#include "tests/controls/WidgetApp.h"

namespace qx {
namespace {

using test::At;
using test::Paint;
using test::Rgb;

class ButtonTest : public test::WithWidgetApp, public ::testing::Test {
protected:
    void SetUp() override {
        test::WidgetApp();
        button.SetGameStyle();
        button.SetCaption("Move");
        button.SetHighlightChar('M');
        button.show();
    }
    void Hover(bool inside) {
        if (inside) {
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QCoreApplication::sendEvent(&button, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(&button, &leave);
        }
    }
    TColorButton button;
};

TEST_F(ButtonTest, GameStyleMatchesTheMoveButton) {
    EXPECT_EQ(button.size(), QSize(85, 21));
    EXPECT_EQ(button.BevelWidth(), 2);
    EXPECT_EQ(button.Color(), QColor(Qt::black));
    EXPECT_EQ(button.ColorHighlight(), style::Aqua());
    EXPECT_EQ(button.ColorShadow(), style::Teal());
    EXPECT_EQ(button.ColorHot(), QColor(Qt::white));
    EXPECT_EQ(button.FontColor(), style::Aqua());
    EXPECT_EQ(button.font().pixelSize(), 13);

    const QImage up = Paint(button);
    // Two rings: aqua top-left, teal bottom-right, black face.
    EXPECT_EQ(At(up, 0, 0), Rgb(style::Aqua()));
    EXPECT_EQ(At(up, 1, 1), Rgb(style::Aqua()));
    EXPECT_EQ(At(up, 0, 20), Rgb(style::Aqua()));  // bottom-left corner goes with the left edge
    EXPECT_EQ(At(up, 84, 0), Rgb(style::Teal()));  // top-right corner goes with the right edge
    EXPECT_EQ(At(up, 84, 20), Rgb(style::Teal()));
    EXPECT_EQ(At(up, 83, 19), Rgb(style::Teal()));
    EXPECT_EQ(At(up, 2, 2), Rgb(Qt::black));
}

TEST_F(ButtonTest, CaptionDefaultsToTheObjectName) {
    TColorButton unnamed;
    unnamed.setObjectName("btnMove");
    EXPECT_EQ(unnamed.Caption(), "btnMove");
    unnamed.SetCaption("");
    EXPECT_EQ(unnamed.Caption(), "");
}

TEST_F(ButtonTest, NormalButtonIsDownOnlyWhileHeld) {
    QSignalSpy clicks(&button, &TColorButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button.Down());
    const QImage held = Paint(button);
    EXPECT_EQ(At(held, 5, 10), Rgb(style::Teal()));    // the face takes the shadow colour
    EXPECT_EQ(At(held, 0, 0), Rgb(style::Teal()));     // bevel inverted
    EXPECT_EQ(At(held, 84, 20), Rgb(style::Aqua()));
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(clicks.count(), 1);

    // Released outside: up again, but no click.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(clicks.count(), 1);

    // Down cannot be forced on a button that springs back.
    button.SetDown(true);
    EXPECT_FALSE(button.Down());
}

TEST_F(ButtonTest, StayDownButtonTogglesAndPressedTwiceEndsReleased) {
    button.SetStayDown(true);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button.Down());
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button.Down());

    button.SetDown(true);
    EXPECT_TRUE(button.Down());
    // Setting StayDown releases the button.
    button.SetStayDown(true);
    EXPECT_FALSE(button.Down());
    button.SetDown(true);
    button.SetStayDown(false);
    EXPECT_FALSE(button.Down());
}

TEST_F(ButtonTest, DisabledButtonIgnoresTheMouse) {
    QSignalSpy clicks(&button, &TColorButton::clicked);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button.Down());
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ButtonTest, MouseOverTurnsTheBevelHot) {
    Hover(true);
    EXPECT_TRUE(button.MouseOver());
    QImage hot = Paint(button);
    EXPECT_EQ(At(hot, 0, 0), Rgb(Qt::white));
    EXPECT_EQ(At(hot, 84, 20), Rgb(Qt::white));
    EXPECT_EQ(At(hot, 1, 10), Rgb(Qt::white));
    Hover(false);
    EXPECT_FALSE(button.MouseOver());
    const QImage cold = Paint(button);
    EXPECT_EQ(At(cold, 0, 0), Rgb(style::Aqua()));
}

TEST_F(ButtonTest, HighlightLetterIsDrawnHotAndTheRestInTheFontColour) {
    const QFontMetrics metrics(button.font());
    const int textWidth = metrics.horizontalAdvance("Move");
    const int left = (85 - textWidth) / 2;
    const int mWidth = metrics.horizontalAdvance("M");

    QImage image = Paint(button);
    // Inside the bevel only; the rings are aqua too.
    auto [hotLeft, hotRight] = test::ColumnsOf(image.copy(2, 2, 81, 17), Qt::white, 0, 17);
    auto [textLeft, textRight] = test::ColumnsOf(image.copy(2, 2, 81, 17), style::Aqua(), 0, 17);
    ASSERT_GE(hotLeft, 0) << "no hot-coloured letter";
    ASSERT_GE(textLeft, 0) << "no caption in the font colour";
    EXPECT_GE(hotLeft + 2, left);
    EXPECT_LT(hotRight + 2, left + mWidth);
    EXPECT_GE(textLeft + 2, left + mWidth - 1);  // "ove" follows the M
    EXPECT_LE(textRight + 2, left + textWidth);

    // A letter the caption lacks is drawn after it, in the hot colour.
    button.SetHighlightChar('x');
    const int wide = metrics.horizontalAdvance("Movex");
    const int start = (85 - wide) / 2;
    image = Paint(button).copy(2, 2, 81, 17);
    std::tie(hotLeft, hotRight) = test::ColumnsOf(image, Qt::white, 0, 17);
    std::tie(textLeft, textRight) = test::ColumnsOf(image, style::Aqua(), 0, 17);
    ASSERT_GE(hotLeft, 0);
    EXPECT_GE(hotLeft + 2, start + metrics.horizontalAdvance("Move") - 1);
    EXPECT_LT(textRight + 2, start + metrics.horizontalAdvance("Move"));
}

TEST_F(ButtonTest, AmpersandIsDrawnAsItStands) {
    button.SetHighlightChar(QChar());
    button.resize(200, 21);
    button.SetCaption("RD");
    const auto [plainLeft, plainRight] = test::ColumnsOf(Paint(button).copy(2, 2, 196, 17), style::Aqua(), 0, 17);
    button.SetCaption("R&D");
    const auto [ampLeft, ampRight] = test::ColumnsOf(Paint(button).copy(2, 2, 196, 17), style::Aqua(), 0, 17);
    const QFontMetrics metrics(button.font());
    // The ampersand takes its own width; a mnemonic would have hidden it.
    EXPECT_EQ(ampRight - ampLeft - (plainRight - plainLeft), metrics.horizontalAdvance("R&D") - metrics.horizontalAdvance("RD"));
    EXPECT_EQ(test::ColumnsOf(Paint(button), Qt::white, 0, 21).first, -1);
}

TEST_F(ButtonTest, GlyphShowsOnlyWithoutACaption) {
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    button.SetGlyph(glyph);
    EXPECT_EQ(test::ColumnsOf(Paint(button), Qt::red, 0, 21).first, -1);
    button.SetCaption("");
    QImage image = Paint(button);
    EXPECT_EQ(test::ColumnsOf(image, Qt::red, 0, 21), std::make_pair(34, 49));
    button.SetStretch(true);
    image = Paint(button);
    EXPECT_EQ(test::ColumnsOf(image, Qt::red, 0, 21), std::make_pair(2, 81));
    EXPECT_EQ(At(image, 40, 17), Rgb(Qt::red));
    EXPECT_NE(At(image, 40, 18), Rgb(Qt::red));
}

} // namespace
} // namespace qx
