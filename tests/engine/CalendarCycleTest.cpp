#include "CycleFixture.h"

#include "engine/log/LogTexts.h"

#include <QDir>
#include <QFile>

using namespace tradevane;

namespace {

const QDate kWednesday(2026, 11, 25); // the day before Thanksgiving
const QDate kThanksgiving = kWednesday.addDays(1);
const QDate kFriday = kWednesday.addDays(2); // the exchanges close at 13:00 New York time

QTimeZone zone(const char* id)
{
    const QTimeZone zone {QByteArray(id)};
    EXPECT_TRUE(zone.isValid()) << id << ": the time zone database is missing (Debian package tzdata)";
    return zone;
}

// The engine through weeks with exchange holidays, on computers in New York, Berlin and Tokyo.
class CalendarCycle : public CycleTest
{
protected:
    void SetUp() override
    {
        CycleTest::SetUp();
        watch(1, u"ABC"_qs);
        serve();
    }

    void serve()
    {
        m_http.serve(u"/table.csv"_qs, makeHistory(kWednesday, 252, 10));
        m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 10.5, 10.4, 10.6, 10.3, 1000));
    }

    // Presses START at `start` on a computer in `zone`; runs until the `days`th trading day has
    // begun.
    bool runDays(const QTimeZone& zone, const QDateTime& start, int days)
    {
        m_clockZone = zone;
        m_window.statusHistory.clear();
        return runFrom(
            start, [&] { return m_window.statuses(u"Processing Started"_qs).size() >= days; },
            start.addDays(21));
    }

    // When status `text` was shown, in the computer's zone.
    QList<QDateTime> shown(const QString& text) const
    {
        QList<QDateTime> times;
        for (const auto& status : m_window.statuses(text))
            times.append(status.when.toTimeZone(m_clockZone));
        return times;
    }
    QList<QDateTime> setsOn(const QDate& day) const
    {
        QList<QDateTime> sets;
        for (const QDateTime& when : shown(u"Downloading Quotes"_qs)) {
            if (when.date() == day)
                sets.append(when);
        }
        return sets;
    }
    bool historyAsked(const QDate& day) const
    {
        return m_http.requests().contains(historyTarget(u"abc"_qs, day));
    }
};

TEST_F(CalendarCycle, ThanksgivingWeekInNewYork)
{
    const QTimeZone ny = zone("America/New_York");
    schedule(9, 30, 16, 0, 30);
    ASSERT_TRUE(runDays(ny, QDateTime(kWednesday, QTime(9, 0), ny), 3));
    EXPECT_EQ(shown(u"Processing Started"_qs),
        (QList<QDateTime> {QDateTime(kWednesday, QTime(9, 30), ny), QDateTime(kFriday, QTime(9, 30), ny),
            QDateTime(QDate(2026, 11, 30), QTime(9, 30), ny)}));

    // Thanksgiving: no history and no quote is asked for.
    EXPECT_FALSE(historyAsked(kThanksgiving));
    EXPECT_TRUE(setsOn(kThanksgiving).isEmpty());
    const QList<QDateTime> awaiting = shown(u"Awaiting Friday open"_qs);
    ASSERT_EQ(awaiting.size(), 1);
    EXPECT_EQ(awaiting[0].date(), kWednesday); // said after Wednesday's last set
    EXPECT_GE(awaiting[0].time(), QTime(16, 0));

    // Friday's quote sets end at the early close; the weekend begins there.
    const QList<QDateTime> friday = setsOn(kFriday);
    ASSERT_EQ(friday.size(), 7); // 10:00 .. 13:00, the first an interval after the history
    EXPECT_EQ(QTime(friday.last().time().hour(), friday.last().time().minute()), QTime(13, 0));
    EXPECT_EQ(shown(u"Awaiting Monday Open"_qs).size(), 1);

    const QString text = log();
    const qsizetype closed = text.indexOf(u"\r\n"_qs + LogText::kHolidayClosed + u"Thanksgiving Day"_qs
        + LogText::kHolidayResumes + u"Friday\r\n\r\n"_qs);
    const qsizetype early = text.indexOf(u"27 Nov 2026 09:30:00 Processing started. \r\n"_qs
        + LogText::kEarlyClose + u"Day after Thanksgiving"_qs + LogText::kEarlyCloseEnd + u"13:00\r\n"_qs);
    const qsizetype weekend = text.indexOf(LogText::kWeekendFriday + u"\r\n"_qs);
    ASSERT_GT(closed, 0);
    EXPECT_GT(early, closed);
    EXPECT_GT(weekend, early);
    EXPECT_EQ(text.count(LogText::kHolidayClosed), 1);
}

TEST_F(CalendarCycle, ATokyoComputerFollowsTheNewYorkWeekAMorningLate)
{
    // 01:00 to 06:00 in Tokyo is 11:00 to 16:00 of the day before in New York.
    const QTimeZone tokyo = zone("Asia/Tokyo");
    schedule(1, 0, 6, 0, 30);
    ASSERT_TRUE(runDays(tokyo, QDateTime(kWednesday, QTime(12, 0), tokyo), 3));
    // Thursday morning in Tokyo is Wednesday in New York, a trading day; Friday morning is
    // Thanksgiving there. Saturday morning is New York's Friday, which closes at 13:00 there (03:00
    // in Tokyo); Monday morning is Sunday there.
    const QDate saturday(2026, 11, 28);
    EXPECT_EQ(shown(u"Processing Started"_qs),
        (QList<QDateTime> {QDateTime(kThanksgiving, QTime(1, 0), tokyo),
            QDateTime(saturday, QTime(1, 0), tokyo), QDateTime(QDate(2026, 12, 1), QTime(1, 0), tokyo)}));
    EXPECT_TRUE(historyAsked(kThanksgiving));
    EXPECT_TRUE(historyAsked(saturday));
    for (const QDate& day : {kFriday, QDate(2026, 11, 29), QDate(2026, 11, 30)}) {
        EXPECT_FALSE(historyAsked(day));
        EXPECT_TRUE(setsOn(day).isEmpty());
    }
    const QList<QDateTime> short_ = setsOn(saturday);
    ASSERT_FALSE(short_.isEmpty());
    EXPECT_EQ(QTime(short_.last().time().hour(), short_.last().time().minute()), QTime(3, 0));
    // The log gives the early close in the computer's own time.
    EXPECT_TRUE(log().contains(
        LogText::kEarlyClose + u"Day after Thanksgiving"_qs + LogText::kEarlyCloseEnd + u"3:00\r\n"_qs));
    EXPECT_TRUE(log().contains(
        LogText::kHolidayClosed + u"Thanksgiving Day"_qs + LogText::kHolidayResumes + u"Saturday\r\n"_qs));
    EXPECT_EQ(shown(u"Awaiting Saturday open"_qs).size(), 1);
    // The weekend begins after New York's Friday, and ends with Tokyo's Tuesday.
    EXPECT_TRUE(log().contains(LogText::kWeekendFriday + u"\r\n"_qs));
}

TEST_F(CalendarCycle, AMondayHolidayAfterAWeekend)
{
    const QTimeZone ny = zone("America/New_York");
    schedule(9, 30, 16, 0, 30);
    // Friday after the stop hour: the weekend, then Martin Luther King, Jr. Day on Monday.
    ASSERT_TRUE(runDays(ny, QDateTime(QDate(2027, 1, 15), QTime(16, 30), ny), 1));
    EXPECT_EQ(shown(u"Processing Started"_qs).value(0), QDateTime(QDate(2027, 1, 19), QTime(9, 30), ny));
    EXPECT_EQ(shown(u"Awaiting Tuesday open"_qs).value(0), QDateTime(QDate(2027, 1, 18), QTime(0, 0), ny));
    EXPECT_TRUE(log().contains(LogText::kWeekendFriday + u"\r\n\r\n"_qs + LogText::kHolidayClosed
        + u"Martin Luther King, Jr. Day"_qs + LogText::kHolidayResumes + u"Tuesday\r\n\r\n"_qs
        + LogText::kWaitingForStart + u"9:30\r\n"_qs));
}

TEST_F(CalendarCycle, StartOnAHolidayAndAnEndOfDayScheduleOnAnEarlyCloseDay)
{
    const QTimeZone ny = zone("America/New_York");
    schedule(9, 30, 16, 0, 30);
    ASSERT_TRUE(runDays(ny, QDateTime(kThanksgiving, QTime(10, 0), ny), 1));
    EXPECT_TRUE(log().startsWith(
        LogText::kHolidayClosed + u"Thanksgiving Day"_qs + LogText::kHolidayResumes + u"Friday\r\n\r\n"_qs));
    EXPECT_EQ(shown(u"Awaiting Friday open"_qs).value(0), QDateTime(kThanksgiving, QTime(10, 0), ny));
    EXPECT_EQ(shown(u"Processing Started"_qs).value(0), QDateTime(kFriday, QTime(9, 30), ny));
    EXPECT_FALSE(historyAsked(kThanksgiving));

    // On Christmas Eve the exchanges close at 13:00: a day begun after that runs one quote set on
    // the day's final prices, as the end-of-day schedule of the time settings' hint wants (quotes
    // 15 to 20 minutes after the close); then Christmas Day is sat out.
    const QDate christmasEve(2026, 12, 24);
    m_http.clear();
    serve();
    schedule(16, 15, 16, 20, 1);
    ASSERT_TRUE(runDays(ny, QDateTime(christmasEve, QTime(16, 0), ny), 2));
    EXPECT_EQ(shown(u"Processing Started"_qs).value(0), QDateTime(christmasEve, QTime(16, 15), ny));
    EXPECT_EQ(setsOn(christmasEve).size(), 1);
    EXPECT_TRUE(log().contains(
        LogText::kEarlyClose + u"Christmas Eve"_qs + LogText::kEarlyCloseEnd + u"16:15\r\n"_qs));
    EXPECT_TRUE(log().contains(
        LogText::kHolidayClosed + u"Christmas Day"_qs + LogText::kHolidayResumes + u"Monday\r\n"_qs));
    EXPECT_EQ(shown(u"Processing Started"_qs).value(1), QDateTime(QDate(2026, 12, 28), QTime(16, 15), ny));
}

TEST_F(CalendarCycle, ClosuresFromTheHolidayFileAndItsBadLinesNotedOnce)
{
    const QTimeZone ny = zone("America/New_York");
    schedule(9, 30, 16, 0, 30);
    writeFile(u"holidays.txt"_qs,
        "# Closures no rule knows\n2026-12-09 National Day of Mourning\n2026-12-32 Not a day\n"
        "Dec 10 Wrong form\n");
    ASSERT_TRUE(runDays(ny, QDateTime(QDate(2026, 12, 7), QTime(9, 0), ny), 3));
    EXPECT_EQ(shown(u"Processing Started"_qs).value(2), QDateTime(QDate(2026, 12, 10), QTime(9, 30), ny));
    EXPECT_FALSE(historyAsked(QDate(2026, 12, 9)));
    const QString text = log();
    EXPECT_TRUE(text.contains(LogText::kHolidayClosed + u"National Day of Mourning"_qs
        + LogText::kHolidayResumes + u"Thursday\r\n"_qs));
    // Each bad line once, with its number, as the first lines of the run.
    const QString rule = u"\r\n"_qs + QString(36, u'=') + u"\r\n\r\n"_qs;
    EXPECT_TRUE(text.startsWith(LogText::kHolidayLineSkipped + u"3: 2026-12-32 Not a day"_qs + rule
        + LogText::kHolidayLineSkipped + u"4: Dec 10 Wrong form"_qs + rule + LogText::kWaitingForStart));
    EXPECT_EQ(text.count(LogText::kHolidayLineSkipped), 2);
}

TEST_F(CalendarCycle, AFileThatIsNoTextFloodsNoLog)
{
    QByteArray junk;
    for (int i = 0; i < 200; ++i)
        junk += "junk " + QByteArray::number(i) + '\n';
    writeFile(u"holidays.txt"_qs, junk);
    schedule(9, 30, 16, 0, 30);
    const QTimeZone ny = zone("America/New_York");
    ASSERT_TRUE(runDays(ny, QDateTime(QDate(2026, 12, 7), QTime(9, 0), ny), 1));
    EXPECT_EQ(log().count(LogText::kHolidayLineSkipped), 10);
    EXPECT_TRUE(log().contains(LogText::kHolidayLinesNotListed + u"190\r\n"_qs));

    // A folder in the file's place: read as no file, with a note.
    m_app.log.eraseLog(1);
    QFile::remove(path(u"holidays.txt"_qs));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"holidays.txt"_qs));
    ASSERT_TRUE(runDays(ny, QDateTime(QDate(2026, 12, 7), QTime(9, 0), ny), 1));
    EXPECT_TRUE(log().startsWith(u"\r\n"_qs + LogText::kHolidayFileUnreadable)); // after the emptied log
}

TEST_F(CalendarCycle, WithTheCalendarOffEveryWeekdayIsATradingDayAsBefore)
{
    const QTimeZone ny = zone("America/New_York");
    schedule(9, 30, 16, 0, 30);
    m_app.settings.calendar.skipHolidays = false;
    writeFile(u"holidays.txt"_qs, "2026-11-25 Not read\nnot a line\n");
    ASSERT_TRUE(runDays(ny, QDateTime(kWednesday, QTime(9, 0), ny), 3));
    EXPECT_EQ(shown(u"Processing Started"_qs).value(1), QDateTime(kThanksgiving, QTime(9, 30), ny));
    EXPECT_EQ(shown(u"Processing Started"_qs).value(2), QDateTime(kFriday, QTime(9, 30), ny));
    EXPECT_TRUE(historyAsked(kThanksgiving));
    EXPECT_FALSE(log().contains(LogText::kHolidayClosed));
    EXPECT_FALSE(log().contains(LogText::kHolidayLineSkipped));
    EXPECT_FALSE(log().contains(LogText::kEarlyClose));
}

} // namespace
