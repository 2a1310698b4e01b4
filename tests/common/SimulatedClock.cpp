#include "SimulatedClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

struct SimulatedClock::Entry
{
    Rule rule;
    QDateTime target;
    std::function<void()> fired;
};

class SimulatedClock::Handle final : public Pending
{
public:
    Handle(SimulatedClock& clock, std::shared_ptr<Entry> entry)
        : m_clock(clock)
        , m_entry(std::move(entry))
    { }
    ~Handle() override { cancel(); }
    void cancel() override { m_clock.m_alarms.remove(m_entry); }

private:
    SimulatedClock& m_clock;
    std::shared_ptr<Entry> m_entry;
};

SimulatedClock::SimulatedClock(const QDateTime& start, const QTimeZone& zone)
    : m_now(start.toTimeZone(zone))
    , m_zone(zone)
{ }

SimulatedClock::~SimulatedClock() = default;

std::unique_ptr<Pending> SimulatedClock::alarm(Rule rule, std::function<void()> fired)
{
    auto entry = std::make_shared<Entry>();
    entry->target = rule(m_now);
    entry->rule = std::move(rule);
    entry->fired = std::move(fired);
    m_alarms.push_back(entry);
    return std::make_unique<Handle>(*this, entry);
}

void SimulatedClock::set(const QDateTime& when)
{
    m_now = when.toTimeZone(m_zone);
    for (const auto& entry : m_alarms)
        entry->target = entry->rule(m_now);
}

void SimulatedClock::advance(qint64 ms)
{
    m_now = m_now.addMSecs(ms);
}

int SimulatedClock::alarmsWaiting() const
{
    return static_cast<int>(m_alarms.size());
}

SimulatedClock::Entry* SimulatedClock::earliest() const
{
    Entry* first = nullptr;
    for (const auto& entry : m_alarms) {
        if (entry->target.isValid() && (!first || entry->target < first->target))
            first = entry.get();
    }
    return first;
}

QDateTime SimulatedClock::nextAlarm() const
{
    const Entry* first = earliest();
    return first ? first->target : QDateTime();
}

bool SimulatedClock::runUntil(const std::function<bool()>& done, const QDateTime& limit, int idleMs)
{
    QElapsedTimer idle;
    idle.start();
    while (!done()) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (done())
            return true;
        if (busy && busy()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            idle.restart();
            continue;
        }
        // A transfer that ended in the pass above reports through a posted event: until that has
        // run, what it leads to (the next transfer, a short pause) is not yet waiting, and time
        // must not jump past it to a later alarm.
        QCoreApplication::sendPostedEvents();
        if (done())
            return true;
        if (busy && busy())
            continue;
        Entry* next = earliest();
        if (!next) {
            if (idle.elapsed() > idleMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            continue;
        }
        if (limit.isValid() && next->target > limit)
            return false;
        if (next->target > m_now)
            m_now = next->target;
        // The alarm leaves the list before it fires: what it runs may take the next one.
        const auto found = std::find_if(
            m_alarms.begin(), m_alarms.end(), [next](const auto& entry) { return entry.get() == next; });
        const std::shared_ptr<Entry> entry = *found;
        m_alarms.erase(found);
        if (auto fired = std::exchange(entry->fired, nullptr))
            fired();
        idle.restart();
    }
    return true;
}
