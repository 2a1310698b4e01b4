#pragma once

#include "core/VarDef.h"

#include <QDate>
#include <QDateTime>

// When the monitoring engine's waits end. Each rule gives the earliest moment at or after `now`
// whose wall clock (in now's time zone) satisfies it, so a wall time that a daylight-saving change
// skips has no moment, and of a wall time that comes twice the first counts. Times of day are
// compared as (hour, minute) pairs. A rule that no moment within a week satisfies (a settings
// record holding hour 25) gives an invalid moment: that wait never ends.
namespace WaitRules {

// The weekend rule: a Friday at or after the stop hour, a Saturday, a Sunday.
bool WeekendAt(const QDateTime& now, const TimeSettings& time);

// The end of a weekend: the first moment of the next Monday.
QDateTime WeekendEnd(const QDateTime& now);

// The moment a trading day begins: the first moment on a weekday after `lastDay` (the day the
// previous trading day ran; invalid when none has) within the start and stop times. Pressed
// before the start time that is the start time; between start and stop time it is now; after the
// stop time it is the next weekday's start time. A stop time not after the start time leaves the
// start minute itself.
QDateTime StartMoment(const QDateTime& now, const TimeSettings& time, const QDate& lastDay);

// The moment quote sets begin: now when the quote start time has come, else that time.
QDateTime QuoteStartMoment(const QDateTime& now, const TimeSettings& time);

// The moment the next quote set begins: the first moment in minute `nextMinute` of the hour, and
// from there the first moment in second `nextSecond`.
QDateTime NextSetMoment(const QDateTime& now, int nextMinute, int nextSecond);

// The quote sets of the day are over.
bool StopTimeReached(const QDateTime& now, const TimeSettings& time);

// The end of the short pause after each stock: the time plus a quarter of a second, rounded to
// the nearest whole second (a half to the even one), so 0 to 750 ms after `now`.
QDateTime PauseEnd(const QDateTime& now);

} // namespace WaitRules
