#include "engine/session/WaitRules.h"

#include "engine/calendar/ExchangeCalendar.h"

#include <QTimeZone>

#include <algorithm>
#include <functional>

namespace tradevane {

namespace {

constexpr qint64 kMinuteMs = 60'000;
constexpr int kWeekMinutes = 8 * 24 * 60;

int minutesOfDay(const QDateTime& t)
{
    return t.time().hour() * 60 + t.time().minute();
}

bool isWeekday(const QDate& date)
{
    return date.dayOfWeek() <= 5;
}

// `now` if the rule holds there, else the first whole minute after it where it does (time zone
// offsets are whole minutes, so the wall clock's minute changes only there). Invalid when none
// does within `limit` minutes.
QDateTime firstMinute(const QDateTime& now, const std::function<bool(const QDateTime&)>& holds, int limit)
{
    if (holds(now))
        return now;
    const qint64 ms = now.toMSecsSinceEpoch();
    QDateTime t = QDateTime::fromMSecsSinceEpoch((ms / kMinuteMs + 1) * kMinuteMs, now.timeZone());
    for (int i = 0; i < limit; ++i, t = t.addSecs(60)) {
        if (holds(t))
            return t;
    }
    return {};
}

// The start moment as startMoment gives it, on weekdays only or on any day.
QDateTime firstStart(const QDateTime& now, const TimeSettings& time, const QDate& lastDay, bool weekdaysOnly)
{
    const int start = time.startHour * 60 + time.startMinute;
    const int stop = time.stopHour * 60 + time.stopMinute;
    return firstMinute(
        now,
        [&](const QDateTime& t) {
            if ((weekdaysOnly && !isWeekday(t.date())) || (lastDay.isValid() && t.date() <= lastDay))
                return false;
            const int m = minutesOfDay(t);
            return stop > start ? m >= start && m < stop : m == start;
        },
        kWeekMinutes);
}

// OpenStartMoment, on weekdays only or on any day.
QDateTime openStart(const QDateTime& now, const TimeSettings& time, const QDate& lastDay,
    const std::function<bool(const QDateTime& start)>& closed, bool weekdaysOnly)
{
    constexpr int kMaxClosedDays = 60;
    QDateTime from = now;
    QDate last = lastDay;
    for (int i = 0; i < kMaxClosedDays; ++i) {
        const QDateTime start = firstStart(from, time, last, weekdaysOnly);
        if (!start.isValid() || !closed || !closed(start))
            return start;
        // StartMoment looks a week ahead: the search goes on from the day after the closed one.
        last = start.date();
        from = std::max(now, last.addDays(1).startOfDay(now.timeZone()));
    }
    return firstStart(from, time, last, weekdaysOnly);
}

} // namespace

namespace WaitRules {

bool weekendAt(const QDateTime& now, const TimeSettings& time)
{
    const int day = now.date().dayOfWeek();
    return (day == Qt::Friday && now.time().hour() >= time.stopHour) || day == Qt::Saturday
        || day == Qt::Sunday;
}

QDateTime weekendEnd(const QDateTime& now)
{
    QDate monday = now.date().addDays(1);
    while (monday.dayOfWeek() != Qt::Monday)
        monday = monday.addDays(1);
    return monday.startOfDay(now.timeZone());
}

QDateTime startMoment(const QDateTime& now, const TimeSettings& time, const QDate& lastDay)
{
    return firstStart(now, time, lastDay, true);
}

QDateTime startMomentAnyDay(const QDateTime& now, const TimeSettings& time, const QDate& lastDay)
{
    return firstStart(now, time, lastDay, false);
}

QDateTime openStartMoment(const QDateTime& now, const TimeSettings& time, const QDate& lastDay,
    const std::function<bool(const QDateTime& start)>& closed)
{
    return openStart(now, time, lastDay, closed, true);
}

QDateTime openStartMomentAnyDay(const QDateTime& now, const TimeSettings& time, const QDate& lastDay,
    const std::function<bool(const QDateTime& start)>& closed)
{
    return openStart(now, time, lastDay, closed, false);
}

QDate sessionDate(const QDateTime& moment, const TimeSettings& time)
{
    const int start = time.startHour * 60 + time.startMinute;
    const int stop = time.stopHour * 60 + time.stopMinute;
    const int middle = std::clamp(stop > start ? (start + stop) / 2 : start, 0, 24 * 60 - 1);
    return ExchangeCalendar::sessionDate(
        QDateTime(moment.date(), QTime(middle / 60, middle % 60), moment.timeZone()));
}

int sessionShift(const QDateTime& moment, const TimeSettings& time)
{
    return static_cast<int>(moment.date().daysTo(sessionDate(moment, time)));
}

QDateTime dayStart(const QDateTime& now, const QDate& day)
{
    return day.startOfDay(now.timeZone());
}

TimeSettings earlyCloseTimes(const TimeSettings& time, const QDateTime& dayStart, const QDateTime& close)
{
    TimeSettings day = time;
    if (!close.isValid())
        return day;
    const QDateTime local = close.toTimeZone(dayStart.timeZone());
    // A close already past ends the day after its first quote set.
    const QDateTime stop = local < dayStart ? dayStart : local;
    if (stop.date() == dayStart.date() && minutesOfDay(stop) < time.stopHour * 60 + time.stopMinute) {
        day.stopHour = stop.time().hour();
        day.stopMinute = stop.time().minute();
    }
    return day;
}

QDateTime quoteStartMoment(const QDateTime& now, const TimeSettings& time)
{
    const int quoteStart = time.quoteStartHour * 60 + time.quoteStartMinute;
    return firstMinute(
        now, [&](const QDateTime& t) { return minutesOfDay(t) >= quoteStart; }, kWeekMinutes);
}

QDateTime nextSetMoment(const QDateTime& now, int nextMinute, int nextSecond)
{
    const QDateTime inMinute = firstMinute(
        now, [&](const QDateTime& t) { return t.time().minute() == nextMinute; }, kWeekMinutes);
    if (!inMinute.isValid() || inMinute.time().second() == nextSecond)
        return inMinute;
    QDateTime t = QDateTime::fromMSecsSinceEpoch(
        (inMinute.toMSecsSinceEpoch() / 1000 + 1) * 1000, inMinute.timeZone());
    for (int i = 0; i < 61; ++i, t = t.addSecs(1)) {
        if (t.time().second() == nextSecond)
            return t;
    }
    return {};
}

bool stopTimeReached(const QDateTime& now, const TimeSettings& time)
{
    return minutesOfDay(now) >= time.stopHour * 60 + time.stopMinute;
}

QDateTime pauseEnd(const QDateTime& now)
{
    const qint64 ms = now.toMSecsSinceEpoch();
    const qint64 second = ms / 1000;
    const qint64 fraction = ms % 1000;
    // Offsets are whole minutes, so the epoch's seconds and the wall clock's share their parity.
    const bool roundUp = fraction > 250 || (fraction == 250 && second % 2 != 0);
    return roundUp ? QDateTime::fromMSecsSinceEpoch((second + 1) * 1000, now.timeZone()) : now;
}

} // namespace WaitRules

} // namespace tradevane
