#pragma once

#include "platform/Pending.h"

#include <QDateTime>
#include <QTimeZone>

#include <functional>
#include <memory>

namespace tradevane {

// The one source of time for the whole program: every read of the date or the time of day, and
// every wait for a moment, goes through Clock::current(), so that tests can run whole trading weeks
// in moments on a simulated clock.
class Clock
{
public:
    virtual ~Clock() = default;

    // The moment now, in zone().
    virtual QDateTime now() const = 0;
    // The zone whose wall clock the schedule follows.
    virtual QTimeZone zone() const = 0;

    // Gives the moment to wait for, from the moment the wait begins (or the clock was set).
    using Rule = std::function<QDateTime(const QDateTime& now)>;

    // Calls `fired` from the event loop once the clock reaches the moment `rule` gives, never
    // before it and never from inside this call; an invalid moment never comes. When the clock is
    // set (it jumps by more than a second), the moment is derived again from the rule. Destroying
    // or cancelling the alarm keeps it from firing.
    [[nodiscard]] virtual std::unique_ptr<Pending> alarm(Rule rule, std::function<void()> fired) = 0;

    // An alarm at a fixed moment.
    [[nodiscard]] std::unique_ptr<Pending> alarmAt(const QDateTime& moment, std::function<void()> fired)
    {
        return alarm([moment](const QDateTime&) { return moment; }, std::move(fired));
    }

    static Clock& current();
    // Installs `clock` for the whole program; nullptr restores the system clock.
    static void install(Clock* clock);
};

// The machine's clock in its own time zone. An alarm sleeps in the event loop at most a second at a
// time and reads the clock at each wake, so that a clock set by the user or by time service is
// noticed; between wakes it costs nothing.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
    QTimeZone zone() const override;
    std::unique_ptr<Pending> alarm(Rule rule, std::function<void()> fired) override;
};

// The moment now on the current clock.
QDateTime now();

// A time of day in the system's long time format: hours, minutes and seconds, with the
// locale's AM/PM marker where it has one, without a time zone ("4:59:30 PM", "16:59:30").
QString longTimeText(const QTime& time);

} // namespace tradevane
