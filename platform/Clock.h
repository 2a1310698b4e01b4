#pragma once

#include <QDateTime>

#include <functional>
#include <limits>

// The one source of time for the whole program. Every read of the date or the time of day goes
// through Clock::current(), so that tests can run whole trading weeks in seconds with a
// SimulatedClock.
class Clock
{
public:
    virtual ~Clock() = default;

    virtual QDateTime now() const = 0;

    // Waits up to `ms` milliseconds while the windows stay responsive. Returns early when
    // wake() is called (a button handler that changed what the waiter is waiting for).
    virtual void waitEvents(int ms) = 0;
    virtual void wake() = 0;

    // The longest single wait a waiting loop should make before it reads the clock again: the
    // system clock is read every second so that a clock adjustment is noticed.
    virtual qint64 longestWaitMs() const = 0;

    // Blocks without processing window events (the kernel sleep of the waiting loops).
    virtual void sleep(int ms) = 0;

    static Clock& current();
    // Installs `clock` for the whole program; nullptr restores the system clock.
    static void install(Clock* clock);
};

// The machine's local clock.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
    void waitEvents(int ms) override;
    void wake() override;
    void sleep(int ms) override;
    qint64 longestWaitMs() const override { return 1000; }

private:
    class QEventLoop* m_loop = nullptr;
};

// A clock that only moves when told to, or when the program waits on it: a wait of N ms moves
// it forward N ms at once after running pending events.
class SimulatedClock final : public Clock
{
public:
    explicit SimulatedClock(QDateTime start);

    // Runs after every wait and sleep, with the clock already moved on: a test acts at chosen
    // simulated times from here (presses Stop, changes an answer of its server).
    std::function<void()> onWait;

    QDateTime now() const override { return m_now; }
    void waitEvents(int ms) override;
    void wake() override { }
    void sleep(int ms) override;
    qint64 longestWaitMs() const override { return std::numeric_limits<qint64>::max(); }

    void set(const QDateTime& when) { m_now = when; }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

// Shorthands for the time reads the program makes.
QDateTime Now();
int Hour();
int Minute();
int Second();
int Weekday(); // 1 = Sunday .. 7 = Saturday
double Timer(); // seconds since midnight, with fractions

// A time of day in the system's long time format: hours, minutes and seconds, with the
// locale's AM/PM marker where it has one, without a time zone ("4:59:30 PM", "16:59:30").
QString LongTimeText(const QTime& time);

void DoEvents();
void Sleep(int ms);
