#include "core/MonitoringCycle.h"

#include "core/AlertEvaluation.h"
#include "core/Conversions.h"
#include "core/LogTexts.h"
#include "core/MainControls.h"
#include "core/ServerSettings.h"
#include "core/WebDetect.h"
#include "indicators/indHLBreakout.h"
#include "indicators/indMovingAverage.h"
#include "indicators/indROC.h"
#include "indicators/indStochastic.h"
#include "indicators/indVolume.h"
#include "marketdata/DataRetrieval.h"
#include "marketdata/QuoteRetrieval.h"
#include "notify/UpdateLog.h"
#include "platform/Clock.h"
#include "platform/LegacyWait.h"
#include "platform/MsgBox.h"

#include <QLocale>

#include <cmath>

namespace {

QString twoDigits(int value)
{
    return value < 10 ? u'0' + QString::number(value) : QString::number(value);
}

bool startsWithDigit(const QString& text)
{
    return !text.isEmpty() && text.front() >= u'0' && text.front() <= u'9';
}

// Milliseconds from `now` to the next moment the field that `step` names can change.
int msUntilNext(const QDateTime& now, qint64 unitMs)
{
    const qint64 sinceMidnight = now.time().msecsSinceStartOfDay();
    return static_cast<int>(unitMs - sinceMidnight % unitMs);
}

} // namespace

MonitoringCycle::MonitoringCycle(CycleWindow& window)
    : m_window(window)
{ }

void MonitoringCycle::Stop()
{
    Running = vbFalse;
    Clock::current().wake();
}

void MonitoringCycle::ArmAllAlerts()
{
    for (int i = 1; i <= kStockCount; ++i)
        for (int k = 1; k <= kAlertKinds; ++k)
            gAlertState[i][k].Armed = 1;
}

QString MonitoringCycle::StartTimeText(int hour, int minute)
{
    return QString::number(hour) + u':' + twoDigits(minute);
}

QString MonitoringCycle::NextDownloadText(const QTime& now, int interval)
{
    int nextMinute = now.minute() + interval;
    if (nextMinute > 59)
        nextMinute -= 60;
    const int nextHour = interval + now.minute() >= 60 ? now.hour() + 1 : now.hour();
    return u"Next download @ "_qs + QString::number(nextHour) + u':' + twoDigits(nextMinute) + u':'
        + twoDigits(now.second());
}

QString MonitoringCycle::DateTimeText(const QDateTime& when)
{
    return QLocale::system().toString(when.date(), QLocale::ShortFormat) + u' ' + LongTimeText(when.time());
}

bool MonitoringCycle::IsPlausible(const Quote& q)
{
    if (q.High.isEmpty() || q.Open.isEmpty() || q.Low.isEmpty())
        return false;
    return startsWithDigit(q.High) && startsWithDigit(q.Low) && startsWithDigit(q.Last);
}

qint16 MonitoringCycle::NextQuoteSetNumber(qint16 number)
{
    return number >= 32000 ? qint16(2) : qint16(number + 1);
}

bool MonitoringCycle::WaitUntil(const std::function<bool()>& ready, Step step)
{
    static constexpr qint64 kUnitMs[] = {1000, 60'000, 3'600'000, 86'400'000};
    while (!ready()) {
        // Sleeps in the event loop until a window event or the moment the awaited clock field
        // can next change; the system clock is still read at least once a second.
        const qint64 ms = std::min<qint64>(
            msUntilNext(Now(), kUnitMs[static_cast<int>(step)]), Clock::current().longestWaitMs());
        Clock::current().waitEvents(static_cast<int>(ms));
        if (!Running)
            return false;
    }
    return true;
}

void MonitoringCycle::Run()
{
    if (!ConnectionStateAndWait(ProgramHub(), gServerSettings.QuoteServer).connected) {
        MsgBox(
            JoinLines({u"The program cannot detect an active"_qs,
                u"internet connection. Please check your"_qs, u"connection and try again."_qs,
                u"If you use a Dial-Up modem, please run"_qs, u"the Dial-Up Adaptor to connect with your"_qs,
                u"service provider, then run Tradevane"_qs}),
            MsgButtons::OkOnly, u"Network Connection"_qs);
        return;
    }
    m_window.ShowRunningState();
    m_window.ClearQuoteDisplay();
    m_window.SetLight(Light::Run, u"s-grn-on.bmp"_qs);
    m_window.SetLight(Light::Stop, u"s-red-off.bmp"_qs);

    QuoteSetNumber = 1;
    Running = vbTrue;
    strLogString.clear();
    gStockFailed.fill(vbFalse);
    gDownloadError.fill(vbFalse);
    // An alert switched off keeps its last state while it is not evaluated; what a previous run
    // left must not be reported under settings changed since.
    for (AlertStates& states : gAlertState)
        for (AlertEntry& entry : states)
            entry.Triggered = vbFalse;
    m_window.SetStatus({});
    m_window.SetDownloadFrequency(u' ' + QString::number(gTimeSettings.QuoteInterval) + u" Minute(s)"_qs);

    while (true) {
        if (!WaitOutWeekend() || !WaitForStartTime())
            return;

        m_window.SetLight(Light::Download, u"s-yel-on.bmp"_qs);
        ArmAllAlerts();
        strLogString += DateTimeText(Now()) + LogText::ProcessingStarted;
        AppendLog();
        m_window.SetStatus(u"Processing Started"_qs);

        DownloadHistories();
        if (!WaitUntil([] { return Hour() >= gTimeSettings.QuoteStartHour; }, Step::Hour)
            || !WaitUntil([] { return Minute() >= gTimeSettings.QuoteStartMinute; }, Step::Minute))
            return;

        // Quote sets until the stop time.
        do {
            if (!Running)
                return;
            if (QuoteSetNumber > 1 && !WaitForNextSet())
                return;
            m_window.SetLight(Light::Download, u"s-yel-on.bmp"_qs);
            m_window.SetStatus(u"Downloading Quotes"_qs);
            DownloadQuotes();
            m_window.SetLight(Light::Download, u"s-yel-off.bmp"_qs);
            StampText = LongTimeText(Now().time());
            strLogString += StampText + u' ' + LogText::QuoteSetDownloaded + QString::number(QuoteSetNumber)
                + LogText::QuoteSetDownloadedEnd;
            AppendLog();
            ShowQuotes();
            StoreTodaysRows();
            QuoteSetNumber = NextQuoteSetNumber(QuoteSetNumber);

            RunIndicators();
            EvaluateAlerts(m_window, QuoteValid);
            strLogString += QString(75, u'*');
            AppendLog();
            if (blnLogVisible)
                m_window.RefreshLogWindow();
            gStockFailed.fill(vbFalse);
            gDownloadError.fill(vbFalse);
        } while (!StopTimeReached());
    }
}

bool MonitoringCycle::WaitOutWeekend()
{
    DayOfWeek = static_cast<qint16>(Weekday());
    // A Friday evening stays a weekend evening only while it is still Friday: Monday never counts,
    // whatever the stop hour.
    const auto weekend = [this] {
        const int today = Weekday();
        return (DayOfWeek == 6 && today == 6 && Hour() >= gTimeSettings.StopHour) || today == 7 || today == 1;
    };
    if (DayOfWeek == 6 && Hour() >= gTimeSettings.StopHour) {
        WeekendWait = vbTrue;
        strLogString += LogText::WeekendFriday + u"\r\n"_qs;
        m_window.SetStatus(u"Awaiting Monday Open"_qs);
        AppendLog();
    }
    if (DayOfWeek == 7) {
        WeekendWait = vbTrue;
        strLogString += LogText::WeekendSaturday + u"\r\n"_qs;
        m_window.SetStatus(u"Awaiting Monday open"_qs);
        AppendLog();
    }
    if (DayOfWeek == 1) {
        WeekendWait = vbTrue;
        strLogString += LogText::WeekendSunday + u"\r\n"_qs;
        m_window.SetStatus(u"Awaiting Monday open"_qs);
        AppendLog();
    }
    // Once entered, the weekend lasts until Monday begins.
    if (WeekendWait) {
        if (!WaitUntil([&] { return !weekend(); }, Step::Day))
            return false;
        WeekendWait = vbFalse;
    }
    return true;
}

bool MonitoringCycle::WaitForStartTime()
{
    StartText = StartTimeText(gTimeSettings.StartHour, gTimeSettings.StartMinute);
    strLogString += LogText::WaitingForStart + StartText;
    AppendLog();
    m_window.SetStatus(u"Awaiting Start Time - "_qs + StartText);
    return WaitUntil([] { return Hour() == gTimeSettings.StartHour; }, Step::Hour)
        && WaitUntil([] { return Minute() == gTimeSettings.StartMinute; }, Step::Minute);
}

void MonitoringCycle::DownloadHistories()
{
    SetHistoryDates();
    for (StockID = 1; StockID <= kStockCount; ++StockID) {
        QString symbol = gAlertSettings[StockID].Symbol.trimmed();
        if (gAlertSettings[StockID].Enabled == vbTrue) {
            DownloadHistory(symbol);
            ParseHistory();
        }
        PauseBetweenStocks();
    }
    m_window.SetLight(Light::Download, u"s-yel-off.bmp"_qs);
    StampText = LongTimeText(Now().time());
    strLogString += StampText + u' ' + LogText::HistoricDataDownloaded;
    AppendLog();
    m_window.SetStatus(u"D/L Historic Data"_qs);
}

bool MonitoringCycle::WaitForNextSet()
{
    const QTime now = Now().time();
    int nextMinute = now.minute() + gTimeSettings.QuoteInterval;
    if (nextMinute > 59)
        nextMinute -= 60;
    const int nextSecond = now.second();
    m_window.SetStatus(NextDownloadText(now, gTimeSettings.QuoteInterval));
    return WaitUntil([=] { return Minute() == nextMinute; }, Step::Minute)
        && WaitUntil([=] { return Second() == nextSecond; }, Step::Second);
}

void MonitoringCycle::DownloadQuotes()
{
    for (StockID = 1; StockID <= kStockCount; ++StockID) {
        const int i = StockID;
        QString symbol = gAlertSettings[i].Symbol.trimmed();
        const bool enabled = gAlertSettings[i].Enabled == vbTrue;
        if (gStockFailed[i] == vbFalse && enabled) {
            DownloadQuote(symbol);
            ParseQuote();
        }
        if (enabled)
            QuoteValid[i] = IsPlausible(gQuotes[i]) ? vbTrue : vbFalse;
        PauseBetweenStocks();
    }
}

void MonitoringCycle::ShowQuotes()
{
    for (StockID = 1; StockID <= kStockCount; ++StockID) {
        const int i = StockID;
        const bool enabled = gAlertSettings[i].Enabled != 0;
        if (gStockFailed[i] == vbFalse && gAlertSettings[i].Enabled == vbTrue)
            m_window.ShowQuoteRow(i, gQuotes[i]);
        if (enabled && (!(Val(gQuotes[i].Last) > 0) || gStockFailed[i] != 0))
            m_window.SetPriceText(i, u"?"_qs);
    }
}

void MonitoringCycle::StoreTodaysRows()
{
    for (int k = 1; k <= kStockCount; ++k) {
        if (gStockFailed[k] != vbFalse || !QuoteValid[k] || gAlertSettings[k].Enabled != vbTrue)
            continue;
        const Quote& q = gQuotes[k];
        HistoryArray& row = gHistory[k];
        row[0] = q.Date.trimmed();
        row[1] = q.Open.trimmed();
        row[2] = q.High.trimmed();
        row[3] = q.Low.trimmed();
        row[4] = q.Last.trimmed();
        row[5] = q.Volume.trimmed();
    }
}

void MonitoringCycle::CalcIndicators()
{
    static constexpr std::pair<qint16, qint16> kAverages[]
        = {{5, 1}, {10, 2}, {10, 3}, {30, 4}, {50, 5}, {200, 6}};
    static const std::function<void()> kSteps[] = {
        [] { CalcROC(21); },
        [] { CheckHighestHigh(); },
        [] { CheckLowestLow(); },
        [] { CalcVolumeAverage(20); },
        [] { CalcFastK(); },
        [] { CalcSlowK(); },
        [] { CalcSlowD(); },
    };
    const int i = StockID;
    const auto inError = [i] { return i >= 0 && i <= kStockCount && gDownloadError[i] != vbFalse; };
    for (const auto& [period, number] : kAverages)
        if (!inError())
            CalcMovingAverages(period, number);
    for (const auto& step : kSteps)
        if (!inError())
            step();
}

void MonitoringCycle::RunIndicators()
{
    for (StockID = 1; StockID <= kStockCount; ++StockID) {
        const int i = StockID;
        if (gStockFailed[i] != vbFalse || !QuoteValid[i] || gAlertSettings[i].Enabled != vbTrue)
            continue;
        gWorkData = gHistory[i];
        CalcIndicators();
    }
}

void MonitoringCycle::PauseBetweenStocks()
{
    // Ends when the seconds-since-midnight counter reaches the rounded value (0 to ~0.75 s). The
    // end is kept as a moment in time, so a pause that runs over midnight ends as well.
    const QDateTime start = Now();
    const double pauseEnd = std::nearbyint(Timer() + 0.25);
    const QDateTime end = start.date().startOfDay().addMSecs(static_cast<qint64>(pauseEnd * 1000));
    const qint64 ms = start.msecsTo(end);
    if (ms > 0)
        Sleep(static_cast<int>(ms));
}

bool MonitoringCycle::StopTimeReached() const
{
    return Hour() >= gTimeSettings.StopHour && Minute() >= gTimeSettings.StopMinute;
}
