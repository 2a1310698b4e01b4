#include "TestSupport.h"

#include "platform/Clock.h"

#include <QTest>

using namespace tradevane;

namespace {

// The machine's clock: an alarm fires from the event loop once the moment has come, never before,
// and not at all once cancelled; a moment that never comes keeps it waiting.
TEST(SystemClockAlarm, FiresOnceItsMomentHasComeAndNotAfterACancel)
{
    SystemClock clock;
    const QDateTime moment = clock.now().addMSecs(120);
    QDateTime firedAt;
    bool insideCall = true;
    const auto alarm = clock.alarmAt(moment, [&] {
        EXPECT_FALSE(insideCall);
        firedAt = clock.now();
    });
    insideCall = false;
    ASSERT_TRUE(runUntil([&] { return firedAt.isValid(); }));
    EXPECT_GE(firedAt, moment);

    bool fired = false;
    const auto cancelled = clock.alarmAt(clock.now(), [&] { fired = true; });
    cancelled->cancel();
    const auto never = clock.alarm([](const QDateTime&) { return QDateTime(); }, [&] { fired = true; });
    QTest::qWait(1300); // past the first wake of a second
    EXPECT_FALSE(fired);
}

// Zones the wall clock is read in: the simulated clock keeps its moment in the zone it was given.
TEST(SimulatedClockAlarm, FiresAtTheEarliestMomentAndFollowsAClockSet)
{
    const QTimeZone utc = QTimeZone::utc();
    SimulatedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0), utc), utc);
    QStringList fired;
    const auto later
        = clock.alarmAt(QDateTime(QDate(2026, 12, 7), QTime(11, 0), utc), [&] { fired << u"11"_qs; });
    const auto sooner
        = clock.alarmAt(QDateTime(QDate(2026, 12, 7), QTime(10, 0), utc), [&] { fired << u"10"_qs; });
    // Ten minutes after the clock reads minute 30: set back, it comes sooner.
    const auto rule = clock.alarm(
        [](const QDateTime& now) {
            QDateTime t = now;
            while (t.time().minute() != 30)
                t = t.addSecs(60);
            return t.addSecs(600);
        },
        [&] { fired << u"rule"_qs; });
    EXPECT_EQ(clock.nextAlarm(), QDateTime(QDate(2026, 12, 7), QTime(9, 40), utc));
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(8, 45), utc));
    EXPECT_EQ(clock.nextAlarm(), QDateTime(QDate(2026, 12, 7), QTime(9, 40), utc));
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 35), utc));
    EXPECT_EQ(clock.nextAlarm(), QDateTime(QDate(2026, 12, 7), QTime(10, 0), utc)); // the rule: 10:40
    ASSERT_TRUE(clock.runUntil([&] { return fired.size() == 3; }, {}));
    EXPECT_EQ(fired, QStringList({u"10"_qs, u"rule"_qs, u"11"_qs}));
    EXPECT_EQ(clock.now(), QDateTime(QDate(2026, 12, 7), QTime(11, 0), utc));
}

} // namespace
