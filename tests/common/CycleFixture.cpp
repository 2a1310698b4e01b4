#include "CycleFixture.h"

#include "engine/log/LogTexts.h"
#include "platform/RecordFile.h"

#include <QTcpServer>

#include <cmath>

using namespace tradevane;

QString stopLines()
{
    return LogText::kStoppedByUser + u"\r\n"_qs + QString(43, u'*') + u"\r\n\r\n"_qs;
}

void CycleTest::SetUp()
{
    ProgramTest::SetUp();
    ASSERT_TRUE(m_http.start());
    m_app.settings.servers = {m_http.baseUrl(), m_http.baseUrl()};
    m_window.observe(m_app.engine);
}

void MailCycleTest::SetUp()
{
    CycleTest::SetUp();
    QString error;
    ASSERT_TRUE(m_smtp.start(&error)) << error.toStdString();
    MailSettings& mail = m_app.settings.mail;
    mail.server = m_smtp.server();
    mail.mailFrom = u"tradevane@example.com"_qs;
    mail.sendTo = u"trader@example.com"_qs;
    mail.subject = u"Stock alerts"_qs;
}

void CycleTest::TearDown()
{
    m_app.engine.shutdown();
    m_http.stop();
    ProgramTest::TearDown();
}

void CycleTest::schedule(int startHour, int startMinute, int stopHour, int stopMinute, int interval)
{
    m_app.settings.time = tradingHours(startHour, startMinute, stopHour, stopMinute, interval);
}

AlertSettings& CycleTest::watch(int number, const QString& symbol)
{
    AlertSettings& s = alerts(number);
    s = {};
    s.watch = Watch::On;
    s.symbol = symbol;
    s.highestHighDays = s.lowestLowDays = 20;
    return s;
}

AlertSettings& CycleTest::watchAbcAbove12()
{
    AlertSettings& abc = watch(1, u"ABC"_qs);
    abc.on(AlertKind::PriceAbove) = true;
    abc.priceAbove = 12;
    m_http.serve(historyTarget(u"abc"_qs, kMonday), makeHistory(kMonday, 252, 10));
    m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 12.5, 12, 12.6, 11.9, 5000));
    return abc;
}

void CycleTest::mailToSilentServer(QTcpServer& silent)
{
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    m_app.settings.mail.server = u"127.0.0.1:"_qs + QString::number(silent.serverPort());
    m_app.settings.mail.mailFrom = u"desk@example.com"_qs;
    m_app.settings.mail.sendTo = u"trader@example.com"_qs;
    m_app.smtp.setTimeouts(3'600'000, 3'600'000);
}

bool CycleTest::runFrom(const QDateTime& start, const std::function<bool()>& stopWhen, const QDateTime& limit)
{
    SimulatedClock& sim = simulateClock(start, m_clockZone);
    m_app.engine.start();
    const bool reached
        = sim.runUntil([&] { return stopWhen() || m_app.engine.state() == MonitoringSession::State::Idle; },
            limit.isValid() ? limit : start.addDays(14));
    const bool stopped = reached && stopWhen();
    m_app.engine.shutdown();
    return stopped;
}

QByteArray makeHistory(const QDate& today, int days, double base)
{
    QByteArray text = "Date,Open,High,Low,Close,Volume,Adj Close\n";
    QDate day = today;
    for (int i = 0; i < days; ++i) {
        do
            day = day.addDays(-1);
        while (day.dayOfWeek() > 5);
        const double close = base + 0.5 * std::sin(i / 5.0);
        text += day.toString(u"yyyy-MM-dd"_qs).toLatin1() + ',' + QByteArray::number(close - 0.05, 'f', 2)
            + ',' + QByteArray::number(close + 0.2, 'f', 2) + ',' + QByteArray::number(close - 0.2, 'f', 2)
            + ',' + QByteArray::number(close, 'f', 2) + ",1000," + QByteArray::number(close, 'f', 2) + '\n';
    }
    return text;
}

QByteArray makeQuote(const QString& symbol, double last, double open, double high, double low, qint64 volume)
{
    return '"' + symbol.toLatin1() + "\"," + QByteArray::number(last, 'f', 2)
        + ",\"12/7/2026\",\"10:00am\",+0.10," + QByteArray::number(open, 'f', 2) + ','
        + QByteArray::number(high, 'f', 2) + ',' + QByteArray::number(low, 'f', 2) + ','
        + QByteArray::number(volume) + "\r\n";
}

QString quoteTarget(const QString& symbol)
{
    return u"/download/quotes.csv?format=sl&ext=.csv&symbols="_qs + symbol;
}

QString historyTarget(const QString& symbol, const QDate& today)
{
    const QDate from = today.addDays(-365);
    return u"/table.csv?s=%1&a=%2&b=%3&c=%4&d=%5&e=%6&f=%7&g=d&Ignore=.csv"_qs.arg(symbol)
        .arg(from.month())
        .arg(from.day())
        .arg(from.year())
        .arg(today.month())
        .arg(today.day())
        .arg(today.year());
}
