#include "CycleFixture.h"

#include "core/ServerSettings.h"

#include <cmath>

void CycleTest::SetUp()
{
    ProgramTest::SetUp();
    ASSERT_TRUE(http.start());
    gServerSettings.QuoteServer = http.baseUrl();
    gServerSettings.HistoryServer = http.baseUrl();
    cycle = std::make_unique<MonitoringCycle>(window);
}

void CycleTest::TearDown()
{
    cycle.reset();
    http.stop();
    ProgramTest::TearDown();
}

void CycleTest::schedule(int startHour, int startMinute, int stopHour, int stopMinute, int interval)
{
    gTimeSettings.StartHour = gTimeSettings.QuoteStartHour = static_cast<qint16>(startHour);
    gTimeSettings.StartMinute = gTimeSettings.QuoteStartMinute = static_cast<qint16>(startMinute);
    gTimeSettings.StopHour = static_cast<qint16>(stopHour);
    gTimeSettings.StopMinute = static_cast<qint16>(stopMinute);
    gTimeSettings.QuoteInterval = static_cast<qint16>(interval);
}

void CycleTest::watch(int n, const QString& symbol)
{
    AlertSettings& s = gAlertSettings[n];
    s = {};
    s.Enabled = vbTrue;
    s.Symbol = symbol.leftJustified(7, u' ');
    s.HHDays = s.LLDays = 20;
}

bool CycleTest::runFrom(const QDateTime& start, const std::function<bool()>& stopWhen, const QDateTime& limit)
{
    SimulatedClock& sim = simulateClock(start);
    const QDateTime end = limit.isValid() ? limit : start.addDays(14);
    bool hitLimit = false;
    window.onStatus = [&](const QString&) {
        if (stopWhen())
            cycle->Stop();
    };
    sim.onWait = [&] {
        if (sim.now() > end) {
            hitLimit = true;
            cycle->Stop();
        }
    };
    cycle->Run();
    sim.onWait = nullptr;
    window.onStatus = nullptr;
    return !hitLimit;
}

QByteArray MakeHistory(const QDate& today, int days, double base)
{
    QByteArray text = "Date,Open,High,Low,Close,Volume,Adj Close\n";
    QDate day = today;
    for (int i = 0; i < days; ++i) {
        do
            day = day.addDays(-1);
        while (day.dayOfWeek() > 5);
        const double close = base + 0.5 * std::sin(i / 5.0);
        text += day.toString(u"yyyy-MM-dd"_qs).toLatin1() + ',' + QByteArray::number(close - 0.05, 'f', 2)
            + ',' + QByteArray::number(close + 0.2, 'f', 2) + ',' + QByteArray::number(close - 0.2, 'f', 2)
            + ',' + QByteArray::number(close, 'f', 2) + ",1000," + QByteArray::number(close, 'f', 2) + '\n';
    }
    return text;
}

QByteArray MakeQuote(const QString& symbol, double last, double open, double high, double low, qint64 volume)
{
    return '"' + symbol.toLatin1() + "\"," + QByteArray::number(last, 'f', 2)
        + ",\"12/7/2026\",\"10:00am\",+0.10," + QByteArray::number(open, 'f', 2) + ','
        + QByteArray::number(high, 'f', 2) + ',' + QByteArray::number(low, 'f', 2) + ','
        + QByteArray::number(volume) + "\r\n";
}
