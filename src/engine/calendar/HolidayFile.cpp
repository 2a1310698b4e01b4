#include "engine/calendar/HolidayFile.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/Conversions.h"
#include "platform/ProgramFolder.h"
#include "platform/ReadableText.h"
#include "platform/SettingsText.h"

#include <QStringList>

namespace tradevane {

namespace {

constexpr int kMaxNameLength = 80;
constexpr int kMaxLinesNoted = 10; // a wrong file put in its place must not flood the log

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "2025-01-09" exactly, a real date.
QDate isoDate(const QString& text)
{
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return {};
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!isDigit(text[i]))
            return {};
    }
    return QDate(text.left(4).toInt(), text.mid(5, 2).toInt(), text.mid(8, 2).toInt());
}

void note(ActivityLog& log, const QString& text, int number)
{
    log.appendNote(text);
    log.appendLog(number);
}

} // namespace

HolidayFileContents parseHolidayFile(const QString& text)
{
    HolidayFileContents contents;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        qsizetype space = 0;
        while (space < line.size() && !line[space].isSpace())
            ++space;
        const QDate date = isoDate(line.left(space));
        if (!date.isValid()) {
            contents.badLines.push_back({static_cast<int>(i + 1), line});
            continue;
        }
        const QString name = readableLine(line.mid(space), kMaxNameLength);
        contents.closures.push_back({date, name.isEmpty() ? kUnnamedClosure : name});
    }
    return contents;
}

QString holidayFilePath()
{
    return programFile(u"holidays.txt"_qs);
}

void loadHolidayFile(ExchangeCalendar& calendar, ActivityLog& log, int number)
{
    const SmallFileRead file = readSmallFile(holidayFilePath());
    if (!file.exists)
        return;
    if (!file.ok()) {
        note(log, LogText::kHolidayFileUnreadable + file.error, number);
        return;
    }
    const HolidayFileContents contents = parseHolidayFile(file.text());
    for (const ExchangeCalendar::Day& closure : contents.closures)
        calendar.addClosure(closure.date, closure.name);
    const int bad = static_cast<int>(contents.badLines.size());
    for (int i = 0; i < std::min(bad, kMaxLinesNoted); ++i) {
        const HolidayFileContents::BadLine& line = contents.badLines[static_cast<std::size_t>(i)];
        note(log,
            LogText::kHolidayLineSkipped + QString::number(line.number) + u": "_qs
                + readableLine(line.text, kMaxNameLength),
            number);
    }
    if (bad > kMaxLinesNoted)
        note(log, LogText::kHolidayLinesNotListed + QString::number(bad - kMaxLinesNoted), number);
}

} // namespace tradevane
