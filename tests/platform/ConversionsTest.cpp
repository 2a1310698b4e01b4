#include "platform/Conversions.h"

#include <QString>

#include <gtest/gtest.h>

#include <cfloat>

using namespace tradevane;

namespace {

const QString kTooLarge = u"1"_qs + QString(400, u'0');
const QString kTooSmall = u"0."_qs + QString(400, u'0') + u"1"_qs;

TEST(TextToNumber, ReadsDecimalNumbersWithBlanksAroundThem)
{
    // "110\r": the close of a CR LF history line.
    const std::pair<QString, double> cases[]
        = {{u"12"_qs, 12.0}, {u" 10.25 "_qs, 10.25}, {u"110\r"_qs, 110.0}, {u"\t-5\r\n"_qs, -5.0},
            {u"+3"_qs, 3.0}, {u".5"_qs, 0.5}, {u"7."_qs, 7.0}, {u"-.5"_qs, -0.5}, {u"-7."_qs, -7.0},
            {u"123456789.123456789"_qs, 123456789.123456789}, {u"0.1"_qs, 0.1}, {u"0001.50"_qs, 1.5},
            {u""_qs, 0.0}, {u"   "_qs, 0.0}, {u"\r"_qs, 0.0}, {kTooSmall, 0.0}};
    for (const auto& [text, expected] : cases) {
        const std::optional<double> value = textToNumber(text);
        ASSERT_TRUE(value.has_value()) << text.toStdString();
        EXPECT_EQ(*value, expected) << text.toStdString();
    }
    // The largest doubles still convert; one digit more does not.
    const QString nearMax = u"17976931348623157"_qs + QString(292, u'0');
    EXPECT_EQ(textToNumber(nearMax), DBL_MAX);
    EXPECT_FALSE(textToNumber(nearMax + u"0"_qs));
}

TEST(TextToNumber, RefusesEverythingElse)
{
    const QString refused[] = {u"N/A"_qs, u"12abc"_qs, u"1 2"_qs, u"1,5"_qs, u"1.2.3"_qs, u"."_qs, u"-"_qs,
        u"+-1"_qs, u"1e5"_qs, u"0x10"_qs, u"inf"_qs, u"-infinity"_qs, u"nan"_qs, u"\u0661\u0662"_qs,
        u"\uff11"_qs, u"12\u00a0"_qs, kTooLarge, u"-"_qs + kTooLarge};
    for (const QString& text : refused)
        EXPECT_FALSE(textToNumber(text).has_value()) << text.toStdString();
}

TEST(Val, ReadsTheNumberAtTheStart)
{
    const std::pair<QString, double> cases[] = {{u"12.5abc"_qs, 12.5}, {u"  42"_qs, 42.0},
        {u"1200\r"_qs, 1200.0}, {u"-5"_qs, -5.0}, {u"+.5"_qs, 0.5}, {u"1.2.3"_qs, 1.2}, {u"1e"_qs, 1.0},
        {u"2E+x"_qs, 2.0}, {u"1,500"_qs, 1.0}, {u"N/A"_qs, 0.0}, {u""_qs, 0.0}, {u"."_qs, 0.0},
        {u"- 5"_qs, 0.0}, {u"inf"_qs, 0.0}, {kTooSmall + u"x"_qs, 0.0}};
    for (const auto& [text, expected] : cases) {
        bool overflow = false;
        EXPECT_EQ(val(text, &overflow), expected) << text.toStdString();
        EXPECT_FALSE(overflow) << text.toStdString();
    }
}

// Such a number is refused by the whole-text conversion too: a last price in exponent form must
// not read as its mantissa ("1.25e2" as 1.25) and fire a price alert.
TEST(Val, NumberTooLargeOrInExponentFormReadsZeroAndTellsTheCaller)
{
    for (const QString& text :
        {QString(kTooLarge + u" shares"_qs), u"1e308"_qs, u"1.25e2"_qs, u" 2E-3\r"_qs, u"-4e+1x"_qs}) {
        bool invalid = false;
        EXPECT_EQ(val(text, &invalid), 0.0) << text.toStdString();
        EXPECT_TRUE(invalid) << text.toStdString();
        EXPECT_FALSE(textToNumber(text).has_value()) << text.toStdString();
    }
    EXPECT_EQ(val(kTooLarge), 0.0);
}

} // namespace
