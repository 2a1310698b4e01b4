#include "engine/forms/TimeEntries.h"

#include "platform/Conversions.h"
#include "platform/MessageBox.h"

namespace tradevane {

namespace {

bool OutsideRange(const QString& text, double low, double high)
{
    const double value = Val(text);
    return text.trimmed().isEmpty() || value < low || value > high;
}

int Whole(const QString& text)
{
    return ToInt16(RoundHalfEven(TextToNumber(text).value_or(0.0))).value_or(0);
}

EntryProblem NotNumeric(const QString& location, const QString& what)
{
    return {u"Check input"_qs, JoinLines({location, what})};
}

EntryProblem InvalidTime(const QStringList& lines)
{
    return {u"Invalid Time"_qs, JoinLines(lines)};
}

} // namespace

std::optional<EntryProblem> CheckTimeEntries(const TimeEntries& e)
{
    const QString start = u"Quote Download Start Time:"_qs;
    const QString stop = u"Quote Download Stop Time:"_qs;
    if (!IsNumeric(e.startHour))
        return NotNumeric(start, u"HOUR value must be numeric"_qs);
    if (!IsNumeric(e.startMinute))
        return NotNumeric(start, u"MINUTES value must be numeric"_qs);
    if (!IsNumeric(e.stopHour))
        return NotNumeric(stop, u"HOUR value must be numeric"_qs);
    if (!IsNumeric(e.stopMinute))
        return NotNumeric(stop, u"MINUTE value must be numeric"_qs);
    if (!IsNumeric(e.interval))
        return NotNumeric(u"Intra Day Quote Interval:"_qs, u"Value must be numeric"_qs);

    const QString hourRange = u"Allowed range = 1 to 23"_qs;
    const QString minuteRange = u"Allowed range = 0 to 59"_qs;
    if (OutsideRange(e.startHour, 1, 23))
        return InvalidTime({u"Location: StartTime"_qs, u"Hour entry error"_qs, hourRange});
    if (OutsideRange(e.startMinute, 0, 59))
        return InvalidTime({u"Location: Start Time"_qs, u"Minute entry error"_qs, minuteRange});
    // Only the hours are compared, as they will be stored: 9.6 and 9.9 would both be 10.
    if (OutsideRange(e.stopHour, 1, 23) || RoundHalfEven(Val(e.startHour)) >= RoundHalfEven(Val(e.stopHour)))
        return InvalidTime({u"Location: Stop Time"_qs, u"Hour entry error"_qs, hourRange,
            u"Must be greater than START time"_qs});
    if (OutsideRange(e.stopMinute, 0, 59))
        return InvalidTime({u"Location: Stop Time"_qs, u"Minute entry error"_qs, minuteRange});
    if (OutsideRange(e.interval, 1, 30))
        return EntryProblem {u"Quote download interval"_qs,
            JoinLines({u"Quote update interval: Outside allowed range."_qs,
                u"Allowed range = 1 to 30 minutes"_qs})};
    return std::nullopt;
}

TimeSettings StoreTimeEntries(const TimeEntries& e)
{
    TimeSettings t;
    t.startHour = t.quoteStartHour = Whole(e.startHour);
    t.startMinute = t.quoteStartMinute = Whole(e.startMinute);
    t.stopHour = Whole(e.stopHour);
    t.stopMinute = Whole(e.stopMinute);
    t.quoteInterval = Whole(e.interval);
    return t;
}

TimeSettings DefaultTimeSettings()
{
    return TimeSettings {9, 50, 9, 50, 16, 1, 5};
}

QString MinuteText(int minute)
{
    return (minute >= 0 && minute < 10 ? u"0"_qs : QString()) + QString::number(minute);
}

std::pair<QString, QString> InsertTimeTexts(int hour, int minute)
{
    ++minute;
    if (minute == 60) {
        ++hour;
        minute = 0;
    }
    return {QString::number(hour), MinuteText(minute)};
}

const QStringList& QuoteIntervalItems()
{
    static const QStringList items {u"1"_qs, u"2"_qs, u"5"_qs, u"10"_qs, u"15"_qs, u"20"_qs, u"30"_qs};
    return items;
}

int QuoteIntervalIndex(int interval)
{
    const int index = QuoteIntervalItems().indexOf(QString::number(interval));
    return index >= 0 ? index : 2;
}

namespace TimeHelp {

QString StartTime()
{
    return JoinLines({u"START QUOTE DOWNLOAD TIME:"_qs,
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

QString StopTime()
{
    return JoinLines({u"STOP QUOTE DOWNLOAD TIME:"_qs,
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

QString Interval()
{
    return JoinLines({u"QUOTE UPDATE FREQUENCY:"_qs, u"This value sets the download interval."_qs,
        u"Adjustable from 1 to 30 minutes."_qs, QString(), u"HINT:"_qs,
        u"If you only need 'End of Day' data analysis, then try the following settings..."_qs, QString(),
        u"Start Time  = 15Min. after close (in your time zone)"_qs, u"Stop Time   = 20Min. after close"_qs,
        u"Quote Freq. = 1 Min."_qs, QString(),
        u"Experiment until you find the desired Start/Stop times. Of course, 1 minute download intervals and "
        u"analysis will be the most sensitive to market changes and offer the most expedient alerts. "
        u"Conversely, "
        u"a medium or long term trader may wish to scan for alerts using longer intevals."_qs});
}

QString Holidays()
{
    return JoinLines({u"SKIP EXCHANGE HOLIDAYS:"_qs,
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
