#include "engine/settings/CalendarSettings.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsText.h"

namespace tradevane {

QString CalendarSettingsPath()
{
    return ProgramFile(u"calendar.ini"_qs);
}

std::optional<QString> ParseCalendarSettings(const QString& text, CalendarSettings& settings)
{
    const std::optional<IniStop> stop = WalkIni(text,
        [&settings](
            const QString& section, const QString& key, const QString& value) -> std::optional<QString> {
            if (section.compare(u"calendar"_qs, Qt::CaseInsensitive) != 0)
                return {}; // other sections are not ours
            const std::optional<bool> on = IniFlag(value);
            if (key.compare(u"SkipHolidays"_qs, Qt::CaseInsensitive) != 0 || !on)
                return key;
            settings.SkipHolidays = *on;
            return {};
        });
    if (stop)
        return stop->line;
    return std::nullopt;
}

void LoadCalendarSettings(CalendarSettings& settings, ActivityLog& log)
{
    settings = {};
    const SmallFileRead file = ReadSmallFile(CalendarSettingsPath());
    if (!file.exists)
        return;
    CalendarSettings read;
    const std::optional<QString> problem
        = file.ok() ? ParseCalendarSettings(file.text(), read) : std::optional<QString>(file.error);
    if (problem) {
        log.AppendNote(LogText::CalendarSettingsDefault + *problem);
        log.AppendLog(0); // read before any stock is chosen
        return;
    }
    settings = read;
}

FileError WriteCalendarSettings(const CalendarSettings& settings)
{
    return SaveWholeFile(CalendarSettingsPath(),
        QByteArray("[calendar]\nSkipHolidays=") + (settings.SkipHolidays ? "1" : "0") + '\n');
}

} // namespace tradevane
