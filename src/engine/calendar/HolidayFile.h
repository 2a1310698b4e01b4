#pragma once

#include "engine/calendar/ExchangeCalendar.h"

#include <QString>

#include <vector>

namespace tradevane {

class ActivityLog;

// holidays.txt in the settings folder: closures of the exchanges that no rule knows, one a line,
// a date written YYYY-MM-DD and the closure's name after it; blank lines and lines beginning
// with # are left alone.
//
//   # Closures announced by the exchanges
//   2025-01-09 National Day of Mourning
struct HolidayFileContents
{
    struct BadLine
    {
        int number = 0; // 1 for the first line
        QString text;
    };
    std::vector<ExchangeCalendar::Day> closures;
    std::vector<BadLine> badLines;
};

// The name a closure gets when its line gives none.
inline const QString kUnnamedClosure = u"Exchange holiday"_qs;

HolidayFileContents parseHolidayFile(const QString& text);

QString holidayFilePath();

// Adds the closures of holidays.txt to `calendar`. A missing file adds nothing; an unreadable
// one, and every line that is not a date and a name, is noted in the activity log (`number` is the
// stock the log's own error notes name) and left out.
void loadHolidayFile(ExchangeCalendar& calendar, ActivityLog& log, int number);

} // namespace tradevane
