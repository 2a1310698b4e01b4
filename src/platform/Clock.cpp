#include "platform/Clock.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>

namespace tradevane {

namespace {

SystemClock systemClock;
Clock* installed = nullptr;

// How far the wall clock may drift from the steady clock between two wakes before it counts as
// set; also the longest sleep between two reads of the clock.
constexpr qint64 kSetThresholdMs = 1000;

class SystemAlarm final : public QObject, public Pending
{
public:
    SystemAlarm(const SystemClock& clock, Clock::Rule rule, std::function<void()> fired)
        : m_clock(clock)
        , m_rule(std::move(rule))
        , m_fired(std::move(fired))
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &SystemAlarm::wake);
        m_lastWall = m_clock.now();
        m_steady.start();
        m_target = m_rule(m_lastWall);
        arm(m_lastWall);
    }

    void cancel() override
    {
        m_timer.stop();
        m_fired = nullptr;
    }

private:
    // An invalid moment never comes: the alarm only keeps watching for the clock to be set.
    void arm(const QDateTime& now)
    {
        const qint64 ms = m_target.isValid() ? now.msecsTo(m_target) : kSetThresholdMs;
        m_timer.start(static_cast<int>(std::clamp<qint64>(ms, 0, kSetThresholdMs)));
    }

    void wake()
    {
        const QDateTime now = m_clock.now();
        const qint64 wall = m_lastWall.msecsTo(now);
        const qint64 steady = m_steady.restart();
        m_lastWall = now;
        if (std::abs(wall - steady) > kSetThresholdMs)
            m_target = m_rule(now); // the clock was set: where does the wait stand now?
        if (!m_target.isValid() || now < m_target) {
            arm(now);
            return;
        }
        if (auto fired = std::exchange(m_fired, nullptr))
            fired(); // may destroy this alarm: nothing of it is touched afterwards
    }

    const SystemClock& m_clock;
    Clock::Rule m_rule;
    std::function<void()> m_fired;
    QTimer m_timer;
    QElapsedTimer m_steady;
    QDateTime m_lastWall;
    QDateTime m_target;
};

} // namespace

Clock& Clock::current()
{
    return installed ? *installed : systemClock;
}

void Clock::install(Clock* clock)
{
    installed = clock;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

QTimeZone SystemClock::zone() const
{
    return QTimeZone::systemTimeZone();
}

std::unique_ptr<Pending> SystemClock::alarm(Rule rule, std::function<void()> fired)
{
    return std::make_unique<SystemAlarm>(*this, std::move(rule), std::move(fired));
}

QDateTime now()
{
    return Clock::current().now();
}

QString longTimeText(const QTime& time)
{
    const QLocale locale = QLocale::system();
    // Qt's long format names the time zone as well ("t"); the log line has the time alone.
    static const QRegularExpression kZone(u"\\s*\\bt+\\b\\s*"_qs);
    QString format = locale.timeFormat(QLocale::LongFormat).replace(kZone, u" "_qs).trimmed();
    if (!format.contains(u's'))
        format = u"HH:mm:ss"_qs;
    return locale.toString(time, format);
}

} // namespace tradevane
