#pragma once

#include "engine/model/Settings.h"

#include <QDate>
#include <QDateTime>

#include <functional>

namespace tradevane {

// When the monitoring engine's waits end. Each rule gives the earliest moment at or after `now`
// whose wall clock (in now's time zone) satisfies it, so a wall time that a daylight-saving change
// skips has no moment, and of a wall time that comes twice the first counts. Times of day are
// compared as (hour, minute) pairs. A rule that no moment within a week satisfies (a settings
// record holding hour 25) gives an invalid moment: that wait never ends.
namespace WaitRules {

// The weekend rule: a Friday at or after the stop hour, a Saturday, a Sunday.
bool weekendAt(const QDateTime& now, const TimeSettings& time);

// The end of a weekend: the first moment of the next Monday.
QDateTime weekendEnd(const QDateTime& now);

// The moment a trading day begins: the first moment on a weekday after `lastDay` (the day the
// previous trading day ran; invalid when none has) within the start and stop times. Pressed
// before the start time that is the start time; between start and stop time it is now; after the
// stop time it is the next weekday's start time. A stop time not after the start time leaves the
// start minute itself.
QDateTime startMoment(const QDateTime& now, const TimeSettings& time, const QDate& lastDay);

// StartMoment on any day of the week, Saturdays and Sundays too: with the exchange calendar the
// weekend is the exchange's, which for a computer far from the exchange is not its own.
QDateTime startMomentAnyDay(const QDateTime& now, const TimeSettings& time, const QDate& lastDay);

// StartMoment, passing over the trading days that `closed` refuses; it is asked with the moment
// each day would begin. After sixty refused days in a row the calendar is no longer asked, so that
// a wrong list of closures cannot keep the engine waiting for ever.
QDateTime openStartMoment(const QDateTime& now, const TimeSettings& time, const QDate& lastDay,
    const std::function<bool(const QDateTime& start)>& closed);
// OpenStartMoment on any day of the week: `closed` refuses the weekend's days too (the exchange's
// weekend, which for a computer far from the exchange is not its own).
QDateTime openStartMomentAnyDay(const QDateTime& now, const TimeSettings& time, const QDate& lastDay,
    const std::function<bool(const QDateTime& start)>& closed);

// The date of the exchange session (in exchange time) that the trading day of `moment`'s date
// watches: the exchange's date halfway between that day's start and stop times. For a computer
// far east of the exchange, a trading day in the early morning watches the session of the
// exchange's previous date.
QDate sessionDate(const QDateTime& moment, const TimeSettings& time);

// How many days the exchange's session date of `moment`'s trading day lies from `moment`'s own
// date: 0 near the exchange, -1 for a computer far east of it.
int sessionShift(const QDateTime& moment, const TimeSettings& time);

// The first moment of `day` in now's time zone.
QDateTime dayStart(const QDateTime& now, const QDate& day);

// The times of a trading day that began at `dayStart`, when the exchange closes early at `close`
// that day: the stop time moves to the close when the close comes first.
TimeSettings earlyCloseTimes(const TimeSettings& time, const QDateTime& dayStart, const QDateTime& close);

// The moment quote sets begin: now when the quote start time has come, else that time.
QDateTime quoteStartMoment(const QDateTime& now, const TimeSettings& time);

// The moment the next quote set begins: the first moment in minute `nextMinute` of the hour, and
// from there the first moment in second `nextSecond`.
QDateTime nextSetMoment(const QDateTime& now, int nextMinute, int nextSecond);

// The quote sets of the day are over.
bool stopTimeReached(const QDateTime& now, const TimeSettings& time);

// The end of the short pause after each stock: the time plus a quarter of a second, rounded to
// the nearest whole second (a half to the even one), so 0 to 750 ms after `now`.
QDateTime pauseEnd(const QDateTime& now);

} // namespace WaitRules

} // namespace tradevane
