#pragma once

#include "platform/Clock.h"

#include <QDateTime>
#include <QTimeZone>

#include <functional>
#include <list>
#include <memory>

using namespace tradevane;

// A clock that moves only when told to, or when runUntil finds nothing else to wait for: then it
// jumps to the earliest alarm. Whole trading weeks run in moments, with real transfers to real
// loopback servers in between.
class SimulatedClock final : public Clock
{
public:
    // Starts at `start`, read in `zone` (the machine's own when none is given).
    explicit SimulatedClock(const QDateTime& start, const QTimeZone& zone = QTimeZone::systemTimeZone());
    ~SimulatedClock() override;

    QDateTime now() const override { return m_now; }
    QTimeZone zone() const override { return m_zone; }
    std::unique_ptr<Pending> alarm(Rule rule, std::function<void()> fired) override;

    // The clock is set (by the user or a time service): it jumps to `when` at once, and every
    // alarm derives its moment again from its rule.
    void set(const QDateTime& when);
    // Time passes without the clock being set; alarms now due fire at the next runUntil.
    void advance(qint64 ms);

    // Something real is in flight (a transfer on the hub): runUntil then waits for events
    // instead of jumping ahead.
    std::function<bool()> busy;

    // Handles events until `done` holds; whenever nothing is in flight it jumps to the earliest
    // alarm and fires it. False when the next alarm lies past `limit`, or when nothing happens for
    // `idleMs` of real time (nothing in flight, no alarm).
    bool runUntil(const std::function<bool()>& done, const QDateTime& limit, int idleMs = 5000);

    int alarmsWaiting() const;
    QDateTime nextAlarm() const; // invalid when none waits

private:
    struct Entry;
    class Handle;
    Entry* earliest() const;

    QDateTime m_now;
    QTimeZone m_zone;
    std::list<std::shared_ptr<Entry>> m_alarms;
};
