#include "engine/forms/TimeEntries.h"

#include "platform/Conversions.h"
#include "platform/MessageBox.h"

namespace tradevane {

namespace {

bool outsideRange(const QString& text, double low, double high)
{
    const double value = val(text);
    return text.trimmed().isEmpty() || value < low || value > high;
}

int whole(const QString& text)
{
    return toInt16(roundHalfEven(textToNumber(text).value_or(0.0))).value_or(0);
}

EntryProblem notNumeric(const QString& location, const QString& what)
{
    return {u"Check input"_qs, joinLines({location, what})};
}

EntryProblem invalidTime(const QStringList& lines)
{
    return {u"Invalid Time"_qs, joinLines(lines)};
}

} // namespace

std::optional<EntryProblem> checkTimeEntries(const TimeEntries& e)
{
    const QString start = u"Quote Download Start Time:"_qs;
    const QString stop = u"Quote Download Stop Time:"_qs;
    if (!isNumeric(e.startHour))
        return notNumeric(start, u"HOUR value must be numeric"_qs);
    if (!isNumeric(e.startMinute))
        return notNumeric(start, u"MINUTES value must be numeric"_qs);
    if (!isNumeric(e.stopHour))
        return notNumeric(stop, u"HOUR value must be numeric"_qs);
    if (!isNumeric(e.stopMinute))
        return notNumeric(stop, u"MINUTE value must be numeric"_qs);
    if (!isNumeric(e.interval))
        return notNumeric(u"Intra Day Quote Interval:"_qs, u"Value must be numeric"_qs);

    const QString hourRange = u"Allowed range = 1 to 23"_qs;
    const QString minuteRange = u"Allowed range = 0 to 59"_qs;
    if (outsideRange(e.startHour, 1, 23))
        return invalidTime({u"Location: StartTime"_qs, u"Hour entry error"_qs, hourRange});
    if (outsideRange(e.startMinute, 0, 59))
        return invalidTime({u"Location: Start Time"_qs, u"Minute entry error"_qs, minuteRange});
    // Only the hours are compared, as they will be stored: 9.6 and 9.9 would both be 10.
    if (outsideRange(e.stopHour, 1, 23) || roundHalfEven(val(e.startHour)) >= roundHalfEven(val(e.stopHour)))
        return invalidTime({u"Location: Stop Time"_qs, u"Hour entry error"_qs, hourRange,
            u"Must be greater than START time"_qs});
    if (outsideRange(e.stopMinute, 0, 59))
        return invalidTime({u"Location: Stop Time"_qs, u"Minute entry error"_qs, minuteRange});
    if (outsideRange(e.interval, 1, 30))
        return EntryProblem {u"Quote download interval"_qs,
            joinLines({u"Quote update interval: Outside allowed range."_qs,
                u"Allowed range = 1 to 30 minutes"_qs})};
    return std::nullopt;
}

TimeSettings storeTimeEntries(const TimeEntries& e)
{
    TimeSettings t;
    t.startHour = t.quoteStartHour = whole(e.startHour);
    t.startMinute = t.quoteStartMinute = whole(e.startMinute);
    t.stopHour = whole(e.stopHour);
    t.stopMinute = whole(e.stopMinute);
    t.quoteInterval = whole(e.interval);
    return t;
}

TimeSettings defaultTimeSettings()
{
    return TimeSettings {9, 50, 9, 50, 16, 1, 5};
}

QString minuteText(int minute)
{
    return (minute >= 0 && minute < 10 ? u"0"_qs : QString()) + QString::number(minute);
}

std::pair<QString, QString> insertTimeTexts(int hour, int minute)
{
    ++minute;
    if (minute == 60) {
        ++hour;
        minute = 0;
    }
    return {QString::number(hour), minuteText(minute)};
}

const QStringList& quoteIntervalItems()
{
    static const QStringList kItems {u"1"_qs, u"2"_qs, u"5"_qs, u"10"_qs, u"15"_qs, u"20"_qs, u"30"_qs};
    return kItems;
}

int quoteIntervalIndex(int interval)
{
    const int index = quoteIntervalItems().indexOf(QString::number(interval));
    return index >= 0 ? index : 2;
}

namespace TimeHelp {

QString startTime()
{
    return joinLines({u"START QUOTE DOWNLOAD TIME:"_qs,
        u"This value sets the time when the program will start retrieving quote information from the internet."_qs,
        QString(),
        u"Remember that quotes are 20 minutes delayed. Consider setting the start time to 20 minutes after "
        u"the "
        u"market opens."_qs,
        QString(), u"EG: If the market opens at 6:30 in your time zone, then set the start time to 7:50"_qs,
        QString(),
        u"If you wish to start the downloading without delay, you can click the [Insert Current Time] button "
        u"in "
        u"the upper left margin of the window and your computer's current time will be entered plus one minute."_qs});
}

QString stopTime()
{
    return joinLines({u"STOP QUOTE DOWNLOAD TIME:"_qs,
        u"This value sets the time when the program will stop retrieving quote information from the internet."_qs,
        QString(),
        u"Typically, one would set this to 20 minutes after the market closes due to the 20 min. delay in "
        u"quote "
        u"data."_qs,
        QString(),
        u"The program continues to run, but the dowloading and processing of quote data stops until the "
        u"'Start "
        u"Time' comes around again at which point downloading resumes."_qs,
        QString(), u"This process will continue until the STOP button on the main screen is clicked."_qs,
        QString(),
        u"The software is aware of weekends and if left unattended, it will stop downloading at the "
        u"disignated "
        u"time on  friday afternoon and resume downloading/processing on Monday when the selected Start Time "
        u"arrives."_qs});
}

QString interval()
{
    return joinLines({u"QUOTE UPDATE FREQUENCY:"_qs, u"This value sets the download interval."_qs,
        u"Adjustable from 1 to 30 minutes."_qs, QString(), u"HINT:"_qs,
        u"If you only need 'End of Day' data analysis, then try the following settings..."_qs, QString(),
        u"Start Time  = 15Min. after close (in your time zone)"_qs, u"Stop Time   = 20Min. after close"_qs,
        u"Quote Freq. = 1 Min."_qs, QString(),
        u"Experiment until you find the desired Start/Stop times. Of course, 1 minute download intervals and "
        u"analysis will be the most sensitive to market changes and offer the most expedient alerts. "
        u"Conversely, "
        u"a medium or long term trader may wish to scan for alerts using longer intevals."_qs});
}

QString holidays()
{
    return joinLines({u"SKIP EXCHANGE HOLIDAYS:"_qs,
        u"When ticked, the program follows the calendar of the US stock exchanges. On an exchange holiday "
        u"(Thanksgiving, Good Friday, Christmas...) it downloads neither history nor quotes and waits for "
        u"the next trading day, as on a weekend."_qs,
        QString(),
        u"On the days the exchanges close early, at 1:00 PM New York time (the day before Independence "
        u"Day, the day after Thanksgiving, Christmas Eve), the quote downloads stop at that time, shown in "
        u"your time zone, unless your Stop Time comes first."_qs,
        QString(),
        u"Closures that no rule knows can be listed in the file holidays.txt in the settings folder, one "
        u"date a line, for example:"_qs,
        u"2025-01-09 National Day of Mourning"_qs, QString(), u"Untick to download on every weekday."_qs});
}

} // namespace TimeHelp

} // namespace tradevane
