#include "TestSupport.h"

#include "engine/session/WaitRules.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace tradevane;

namespace {

// The wall clock of a moment, as the poller below reads it.
struct Wall
{
    QDate date;
    int hour, minute, second;
    int minuteOfDay() const { return hour * 60 + minute; }
};

// The rules as written, checked on a clock that steps one second at a time: the first moment from
// `start` at which the wall clock satisfies `holds`. It reads the wall clock by its own arithmetic
// from the zone's offsets (looked up again at each of the zone's changes), not through the date
// and time arithmetic the rules use.
QDateTime poll(const QDateTime& start, const std::function<bool(const Wall&)>& holds, int maxDays = 4)
{
    const QTimeZone zone = start.timeZone();
    qint64 epoch = start.toSecsSinceEpoch();
    const qint64 end = epoch + qint64(maxDays) * 86400;
    while (epoch < end) {
        const QDateTime now = QDateTime::fromSecsSinceEpoch(epoch, zone);
        const qint64 offset = zone.offsetFromUtc(now);
        const QTimeZone::OffsetData next = zone.nextTransition(now);
        const qint64 until = next.atUtc.isValid() ? std::min(end, next.atUtc.toSecsSinceEpoch()) : end;
        for (; epoch < until; ++epoch) {
            const qint64 wall = epoch + offset;
            const qint64 day = wall >= 0 ? wall / 86400 : (wall - 86399) / 86400;
            const int second = static_cast<int>(wall - day * 86400);
            const Wall w {QDate(1970, 1, 1).addDays(day), second / 3600, second / 60 % 60, second % 60};
            if (holds(w))
                return QDateTime::fromSecsSinceEpoch(epoch, zone);
        }
    }
    return {};
}

// Days on which the clocks change, in zones that change at different hours and weekdays: a
// Friday change (Jerusalem in spring), a change at midnight (Cairo: a Friday without its first
// hour; an hour repeated at the end of a Thursday), and the usual Sunday night ones.
struct Transition
{
    const char* zone;
    QDate day;
};
inline void PrintTo(const Transition& t, std::ostream* os)
{
    *os << t.zone << ' ' << t.day.toString(Qt::ISODate).toStdString();
}

const Transition kTransitions[] = {
    {"Asia/Jerusalem", {2026, 3, 27}}, // Friday 02:00 -> 03:00
    {"Asia/Jerusalem", {2026, 10, 25}}, // Sunday 02:00 -> 01:00
    {"Africa/Cairo", {2026, 4, 24}}, // Friday 00:00 -> 01:00
    {"Africa/Cairo", {2026, 10, 29}}, // Thursday 24:00 -> 23:00
    {"America/New_York", {2026, 3, 8}},
    {"America/New_York", {2026, 11, 1}},
    {"Europe/Berlin", {2026, 3, 29}},
    {"Europe/Berlin", {2026, 10, 25}},
};

// Starts around the day's change: every 23 minutes from six hours before it to six hours after.
QList<QDateTime> startsAround(const QDate& day, const QTimeZone& zone)
{
    const QDateTime change = zone.nextTransition(day.startOfDay(zone).addSecs(-3 * 3600)).atUtc;
    QList<QDateTime> starts;
    for (QDateTime t = change.addSecs(-6 * 3600); t < change.addSecs(6 * 3600); t = t.addSecs(23 * 60))
        starts << t.toTimeZone(zone);
    return starts;
}

class WaitRulesOnTransitionDays : public testing::TestWithParam<Transition>
{
protected:
    void SetUp() override
    {
        const QByteArray id(GetParam().zone);
        ASSERT_TRUE(QTimeZone::isTimeZoneIdAvailable(id)) << id.constData() << " is not in the zone database";
        m_zone = QTimeZone(id);
        // The zone database must know this change, or the day tests nothing.
        const QDateTime before = GetParam().day.startOfDay(m_zone).addSecs(-3600);
        const QDateTime after = GetParam().day.addDays(1).startOfDay(m_zone).addSecs(3600);
        ASSERT_NE(before.offsetFromUtc(), after.offsetFromUtc()) << id.constData();
    }

    QTimeZone m_zone;
};

// Trading hours that cover the change, and a start time inside the hour the change skips or
// repeats: the day begins at the first moment within the hours, as the poller finds it.
TEST_P(WaitRulesOnTransitionDays, StartMomentIsTheFirstMomentWithinTheHours)
{
    const TimeSettings schedules[] = {tradingHours(1, 30, 4, 0), tradingHours(2, 30, 16, 0),
        tradingHours(0, 0, 0, 30), tradingHours(23, 15, 23, 59)};
    for (const TimeSettings& time : schedules) {
        const int start = time.startHour * 60 + time.startMinute;
        const int stop = time.stopHour * 60 + time.stopMinute;
        for (const QDateTime& now : startsAround(GetParam().day, m_zone)) {
            const QDateTime expected = poll(now, [&](const Wall& w) {
                return w.date.dayOfWeek() <= 5 && w.minuteOfDay() >= start && w.minuteOfDay() < stop;
            });
            ASSERT_EQ(WaitRules::startMoment(now, time, {}), expected)
                << "from " << testing::PrintToString(now) << " start " << start << " stop " << stop;
        }
    }
}

TEST_P(WaitRulesOnTransitionDays, QuoteStartAndNextSetFollowTheWallClock)
{
    for (const QDateTime& now : startsAround(GetParam().day, m_zone)) {
        const TimeSettings time = tradingHours(2, 15, 16, 0);
        const QDateTime quoteStart = poll(now, [](const Wall& w) { return w.minuteOfDay() >= 2 * 60 + 15; });
        ASSERT_EQ(WaitRules::quoteStartMoment(now, time), quoteStart) << testing::PrintToString(now);

        for (const auto& [minute, second] : {std::pair {0, 0}, {30, 17}, {59, 59}}) {
            // The minute first, then the second: never more than an hour and a minute or so.
            const QDateTime inMinute = poll(
                now, [m = minute](const Wall& w) { return w.minute == m; }, 1);
            const QDateTime expected = poll(
                inMinute, [s = second](const Wall& w) { return w.second == s; }, 1);
            ASSERT_EQ(WaitRules::nextSetMoment(now, minute, second), expected)
                << testing::PrintToString(now) << " " << minute << ":" << second;
        }
    }
}

TEST_P(WaitRulesOnTransitionDays, APauseIsAtMostThreeQuartersOfASecond)
{
    for (const QDateTime& hour : startsAround(GetParam().day, m_zone)) {
        for (int ms : {0, 249, 250, 251, 600, 999}) {
            const QDateTime now = hour.addMSecs(ms).addSecs(1);
            const qint64 pause = now.msecsTo(WaitRules::pauseEnd(now));
            ASSERT_GE(pause, 0) << testing::PrintToString(now);
            ASSERT_LE(pause, 750) << testing::PrintToString(now);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, WaitRulesOnTransitionDays, testing::ValuesIn(kTransitions),
    [](const testing::TestParamInfo<Transition>& param) {
        return QString::fromLatin1(param.param.zone).replace(u'/', u'_').toStdString() + "_"
            + param.param.day.toString(u"MMMd"_qs).toStdString();
    });

// The time plus a quarter of a second, rounded to the whole second, a half to the even one.
TEST(PauseEnd, RoundsAQuarterSecondOnToTheNearestSecond)
{
    const QTimeZone utc = QTimeZone::utc();
    const QDateTime even(QDate(2026, 12, 7), QTime(10, 0, 2), utc);
    const QDateTime odd = even.addSecs(1);
    const struct
    {
        QDateTime now;
        qint64 pause;
    } cases[] = {{even, 0}, {even.addMSecs(249), 0}, {even.addMSecs(250), 0}, {odd.addMSecs(250), 750},
        {even.addMSecs(251), 749}, {even.addMSecs(999), 1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.now.msecsTo(WaitRules::pauseEnd(c.now)), c.pause) << testing::PrintToString(c.now);

    // Across midnight the pause ends in the next day.
    const QDateTime late(QDate(2026, 12, 7), QTime(23, 59, 59, 800), utc);
    EXPECT_EQ(WaitRules::pauseEnd(late), QDateTime(QDate(2026, 12, 8), QTime(0, 0), utc));
}

TEST(WeekendEnd, IsTheFirstMomentOfMonday)
{
    const QTimeZone newYork("America/New_York");
    EXPECT_EQ(WaitRules::weekendEnd(QDateTime(QDate(2026, 12, 11), QTime(16, 10), newYork)),
        QDateTime(QDate(2026, 12, 14), QTime(0, 0), newYork));
    EXPECT_EQ(WaitRules::weekendEnd(QDateTime(QDate(2026, 12, 13), QTime(23, 59, 59), newYork)),
        QDateTime(QDate(2026, 12, 14), QTime(0, 0), newYork));

    // A Monday whose midnight the clocks skip begins at one o'clock.
    const QByteArray tehran("Asia/Tehran");
    ASSERT_TRUE(QTimeZone::isTimeZoneIdAvailable(tehran));
    const QTimeZone iran(tehran);
    const QDateTime monday = WaitRules::weekendEnd(QDateTime(QDate(2021, 3, 20), QTime(12, 0), iran));
    EXPECT_EQ(monday.date(), QDate(2021, 3, 22));
    EXPECT_EQ(monday.time(), QTime(1, 0));
    EXPECT_EQ(monday.addSecs(-1).date(), QDate(2021, 3, 21));
}

TEST(WeekendAndStop, AreReadFromHourAndMinute)
{
    const QTimeZone utc = QTimeZone::utc();
    const TimeSettings time = tradingHours(9, 30, 16, 30);
    const auto at = [&](int day, int hour, int minute) {
        return QDateTime(QDate(2026, 12, day), QTime(hour, minute), utc);
    };
    EXPECT_FALSE(WaitRules::weekendAt(at(11, 15, 59), time)); // Friday before the stop hour
    EXPECT_TRUE(WaitRules::weekendAt(at(11, 16, 0), time)); // from the stop hour on
    EXPECT_TRUE(WaitRules::weekendAt(at(12, 10, 0), time));
    EXPECT_TRUE(WaitRules::weekendAt(at(13, 23, 59), time));
    EXPECT_FALSE(WaitRules::weekendAt(at(14, 0, 0), time));

    EXPECT_FALSE(WaitRules::stopTimeReached(at(9, 16, 29), time));
    EXPECT_TRUE(WaitRules::stopTimeReached(at(9, 16, 30), time));
    EXPECT_TRUE(WaitRules::stopTimeReached(at(9, 17, 0), time)); // not only in the stop hour
    EXPECT_FALSE(WaitRules::stopTimeReached(at(9, 9, 45), time));
}

// After a trading day the next one is on a later weekday, even when the hours still hold
// (a stop time not after the start time leaves the start minute itself).
TEST(StartMoment, TheNextTradingDayComesAfterTheLastOne)
{
    const QTimeZone utc = QTimeZone::utc();
    const QDateTime thursday(QDate(2026, 12, 10), QTime(9, 30, 20), utc);
    const TimeSettings sameMinute = tradingHours(9, 30, 9, 30);
    EXPECT_EQ(WaitRules::startMoment(thursday, sameMinute, {}), thursday);
    EXPECT_EQ(WaitRules::startMoment(thursday, sameMinute, thursday.date()),
        QDateTime(QDate(2026, 12, 11), QTime(9, 30), utc));
    EXPECT_EQ(
        WaitRules::startMoment(thursday.addDays(1), tradingHours(9, 0, 16, 0), thursday.date().addDays(1)),
        QDateTime(QDate(2026, 12, 14), QTime(9, 0), utc)); // after Friday, Monday
}

// A settings record no moment can satisfy (an hour of 25) waits for ever rather than at once.
TEST(StartMoment, AnImpossibleTimeNeverComes)
{
    const QTimeZone utc = QTimeZone::utc();
    EXPECT_FALSE(WaitRules::startMoment(
        QDateTime(QDate(2026, 12, 7), QTime(9, 0), utc), tradingHours(25, 0, 26, 0), {})
                     .isValid());
}

} // namespace
