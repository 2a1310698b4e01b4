#include "TestSupport.h"

#include "engine/indicators/Indicators.h"
#include "engine/log/ActivityLog.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "engine/session/MonitoringSession.h"
#include "platform/ProgramEnd.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTimer>

using namespace tradevane;

void ProgramTest::SetUp()
{
    ASSERT_TRUE(m_folder.isValid());
    setProgramFolder(m_folder.path());
    m_boxes.clear();
    setProgramEndHandler([this] { ++m_endRequests; });
}

void ProgramTest::TearDown()
{
    setProgramEndHandler({});
    m_app.engine.shutdown();
    Clock::install(nullptr); // the simulated clock itself goes after the program's objects
    setProgramFolder({});
}

QString ProgramTest::path(const QString& name) const
{
    return QDir(m_folder.path()).filePath(name);
}

QByteArray ProgramTest::readFile(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void ProgramTest::writeFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void ProgramTest::copyResource(const QString& name) const
{
    const QString source = QDir(QStringLiteral(TRADEVANE_SOURCE_DIR "/resources")).filePath(name);
    QFile::remove(path(name));
    ASSERT_TRUE(QFile::copy(source, path(name))) << source.toStdString();
}

QString ProgramTest::log() const
{
    return readLogFile();
}

SimulatedClock& ProgramTest::simulateClock(const QDateTime& start, const QTimeZone& zone)
{
    // One clock a test: what the program still holds of it (a finished alarm) stays valid.
    if (m_clock && m_clock->zone() == zone) {
        m_clock->set(start);
        return *m_clock;
    }
    m_clock = std::make_unique<SimulatedClock>(start, zone);
    m_clock->busy = [this] { return m_app.hub.transfersRunning() > 0; };
    Clock::install(m_clock.get());
    return *m_clock;
}

StockContext StockTest::stock(int number)
{
    const auto i = static_cast<std::size_t>(number - 1);
    return {StockIndex::fromNumber(number), m_settings[i], m_states[i], m_app.log};
}

void StockTest::runIndicators(int number)
{
    MonitoringSession::storeTodaysRow(state(number));
    StockContext s = stock(number);
    calcIndicators(s);
}

namespace {

QString downloaded(const std::function<std::unique_ptr<Pending>(std::function<void(const QString&)>)>& start)
{
    QString body;
    bool ended = false;
    const auto download = start([&](const QString& b) {
        body = b;
        ended = true;
    });
    EXPECT_TRUE(runUntil([&] { return ended; }, 30000));
    return body;
}

} // namespace

QString downloadedHistory(
    const StockContext& stock, PriceSource& source, const QString& symbol, const HistoryDates& dates)
{
    return downloaded(
        [&](auto done) { return downloadHistory(stock, source, symbol, dates, std::move(done)); });
}

QString downloadedQuote(const StockContext& stock, PriceSource& source, const QString& symbol)
{
    return downloaded([&](auto done) { return downloadQuote(stock, source, symbol, std::move(done)); });
}

bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    check.start(1);
    loop.exec();
    return done();
}

int unusedLoopbackPort()
{
    QTcpServer probe; // takes a free port and gives it back
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

bool makeTestCertificate(const QString& folder, const QString& host, QString* error)
{
    QString names = u"subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1"_qs;
    if (!host.isEmpty() && host != u"127.0.0.1"_qs && host != u"::1"_qs)
        names += (host.contains(QRegularExpression(u"^[0-9.:]+$"_qs)) ? u",IP:"_qs : u",DNS:"_qs) + host;
    const QDir dir(folder);
    QProcess openssl;
    openssl.start(u"openssl"_qs,
        {u"req"_qs, u"-x509"_qs, u"-newkey"_qs, u"ec"_qs, u"-pkeyopt"_qs, u"ec_paramgen_curve:prime256v1"_qs,
            u"-nodes"_qs, u"-days"_qs, u"2"_qs, u"-subj"_qs, u"/CN=localhost"_qs, u"-addext"_qs, names,
            u"-keyout"_qs, dir.filePath(u"key.pem"_qs), u"-out"_qs, dir.filePath(u"cert.pem"_qs)});
    if (!openssl.waitForFinished(15000) || openssl.exitCode() != 0) {
        *error = u"openssl could not make a certificate: "_qs
            + QString::fromUtf8(openssl.readAllStandardError());
        return false;
    }
    return true;
}

TimeSettings tradingHours(int startHour, int startMinute, int stopHour, int stopMinute, int interval)
{
    TimeSettings t;
    t.startHour = t.quoteStartHour = static_cast<qint16>(startHour);
    t.startMinute = t.quoteStartMinute = static_cast<qint16>(startMinute);
    t.stopHour = static_cast<qint16>(stopHour);
    t.stopMinute = static_cast<qint16>(stopMinute);
    t.quoteInterval = static_cast<qint16>(interval);
    return t;
}

QByteArray fromHex(const char* hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

testing::AssertionResult oneBox(const QList<MsgBoxRequest>& shown, const QString& title, const QString& text)
{
    if (shown.size() != 1)
        return testing::AssertionFailure() << shown.size() << " boxes shown, not one";
    if (shown[0].title != title || shown[0].text != text)
        return testing::AssertionFailure()
            << "box \"" << shown[0].title.toStdString() << "\": \"" << shown[0].text.toStdString() << '"';
    return testing::AssertionSuccess();
}

testing::AssertionResult oneFileErrorBox(
    const QList<MsgBoxRequest>& shown, const QString& title, const QStringList& lines)
{
    if (shown.size() != 1)
        return testing::AssertionFailure() << shown.size() << " boxes shown, not one";
    const QStringList text = shown[0].text.split(u"\r\n"_qs);
    if (shown[0].title != title || !text[0].startsWith(u"FILE ERROR:"_qs) || text.mid(1) != lines)
        return testing::AssertionFailure()
            << "box \"" << shown[0].title.toStdString() << "\": \"" << shown[0].text.toStdString() << '"';
    return testing::AssertionSuccess();
}
