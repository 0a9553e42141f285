#include <gtest/gtest.h>

#include <climits>

#include "controls/ControlRules.h"

namespace qx {
namespace {

TEST(ControlRules, RoundHalfEvenTiesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(1e12), INT_MAX);
    EXPECT_EQ(RoundHalfEven(-1e12), INT_MIN);
}

TEST(ControlRules, HighlightSplitsAtTheFirstCaseSensitiveOccurrence) {
    THighlightSplit move = SplitHighlight("Move", 'M');
    EXPECT_EQ(move.Before, "");
    EXPECT_EQ(move.Hot, "M");
    EXPECT_EQ(move.After, "ove");

    THighlightSplit repeat = SplitHighlight("Target Tug", 'T');
    EXPECT_EQ(repeat.Before, "");
    EXPECT_EQ(repeat.After, "arget Tug");

    THighlightSplit middle = SplitHighlight("Exit", 'x');
    EXPECT_EQ(middle.Before, "E");
    EXPECT_EQ(middle.Hot, "x");
    EXPECT_EQ(middle.After, "it");

    // Case matters: "m" is not in "Move", so the letter follows the caption.
    THighlightSplit absent = SplitHighlight("Move", 'm');
    EXPECT_EQ(absent.Before, "Move");
    EXPECT_EQ(absent.Hot, "m");
    EXPECT_EQ(absent.After, "");

    THighlightSplit none = SplitHighlight("R&D", QChar());
    EXPECT_EQ(none.Before, "R&D");
    EXPECT_TRUE(none.Hot.isEmpty());

    // An ampersand is an ordinary character, also as the hot letter.
    THighlightSplit amp = SplitHighlight("R&D", '&');
    EXPECT_EQ(amp.Before, "R");
    EXPECT_EQ(amp.Hot, "&");
    EXPECT_EQ(amp.After, "D");
}

TEST(ControlRules, ButtonLookFollowsDownAndMouseOver) {
    const TButtonLook up = ButtonLook(false, false);
    EXPECT_EQ(up.Face, TButtonColor::Face);
    EXPECT_EQ(up.TopLeft, TButtonColor::Highlight);
    EXPECT_EQ(up.BottomRight, TButtonColor::Shadow);
    EXPECT_FALSE(up.TextInFaceColor);
    EXPECT_EQ(up.TextShift, QPoint(0, 0));

    const TButtonLook hot = ButtonLook(false, true);
    EXPECT_EQ(hot.TopLeft, TButtonColor::Hot);
    EXPECT_EQ(hot.BottomRight, TButtonColor::Hot);

    // Pressed wins over the mouse: inverted bevel, shadow face, shifted text.
    for (bool over : {false, true}) {
        const TButtonLook down = ButtonLook(true, over);
        EXPECT_EQ(down.Face, TButtonColor::Shadow);
        EXPECT_EQ(down.TopLeft, TButtonColor::Shadow);
        EXPECT_EQ(down.BottomRight, TButtonColor::Highlight);
        EXPECT_TRUE(down.TextInFaceColor);
        EXPECT_EQ(down.TextShift, QPoint(1, 1));
    }
}

TEST(ControlRules, GlyphAndCaptionPlacement) {
    EXPECT_EQ(CenteredTextOrigin(QSize(85, 21), QSize(30, 13)), QPoint(27, 4));
    // A caption wider than the button starts left of it (division truncates).
    EXPECT_EQ(CenteredTextOrigin(QSize(20, 10), QSize(25, 13)), QPoint(-2, -1));

    EXPECT_EQ(GlyphTarget(QSize(85, 21), QSize(16, 16), 2, true, false), QRect(2, 2, 80, 16));
    EXPECT_EQ(GlyphTarget(QSize(85, 21), QSize(16, 16), 2, false, false), QRect(34, 2, 16, 16));
    EXPECT_EQ(GlyphTarget(QSize(85, 21), QSize(16, 16), 2, false, true), QRect(35, 3, 16, 16));
    EXPECT_TRUE(GlyphTarget(QSize(4, 4), QSize(16, 16), 2, true, false).isEmpty());

    EXPECT_EQ(RingRect(QSize(10, 6), 1), QRect(1, 1, 8, 4));
    EXPECT_TRUE(RingRect(QSize(10, 6), 3).isEmpty());
    EXPECT_TRUE(RingRect(QSize(10, 6), -1).isEmpty());

    EXPECT_EQ(PanelCaptionX(TCaptionAlignment::Left, 100, 40, 3), 4);
    EXPECT_EQ(PanelCaptionX(TCaptionAlignment::Right, 100, 40, 3), 56);
    EXPECT_EQ(PanelCaptionX(TCaptionAlignment::Center, 100, 41, 3), 29);
}

TEST(ControlRules, ElasticRectScalesWithItsExceptions) {
    const QRect child(10, 20, 30, 15);
    // Twice as wide: left and width double, vertical stays.
    EXPECT_EQ(ElasticRect(child, QSize(100, 100), QSize(200, 100), true, true, false), QRect(20, 20, 60, 15));
    // Half as high, height kept for an edit box.
    EXPECT_EQ(ElasticRect(child, QSize(100, 100), QSize(100, 50), true, true, true), QRect(10, 10, 30, 15));
    // Not elastic in a direction: unchanged there.
    EXPECT_EQ(ElasticRect(child, QSize(100, 100), QSize(300, 300), false, true, false), QRect(10, 60, 30, 45));
    // Ties round to even: 5 * 1.5 = 7.5 -> 8, 3 * 1.5 = 4.5 -> 4.
    EXPECT_EQ(ElasticRect(QRect(5, 0, 3, 1), QSize(2, 1), QSize(3, 1), true, false, false), QRect(8, 0, 4, 1));
    // A design size below 1 never divides: that direction does not scale.
    EXPECT_EQ(ElasticRect(child, QSize(0, 100), QSize(640, 200), true, true, false), QRect(10, 40, 30, 30));
    EXPECT_EQ(ElasticRect(child, QSize(-5, 0), QSize(640, 480), true, true, false), child);
}

TEST(ControlRules, ListItemTextCutsAtTheDelimiterOnly) {
    EXPECT_EQ(ListItemText("Veloria;12;3", true, ';'), "Veloria");
    EXPECT_EQ(ListItemText(";hidden", true, ';'), "");
    // No delimiter: the whole text, not an empty line.
    EXPECT_EQ(ListItemText("Veloria", true, ';'), "Veloria");
    EXPECT_EQ(ListItemText("Veloria;12", false, ';'), "Veloria;12");
    EXPECT_EQ(ListItemText("a|b;c", true, '|'), "a");
}

TEST(ControlRules, ReadoutTextIsZeroPaddedWithTheSignFirst) {
    EXPECT_EQ(FormatReadout(42, 4), "0042");
    EXPECT_EQ(FormatReadout(12345, 4), "12345");
    EXPECT_EQ(FormatReadout(0, 1), "0");
    EXPECT_EQ(FormatReadout(0, 0), "0");
    EXPECT_EQ(FormatReadout(-7, 3), "-007");
    EXPECT_EQ(FormatReadout(INT32_MIN, 1), "-2147483648");
}

TEST(ControlRules, ReadoutLayoutWalksFromTheRightAndStopsAtTheInset) {
    const QSize strip(120, 15);
    // The impulse counter: 57 wide, inset 3, 12-pixel digits.
    std::vector<TReadoutGlyph> glyphs = ReadoutLayout("0042", 57, 3, 12, 0, strip);
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0].X, 42);
    EXPECT_EQ(glyphs[0].Source, QRect(24, 0, 12, 15));  // the last "2"
    EXPECT_EQ(glyphs[1].Source, QRect(48, 0, 12, 15));  // "4"
    EXPECT_EQ(glyphs[3].X, 6);
    EXPECT_EQ(glyphs[3].Source, QRect(0, 0, 12, 15));

    // Room for three digits: "042" remains.
    glyphs = ReadoutLayout("0042", 45, 3, 12, 0, strip);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs.back().Source.x(), 0);
    // A digit whose left edge would sit on the inset is not drawn.
    EXPECT_EQ(ReadoutLayout("0042", 39, 3, 12, 0, strip).size(), 2u);

    // The gap spaces the digits.
    glyphs = ReadoutLayout("11", 60, 3, 12, 2, strip);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0].X - glyphs[1].X, 14);
}

TEST(ControlRules, ReadoutMinusNeverReadsPastTheStrip) {
    // A strip with an eleventh picture uses it for "-".
    std::vector<TReadoutGlyph> glyphs = ReadoutLayout("-5", 60, 3, 12, 0, QSize(132, 15));
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[1].Source, QRect(120, 0, 12, 15));

    // The game's ten-picture strip: the minus is the middle of the "8".
    glyphs = ReadoutLayout("-5", 60, 3, 12, 0, QSize(120, 15));
    ASSERT_EQ(glyphs.size(), 2u);
    const QRect minus = glyphs[1].Source;
    EXPECT_GE(minus.left(), 96);
    EXPECT_LE(minus.right(), 107);
    EXPECT_GT(minus.top(), 0);
    EXPECT_LT(minus.bottom(), 14);
    EXPECT_EQ(glyphs[1].Offset, QPoint(minus.left() - 96, minus.top()));

    // A strip too short for a digit leaves that digit out; nothing reads past it.
    glyphs = ReadoutLayout("19", 60, 3, 12, 0, QSize(60, 15));
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].Source.x(), 12);
    for (const QString& text : {QString("-9876543210"), QString("x?7")})
        for (const TReadoutGlyph& glyph : ReadoutLayout(text, 400, 3, 12, 0, QSize(120, 15)))
            EXPECT_TRUE(QRect(0, 0, 120, 15).contains(glyph.Source)) << text.toStdString();
    EXPECT_TRUE(ReadoutLayout("42", 60, 3, 0, 0, QSize(120, 15)).empty());
}

TEST(ControlRules, CellRectRefusesIndicesOutsideTheGrid) {
    const QSize sheet(1380, 300);
    EXPECT_EQ(CellRect(sheet, 46, 10, 0, 0), QRect(0, 0, 30, 30));
    EXPECT_EQ(CellRect(sheet, 46, 10, 45, 9), QRect(1350, 270, 30, 30));
    EXPECT_FALSE(CellRect(sheet, 46, 10, 46, 0));
    EXPECT_FALSE(CellRect(sheet, 46, 10, 0, 10));
    EXPECT_FALSE(CellRect(sheet, 46, 10, -1, 0));
    EXPECT_FALSE(CellRect(sheet, 46, 10, 0, -1));
    EXPECT_FALSE(CellRect(sheet, 0, 10, 0, 0));
    EXPECT_FALSE(CellRect(QSize(), 46, 10, 0, 0));
    EXPECT_EQ(CellRect(QSize(32, 360), 1, 12, 0, 11), QRect(0, 330, 32, 30));
}

} // namespace
} // namespace qx
