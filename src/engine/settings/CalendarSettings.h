#pragma once

#include "platform/RecordFile.h"

#include <QString>

#include <optional>

namespace tradevane {

class ActivityLog;

// Whether the monitoring engine follows the exchange calendar: "calendar.ini" in the settings
// folder, kept apart from timeset.dat, whose record has no room for it.
//
//   [calendar]
//   SkipHolidays=1
//
// Without the file the calendar is followed.
struct CalendarSettings
{
    bool skipHolidays = true; // no trading day on exchange holidays, quote sets end at early closes
    bool operator==(const CalendarSettings&) const = default;
};

QString calendarSettingsPath();

// Reads the text of calendar.ini into `settings`; keys the text does not give keep their value.
// Gives the offending line when the text is malformed (`settings` is then not to be used).
std::optional<QString> parseCalendarSettings(const QString& text, CalendarSettings& settings);

// Reads calendar.ini into `settings`, at start-up. A missing file gives the defaults; an unreadable
// or malformed one gives them too, with a note in the activity log.
void loadCalendarSettings(CalendarSettings& settings, ActivityLog& log);

// Replaces calendar.ini as a whole: a failed write leaves the file as it was.
[[nodiscard]] FileError writeCalendarSettings(const CalendarSettings& settings);

} // namespace tradevane
