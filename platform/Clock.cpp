#include "platform/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

namespace {
SystemClock systemClock;
Clock* installed = nullptr;
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

void SystemClock::waitEvents(int ms)
{
    if (ms <= 0) {
        DoEvents();
        return;
    }
    // Sleeps in the event loop: any window event is handled at once, and nothing runs in
    // between, so a long wait costs no processor time.
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    QEventLoop* outer = m_loop;
    m_loop = &loop;
    loop.exec();
    m_loop = outer;
}

void SystemClock::wake()
{
    if (m_loop)
        m_loop->quit();
}

void SystemClock::sleep(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

SimulatedClock::SimulatedClock(QDateTime start)
    : m_now(std::move(start))
{ }

void SimulatedClock::waitEvents(int ms)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    advance(ms);
    if (onWait)
        onWait();
}

void SimulatedClock::sleep(int ms)
{
    advance(ms);
    if (onWait)
        onWait();
}

QDateTime Now()
{
    return Clock::current().now();
}

int Hour()
{
    return Now().time().hour();
}

int Minute()
{
    return Now().time().minute();
}

int Second()
{
    return Now().time().second();
}

int Weekday()
{
    // Qt counts Monday = 1 .. Sunday = 7.
    return Now().date().dayOfWeek() % 7 + 1;
}

double Timer()
{
    return Now().time().msecsSinceStartOfDay() / 1000.0;
}

QString LongTimeText(const QTime& time)
{
    const QLocale locale = QLocale::system();
    // Qt's long format names the time zone as well ("t"); the log line has the time alone.
    static const QRegularExpression zone(u"\\s*\\bt+\\b\\s*"_qs);
    QString format = locale.timeFormat(QLocale::LongFormat).replace(zone, u" "_qs).trimmed();
    if (!format.contains(u's'))
        format = u"HH:mm:ss"_qs;
    return locale.toString(time, format);
}

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Sleep(int ms)
{
    Clock::current().sleep(ms);
}
