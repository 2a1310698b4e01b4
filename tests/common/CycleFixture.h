#pragma once

#include "LoopbackHttpServer.h"
#include "RecordingWindow.h"
#include "TestSupport.h"

#include "core/MonitoringCycle.h"

#include <QDateTime>

#include <memory>

// The monitoring cycle on a simulated clock, with a real quote server on loopback (the
// connection check needs one that accepts) and a recording main window.
class CycleTest : public ProgramTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Start at `start` with the given schedule (start and quote start equal).
    void schedule(int startHour, int startMinute, int stopHour, int stopMinute, int interval);
    // Stock `n` watched under `symbol`, every alert off.
    void watch(int n, const QString& symbol);

    // Runs the cycle from `start` until `stopWhen` holds after a status change or the simulated
    // clock passes `limit`; returns false when it had to stop at the limit.
    bool runFrom(const QDateTime& start, const std::function<bool()>& stopWhen, const QDateTime& limit = {});

    LoopbackHttpServer http;
    RecordingWindow window;
    std::unique_ptr<MonitoringCycle> cycle;
};

// Daily history as the server sends it: a heading, then `days` seven-field lines, most recent
// first, ending the day before `today`. Prices wave gently around `base`.
QByteArray MakeHistory(const QDate& today, int days, double base);

// One quote line of nine fields, quoted as the server sends it.
QByteArray MakeQuote(const QString& symbol, double last, double open, double high, double low, qint64 volume);
