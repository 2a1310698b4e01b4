#include "TestSupport.h"

#include "engine/forms/AlertEntries.h"
#include "engine/forms/SettingsRules.h"
#include "engine/forms/TimeEntries.h"
#include "engine/settings/CalendarSettings.h"

using namespace tradevane;

namespace {

// The checks on their own: each case fails exactly one check and every later one, so the first
// failing check is the one named.
TEST(AlertChecks, FourteenChecksInTheirOrder)
{
    AlertEntries valid;
    valid.periods = {u"5"_qs, u"10"_qs, u"10"_qs, u"30"_qs, u"50"_qs, u"200"_qs};
    valid.hhDays = valid.llDays = u"20"_qs;
    valid.rocPlus = u"10"_qs;
    valid.rocMinus = u"0"_qs;
    EXPECT_FALSE(checkAlertEntries(valid));

    const auto periods = [&](std::array<const char16_t*, 6> p) {
        AlertEntries e = valid;
        for (int i = 0; i < 6; ++i)
            e.periods[i] = QString::fromUtf16(p[i]);
        e.hhDays = e.llDays = u"0"_qs;
        return e;
    };
    struct Case
    {
        AlertEntries entries;
        const char16_t* title;
        const char16_t* firstLine;
    };
    AlertEntries priceAbove = periods({u"0", u"0", u"0", u"0", u"0", u"0"});
    priceAbove.priceAbove = priceAbove.priceBelow = priceAbove.rocUp = true;
    priceAbove.rocPlus = QString();
    AlertEntries priceBelow = priceAbove;
    priceBelow.maxPrice = u"100"_qs;
    AlertEntries roc = priceBelow;
    roc.minPrice = u"-3.5"_qs;
    AlertEntries shortPair = roc;
    shortPair.rocPlus = u" 7 "_qs;
    const Case cases[] = {
        {priceAbove, u"Check input", u"The <Price GREATER than> alert in the 'Price/Volume'"},
        {priceBelow, u"Check input", u"The <Price LESS than> alert in the 'Price/Volume'"},
        {roc, u"Check input", u"The <Rate of Change> alert in the 'Momentum'"},
        {shortPair, u"Fast Moving Average", u"FAST moving average entry must be less"},
        {periods({u"9.6", u"9.9", u"0", u"0", u"0", u"0"}), u"Fast Moving Average",
            u"FAST moving average entry must be less"}, // both are stored as 10
        {periods({u"5", u"10", u"10", u"10", u"0", u"0"}), u"Medium Moving Average",
            u"FAST moving average entry must be less"},
        {periods({u"5", u"10", u"10", u"30", u"90", u"50"}), u"Long Moving Average",
            u"FAST moving average entry must be less"},
        {periods({u"2", u"200", u"0", u"1", u"0", u"1"}), u"Short Timeframe Averages",
            u"FAST moving average period range is 3 to 20"},
        {periods({u"20", u"25.5", u"0", u"1", u"0", u"1"}), u"Short Timeframe Averages",
            u"SLOW moving average period range is 5 to 25"},
        {periods({u"3", u"25", u"9.9", u"19", u"0", u"1"}), u"Medium Timeframe Averages",
            u"FAST moving average period range is 10 to 35"},
        {periods({u"3", u"25", u"35", u"51", u"0", u"1"}), u"Medium Timeframe Averages",
            u"SLOW moving average period range is 20 to 50"},
        {periods({u"3", u"25", u"35", u"50", u"100.1", u"101"}), u"Long Timeframe Averages",
            u"FAST moving average period range is 40 to 100"},
        {periods({u"3", u"25", u"35", u"50", u"40", u"89"}), u"Long Timeframe Averages",
            u"SLOW moving average period range is 90 to 200"},
        {periods({u"3", u"25", u"35", u"50", u"40", u"90"}), u"Momentum Entry Error)",
            u"Invalid input for Highest High days"},
    };
    for (const Case& c : cases) {
        const auto problem = checkAlertEntries(c.entries);
        ASSERT_TRUE(problem) << QString::fromUtf16(c.firstLine).toStdString();
        EXPECT_EQ(problem->title, QString::fromUtf16(c.title));
        EXPECT_EQ(problem->text.split(u"\r\n"_qs).first(), QString::fromUtf16(c.firstLine));
    }
    for (const QString& days : {u"201"_qs, u"1"_qs, QString(), u"20x"_qs, u"200.5"_qs}) {
        AlertEntries highestHigh = valid;
        highestHigh.hhDays = days;
        const auto problem = checkAlertEntries(highestHigh);
        ASSERT_TRUE(problem) << days.toStdString();
        EXPECT_EQ(
            problem->text, u"Invalid input for Highest High days\r\nInput a number between 2 and 200"_qs);
    }
    // A rate of change that does not fit the record's 16 bits is refused even while its alert is off.
    for (const QString& value : {u"40000"_qs, u"32767.5"_qs, u"-32769"_qs}) {
        AlertEntries rate = valid;
        rate.rocMinus = value;
        const auto problem = checkAlertEntries(rate);
        ASSERT_TRUE(problem) << value.toStdString();
        EXPECT_TRUE(problem->text.startsWith(u"The <Rate of Change> alert in the 'Momentum'"_qs));
    }
    AlertEntries lowestLow = valid;
    lowestLow.llDays = u"abc"_qs;
    lowestLow.hhDays = u" 2 "_qs;
    const auto problem = checkAlertEntries(lowestLow);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->text, u"Invalid input for Lowest Low days\r\nInput a number between 2 and 200"_qs);
}

TEST(SettingsRules, RoundingGoesHalfToEvenAndNumbersMustBeWhole)
{
    const std::pair<double, double> rounding[]
        = {{2.5, 2}, {3.5, 4}, {0.5, 0}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {-0.4, 0}, {199.6, 200}};
    for (const auto& [value, expected] : rounding)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
    EXPECT_TRUE(isNumeric(u" -12.5 "_qs));
    EXPECT_TRUE(isNumeric(u".5"_qs));
    EXPECT_FALSE(isNumeric(QString()));
    EXPECT_FALSE(isNumeric(u"   "_qs));
    EXPECT_FALSE(isNumeric(u"12abc"_qs));
    EXPECT_FALSE(isNumeric(u"1,5"_qs));
    EXPECT_EQ(toInt16(32767), std::optional<qint16>(32767));
    EXPECT_FALSE(toInt16(32768));
    EXPECT_FALSE(toInt16(-32769));
}

TEST(TimeChecks, TenChecksInTheirOrder)
{
    struct Case
    {
        TimeEntries entries;
        const char16_t* title;
        const char16_t* text;
    };
    const Case cases[] = {
        {{u""_qs, u"x"_qs, u"x"_qs, u"x"_qs, u"x"_qs}, u"Check input",
            u"Quote Download Start Time:\r\nHOUR value must be numeric"},
        {{u"0"_qs, u"5m"_qs, u"x"_qs, u"x"_qs, u"x"_qs}, u"Check input",
            u"Quote Download Start Time:\r\nMINUTES value must be numeric"},
        {{u"0"_qs, u"-1"_qs, u" "_qs, u"x"_qs, u"x"_qs}, u"Check input",
            u"Quote Download Stop Time:\r\nHOUR value must be numeric"},
        {{u"0"_qs, u"-1"_qs, u"0"_qs, u"1:00"_qs, u"x"_qs}, u"Check input",
            u"Quote Download Stop Time:\r\nMINUTE value must be numeric"},
        {{u"0"_qs, u"-1"_qs, u"0"_qs, u"60"_qs, u""_qs}, u"Check input",
            u"Intra Day Quote Interval:\r\nValue must be numeric"},
        {{u"0.9"_qs, u"-1"_qs, u"0"_qs, u"60"_qs, u"0"_qs}, u"Invalid Time",
            u"Location: StartTime\r\nHour entry error\r\nAllowed range = 1 to 23"},
        {{u"23"_qs, u"59.5"_qs, u"0"_qs, u"60"_qs, u"0"_qs}, u"Invalid Time",
            u"Location: Start Time\r\nMinute entry error\r\nAllowed range = 0 to 59"},
        {{u"9.6"_qs, u"0"_qs, u"9.9"_qs, u"60"_qs, u"0"_qs}, u"Invalid Time",
            u"Location: Stop Time\r\nHour entry error\r\nAllowed range = 1 to 23\r\nMust be greater than "
            u"START time"},
        {{u"1"_qs, u"0"_qs, u"23"_qs, u"60"_qs, u"0"_qs}, u"Invalid Time",
            u"Location: Stop Time\r\nMinute entry error\r\nAllowed range = 0 to 59"},
        {{u"1"_qs, u"0"_qs, u"23"_qs, u"59"_qs, u"30.5"_qs}, u"Quote download interval",
            u"Quote update interval: Outside allowed range.\r\nAllowed range = 1 to 30 minutes"},
    };
    for (const Case& c : cases) {
        const auto problem = checkTimeEntries(c.entries);
        ASSERT_TRUE(problem) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(problem->title, QString::fromUtf16(c.title));
        EXPECT_EQ(problem->text, QString::fromUtf16(c.text));
    }
    EXPECT_FALSE(checkTimeEntries({u"1"_qs, u"0"_qs, u"23"_qs, u"59"_qs, u"30"_qs}));
}

// What a save puts into the record: whole numbers rounded half to even after the checks compared
// them unrounded, prices only while their alert is on.
TEST(StoredEntries, RoundedHalfToEvenAndOnlyWhereTheAlertIsOn)
{
    AlertEntries entries = entriesFromSettings(AlertSettings {});
    entries.symbol = u"BRK.A.LONG"_qs;
    entries.hhDays = u"200"_qs;
    entries.llDays = u"2.5"_qs;
    entries.rocUp = true;
    entries.rocPlus = u"32767"_qs;
    entries.rocMinus = u"-5.5"_qs; // kept while its alert is off, as the box keeps it
    entries.priceAbove = true;
    entries.maxPrice = u" 1234.5 "_qs;
    entries.minPrice = u"12"_qs; // its alert is off
    AlertSettings stored;
    stored.reserved = 0x33;
    storeAlertEntries(entries, stored);
    EXPECT_EQ(stored.symbol, u"BRK.A.L"_qs);
    EXPECT_EQ(stored.watch, Watch::On);
    EXPECT_EQ(stored.highestHighDays, 200);
    EXPECT_EQ(stored.lowestLowDays, 2);
    EXPECT_EQ(stored.rateOfChangeAbove, 32767);
    EXPECT_EQ(stored.rateOfChangeBelow, -6);
    EXPECT_EQ(stored.priceAbove, 1234.5);
    EXPECT_EQ(stored.priceBelow, 0.0);
    EXPECT_EQ(stored.reserved, 0x33);

    for (const auto& [hour, stopHour, expected] : {std::tuple {u"7.5"_qs, u"16"_qs, 8},
             std::tuple {u" 8.5 "_qs, u"16"_qs, 8}, std::tuple {u"9"_qs, u"9.6"_qs, 9}}) {
        const TimeEntries times {hour, u"59"_qs, stopHour, u"0"_qs, u"5"_qs};
        ASSERT_FALSE(checkTimeEntries(times)) << hour.toStdString();
        EXPECT_EQ(storeTimeEntries(times).startHour, expected) << hour.toStdString();
        EXPECT_EQ(storeTimeEntries(times).quoteStartMinute, 59);
    }
}

TEST(CalendarFile, WhatIsReadAndWhatFallsBackToSkippingHolidays)
{
    CalendarSettings read;
    EXPECT_FALSE(parseCalendarSettings(u"[calendar]\r\nSkipHolidays = false\r\n"_qs, read));
    EXPECT_FALSE(read.skipHolidays);
    EXPECT_FALSE(parseCalendarSettings(u"; note\n[other]\nKey=x\n[Calendar]\nskipholidays=TRUE\n"_qs, read));
    EXPECT_TRUE(read.skipHolidays);
    EXPECT_EQ(parseCalendarSettings(u"[calendar]\nSkipHolidays=maybe\n"_qs, read), u"SkipHolidays=maybe"_qs);
    EXPECT_EQ(parseCalendarSettings(u"[calendar]\nHolidays=0\n"_qs, read), u"Holidays=0"_qs);
    EXPECT_EQ(parseCalendarSettings(u"[calendar]\nno equals sign\n"_qs, read), u"no equals sign"_qs);
}

} // namespace
