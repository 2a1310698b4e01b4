#pragma once

#include "LoopbackHttpServer.h"
#include "LoopbackSmtpServer.h"
#include "RecordingObserver.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QTimeZone>

class QTcpServer;

using State = MonitoringSession::State;

// 7 December 2026, a Monday: the day the engine tests run on.
inline const QDate kMonday(2026, 12, 7);
// The lines STOP leaves at the end of the log.
QString stopLines();

// The monitoring engine on a simulated clock, with a real quote server on loopback (the
// connection check needs one that accepts) and a recording observer in place of the window.
class CycleTest : public ProgramTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The schedule (start and quote start equal).
    void schedule(int startHour, int startMinute, int stopHour, int stopMinute, int interval);
    // Stock `number` (1..10) watched under `symbol`, every alert off; its averages the defaults.
    AlertSettings& watch(int number, const QString& symbol);
    AlertSettings& alerts(int number) { return m_app.settings.alert(StockIndex::fromNumber(number)); }
    // Stock 1 watched as ABC with an alert above 12, its history (on Monday) and a quote of 12.50 served.
    AlertSettings& watchAbcAbove12();
    // Alert mail to `silent`, a server that takes the connection and never greets, with time-outs far
    // beyond the test's own: a cancel that waited for the server would hang the test.
    void mailToSilentServer(QTcpServer& silent);
    const StockState& stock(int number) const { return m_app.engine.stock(StockIndex::fromNumber(number)); }

    // Presses START at `start` (on a clock in clockZone) and runs until `stopWhen` holds, then ends the run
    // without the stop lines (as closing would). False when it had to give up: the simulated clock would pass
    // `limit` (default: two weeks on), or the run ended by itself.
    bool runFrom(const QDateTime& start, const std::function<bool()>& stopWhen, const QDateTime& limit = {});

    LoopbackHttpServer m_http;
    RecordingObserver m_window;
    QTimeZone m_clockZone = QTimeZone::systemTimeZone(); // the computer's zone for runFrom
};

// The engine as above, sending its alert mails (subject "Stock alerts") to a real mail server on
// loopback.
class MailCycleTest : public CycleTest
{
protected:
    void SetUp() override;

    LoopbackSmtpServer m_smtp;
};

// Daily history as the server sends it: a heading, then `days` seven-field lines, most recent
// first, ending the day before `today`. Prices wave gently around `base`.
QByteArray makeHistory(const QDate& today, int days, double base);

// One quote line of nine fields, quoted as the server sends it.
QByteArray makeQuote(const QString& symbol, double last, double open, double high, double low, qint64 volume);

// The request targets the program sends for a stock's quote and, on `today`, its history.
QString quoteTarget(const QString& symbol);
QString historyTarget(const QString& symbol, const QDate& today);
