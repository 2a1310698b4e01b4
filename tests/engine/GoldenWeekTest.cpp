#include "CycleFixture.h"

#include "engine/forms/AlertEntries.h"

#include <QFile>

using namespace tradevane;

namespace {

// A whole trading week, Monday 08:00 to the next Monday's start-time wait, with every kind of
// line the log can hold: history and quote downloads, alerts once a day and in every set, a mail
// for each message, a symbol the servers do not know, a history too short to use, a quote that
// is not plausible. The log must come out byte for byte as in golden-week.log, which was written
// by the program as it was before its monitoring engine was rebuilt.
class GoldenWeek : public MailCycleTest
{
protected:
    void SetUp() override
    {
        MailCycleTest::SetUp();
        schedule(9, 30, 16, 0, 30);

        AlertSettings& abc = watch(1, u"ABC"_qs); // above its range on a heavy day: alerts once a day
        abc.on(AlertKind::HighestHigh) = abc.on(AlertKind::PriceAbove) = abc.on(AlertKind::VolumeSurge)
            = true;
        abc.priceAbove = 12;
        AlertSettings& xyz = watch(2, u"XYZ"_qs); // below its range, reported in every set
        xyz.on(AlertKind::LowestLow) = xyz.on(AlertKind::PriceBelow) = xyz.repeatAlerts = true;
        xyz.priceBelow = 46;
        watch(3, u"BAD"_qs); // unknown to both servers
        watch(4, u"NAQ"_qs); // its quote has no last price
        alerts(5).symbol = u"OFF"_qs; // not watched
        AlertSettings& young = watch(7, u"NEW"_qs); // a short history: no rate of change
        young.on(AlertKind::RateOfChangeAbove) = true;
        young.rateOfChangeAbove = 5;
        applyDefaultPeriods();

        for (int day = 0; day < 5; ++day) {
            const QDate today = kMonday.addDays(day);
            for (const char* symbol : {"abc", "xyz", "naq", "new"}) {
                const double base = QByteArray(symbol) == "xyz" ? 50 : 10;
                const int days = QByteArray(symbol) == "new" ? 100 : 252;
                m_http.serve(
                    historyTarget(QString::fromLatin1(symbol), today), makeHistory(today, days, base));
            }
        }
        m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 12.5, 12, 12.6, 11.9, 5000));
        m_http.serve(quoteTarget(u"xyz"_qs), makeQuote(u"XYZ"_qs, 45, 49, 50.1, 44, 900));
        m_http.serve(quoteTarget(u"naq"_qs),
            QByteArray("\"NAQ\",N/A,\"12/7/2026\",\"10:00am\",N/A,N/A,N/A,N/A,0\r\n"));
        m_http.serve(quoteTarget(u"new"_qs), makeQuote(u"NEW"_qs, 20, 19, 21, 18.5, 3000));
    }

    // The moving-average periods the defaults hold, so that any choice of averages gives the same.
    void applyDefaultPeriods()
    {
        for (AlertSettings& s : m_app.settings.alerts)
            s.averagePeriods = kDefaultAveragePeriods;
    }

    static QString fixture() { return QStringLiteral(TRADEVANE_SOURCE_DIR "/tests/engine/golden-week.log"); }
};

TEST_F(GoldenWeek, LogBytesAreThoseOfTheProgramBeforeTheEngineWasRebuilt)
{
    // Started before the start time; stopped while the next Monday waits for its start time.
    ASSERT_TRUE(runFrom(QDateTime(kMonday, QTime(8, 0)),
        [&] { return m_window.statuses(u"Awaiting Start Time - 9:30"_qs).size() == 6; }));
    const QByteArray written = readFile(u"activlog.dat"_qs);
    // 9:30 .. 16:00 on Monday; on later days the first set waits an interval after the history.
    EXPECT_EQ(m_smtp.received().size(), 14 + 4 * 13);

    QFile golden(fixture());
    if (qEnvironmentVariableIsSet("TRADEVANE_RECORD_GOLDEN")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
        golden.write(written);
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray expected = golden.readAll();
    ASSERT_EQ(written.size(), expected.size());
    const QList<QByteArray> writtenLines = written.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    for (qsizetype i = 0; i < std::min(writtenLines.size(), expectedLines.size()); ++i)
        ASSERT_EQ(writtenLines[i], expectedLines[i]) << "line " << i + 1;
    EXPECT_EQ(written, expected);
}

} // namespace
