#include "platform/text/float_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace cx {
namespace {

TEST(ParseFloat, NumbersWithTheGivenSeparator) {
    EXPECT_EQ(ParseFloat(L"11", L'.'), 11.0);
    EXPECT_EQ(ParseFloat(L"11.0", L'.'), 11.0);
    EXPECT_EQ(ParseFloat(L"11,5", L','), 11.5);
    EXPECT_EQ(ParseFloat(L"-0.25", L'.'), -0.25);
    EXPECT_EQ(ParseFloat(L"+7", L'.'), 7.0);
    // A separator with digits on one side only.
    EXPECT_EQ(ParseFloat(L"5.", L'.'), 5.0);
    EXPECT_EQ(ParseFloat(L".5", L'.'), 0.5);
    EXPECT_EQ(ParseFloat(L"1.5e2", L'.'), 150.0);
    EXPECT_EQ(ParseFloat(L"15E-1", L'.'), 1.5);
    EXPECT_EQ(ParseFloat(L"2e+1", L'.'), 20.0);
    // Long digit runs are read exactly, not accumulated digit by digit.
    EXPECT_EQ(ParseFloat(L"0.1000000000000000055511151231257827", L'.'), 0.1);
}

TEST(ParseFloat, BlanksAroundTheNumberOnly) {
    EXPECT_EQ(ParseFloat(L"  12  ", L'.'), 12.0);
    EXPECT_EQ(ParseFloat(L" -3", L'.'), -3.0);
    EXPECT_EQ(ParseFloat(L"- 3", L'.'), std::nullopt);
    EXPECT_EQ(ParseFloat(L"1 2", L'.'), std::nullopt);
    EXPECT_EQ(ParseFloat(L"\t12", L'.'), std::nullopt);
}

TEST(ParseFloat, OnlyTheLocalesSeparatorIsADecimalMark) {
    // The comma locale reading a dotted version is the case the version probe reports as an error.
    EXPECT_EQ(ParseFloat(L"11.0", L','), std::nullopt);
    EXPECT_EQ(ParseFloat(L"11,0", L'.'), std::nullopt);
    // No thousands separators, no second decimal mark.
    EXPECT_EQ(ParseFloat(L"1,000.5", L'.'), std::nullopt);
    EXPECT_EQ(ParseFloat(L"1.000.5", L'.'), std::nullopt);
    EXPECT_EQ(ParseFloat(L"16.0.0", L'.'), std::nullopt);
}

TEST(ParseFloat, RejectsWhatIsNotADecimalNumber) {
    for (const wchar_t* text : {L"", L" ", L"+", L"-", L".", L"e5", L".e1", L"1e", L"1e+", L"1e1.5", L"0x10",
                                L"inf", L"nan", L"11a", L"a11", L"\u0661\u0662", L"++1", L"1-"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(text)));
        EXPECT_EQ(ParseFloat(text, L'.'), std::nullopt);
    }
}

TEST(ParseFloat, ValuesBeyondDoubleAreRejected) {
    EXPECT_EQ(ParseFloat(L"1e400", L'.'), std::nullopt);
    EXPECT_EQ(ParseFloat(L"1e308", L'.'), 1e308);
}

TEST(RoundHalfToEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfToEven(8.5), 8.0);
    EXPECT_EQ(RoundHalfToEven(9.5), 10.0);
    EXPECT_EQ(RoundHalfToEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfToEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfToEven(-3.5), -4.0);
}

TEST(RoundHalfToEven, EverythingElseToTheNearest) {
    EXPECT_EQ(RoundHalfToEven(8.4999999), 8.0);
    EXPECT_EQ(RoundHalfToEven(8.5000001), 9.0);
    EXPECT_EQ(RoundHalfToEven(-8.6), -9.0);
    EXPECT_EQ(RoundHalfToEven(11.0), 11.0);
    EXPECT_EQ(RoundHalfToEven(4503599627370497.0), 4503599627370497.0);
}

}  // namespace
}  // namespace cx
