#include "CycleFixture.h"

#include "engine/alerts/AlertMemory.h"
#include "engine/log/LogTexts.h"

#include <QDir>
#include <QFile>

using namespace tradevane;

namespace {

QDateTime at(const QDate& day, int hour, int minute, int second = 0)
{
    return QDateTime(day, QTime(hour, minute, second), QTimeZone(QByteArrayLiteral("America/New_York")));
}

const QString kAbcLines = u"ABC    : Highest High value in 20 days.\r\n"
                          "ABC    : Price climbed above $12.00\r\n"
                          "ABC    : Volume is 20% > average of the last 20 days.\r\n"_qs;
const QString kXyzLines = u"XYZ    : Lowest Low value in 20 days.\r\n"_qs;

// ABC reports its alerts once a day, XYZ in every quote set, on a computer in New York with a
// real quote server and a real mail server; the program is started again during the day.
class RememberedAlerts : public MailCycleTest
{
protected:
    void SetUp() override
    {
        MailCycleTest::SetUp();
        m_clockZone = QTimeZone(QByteArrayLiteral("America/New_York"));
        ASSERT_TRUE(m_clockZone.isValid()) << "the time zone database is missing (Debian package tzdata)";
        schedule(10, 0, 16, 0, 5);

        AlertSettings& abc = watch(1, u"ABC"_qs);
        abc.on(AlertKind::HighestHigh) = abc.on(AlertKind::PriceAbove) = abc.on(AlertKind::VolumeSurge)
            = true;
        abc.priceAbove = 12;
        AlertSettings& xyz = watch(2, u"XYZ"_qs);
        xyz.on(AlertKind::LowestLow) = xyz.repeatAlerts = true;

        m_http.serve(u"/table.csv"_qs, makeHistory(kMonday, 252, 10));
        m_http.serve(historyTarget(u"xyz"_qs, kMonday), makeHistory(kMonday, 252, 50));
        m_http.serve(historyTarget(u"xyz"_qs, kMonday.addDays(1)), makeHistory(kMonday.addDays(1), 252, 50));
        for (const QString& symbol : {u"abc"_qs, u"def"_qs})
            m_http.serve(quoteTarget(symbol), makeQuote(symbol.toUpper(), 12.5, 12, 12.6, 11.9, 5000));
        m_http.serve(quoteTarget(u"xyz"_qs), makeQuote(u"XYZ"_qs, 45, 49, 50.1, 44, 900));
    }

    // START at `start`, and after `sets` quote sets an end without a word, as a crash or a
    // restart of the computer ends it; the mails that arrived meanwhile.
    QStringList run(const QDateTime& start, int sets = 1)
    {
        m_window.statusHistory.clear();
        const qsizetype before = m_smtp.received().size();
        EXPECT_TRUE(
            runFrom(start, [&] { return m_window.statusesStartingWith(u"Next download @"_qs) >= sets; }));
        QStringList mails;
        for (const ReceivedMail& mail : m_smtp.received().mid(before))
            mails.append(QString::fromLatin1(mail.body()));
        return mails;
    }

    ReportedAlertsRead file() const { return decodeReportedAlerts(readFile(u"reported.dat"_qs)); }
};

TEST_F(RememberedAlerts, AStartLaterTheSameDaySendsNoSecondMailAndTheNextDayReportsAgain)
{
    QStringList mails = run(at(kMonday, 9, 59, 50));
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(mails[0].contains(kAbcLines + kXyzLines));
    const ReportedAlertsRead written = file();
    ASSERT_TRUE(written.damage.isEmpty()) << written.damage.toStdString();
    const ReportedAlerts abc = {
        {kMonday, StockIndex(0), AlertKind::HighestHigh, u"ABC"_qs, u"20"_qs},
        {kMonday, StockIndex(0), AlertKind::PriceAbove, u"ABC"_qs, u"12"_qs},
        {kMonday, StockIndex(0), AlertKind::VolumeSurge, u"ABC"_qs, QString()},
    };
    EXPECT_EQ(written.alerts, abc); // XYZ repeats: nothing of it is kept

    // STOP and START at 11:00, as after a crash or a restart of the computer: ABC's alerts still
    // hold (its symbol is red) but are not reported again; XYZ goes on repeating as before.
    mails = run(at(kMonday, 11, 0), 2);
    ASSERT_EQ(mails.size(), 2);
    for (const QString& mail : mails) {
        EXPECT_FALSE(mail.contains(u"ABC"_qs));
        EXPECT_TRUE(mail.contains(kXyzLines));
    }
    EXPECT_TRUE(m_window.symbolRed[0]);
    EXPECT_EQ(file().alerts, abc);

    // The next trading day every alert may be reported again.
    mails = run(at(kMonday.addDays(1), 9, 59, 50));
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(mails[0].contains(kAbcLines + kXyzLines));
    ASSERT_EQ(file().alerts.size(), 3);
    EXPECT_EQ(file().alerts[0].day, kMonday.addDays(1));
}

// The program ended without a word while the alert mail was on its way (a power cut, a kill): the
// mail kept in unsent.dat goes at the next START, before anything else. A mail that ends in any
// way, even cut off by closing, leaves no such file.
TEST_F(RememberedAlerts, AMailCutOffByAnAbruptEndGoesAtTheNextStart)
{
    m_smtp.setDelay(3000); // the mail is still on its way when the program ends
    QByteArray leftBehind;
    EXPECT_TRUE(runFrom(at(kMonday, 9, 59, 50), [&] {
        if (m_window.statuses(u"Sending Email"_qs).isEmpty())
            return false;
        leftBehind = readFile(u"unsent.dat"_qs); // what an abrupt end here would leave
        return true;
    }));
    EXPECT_FALSE(QFile::exists(path(u"unsent.dat"_qs)));
    ASSERT_FALSE(leftBehind.isEmpty());
    m_smtp.setDelay(0);

    writeFile(u"unsent.dat"_qs, leftBehind);
    const QStringList mails = run(at(kMonday, 10, 20, 0));
    ASSERT_EQ(mails.size(), 2);
    EXPECT_TRUE(mails[0].contains(u"TIME: 10:00"_qs + u"\r\n"_qs)) << mails[0].toStdString();
    EXPECT_TRUE(mails[0].contains(kAbcLines + kXyzLines));
    EXPECT_FALSE(mails[1].contains(kAbcLines)); // reported before the end
    EXPECT_EQ(log().count(LogText::kUnsentMailResent), 1);
    EXPECT_FALSE(QFile::exists(path(u"unsent.dat"_qs)));
}

TEST_F(RememberedAlerts, AnAlertIsForgottenWhenItsSettingsOrTheSymbolChange)
{
    alerts(2) = {};
    ASSERT_EQ(run(at(kMonday, 9, 59, 50)).size(), 1);

    // A new price level: that alert alone is new.
    alerts(1).priceAbove = 12.25;
    QStringList mails = run(at(kMonday, 11, 0));
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(mails[0].trimmed().endsWith(u"=\r\n\r\nABC    : Price climbed above $12.25"_qs))
        << mails[0].toStdString();

    // Switched off and on again unchanged, it stays reported.
    alerts(1).on(AlertKind::VolumeSurge) = false;
    EXPECT_TRUE(run(at(kMonday, 11, 30)).isEmpty());
    alerts(1).on(AlertKind::VolumeSurge) = true;
    EXPECT_TRUE(run(at(kMonday, 12, 0)).isEmpty());

    // Another stock in the same row: all of its alerts are new.
    alerts(1).symbol = u"DEF"_qs;
    mails = run(at(kMonday, 12, 30));
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(mails[0].contains(
        QString(kAbcLines).replace(u"ABC"_qs, u"DEF"_qs).replace(u"12.00"_qs, u"12.25"_qs)));

    // A stock that now repeats its alerts reports them in every set again.
    alerts(1).repeatAlerts = true;
    EXPECT_EQ(run(at(kMonday, 13, 0), 2).size(), 2);
}

TEST_F(RememberedAlerts, ADamagedFileIsNotedAndCountsAsEmpty)
{
    const QString rule = u"\r\n"_qs + QString(36, u'=') + u"\r\n"_qs;
    writeFile(u"reported.dat"_qs,
        QByteArray("\x7f"
                   "ELF\x02\x01\x01\0\0\0 not ours",
            18));
    ASSERT_EQ(run(at(kMonday, 9, 59, 50)).size(), 1);
    EXPECT_TRUE(log().startsWith(LogText::kAlertMemoryDamaged + u"not a file of reported alerts"_qs + rule));
    ASSERT_TRUE(file().damage.isEmpty()); // written anew at the alert
    const QByteArray whole = readFile(u"reported.dat"_qs);

    // Cut short anywhere (a disk that filled up, a copy that broke off): noted, and the alerts
    // of the day are reported once more rather than lost.
    for (const qsizetype length : {whole.size() - 1, whole.size() / 2, qsizetype(0)}) {
        m_app.log.eraseLog(1);
        writeFile(u"reported.dat"_qs, whole.left(length));
        const QStringList mails = run(at(kMonday, 11, 0));
        ASSERT_EQ(mails.size(), 1) << length;
        EXPECT_TRUE(mails[0].contains(kAbcLines)) << length;
        EXPECT_TRUE(log().startsWith(u"\r\n"_qs + LogText::kAlertMemoryDamaged + u"cut short"_qs + rule))
            << length;
    }

    // A folder in its place can be neither read nor replaced: both noted, the mail still goes.
    m_app.log.eraseLog(1);
    QFile::remove(path(u"reported.dat"_qs));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"reported.dat"_qs));
    ASSERT_EQ(run(at(kMonday, 11, 30)).size(), 1);
    EXPECT_TRUE(log().startsWith(u"\r\n"_qs + LogText::kAlertMemoryDamaged));
    EXPECT_EQ(log().count(LogText::kAlertMemoryNotWritten), 1);
    EXPECT_EQ(log().count(LogText::kEmailSent), 1);
}

TEST(ReportedAlertsFile, ReadsBackWhatItWritesAndRefusesAnythingElse)
{
    const ReportedAlerts alerts = {
        {QDate(2026, 11, 25), StockIndex(9), AlertKind::RateOfChangeBelow, u"BRK B%\t"_qs, u"-5"_qs},
        {QDate(2026, 11, 25), StockIndex(0), AlertKind::ShortCrossUp, u"ABC"_qs, u"5,10"_qs},
    };
    const QByteArray bytes = encodeReportedAlerts(alerts);
    EXPECT_TRUE(bytes.startsWith(
        "Tradevane reported alerts 1\n2026-11-25\t10\tRateOfChangeBelow\tBRK%20B%25%09\t-5\n"));
    EXPECT_TRUE(bytes.endsWith("\nend\t2\n"));
    const ReportedAlertsRead read = decodeReportedAlerts(bytes);
    EXPECT_TRUE(read.damage.isEmpty());
    EXPECT_EQ(read.alerts, alerts);
    EXPECT_TRUE(decodeReportedAlerts(encodeReportedAlerts({})).damage.isEmpty());

    const std::pair<QByteArray, const char16_t*> refused[] = {
        {{}, u"cut short"},
        {"Tradevane reported alerts 1\nend\t0", u"cut short"},
        {"Tradevane reported alerts 1\nend\t1\n", u"cut short"},
        {"Tradevane reported alerts 2\nend\t0\n", u"not a file of reported alerts"},
        {"Tradevane reported alerts 1\n2026-11-25\t11\tPriceAbove\tABC\t12\nend\t1\n",
            u"line 2 not understood"},
        {"Tradevane reported alerts 1\n2026-11-25\t1\tPriceAbove\tABC\nend\t1\n", u"line 2 not understood"},
        {"Tradevane reported alerts 1\n2026-11-31\t1\tPriceAbove\tABC\t12\nend\t1\n",
            u"line 2 not understood"},
        {"Tradevane reported alerts "
         "1\n2026-11-25\t1\tPriceAbove\tABC\t12\n2026-11-25\t1\tPrice\tABC\t12\nend\t2\n",
            u"line 3 not understood"},
    };
    for (const auto& [text, damage] : refused) {
        const ReportedAlertsRead bad = decodeReportedAlerts(text);
        EXPECT_EQ(bad.damage, QString::fromUtf16(damage)) << text.toStdString();
        EXPECT_TRUE(bad.alerts.empty());
    }
}

TEST(ReportedAlertsFile, TheSettingsAnAlertDependsOn)
{
    AlertSettings s;
    s.averagePeriods = {5, 10, 0, 0, 50, 200};
    s.highestHighDays = 20;
    s.priceBelow = 0.1;
    EXPECT_EQ(alertSettingsKey(s, AlertKind::ShortCrossDown), u"5,10"_qs);
    EXPECT_EQ(alertSettingsKey(s, AlertKind::LongCrossUp), u"50,200"_qs);
    EXPECT_EQ(alertSettingsKey(s, AlertKind::HighestHigh), u"20"_qs);
    EXPECT_EQ(alertSettingsKey(s, AlertKind::PriceBelow), u"0.10000000000000001"_qs); // every bit counts
    // A moving-average period of another term, or another alert's level, is not this alert's.
    AlertSettings other = s;
    other.averagePeriods[2] = 12;
    other.priceAbove = 99;
    EXPECT_EQ(
        alertSettingsKey(other, AlertKind::ShortCrossDown), alertSettingsKey(s, AlertKind::ShortCrossDown));
    EXPECT_EQ(alertSettingsKey(other, AlertKind::PriceBelow), alertSettingsKey(s, AlertKind::PriceBelow));
}

} // namespace
