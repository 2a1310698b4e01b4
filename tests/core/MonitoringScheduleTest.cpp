#include "CycleFixture.h"

#include "core/LogTexts.h"
#include "notify/UpdateLog.h"

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
        const auto found = window.statuses(status);
        return found.isEmpty() ? QDateTime() : found.first().when;
    }
    bool seen(const QString& status, int times = 1) const { return window.statuses(status).size() >= times; }
};

TEST_F(MonitoringSchedule, StartTimeIsReachedByHourThenMinute)
{
    schedule(9, 30, 16, 0, 5);
    // 09:45 with a start of 9:30: the hour already matches, so the wait is for minute 30: 10:30.
    ASSERT_TRUE(runFrom(at(9, 9, 45), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(9, 10, 30));
    EXPECT_EQ(firstTime(u"Awaiting Start Time - 9:30"_qs), at(9, 9, 45));
    EXPECT_EQ(window.frequency, u" 5 Minute(s)"_qs);
    EXPECT_TRUE(log().startsWith(LogText::WaitingForStart + u"9:30\r\n"_qs));

    // From 11:00 the next 9:30 is the next day's.
    window.statusHistory.clear();
    ASSERT_TRUE(runFrom(at(9, 11, 0), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(10, 9, 30));
}

TEST_F(MonitoringSchedule, WeekendsAreSatOutUntilMonday)
{
    schedule(9, 5, 16, 0, 5);
    ASSERT_TRUE(runFrom(at(12, 10, 0), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Awaiting Monday open"_qs), at(12, 10, 0));
    EXPECT_EQ(firstTime(u"Awaiting Start Time - 9:05"_qs), at(14, 0, 0));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(14, 9, 5));
    EXPECT_TRUE(log().startsWith(LogText::WeekendSaturday + u"\r\n\r\n"_qs));

    EraseLog(2);
    window.statusHistory.clear();
    ASSERT_TRUE(runFrom(at(13, 23, 59, 59), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(14, 9, 5));
    EXPECT_TRUE(log().contains(LogText::WeekendSunday + u"\r\n"_qs));

    // Friday after the stop hour counts as the weekend.
    EraseLog(2);
    window.statusHistory.clear();
    ASSERT_TRUE(runFrom(at(11, 16, 10), [&] { return seen(u"Processing Started"_qs); }));
    EXPECT_EQ(firstTime(u"Awaiting Monday Open"_qs), at(11, 16, 10));
    EXPECT_EQ(firstTime(u"Processing Started"_qs), at(14, 9, 5));
    EXPECT_TRUE(log().contains(LogText::WeekendFriday + u"\r\n"_qs));
}

TEST_F(MonitoringSchedule, FridaysLastSetLeadsIntoTheWeekend)
{
    schedule(15, 50, 16, 0, 5);
    ASSERT_TRUE(runFrom(at(11, 15, 49), [&] { return seen(u"Processing Started"_qs, 2); }));
    EXPECT_EQ(window.statuses(u"Downloading Quotes"_qs).size(), 3); // 15:50, 15:55, 16:00
    EXPECT_TRUE(seen(u"Awaiting Monday Open"_qs));
    EXPECT_EQ(window.statuses(u"Processing Started"_qs).last().when, at(14, 15, 50));
}

TEST_F(MonitoringSchedule, StopHourAndMinuteAreComparedApart)
{
    // Stop 16:30: a set ending at 17:10 has hour >= 16 but minute 10 < 30, so another set runs.
    schedule(17, 0, 16, 30, 10);
    ASSERT_TRUE(runFrom(at(9, 16, 59), [&] { return seen(u"Awaiting Start Time - 17:00"_qs, 2); }));
    const auto sets = window.statuses(u"Downloading Quotes"_qs);
    ASSERT_EQ(sets.size(), 4);
    EXPECT_EQ(sets[1].when.time().minute(), 10);
    EXPECT_EQ(sets[3].when.time().minute(), 30);
}

TEST_F(MonitoringSchedule, FirstSetOfTheFirstDayFollowsTheHistoryAtOnce)
{
    schedule(9, 30, 10, 0, 15);
    ASSERT_TRUE(runFrom(at(7, 9, 29, 50), [&] { return seen(u"Downloading Quotes"_qs, 4); }));
    const auto histories = window.statuses(u"D/L Historic Data"_qs);
    const auto sets = window.statuses(u"Downloading Quotes"_qs);
    ASSERT_EQ(histories.size(), 2);
    // First day: the set follows the history within the same second.
    EXPECT_LE(histories[0].when.secsTo(sets[0].when), 1);
    EXPECT_EQ(sets[1].when.time().minute(), 45);
    // Second day: the set counter goes on, so the first set waits one interval.
    EXPECT_EQ(sets[3].when.date(), QDate(2026, 12, 8));
    const QTime historyDone = histories[1].when.time();
    EXPECT_EQ(
        sets[3].when.time(), QTime(historyDone.hour(), historyDone.minute() + 15, historyDone.second()));
    EXPECT_TRUE(seen(MonitoringCycle::NextDownloadText(historyDone, 15)));
    EXPECT_TRUE(log().contains(u" Quote set #: 4 downloded"_qs));
}

TEST_F(MonitoringSchedule, StopEndsAWaitAtOnceWithoutFurtherLogLines)
{
    schedule(9, 30, 16, 0, 5);
    ASSERT_TRUE(runFrom(at(9, 8, 0), [&] { return seen(u"Awaiting Start Time - 9:30"_qs); }));
    EXPECT_FALSE(cycle->IsRunning());
    EXPECT_EQ(log(), LogText::WaitingForStart + u"9:30\r\n"_qs);
}

TEST(MonitoringTexts, NextDownloadAndStartTimes)
{
    EXPECT_EQ(MonitoringCycle::NextDownloadText(QTime(10, 58, 20), 5), u"Next download @ 11:03:20"_qs);
    EXPECT_EQ(MonitoringCycle::NextDownloadText(QTime(9, 5, 7), 1), u"Next download @ 9:06:07"_qs);
    EXPECT_EQ(MonitoringCycle::NextDownloadText(QTime(14, 30, 0), 30), u"Next download @ 15:00:00"_qs);
    EXPECT_EQ(MonitoringCycle::StartTimeText(9, 5), u"9:05"_qs);
    EXPECT_EQ(MonitoringCycle::StartTimeText(14, 30), u"14:30"_qs);
    EXPECT_EQ(MonitoringCycle::NextQuoteSetNumber(31999), 32000);
    EXPECT_EQ(MonitoringCycle::NextQuoteSetNumber(32000), 2);
}

TEST(MonitoringTexts, PlausibleQuotesStartWithDigits)
{
    Quote q {u"ABC"_qs, u"10.5"_qs, {}, {}, {}, u"10.1"_qs, u"10.9"_qs, u"10.0"_qs, u"4200"_qs};
    EXPECT_TRUE(MonitoringCycle::IsPlausible(q));
    q.Last = u"N/A"_qs;
    EXPECT_FALSE(MonitoringCycle::IsPlausible(q));
    q.Last.clear();
    EXPECT_FALSE(MonitoringCycle::IsPlausible(q));
    q.Last = u"10.5"_qs;
    q.Open.clear();
    EXPECT_FALSE(MonitoringCycle::IsPlausible(q)); // Open must be there, though it need not be a number
    q.Open = u"x"_qs;
    EXPECT_TRUE(MonitoringCycle::IsPlausible(q));
    q.High = u" 10.9"_qs;
    EXPECT_FALSE(MonitoringCycle::IsPlausible(q));
}

} // namespace
