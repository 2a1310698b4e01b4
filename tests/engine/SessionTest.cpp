#include "CycleFixture.h"
#include "LoopbackSmtpServer.h"

#include "engine/log/LogTexts.h"

#include <QTcpServer>

using namespace tradevane;

namespace {

using Answer = LoopbackHttpServer::Answer;

// The engine driven as the window drives it (start, stop), watched through its signals.
class Session : public CycleTest
{
protected:
    void SetUp() override
    {
        CycleTest::SetUp();
        schedule(10, 0, 16, 0, 5);
        watchAbcAbove12();
        simulateClock(QDateTime(kMonday, QTime(9, 0)));
    }

    bool runUntil(const std::function<bool()>& done)
    {
        return m_clock->runUntil(done, QDateTime(kMonday, QTime(17, 0)));
    }
    bool runUntilState(State state)
    {
        return runUntil([&] { return m_app.engine.state() == state; });
    }
    bool logged(const QString& text) const { return log().contains(text); }
};

TEST_F(Session, StartOutsideIdleChangesNothing)
{
    m_app.engine.start();
    m_app.engine.start(); // during the connection check, while the window still looks stopped
    ASSERT_TRUE(runUntilState(State::WaitingStart));
    const QString before = log();
    const int statuses = static_cast<int>(m_window.statusHistory.size());
    m_app.engine.start();
    EXPECT_EQ(m_app.engine.state(), State::WaitingStart);
    EXPECT_EQ(log(), before);
    EXPECT_EQ(m_window.statusHistory.size(), statuses);
    EXPECT_EQ(m_window.runningLooks, 1);
    EXPECT_EQ(m_clock->alarmsWaiting(), 1);
}

// STOP while a quote server keeps silent: the set ends where it stands, nothing follows the stop
// lines, and START at once runs a clean day that reaches its first quote set.
TEST_F(Session, StopDuringAHangingDownloadThenStartAtOnce)
{
    m_http.serve(quoteTarget(u"abc"_qs), {.mode = Answer::Mode::Hang});
    m_clock->set(QDateTime(kMonday, QTime(10, 0)));
    m_app.engine.start();
    ASSERT_TRUE(runUntil(
        [&] { return m_app.engine.state() == State::QuoteSet && m_app.hub.transfersRunning() == 1; }));
    m_app.engine.stop();
    EXPECT_EQ(m_app.engine.state(), State::Idle);
    EXPECT_EQ(m_app.hub.transfersRunning(), 0);
    EXPECT_EQ(m_clock->alarmsWaiting(), 0);
    EXPECT_TRUE(log().endsWith(u"Historic Data Downloaded\r\n"_qs + stopLines())) << log().toStdString();
    EXPECT_EQ(m_window.states.last(), State::Idle);

    // Nothing more comes of the cancelled set, however long the program runs on.
    const QString stopped = log();
    m_clock->runUntil([] { return false; }, QDateTime(kMonday, QTime(17, 0)), 300);
    EXPECT_EQ(log(), stopped);

    m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 12.5, 12, 12.6, 11.9, 5000));
    m_app.engine.start();
    ASSERT_TRUE(runUntil([&] { return logged(u"Email message"_qs); }));
    const QString day = log().mid(stopped.size());
    EXPECT_TRUE(day.contains(u"Quote set #: 1 downloded"_qs)) << day.toStdString();
    EXPECT_TRUE(day.contains(u"ABC    : Price climbed above $12.00"_qs)) << day.toStdString();
    EXPECT_FALSE(stock(1).stockFailed);
}

// STOP while the alert mail goes to a server that never answers: the mail's one line, written
// before stop() returns, says it was cut off, then come the stop lines.
TEST_F(Session, StopDuringAMailLogsOneFailureLine)
{
    QTcpServer silent;
    ASSERT_NO_FATAL_FAILURE(mailToSilentServer(silent));
    m_clock->set(QDateTime(kMonday, QTime(10, 0)));
    m_app.engine.start();
    ASSERT_TRUE(runUntil([&] { return m_window.statuses(u"Sending Email"_qs).size() == 1; }));
    ASSERT_EQ(m_app.hub.transfersRunning(), 1);
    m_app.engine.stop();
    EXPECT_EQ(m_app.hub.transfersRunning(), 0);
    EXPECT_TRUE(log().endsWith(
        longTimeText(QTime(10, 0)) + u" Email message failed: sending cancelled\r\n"_qs + stopLines()))
        << log().toStdString();
    EXPECT_EQ(log().count(u"Email message"_qs), 1);
    EXPECT_FALSE(log().contains(QString(75, u'*')));
    EXPECT_FALSE(m_app.smtp.busy()); // free for the next mail
}

// The clock set while the engine waits: each wait is what its rule gives on the new time.
TEST_F(Session, AClockSetForwardOrBackMovesTheWaits)
{
    m_app.engine.start();
    ASSERT_TRUE(runUntilState(State::WaitingStart));
    m_clock->set(QDateTime(kMonday, QTime(10, 30)));
    ASSERT_TRUE(runUntil([&] { return !m_window.statuses(u"Processing Started"_qs).isEmpty(); }));
    EXPECT_EQ(m_window.statuses(u"Processing Started"_qs).first().when, QDateTime(kMonday, QTime(10, 30)));

    // The set of 10:30 is done; the next is due at minute 35, second 0. Set back an hour, the
    // clock meets minute 35 again at 9:35, not at 10:35.
    ASSERT_TRUE(runUntilState(State::WaitingNextSet));
    ASSERT_EQ(m_window.statusHistory.last().text, u"Next download @ 10:35:00"_qs);
    m_clock->set(QDateTime(kMonday, QTime(9, 31)));
    ASSERT_TRUE(runUntil([&] { return m_window.statuses(u"Downloading Quotes"_qs).size() == 2; }));
    EXPECT_EQ(m_window.statuses(u"Downloading Quotes"_qs).last().when, QDateTime(kMonday, QTime(9, 35)));
}

// A Friday on which the clocks jump from 02:00 to 03:00: the sets follow the wall clock through the
// missing hour, and no stock waits out an hour in its pause.
TEST_F(Session, ATradingDayThroughASkippedHour)
{
    const QByteArray id("Asia/Jerusalem");
    ASSERT_TRUE(QTimeZone::isTimeZoneIdAvailable(id));
    const QTimeZone jerusalem(id);
    const QDate friday(2026, 3, 27);
    m_http.clear();
    m_http.serve(historyTarget(u"abc"_qs, friday), makeHistory(friday, 252, 10));
    m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 10.5, 10, 10.6, 9.9, 500));
    schedule(1, 30, 4, 0, 15);
    m_clock.reset();
    simulateClock(QDateTime(friday, QTime(1, 20, 0, 600), jerusalem), jerusalem);
    m_app.engine.start();
    ASSERT_TRUE(runUntil([&] { return m_window.statusesStartingWith(u"Next download"_qs) == 4; }));
    QStringList times;
    for (const auto& set : m_window.statuses(u"Downloading Quotes"_qs))
        times << set.when.toTimeZone(jerusalem).toString(u"HH:mm"_qs);
    EXPECT_EQ(times, QStringList({u"01:30"_qs, u"01:45"_qs, u"03:00"_qs, u"03:15"_qs}));
    for (const auto& set : m_window.statuses(u"Downloading Quotes"_qs)) {
        const auto done = std::find_if(m_window.statusHistory.cbegin(), m_window.statusHistory.cend(),
            [&](const auto& s) { return s.when >= set.when && s.text.startsWith(u"Next download"_qs); });
        ASSERT_NE(done, m_window.statusHistory.cend());
        EXPECT_LE(set.when.msecsTo(done->when), 10 * 750) << "ten pauses at most";
    }
}

} // namespace
