// A trading day of the monitoring engine on a fast clock, against a real quote service and a real
// mail server on loopback: ten watched stocks, a quote set every simulated minute, alert mails.
// Prints the longest time the event loop was kept from running (measured as the longest gap
// between two runs of a 1 ms timer, in every other set) and the engine's own processor time per
// quote set (the main thread's CPU time from "Downloading Quotes" to the end of the set, in the
// sets without the timer, whose own wakes would count; pauses and waits cost none).
//
// Usage: engine-day QUOTE_URL SMTP_HOST:PORT [SETS] [SPEED]   (scripts/measure-engine.sh runs it)
#include "DemoStocks.h"

#include "engine/session/AppServices.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace tradevane;

namespace {

// A clock that runs `speed` times as fast as the wall clock, from `start`.
class FastClock final : public Clock
{
public:
    FastClock(const QDateTime& start, double speed)
        : m_start(start)
        , m_speed(speed)
    {
        m_real.start();
    }

    QDateTime now() const override
    {
        return m_start.addMSecs(static_cast<qint64>(static_cast<double>(m_real.elapsed()) * m_speed));
    }
    QTimeZone zone() const override { return QTimeZone::systemTimeZone(); }

    std::unique_ptr<Pending> alarm(Rule rule, std::function<void()> fired) override
    {
        auto alarm = std::make_unique<Alarm>();
        const qint64 ms = now().msecsTo(rule(now()));
        alarm->timer.setSingleShot(true);
        alarm->timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&alarm->timer, &QTimer::timeout, std::move(fired));
        alarm->timer.start(static_cast<int>(
            std::max<qint64>(0, static_cast<qint64>(static_cast<double>(ms) / m_speed) + 1)));
        return alarm;
    }

private:
    struct Alarm final : public Pending
    {
        void cancel() override { timer.stop(); }
        QTimer timer;
    };

    QDateTime m_start;
    double m_speed;
    QElapsedTimer m_real;
};

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: engine-day QUOTE_URL SMTP_HOST:PORT [SETS] [SPEED]\n");
        return 2;
    }
    const QString server = QString::fromLocal8Bit(argv[1]);
    const QString mailServer = QString::fromLocal8Bit(argv[2]);
    const int sets = argc > 3 ? std::atoi(argv[3]) : 30;
    const double speed = argc > 4 ? std::atof(argv[4]) : 60.0;

    QTemporaryDir folder;
    setProgramFolder(folder.path());
    // A weekday morning, whatever the day is: the clock starts at the next Monday, 9:30.
    QDate day = QDate::currentDate();
    while (day.dayOfWeek() != Qt::Monday)
        day = day.addDays(1);
    FastClock clock(QDateTime(day, QTime(9, 29, 58)), speed);
    Clock::install(&clock);

    AppServices services;
    SettingsStore& settings = services.settings;
    for (const StockIndex stock : allStocks()) {
        applyDemoStock(settings.alert(stock), demoSymbols()[stock.index()]);
        settings.alert(stock).repeatAlerts = true; // an alert mail in (nearly) every set
    }
    settings.time = {9, 30, 9, 30, 23, 0, 1};
    settings.servers = {server, server};
    settings.mail.server = mailServer;
    settings.mail.mailFrom = u"desk@example.com"_qs;
    settings.mail.sendTo = u"trader@example.com"_qs;
    settings.mail.subject = u"Tradevane alerts"_qs;

    // The longest gap between two runs of a 1 ms timer, from the first quote set on.
    qint64 longestGapMs = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            longestGapMs = std::max(longestGapMs, sinceTick.elapsed());
        sinceTick.restart();
    });

    std::vector<double> cpuPerSet;
    double setStartCpu = 0.0;
    int setsDone = 0;
    int mails = 0;
    QObject::connect(&services.log, &ActivityLog::appended,
        [&](const QString& record) { mails += record.contains(u"Email message sent."_qs) ? 1 : 0; });
    QObject::connect(&services.engine, &MonitoringSession::statusChanged, [&](const QString& status) {
        if (status == u"Downloading Quotes"_qs) {
            if (setsDone % 2 == 0) {
                sinceTick.invalidate();
                tick.start(1);
            } else {
                tick.stop();
            }
            setStartCpu = threadCpuMs();
        } else if (status.startsWith(u"Next download"_qs) && setStartCpu > 0.0) {
            if (setsDone % 2 == 1)
                cpuPerSet.push_back(threadCpuMs() - setStartCpu);
            setStartCpu = 0.0;
            if (++setsDone >= sets) {
                services.engine.shutdown();
                QCoreApplication::quit();
            }
        }
    });
    QObject::connect(&services.engine, &MonitoringSession::connectionRefused, [](const QString& message) {
        std::fprintf(stderr, "engine-day: %s\n", qPrintable(message));
        QCoreApplication::exit(1);
    });
    services.engine.start();
    const int status = QCoreApplication::exec();
    Clock::install(nullptr);
    if (status != 0 || cpuPerSet.empty())
        return status ? status : 1;

    std::sort(cpuPerSet.begin(), cpuPerSet.end());
    std::printf("quote sets:                     %d of 10 stocks (%d alert mails sent)\n", setsDone, mails);
    std::printf("longest event-loop stall:       %lld ms\n", static_cast<long long>(longestGapMs));
    std::printf("own work per quote set:         median %.2f ms, longest %.2f ms (main thread CPU)\n",
        cpuPerSet[cpuPerSet.size() / 2], cpuPerSet.back());
    return 0;
}
