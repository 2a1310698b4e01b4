#pragma once

#include "core/CycleWindow.h"

#include <QDateTime>
#include <QString>

#include <functional>

// The monitoring cycle that the Start button runs: connection check, weekend wait, the start
// time, the daily history, quote sets at the interval until the stop time, the indicators and
// the alert evaluation, day after day until Stop. Run() returns only when Running is cleared.
class MonitoringCycle
{
public:
    explicit MonitoringCycle(CycleWindow& window);

    void Run();
    // Clears the run flag and wakes any wait, so the cycle ends at once.
    void Stop();
    bool IsRunning() const { return Running != 0; }

    qint16 quoteSetNumber() const { return QuoteSetNumber; }
    const PerStock<qint16>& quoteValid() const { return QuoteValid; }

    // Every alert of stocks 1..10 may be reported again (start of a trading day).
    static void ArmAllAlerts();

    // The indicators of stock StockID over gWorkData, in their fixed order; one that fails marks
    // the stock in error and the ones after it are skipped.
    static void CalcIndicators();

    // The texts the cycle shows and logs.
    static QString StartTimeText(int hour, int minute); // "9:05", "14:30"
    static QString NextDownloadText(const QTime& now, int interval); // "Next download @ 11:03:20"
    static QString DateTimeText(const QDateTime& when);
    static bool IsPlausible(const Quote& quote);
    // The set after `number`: after 32000 the count goes on with 2.
    static qint16 NextQuoteSetNumber(qint16 number);

private:
    enum class Step { Second, Minute, Hour, Day };

    bool WaitUntil(const std::function<bool()>& ready, Step step);
    bool WaitOutWeekend();
    bool WaitForStartTime();
    void DownloadHistories();
    bool WaitForNextSet();
    void DownloadQuotes();
    void ShowQuotes();
    void StoreTodaysRows();
    void RunIndicators();
    void PauseBetweenStocks();
    bool StopTimeReached() const;

    CycleWindow& m_window;

    qint16 Running = 0;
    qint16 QuoteSetNumber = 0;
    qint16 DayOfWeek = 0;
    qint16 WeekendWait = 0;
    QString StartText;
    QString StampText;
    PerStock<qint16> QuoteValid {};
};
