#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTimeZone>

// A soak of the monitoring engine: the real engine in this process on the simulated clock, against
// the loopback quote server and a real mail server, day after day through a stretch of trading
// days, with faults injected from a seeded schedule:
// - about 1 % of quote answers fail: the server hangs, answers 500 or sends garbage;
// - each week the quote server is away for 10 minutes of a trading day;
// - each week the program is stopped in the middle of a quote set and started again: the engine
//   objects are destroyed and new ones read everything from the data folder's files;
// - each month the mail server is down for a trading day and slow for another, and the clock is
//   set forward by an hour and, 90 minutes later, back again.
// Ten stocks are watched at a one-minute interval; each crosses its price-above level once a
// trading day, in the first half of the day at a moment drawn from the seed, so ten alerts a day
// are due.
struct SoakPlan
{
    QDate firstSession; // the exchange's first session date watched
    int tradingDays = 20; // sessions watched; 0: through the end of firstSession's year
    QTimeZone zone; // the computer's zone
    int startHour = 1; // the schedule, on the computer's clock
    int stopHour = 7;
    quint32 seed = 1;
    int slowMailMs = 300; // the slow mail server's wait before it accepts a message
    int stalledQuoteMs = 50; // how long a hung quote answer is waited for
};

// One line of the result table.
struct SoakRow
{
    QString check;
    QString result;
    bool ok = true;
};

struct SoakResult
{
    QString error; // the soak could not run (a server did not start); empty when it ran
    QList<SoakRow> rows;

    bool ok() const;
    // The rows as an aligned text table, one check a line, failed rows marked.
    QString table() const;
};

// Runs the plan. Needs a QCoreApplication; installs its own simulated clock and data folder and
// puts the real ones back when done.
SoakResult runSoak(const SoakPlan& plan);
