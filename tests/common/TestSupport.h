#pragma once

#include "MsgBoxRecorder.h"
#include "SimulatedClock.h"

#include "engine/marketdata/PriceSource.h"
#include "engine/session/AppServices.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

using namespace tradevane;

// A fresh program: an empty temporary program folder, the program's objects as main() builds
// them (without a sound device), message boxes recorded and answered from a queue, a request to
// end the program counted. The seams a test may change (the clock, the program folder) are put
// back afterwards.
class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const;
    QByteArray readFile(const QString& name) const;
    void writeFile(const QString& name, const QByteArray& bytes) const;
    // Copies a file that ships with the program (bitmaps, sounds, documents) into the folder.
    void copyResource(const QString& name) const;
    // The activity log as the program wrote it.
    QString log() const;

    // Replaces the clock by a simulated one starting at `start`, read in `zone`; it waits while
    // the program's transfers run. Called again, it sets the same clock to `start`.
    SimulatedClock& simulateClock(
        const QDateTime& start, const QTimeZone& zone = QTimeZone::systemTimeZone());

    QTemporaryDir m_folder;
    MsgBoxRecorder m_boxes;
    std::unique_ptr<SimulatedClock> m_clock;
    AppServices m_app;
    int m_endRequests = 0; // times the program asked to end (the test runner goes on)
};

// A fresh program and the ten stocks' settings and states as the engine holds them.
class StockTest : public ProgramTest
{
protected:
    StockContext stock(int number);
    StockState& state(int number) { return m_states[static_cast<std::size_t>(number - 1)]; }
    // Today's row and the indicators, as the engine makes them for a usable quote.
    void runIndicators(int number);

    std::array<AlertSettings, kStockCount> m_settings {};
    std::array<StockState, kStockCount> m_states {};
};

// The engine's download of a stock's history over `dates`, or of its quote, from `source`, run to
// its end: the text it hands to the parser (empty when it failed).
QString downloadedHistory(
    const StockContext& stock, PriceSource& source, const QString& symbol, const HistoryDates& dates);
QString downloadedQuote(const StockContext& stock, PriceSource& source, const QString& symbol);

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QDateTime& t, std::ostream* os)
{
    *os << t.toString(Qt::ISODateWithMs).toStdString() << ' ' << t.timeZone().id().toStdString();
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"' << bytes.toPercentEncoding(" !#$&'()*+,/:;=?@[]{}<>|^\"~").toStdString() << '"';
}

// Trading hours from start to stop (the quote start equal to the start), a set every `interval` minutes.
TimeSettings tradingHours(int startHour, int startMinute, int stopHour, int stopMinute, int interval = 5);

// Bytes from a hexadecimal text such as "FF FF 00 41".
QByteArray fromHex(const char* hex);

// A loopback port on which nothing listens.
int unusedLoopbackPort();

// Makes a self-signed certificate (cert.pem, key.pem in `folder`) valid for localhost, 127.0.0.1,
// ::1 and `host`; false with `error` set when openssl fails.
bool makeTestCertificate(const QString& folder, const QString& host, QString* error);

// Exactly one message box was shown, with this title and text.
testing::AssertionResult oneBox(const QList<MsgBoxRequest>& shown, const QString& title, const QString& text);
// Runs the event loop until `done` holds (checked every millisecond) or `timeoutMs` has passed;
// false on the time-out. Unlike QTest::qWaitFor it never sleeps, so a transfer of many steps
// takes no longer than it would in the program.
bool runUntil(const std::function<bool()>& done, int timeoutMs = 10000);

// Exactly one message box was shown, with this title and a "FILE ERROR:" message whose lines
// after the first are `lines`.
testing::AssertionResult oneFileErrorBox(
    const QList<MsgBoxRequest>& shown, const QString& title, const QStringList& lines);
