#include "platform/files.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(ParseInteger, ReadsSignedDecimalAfterWhiteSpaceUpToTheFirstNonDigit) {
    EXPECT_EQ(parseInteger(" -42xyz"), -42);
    EXPECT_EQ(parseInteger("\t+17"), 17);
    EXPECT_EQ(parseInteger("12 34"), 12);
    EXPECT_EQ(parseInteger("007"), 7);
}

TEST(ParseInteger, ReadsHexadecimalAndBinaryPrefixes) {
    EXPECT_EQ(parseInteger("$1F"), 31);
    EXPECT_EQ(parseInteger("$ff"), 255);
    EXPECT_EQ(parseInteger("%101"), 5);
    EXPECT_EQ(parseInteger("%1012"), 5);
    EXPECT_EQ(parseInteger("-$10"), -16);
    EXPECT_EQ(parseInteger("$FFFFFFFF"), -1); // a bit pattern, as colours are written
}

TEST(ParseInteger, TextWithoutDigitsGivesZero) {
    EXPECT_EQ(parseInteger(""), 0);
    EXPECT_EQ(parseInteger("   "), 0);
    EXPECT_EQ(parseInteger("-"), 0);
    EXPECT_EQ(parseInteger("abc"), 0);
    EXPECT_EQ(parseInteger("$"), 0);
    EXPECT_EQ(parseInteger("$G"), 0);
}

TEST(ParseInteger, HugeDecimalsSaturateInsteadOfOverflowing) {
    EXPECT_EQ(parseInteger("2147483647"), INT_MAX);
    EXPECT_EQ(parseInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(parseInteger("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(parseInteger("-99999999999999999999999"), INT_MIN);
}

TEST(ParseReal, ReadsSignFractionAndExponent) {
    EXPECT_DOUBLE_EQ(parseReal("1.5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(parseReal(" -2.5E-2"), -0.025);
    EXPECT_DOUBLE_EQ(parseReal("+4e+2"), 400.0);
    EXPECT_DOUBLE_EQ(parseReal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(parseReal("3."), 3.0);
    EXPECT_DOUBLE_EQ(parseReal("42"), 42.0);
}

TEST(ParseReal, StopsAtTheFirstCharacterThatDoesNotFit) {
    EXPECT_DOUBLE_EQ(parseReal("12.5px"), 12.5);
    EXPECT_DOUBLE_EQ(parseReal("1e"), 1.0);
    EXPECT_DOUBLE_EQ(parseReal("1e+"), 1.0);
    EXPECT_DOUBLE_EQ(parseReal("2.5.7"), 2.5);
    EXPECT_DOUBLE_EQ(parseReal("0x10"), 0.0);
}

TEST(ParseReal, TextWithoutDigitsGivesZero) {
    for (const char* text : {"", " ", "-", ".", "-.", "e5", "inf", "nan", "--1", "+-1", "abc"}) {
        EXPECT_EQ(parseReal(text), 0.0) << '"' << text << '"';
    }
}

TEST(ParseReal, OutOfRangeExponentsSaturate) {
    EXPECT_TRUE(std::isinf(parseReal("1e999")));
    EXPECT_LT(parseReal("-1e999"), 0.0);
    EXPECT_EQ(parseReal("1e-999"), 0.0);
}
