#pragma once

#include "engine/forms/SettingsRules.h"
#include "engine/model/Settings.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace tradevane {

// What the time settings window shows: the texts of its four time boxes and of the interval list.
struct TimeEntries
{
    QString startHour;
    QString startMinute;
    QString stopHour;
    QString stopMinute;
    QString interval;
};

// The ten checks made before a save, in their fixed order; the first one that fails.
std::optional<EntryProblem> checkTimeEntries(const TimeEntries& entries);

// The record for checked entries: start, start again as the quote start, stop, interval; each
// rounded to a whole number, halves to even.
TimeSettings storeTimeEntries(const TimeEntries& entries);

// 9:50 to 16:01 every 5 minutes.
TimeSettings defaultTimeSettings();

// A minute as the window shows it: a "0" in front below 10.
QString minuteText(int minute);

// The start boxes' texts for "Insert Current Time": one minute after `hour`:`minute`. The hour is
// not wrapped, so 23:59 gives 24, which the save refuses.
std::pair<QString, QString> insertTimeTexts(int hour, int minute);

// The interval list "1" .. "30" and the entry that shows a stored interval (entry 2, "5", for a
// value that is not in the list).
const QStringList& quoteIntervalItems();
int quoteIntervalIndex(int interval);

// The help texts of the window.
namespace TimeHelp {
QString startTime();
QString stopTime();
QString interval();
QString holidays();
} // namespace TimeHelp

} // namespace tradevane
