#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "base/FieldCodec.h"
#include "base/Random.h"

using namespace qx;

TEST(FieldCodec, TokenizeEndsEveryValueWithTheSeparator) {
    EXPECT_EQ(Tokenize({24, "x"}, ':'), "24:x:");
    EXPECT_EQ(Tokenize({true, false, 'c', 12.25, std::string()}, ';'), "1;0;c;12.25;;");
    EXPECT_EQ(Tokenize({}, ':'), "");
    std::string result = "old";
    Tokenize({-7}, '~', result);
    EXPECT_EQ(result, "-7~");
}

TEST(FieldCodec, TokenizeRefusesPointers) {
    int value = 0;
    try {
        Tokenize({static_cast<const void*>(&value)}, ':');
        FAIL() << "a pointer was accepted";
    } catch (const ECodecError& error) {
        EXPECT_STREQ(error.what(), "Illegal Type passed to tokenize function");
    }
}

TEST(FieldCodec, NextTokenTakesFieldsOffTheFront) {
    std::string text = "a:bb::c";
    EXPECT_EQ(NextToken(text, ':'), "a");
    EXPECT_EQ(text, "bb::c");
    EXPECT_EQ(NextToken(text, ':'), "bb");
    EXPECT_EQ(NextToken(text, ':'), "");
    EXPECT_EQ(NextToken(text, ':'), "c");  // no final separator: the rest
    EXPECT_EQ(text, "");
    EXPECT_EQ(NextToken(text, ':'), "");

    std::string_view view = "x|y|";
    EXPECT_EQ(NextToken(view, '|'), "x");
    EXPECT_EQ(NextToken(view, '|'), "y");
    EXPECT_TRUE(view.empty());
}

TEST(FieldCodec, NumberReadersFallBackAsTheFormatsExpect) {
    std::string text = "12:-3:+4:x::99999999999:2147483647:1:true:0:";
    EXPECT_EQ(NextInt(text, ':'), 12);
    EXPECT_EQ(NextInt(text, ':'), -3);
    EXPECT_EQ(NextInt(text, ':'), 4);
    EXPECT_EQ(NextInt(text, ':'), 0);   // not a number
    EXPECT_EQ(NextInt(text, ':'), 0);   // empty
    EXPECT_EQ(NextInt(text, ':'), 0);   // does not fit in 32 bits
    EXPECT_EQ(NextInt(text, ':'), 2147483647);
    EXPECT_TRUE(NextBool(text, ':'));
    EXPECT_FALSE(NextBool(text, ':'));  // only "1" is true
    EXPECT_FALSE(NextBool(text, ':'));
    EXPECT_EQ(text, "");
}

TEST(FieldCodec, NextFloatRefusesTextThatIsNoNumber) {
    std::string text = "1.5E3;abc;";
    EXPECT_DOUBLE_EQ(NextFloat(text, ';'), 1500.0);
    try {
        NextFloat(text, ';');
        FAIL() << "abc was read as a number";
    } catch (const ECodecError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid floating point value");
    }
    std::string_view bad = ";";
    EXPECT_THROW(NextFloat(bad, ';'), ECodecError);
    std::string_view spelled = "inf;";
    EXPECT_THROW(NextFloat(spelled, ';'), ECodecError);
}

TEST(FieldCodec, RealNumbersUseTheGeneralForm) {
    EXPECT_EQ(FloatToText(4.0), "4");
    EXPECT_EQ(FloatToText(12.25), "12.25");
    EXPECT_EQ(FloatToText(-0.5), "-0.5");
    EXPECT_EQ(FloatToText(0.1), "0.1");
    EXPECT_EQ(FloatToText(0.0001), "0.0001");
    EXPECT_EQ(FloatToText(0.00001), "1E-5");
    EXPECT_EQ(FloatToText(1.25e-7), "1.25E-7");
    EXPECT_EQ(FloatToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToText(1e15), "1E15");
    EXPECT_EQ(FloatToText(2.5e20), "2.5E20");
    EXPECT_EQ(FloatToText(0.0), "0");
    EXPECT_EQ(FloatToText(1.0 / 3.0), "0.3333333333333333");  // 16 digits: the shortest exact text
}

// With at most 15 significant digits the text is exactly the 15-digit general
// form; beyond that it is still the shortest text that reads back exactly.
TEST(FieldCodec, RealTextsMatchTheFifteenDigitFormAndReadBackExactly) {
    TRandom random(42);
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::pow(10.0, random.Random(30) - 12);
        const double value = (random.RandomReal() - 0.3) * scale;
        const std::string text = FloatToText(value);
        double back = 0;
        ASSERT_TRUE(TextToFloat(text, back)) << text;
        ASSERT_EQ(back, value) << text;

        char general[64];
        std::snprintf(general, sizeof general, "%.15G", value);
        double fifteen = 0;
        ASSERT_TRUE(TextToFloat(general, fifteen)) << general;
        if (FloatToText(fifteen) != text) {
            // Only a value that needs more than 15 digits may differ.
            ASSERT_NE(fifteen, value) << general << " vs " << text;
        }
    }
    // The 15-digit texts look the same as %G without trailing zeros.
    EXPECT_EQ(FloatToText(0.30000000000000004), "0.30000000000000004");
    EXPECT_EQ(FloatToText(0.3), "0.3");
}

TEST(FieldCodec, JoinStringsEndsEveryLine) {
    EXPECT_EQ(JoinStrings({"a", "", "c"}, ';'), "a;;c;");
    EXPECT_EQ(JoinStrings({}, ';'), "");
}
