#include "core/CalendarSettings.h"

#include "core/LogTexts.h"
#include "notify/UpdateLog.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <QStringList>

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;

std::optional<bool> flag(const QString& value)
{
    if (value == u"1"_qs || value.compare(u"true"_qs, Qt::CaseInsensitive) == 0)
        return true;
    if (value == u"0"_qs || value.compare(u"false"_qs, Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

} // namespace

QString CalendarSettingsPath()
{
    return ProgramFile(u"calendar.ini"_qs);
}

std::optional<QString> ParseCalendarSettings(const QString& text, CalendarSettings& settings)
{
    QString section;
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            return line;
        if (section.compare(u"calendar"_qs, Qt::CaseInsensitive) != 0)
            continue; // other sections are not ours
        const QString key = line.left(equals).trimmed();
        const std::optional<bool> value = flag(line.mid(equals + 1).trimmed());
        if (key.compare(u"SkipHolidays"_qs, Qt::CaseInsensitive) != 0 || !value)
            return line;
        settings.SkipHolidays = *value;
    }
    return std::nullopt;
}

void LoadCalendarSettings(CalendarSettings& settings, ActivityLog& log)
{
    settings = {};
    QFile file(CalendarSettingsPath());
    if (!file.exists())
        return;
    auto fallBack = [&](const QString& why) {
        settings = {};
        log.AppendNote(LogText::CalendarSettingsDefault + why);
        log.AppendLog(0); // read before any stock is chosen
    };
    if (!file.open(QIODevice::ReadOnly)) {
        fallBack(file.errorString());
        return;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        fallBack(file.errorString());
        return;
    }
    if (bytes.size() > kMaxFileBytes) {
        fallBack(file.fileName());
        return;
    }
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    CalendarSettings read;
    if (const std::optional<QString> badLine = ParseCalendarSettings(text, read)) {
        fallBack(*badLine);
        return;
    }
    settings = read;
}

FileError WriteCalendarSettings(const CalendarSettings& settings)
{
    return SaveWholeFile(CalendarSettingsPath(),
        QByteArray("[calendar]\nSkipHolidays=") + (settings.SkipHolidays ? "1" : "0") + '\n');
}
