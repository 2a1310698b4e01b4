#include "engine/calendar/ExchangeCalendar.h"

#include <algorithm>

namespace tradevane {

namespace {

// The `n`th `weekday` of `month` (n = 1..5), or with n = -1 the last one.
QDate nthWeekday(int year, int month, Qt::DayOfWeek weekday, int n)
{
    if (n < 0) {
        QDate day(year, month, QDate(year, month, 1).daysInMonth());
        while (day.dayOfWeek() != weekday)
            day = day.addDays(-1);
        return day;
    }
    QDate day(year, month, 1);
    while (day.dayOfWeek() != weekday)
        day = day.addDays(1);
    return day.addDays(qint64 {7} * (n - 1));
}

// A fixed-date holiday moved off the weekend.
QDate observed(const QDate& date)
{
    switch (date.dayOfWeek()) {
    case Qt::Saturday:
        return date.addDays(-1);
    case Qt::Sunday:
        return date.addDays(1);
    default:
        return date;
    }
}

const ExchangeCalendar::Day* find(const std::vector<ExchangeCalendar::Day>& days, const QDate& date)
{
    const auto found = std::find_if(
        days.begin(), days.end(), [&](const ExchangeCalendar::Day& d) { return d.date == date; });
    return found == days.end() ? nullptr : &*found;
}

} // namespace

QTimeZone ExchangeCalendar::zone()
{
    static const QTimeZone kZone(QByteArrayLiteral("America/New_York"));
    return kZone;
}

QDate ExchangeCalendar::sessionDate(const QDateTime& moment)
{
    return moment.toTimeZone(zone()).date();
}

QDate ExchangeCalendar::easterSunday(int year)
{
    // The Gregorian computus in the arithmetic form published by Meeus.
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QDate ExchangeCalendar::goodFriday(int year)
{
    return easterSunday(year).addDays(-2);
}

std::vector<ExchangeCalendar::Day> ExchangeCalendar::ruleHolidays(int year)
{
    std::vector<Day> days;
    const QDate newYear(year, 1, 1);
    if (newYear.dayOfWeek() != Qt::Saturday)
        days.push_back({observed(newYear), u"New Year's Day"_qs});
    days.push_back({nthWeekday(year, 1, Qt::Monday, 3), u"Martin Luther King, Jr. Day"_qs});
    days.push_back({nthWeekday(year, 2, Qt::Monday, 3), u"Washington's Birthday"_qs});
    days.push_back({goodFriday(year), u"Good Friday"_qs});
    days.push_back({nthWeekday(year, 5, Qt::Monday, -1), u"Memorial Day"_qs});
    if (year >= 2022)
        days.push_back({observed(QDate(year, 6, 19)), u"Juneteenth National Independence Day"_qs});
    days.push_back({observed(QDate(year, 7, 4)), u"Independence Day"_qs});
    days.push_back({nthWeekday(year, 9, Qt::Monday, 1), u"Labor Day"_qs});
    days.push_back({nthWeekday(year, 11, Qt::Thursday, 4), u"Thanksgiving Day"_qs});
    days.push_back({observed(QDate(year, 12, 25)), u"Christmas Day"_qs});
    return days;
}

std::vector<ExchangeCalendar::Day> ExchangeCalendar::ruleEarlyCloses(int year)
{
    const std::vector<Day> holidays = ruleHolidays(year);
    // The eves count only as trading weekdays: a Saturday holiday observed on the Friday takes its eve.
    auto tradingWeekday = [&](const QDate& date) { return date.dayOfWeek() <= 5 && !find(holidays, date); };
    std::vector<Day> days;
    const QDate independenceEve(year, 7, 3);
    if (tradingWeekday(independenceEve))
        days.push_back({independenceEve, u"Day before Independence Day"_qs});
    days.push_back({nthWeekday(year, 11, Qt::Thursday, 4).addDays(1), u"Day after Thanksgiving"_qs});
    const QDate christmasEve(year, 12, 24);
    if (tradingWeekday(christmasEve))
        days.push_back({christmasEve, u"Christmas Eve"_qs});
    return days;
}

void ExchangeCalendar::addClosure(const QDate& date, const QString& name)
{
    m_closures.emplace(date, name);
}

std::optional<QString> ExchangeCalendar::holiday(const QDate& date) const
{
    if (!date.isValid())
        return std::nullopt;
    if (const auto found = m_closures.find(date); found != m_closures.end())
        return found->second;
    const std::vector<Day> holidays = ruleHolidays(date.year());
    if (const Day* day = find(holidays, date))
        return day->name;
    return std::nullopt;
}

std::optional<ExchangeCalendar::EarlyClose> ExchangeCalendar::earlyClose(const QDate& date) const
{
    if (!date.isValid() || holiday(date))
        return std::nullopt;
    const std::vector<Day> earlyCloses = ruleEarlyCloses(date.year());
    if (const Day* day = find(earlyCloses, date))
        return EarlyClose {day->name, QDateTime(date, earlyCloseTime(), zone())};
    return std::nullopt;
}

} // namespace tradevane
