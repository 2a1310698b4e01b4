#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QTimeZone>

#include <map>
#include <optional>
#include <vector>

namespace tradevane {

// The trading calendar of the US equity exchanges, computed by rule: which weekdays they stay
// closed and which they close early. Dates are dates of exchange time (America/New_York), whatever
// the computer's own zone; weekends are not holidays here, the engine has its own weekend rule.
//
// The full-day holidays and their observance: a holiday on a Sunday is observed on the Monday
// after it, one on a Saturday on the Friday before it, except New Year's Day, which the exchanges
// do not observe on a Saturday at all (the Friday before ends their accounting year). Early closes
// at 13:00 exchange time: the day before Independence Day and Christmas Eve when they are weekdays
// and not holidays themselves, and the day after Thanksgiving.
//
// Closures no rule knows (a national day of mourning, a storm) are added by the owner; they count
// as full-day holidays.
class ExchangeCalendar
{
public:
    struct Day
    {
        QDate date;
        QString name;
        bool operator==(const Day&) const = default;
    };

    // The exchange's time zone.
    static QTimeZone zone();
    // When an early-close day ends, in exchange time.
    static QTime earlyCloseTime() { return QTime(13, 0); }
    // The exchange's date at `moment`: the session a trading day beginning then watches.
    static QDate sessionDate(const QDateTime& moment);

    // Easter Sunday of the Gregorian calendar, and Good Friday two days before it.
    static QDate easterSunday(int year);
    static QDate goodFriday(int year);

    // The full-day holidays of `year` by rule, on the days they are observed, in date order.
    static std::vector<Day> ruleHolidays(int year);
    // The early-close days of `year` by rule, in date order.
    static std::vector<Day> ruleEarlyCloses(int year);

    // A closure on `date` beside the rules; a second one on the same date keeps the first name.
    void addClosure(const QDate& date, const QString& name);

    // The name of the holiday the exchange is closed for on `date`, none on a trading day (and
    // on a weekend day that no closure names).
    std::optional<QString> holiday(const QDate& date) const;
    // The early close of `date`: its name and moment; none on a full day or a closed day.
    struct EarlyClose
    {
        QString name;
        QDateTime close;
    };
    std::optional<EarlyClose> earlyClose(const QDate& date) const;

private:
    std::map<QDate, QString> m_closures;
};

} // namespace tradevane
