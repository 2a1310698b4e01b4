#include "engine/settings/CalendarSettings.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsText.h"

namespace tradevane {

QString calendarSettingsPath()
{
    return programFile(u"calendar.ini"_qs);
}

std::optional<QString> parseCalendarSettings(const QString& text, CalendarSettings& settings)
{
    const std::optional<IniStop> stop = walkIni(text,
        [&settings](
            const QString& section, const QString& key, const QString& value) -> std::optional<QString> {
            if (section.compare(u"calendar"_qs, Qt::CaseInsensitive) != 0)
                return {}; // other sections are not ours
            const std::optional<bool> on = iniFlag(value);
            if (key.compare(u"SkipHolidays"_qs, Qt::CaseInsensitive) != 0 || !on)
                return key;
            settings.skipHolidays = *on;
            return {};
        });
    if (stop)
        return stop->line;
    return std::nullopt;
}

void loadCalendarSettings(CalendarSettings& settings, ActivityLog& log)
{
    settings = {};
    const SmallFileRead file = readSmallFile(calendarSettingsPath());
    if (!file.exists)
        return;
    CalendarSettings read;
    const std::optional<QString> problem
        = file.ok() ? parseCalendarSettings(file.text(), read) : std::optional<QString>(file.error);
    if (problem) {
        log.appendNote(LogText::kCalendarSettingsDefault + *problem);
        log.appendLog(0); // read before any stock is chosen
        return;
    }
    settings = read;
}

FileError writeCalendarSettings(const CalendarSettings& settings)
{
    return saveWholeFile(calendarSettingsPath(),
        QByteArray("[calendar]\nSkipHolidays=") + (settings.skipHolidays ? "1" : "0") + '\n');
}

} // namespace tradevane
