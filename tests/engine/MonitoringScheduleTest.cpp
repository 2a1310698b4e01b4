#include "CycleFixture.h"

#include "engine/log/LogTexts.h"

using namespace tradevane;

namespace {

// 7 December 2026 is a Monday.
QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}

class MonitoringSchedule : public CycleTest
{
protected:
    QDateTime firstTime(const QString& status) const
    {
        const auto found = m_window.statuses(status);
        return found.isEmpty() ? QDateTime() : found.first().when;
    }
    bool seen(const QString& status, int times = 1) const
    {
        return m_window.statuses(status).size() >= times;
    }

    // When the trading day begins after START at `pressed`.
    QDateTime dayBeginsAfter(const QDateTime& pressed)
    {
        m_window.statusHistory.clear();
        if (!runFrom(pressed, [&] { return seen(u"Processing Started"_qs); }))
            return {};
        return firstTime(u"Processing Started"_qs);
    }
};

TEST_F(MonitoringSchedule, StartBeforeInsideAndAfterTheTradingHours)
{
    schedule(9, 30, 16, 0, 5);
    // Before the start time the day begins at the start time; inside the hours at once; after
    // the stop time at the next weekday's start time.
    EXPECT_EQ(dayBeginsAfter(at(7, 9, 0)), at(7, 9, 30)); // Monday
    EXPECT_EQ(dayBeginsAfter(at(7, 9, 45)), at(7, 9, 45));
    EXPECT_EQ(dayBeginsAfter(at(7, 15, 59, 30)), at(7, 15, 59, 30));
    EXPECT_EQ(dayBeginsAfter(at(7, 16, 0)), at(8, 9, 30));
    EXPECT_EQ(dayBeginsAfter(at(10, 23, 0)), at(11, 9, 30)); // Thursday night: Friday
    EXPECT_EQ(dayBeginsAfter(at(11, 10, 5)), at(11, 10, 5)); // Friday
    EXPECT_EQ(firstTime(u"Awaiting Start Time - 9:30"_qs), at(11, 10, 5));
    EXPECT_EQ(m_window.frequency, u" 5 Minute(s)"_qs);

    // A start time of 9:05 from 10:00 begins at once too (today the hours were never compared
    // with the minutes apart).
    schedule(9, 5, 16, 0, 5);
    EXPECT_EQ(dayBeginsAfter(at(8, 10, 0)), at(8, 10, 0));
}

TEST_F(MonitoringSchedule, WeekendsAreSatOutUntilMonday)
{
    schedule(9, 5, 16, 0, 5);
    ASSERT_TRUE(runFrom(at(12, 10, 0), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Awaiting Monday open"_qs), at(12, 10, 0));
    EXPECT_EQ(firstTime(u"Awaiting Start Time - 9:05"_qs), at(14, 0, 0));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(14, 9, 5));
    EXPECT_TRUE(log().startsWith(LogText::kWeekendSaturday + u"\r\n\r\n"_qs));

    m_app.log.eraseLog(1);
    m_window.statusHistory.clear();
    ASSERT_TRUE(runFrom(at(13, 23, 59, 59), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(14, 9, 5));
    EXPECT_TRUE(log().contains(LogText::kWeekendSunday + u"\r\n"_qs));

    // Friday after the stop hour counts as the weekend.
    m_app.log.eraseLog(1);
    m_window.statusHistory.clear();
    ASSERT_TRUE(runFrom(at(11, 16, 10), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Awaiting Monday Open"_qs), at(11, 16, 10));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(14, 9, 5));
    EXPECT_TRUE(log().contains(LogText::kWeekendFriday + u"\r\n"_qs));
}

TEST_F(MonitoringSchedule, TheStopTimeIsATimeOfDay)
{
    // Stop 16:45: the set of 17:00 is past it, though its minute is not (sets used to run on
    // through the evening here).
    schedule(16, 0, 16, 45, 30);
    ASSERT_TRUE(runFrom(at(9, 15, 59), [&] { return seen(u"Awaiting Start Time - 16:00"_qs, 2); }));
    const auto sets = m_window.statuses(u"Downloading Quotes"_qs);
    ASSERT_EQ(sets.size(), 3);
    EXPECT_EQ(sets[2].when.time(), QTime(17, 0));
    EXPECT_EQ(m_window.statuses(u"Awaiting Start Time - 16:00"_qs).last().when, at(9, 17, 0));

    // Stop 16:30 and a set at 16:30: that is the last one.
    m_window.statusHistory.clear();
    schedule(16, 0, 16, 30, 10);
    ASSERT_TRUE(runFrom(at(9, 15, 59), [&] { return seen(u"Awaiting Start Time - 16:00"_qs, 2); }));
    EXPECT_EQ(m_window.statuses(u"Downloading Quotes"_qs).size(), 4); // 16:00, 16:10, 16:20, 16:30
}

TEST_F(MonitoringSchedule, StopDuringAWaitLogsOnlyTheStopLines)
{
    schedule(9, 30, 16, 0, 5);
    SimulatedClock& sim = simulateClock(at(9, 8, 0));
    m_app.engine.start();
    ASSERT_TRUE(sim.runUntil([&] { return seen(u"Awaiting Start Time - 9:30"_qs); }, at(9, 9, 0)));
    m_app.engine.stop();
    EXPECT_EQ(m_app.engine.state(), MonitoringSession::State::Idle);
    EXPECT_EQ(sim.alarmsWaiting(), 0);
    EXPECT_EQ(log(), LogText::kWaitingForStart + u"9:30\r\n"_qs + stopLines());
    EXPECT_EQ(m_window.statusHistory.last().text, u"Processing Stopped"_qs);
    EXPECT_EQ(m_window.stoppedLooks, 1);
}

TEST(MonitoringTexts, NextDownloadAndStartTimes)
{
    EXPECT_EQ(MonitoringSession::nextDownloadText(QTime(10, 58, 20), 5), u"Next download @ 11:03:20"_qs);
    EXPECT_EQ(MonitoringSession::nextDownloadText(QTime(9, 5, 7), 1), u"Next download @ 9:06:07"_qs);
    EXPECT_EQ(MonitoringSession::nextDownloadText(QTime(14, 30, 0), 30), u"Next download @ 15:00:00"_qs);
    EXPECT_EQ(MonitoringSession::startTimeText(9, 5), u"9:05"_qs);
    EXPECT_EQ(MonitoringSession::startTimeText(14, 30), u"14:30"_qs);
    EXPECT_EQ(MonitoringSession::nextQuoteSetNumber(31999), 32000);
    EXPECT_EQ(MonitoringSession::nextQuoteSetNumber(32000), 2);
}

TEST(MonitoringTexts, PlausibleQuotesStartWithDigits)
{
    Quote q {u"ABC"_qs, u"10.5"_qs, {}, {}, {}, u"10.1"_qs, u"10.9"_qs, u"10.0"_qs, u"4200"_qs};
    EXPECT_TRUE(MonitoringSession::isPlausible(q));
    q.last = u"N/A"_qs;
    EXPECT_FALSE(MonitoringSession::isPlausible(q));
    q.last.clear();
    EXPECT_FALSE(MonitoringSession::isPlausible(q));
    q.last = u"10.5"_qs;
    q.open.clear();
    EXPECT_FALSE(MonitoringSession::isPlausible(q)); // Open must be there, though it need not be a number
    q.open = u"x"_qs;
    EXPECT_TRUE(MonitoringSession::isPlausible(q));
    q.high = u" 10.9"_qs;
    EXPECT_FALSE(MonitoringSession::isPlausible(q));
}

} // namespace
