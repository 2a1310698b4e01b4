#include "TestSupport.h"

#include "engine/calendar/ExchangeCalendar.h"
#include "engine/calendar/HolidayFile.h"
#include "engine/session/WaitRules.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace tradevane;

namespace {

inline void PrintTo(const QDate& d, std::ostream* os)
{
    *os << d.toString(Qt::ISODate).toStdString();
}
inline void PrintTo(const ExchangeCalendar::Day& d, std::ostream* os)
{
    *os << d.date.toString(Qt::ISODate).toStdString() << ' ' << d.name.toStdString();
}

QDate d(const char* iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

std::vector<QDate> datesOf(const std::vector<ExchangeCalendar::Day>& days)
{
    std::vector<QDate> dates;
    for (const auto& day : days)
        dates.push_back(day.date);
    return dates;
}

QTimeZone zone(const char* id)
{
    const QTimeZone zone {QByteArray(id)};
    EXPECT_TRUE(zone.isValid()) << id << ": the time zone database is missing (Debian package tzdata)";
    return zone;
}

// The exchanges' own published holiday and early-close lists (NYSE Group's announcements of
// their 2024, 2025, 2026 and 2027 calendars), typed in as published.
struct PublishedYear
{
    int year;
    std::vector<const char*> holidays;
    std::vector<const char*> earlyCloses;
};

const PublishedYear kPublished[] = {
    {2024,
        {"2024-01-01", "2024-01-15", "2024-02-19", "2024-03-29", "2024-05-27", "2024-06-19", "2024-07-04",
            "2024-09-02", "2024-11-28", "2024-12-25"},
        {"2024-07-03", "2024-11-29", "2024-12-24"}},
    {2025,
        {"2025-01-01", "2025-01-20", "2025-02-17", "2025-04-18", "2025-05-26", "2025-06-19", "2025-07-04",
            "2025-09-01", "2025-11-27", "2025-12-25"},
        {"2025-07-03", "2025-11-28", "2025-12-24"}},
    {2026,
        {"2026-01-01", "2026-01-19", "2026-02-16", "2026-04-03", "2026-05-25", "2026-06-19", "2026-07-03",
            "2026-09-07", "2026-11-26", "2026-12-25"},
        {"2026-11-27", "2026-12-24"}},
    {2027,
        {"2027-01-01", "2027-01-18", "2027-02-15", "2027-03-26", "2027-05-31", "2027-06-18", "2027-07-05",
            "2027-09-06", "2027-11-25", "2027-12-24"},
        {"2027-11-26"}},
};

TEST(ExchangeCalendar, HolidaysAndEarlyClosesAreThoseThePublishedCalendarsList)
{
    const ExchangeCalendar calendar;
    for (const PublishedYear& published : kPublished) {
        std::vector<QDate> holidays, earlyCloses;
        for (const char* iso : published.holidays)
            holidays.push_back(d(iso));
        for (const char* iso : published.earlyCloses)
            earlyCloses.push_back(d(iso));
        EXPECT_EQ(datesOf(ExchangeCalendar::ruleHolidays(published.year)), holidays) << published.year;
        EXPECT_EQ(datesOf(ExchangeCalendar::ruleEarlyCloses(published.year)), earlyCloses) << published.year;

        // Day by day through the year: closed exactly on the listed weekdays, early exactly on the
        // listed days, at 13:00 New York time.
        for (QDate day(published.year, 1, 1); day.year() == published.year; day = day.addDays(1)) {
            const bool listedHoliday = std::find(holidays.begin(), holidays.end(), day) != holidays.end();
            const bool listedEarly
                = std::find(earlyCloses.begin(), earlyCloses.end(), day) != earlyCloses.end();
            EXPECT_EQ(calendar.holiday(day).has_value(), listedHoliday)
                << day.toString(Qt::ISODate).toStdString();
            const auto early = calendar.earlyClose(day);
            ASSERT_EQ(early.has_value(), listedEarly) << day.toString(Qt::ISODate).toStdString();
            if (early) {
                EXPECT_EQ(early->close, QDateTime(day, QTime(13, 0), zone("America/New_York")));
            }
        }
    }
    // 13:00 is New York's own time, standard in winter and daylight saving in summer.
    EXPECT_EQ(calendar.earlyClose(d("2026-11-27"))->close.toUTC().time(), QTime(18, 0));
    EXPECT_EQ(calendar.earlyClose(d("2025-07-03"))->close.toUTC().time(), QTime(17, 0));
    EXPECT_EQ(calendar.holiday(d("2026-11-26")), u"Thanksgiving Day"_qs);
    EXPECT_EQ(calendar.holiday(d("2027-07-05")), u"Independence Day"_qs);
    EXPECT_EQ(calendar.earlyClose(d("2026-11-27"))->name, u"Day after Thanksgiving"_qs);
}

// Easter by a method unlike the calendar's (Carter's, which holds for 1900 to 2099): the Paschal
// full moon counted from March 21 by the golden number, then the Sunday after it.
QDate carterEaster(int year)
{
    int d = 225 - 11 * (year % 19);
    if (d > 50) {
        while (d > 51)
            d -= 30;
    }
    if (d > 48)
        --d;
    const int e = (year + year / 4 + d + 1) % 7;
    const int q = d + 7 - e;
    return q < 32 ? QDate(year, 3, q) : QDate(year, 4, q - 31);
}

TEST(ExchangeCalendar, GoodFridayAgreesWithAnIndependentComputusFrom2000To2040)
{
    for (int year = 2000; year <= 2040; ++year) {
        const QDate goodFriday = carterEaster(year).addDays(-2);
        ASSERT_EQ(goodFriday.dayOfWeek(), Qt::Friday) << year;
        EXPECT_EQ(ExchangeCalendar::goodFriday(year), goodFriday) << year;
        EXPECT_EQ(ExchangeCalendar().holiday(goodFriday), u"Good Friday"_qs) << year;
    }
    // Dates known by heart: the earliest and latest of the period.
    EXPECT_EQ(ExchangeCalendar::easterSunday(2008), d("2008-03-23"));
    EXPECT_EQ(ExchangeCalendar::easterSunday(2038), d("2038-04-25"));
}

TEST(ExchangeCalendar, HolidaysOnAWeekendAreObservedOnTheNearestWeekdayButNewYearsDayOnASaturdayIsNot)
{
    const ExchangeCalendar c;
    // New Year's Day on a Saturday (2022, 2028): the Friday before and the Monday after trade.
    for (const char* open : {"2021-12-31", "2022-01-03", "2027-12-31", "2028-01-03"})
        EXPECT_FALSE(c.holiday(d(open))) << open;
    EXPECT_TRUE(c.earlyClose(d("2027-12-31")) == std::nullopt);
    // On a Sunday it is observed on the Monday.
    EXPECT_EQ(c.holiday(d("2023-01-02")), u"New Year's Day"_qs);

    // Independence Day on a Saturday: closed the Friday before, and the Thursday is a full day.
    EXPECT_EQ(c.holiday(d("2026-07-03")), u"Independence Day"_qs);
    EXPECT_EQ(c.holiday(d("2020-07-03")), u"Independence Day"_qs);
    EXPECT_FALSE(c.earlyClose(d("2026-07-02")));
    EXPECT_FALSE(c.earlyClose(d("2026-07-03")));
    // On a Sunday: closed the Monday after; July 3 is a Saturday, so no early close either.
    EXPECT_EQ(c.holiday(d("2027-07-05")), u"Independence Day"_qs);
    EXPECT_FALSE(c.earlyClose(d("2027-07-02")));
    // On a Tuesday the Monday before closes early.
    EXPECT_EQ(c.earlyClose(d("2023-07-03"))->name, u"Day before Independence Day"_qs);

    // Christmas on a Saturday: closed on Christmas Eve, and no early close that week.
    EXPECT_EQ(c.holiday(d("2021-12-24")), u"Christmas Day"_qs);
    EXPECT_EQ(c.holiday(d("2027-12-24")), u"Christmas Day"_qs);
    EXPECT_FALSE(c.earlyClose(d("2027-12-23")));
    // On a Sunday: closed the Monday after; Christmas Eve is a Saturday.
    EXPECT_EQ(c.holiday(d("2022-12-26")), u"Christmas Day"_qs);
    EXPECT_EQ(c.holiday(d("2016-12-26")), u"Christmas Day"_qs);
    EXPECT_FALSE(c.earlyClose(d("2022-12-23")));

    // Juneteenth from 2022 on: on a Sunday in 2022, a Saturday in 2027.
    EXPECT_FALSE(c.holiday(d("2021-06-18")));
    EXPECT_EQ(c.holiday(d("2022-06-20")), u"Juneteenth National Independence Day"_qs);
    EXPECT_EQ(c.holiday(d("2027-06-18")), u"Juneteenth National Independence Day"_qs);

    // The weekend day itself is no holiday of the calendar: the weekend rule has it.
    EXPECT_FALSE(c.holiday(d("2026-07-04")));
    EXPECT_FALSE(c.holiday(QDate()));
}

TEST(ExchangeCalendar, ExtraClosuresCloseTheDayAndTakeItsEarlyCloseAway)
{
    ExchangeCalendar c;
    c.addClosure(d("2025-01-09"), u"National Day of Mourning"_qs);
    c.addClosure(d("2025-01-09"), u"Second name"_qs);
    c.addClosure(d("2026-11-27"), u"Storm"_qs);
    EXPECT_EQ(c.holiday(d("2025-01-09")), u"National Day of Mourning"_qs);
    EXPECT_EQ(c.holiday(d("2026-11-27")), u"Storm"_qs);
    EXPECT_FALSE(c.earlyClose(d("2026-11-27")));
    EXPECT_FALSE(ExchangeCalendar().holiday(d("2025-01-09")));
}

TEST(HolidayFile, DatesWithNamesCommentsAndBadLinesWithTheirNumbers)
{
    const QString text = u"# Closures announced by the exchanges\r\n"
                         "2025-01-09 National Day of Mourning\r\n"
                         "\r\n"
                         "   2018-12-05\tDay of   Mourning  \r\n"
                         "2025-13-01 Not a month\r\n"
                         "2025-1-9 Too short\r\n"
                         "09/01/2025 Other order\r\n"
                         "2025-01-09x Glued\r\n"
                         "2026-11-27\r\n"
                         "   # indented comment\r\n"
                         "2026-02-30 No such day"_qs;
    const HolidayFileContents read = parseHolidayFile(text);
    const std::vector<ExchangeCalendar::Day> expected = {
        {d("2025-01-09"), u"National Day of Mourning"_qs},
        {d("2018-12-05"), u"Day of Mourning"_qs},
        {d("2026-11-27"), kUnnamedClosure},
    };
    EXPECT_EQ(read.closures, expected);
    std::vector<int> lines;
    for (const auto& bad : read.badLines)
        lines.push_back(bad.number);
    EXPECT_EQ(lines, (std::vector<int> {5, 6, 7, 8, 11}));
    EXPECT_EQ(read.badLines[0].text, u"2025-13-01 Not a month"_qs);

    EXPECT_TRUE(parseHolidayFile({}).closures.empty());
    EXPECT_TRUE(parseHolidayFile({}).badLines.empty());
    // A long name is cut to 80 characters, the cut marked; control characters do not reach the log.
    const QString cut
        = parseHolidayFile(u"2025-01-09 "_qs + QString(79, u'x') + u" tail"_qs).closures.at(0).name;
    EXPECT_EQ(cut, QString(77, u'x') + u"..."_qs);
    EXPECT_EQ(parseHolidayFile(u"2025-01-09 A\u0001B"_qs).closures.at(0).name, u"AB"_qs);
}

TEST(TradingSession, TheSessionIsTheExchangesDateHalfwayThroughTheTradingHours)
{
    const QTimeZone newYork = zone("America/New_York");
    const QTimeZone berlin = zone("Europe/Berlin");
    const QTimeZone tokyo = zone("Asia/Tokyo");
    const QDate friday = d("2026-11-27");
    // New York and Berlin watch the session of their own date, however early they start.
    EXPECT_EQ(
        WaitRules::sessionDate(QDateTime(friday, QTime(9, 30), newYork), tradingHours(9, 30, 16, 0)), friday);
    EXPECT_EQ(WaitRules::sessionDate(QDateTime(friday, QTime(15, 30), berlin), tradingHours(15, 30, 22, 0)),
        friday);
    EXPECT_EQ(
        WaitRules::sessionDate(QDateTime(friday, QTime(5, 0), berlin), tradingHours(5, 0, 22, 0)), friday);
    // Tokyo's early morning is New York's afternoon of the day before.
    EXPECT_EQ(WaitRules::sessionDate(QDateTime(friday, QTime(1, 0), tokyo), tradingHours(1, 0, 6, 0)),
        friday.addDays(-1));
    // The moment of the day does not matter, only its date.
    EXPECT_EQ(WaitRules::sessionDate(QDateTime(friday, QTime(23, 0), tokyo), tradingHours(1, 0, 6, 0)),
        friday.addDays(-1));
}

TEST(TradingSession, AnEarlyCloseMovesTheStopTimeOnlyWhenItComesFirst)
{
    const ExchangeCalendar calendar;
    const QDateTime close = calendar.earlyClose(d("2026-11-27"))->close;
    auto stopOf = [&](const QTimeZone& zone, const TimeSettings& time, QTime begins) {
        const TimeSettings day
            = WaitRules::earlyCloseTimes(time, QDateTime(d("2026-11-27"), begins, zone), close);
        EXPECT_EQ(day.startHour, time.startHour);
        EXPECT_EQ(day.quoteInterval, time.quoteInterval);
        return QTime(day.stopHour, day.stopMinute);
    };
    const QTimeZone newYork = zone("America/New_York");
    EXPECT_EQ(stopOf(newYork, tradingHours(9, 30, 16, 20), QTime(9, 30)), QTime(13, 0));
    EXPECT_EQ(
        stopOf(newYork, tradingHours(9, 30, 12, 45), QTime(9, 30)), QTime(12, 45)); // the user's stop first
    EXPECT_EQ(stopOf(zone("Europe/Berlin"), tradingHours(15, 30, 22, 0), QTime(15, 30)), QTime(19, 0));
    EXPECT_EQ(stopOf(zone("America/Los_Angeles"), tradingHours(6, 30, 13, 20), QTime(6, 30)), QTime(10, 0));
    // Begun after the close: the first quote set is the last.
    EXPECT_EQ(stopOf(newYork, tradingHours(9, 30, 16, 20), QTime(14, 10)), QTime(14, 10));
    // A full day keeps its times.
    EXPECT_EQ(WaitRules::earlyCloseTimes(
                  tradingHours(9, 30, 16, 20), QDateTime(d("2026-11-27"), QTime(9, 30), newYork), {})
                  .stopHour,
        16);
}

TEST(TradingSession, TheStartWaitPassesOverClosedDays)
{
    const QTimeZone newYork = zone("America/New_York");
    const TimeSettings hours = tradingHours(9, 30, 16, 0);
    auto at = [&](const char* iso, int h, int m) { return QDateTime(d(iso), QTime(h, m), newYork); };
    const ExchangeCalendar calendar;
    const auto closed = [&](const QDateTime& start) {
        return calendar.holiday(WaitRules::sessionDate(start, hours)).has_value();
    };
    // Wednesday evening before Thanksgiving: Friday.
    EXPECT_EQ(WaitRules::openStartMoment(at("2026-11-25", 17, 0), hours, d("2026-11-25"), closed),
        at("2026-11-27", 9, 30));
    // Thursday before Good Friday: the Monday after Easter.
    EXPECT_EQ(WaitRules::openStartMoment(at("2026-04-02", 16, 30), hours, d("2026-04-02"), closed),
        at("2026-04-06", 9, 30));
    // Without a calendar: the plain start rule.
    EXPECT_EQ(WaitRules::openStartMoment(at("2026-11-25", 17, 0), hours, d("2026-11-25"), {}),
        at("2026-11-26", 9, 30));
    // Closures listed for months on end give up after sixty weekdays instead of waiting for ever.
    const QDateTime far = WaitRules::openStartMoment(
        at("2026-01-05", 8, 0), hours, {}, [](const QDateTime&) { return true; });
    ASSERT_TRUE(far.isValid());
    EXPECT_GT(far, at("2026-03-27", 0, 0));
    EXPECT_EQ(far.time(), QTime(9, 30));
}

} // namespace
