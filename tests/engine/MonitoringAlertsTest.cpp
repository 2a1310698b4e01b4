#include "CycleFixture.h"

#include "engine/alerts/AlertEvaluation.h"
#include "engine/alerts/AlertPreview.h"
#include "engine/log/LogTexts.h"

using namespace tradevane;

namespace {

// The mail body as expected, line ends at the end aside.
QString mail(const QString& header, const QString& lines)
{
    return QString(header + lines).trimmed();
}

const QString kHeaderAt1000 = u"MESSAGE FROM: TRADEVANE\r\nTIME: 10:00\r\nSUBJECT: STOCK ALERTS\r\n"_qs
    + QString(26, u'=') + u"\r\n\r\n"_qs;

// Two stocks against a real quote server and a real mail server. ABC jumps above its year's
// range on five times its usual volume; XYZ falls below its range on a light day.
class MonitoringAlerts : public MailCycleTest
{
protected:
    void SetUp() override
    {
        MailCycleTest::SetUp();
        schedule(10, 0, 11, 0, 5);

        AlertSettings& abc = watch(1, u"ABC"_qs);
        abc.on(AlertKind::HighestHigh) = abc.on(AlertKind::PriceAbove) = abc.on(AlertKind::VolumeSurge)
            = true;
        abc.priceAbove = 12;
        AlertSettings& xyz = watch(2, u"XYZ"_qs);
        xyz.on(AlertKind::LowestLow) = xyz.on(AlertKind::PriceBelow) = xyz.on(AlertKind::VolumeSurge) = true;
        xyz.priceBelow = 46;

        m_http.serve(historyTarget(u"abc"_qs, kMonday), makeHistory(kMonday, 252, 10));
        m_http.serve(historyTarget(u"xyz"_qs, kMonday), makeHistory(kMonday, 252, 50));
        m_http.serve(u"/table.csv"_qs, makeHistory(kMonday.addDays(1), 252, 10));
        m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 12.5, 12, 12.6, 11.9, 5000));
        m_http.serve(quoteTarget(u"xyz"_qs), makeQuote(u"XYZ"_qs, 45, 49, 50.1, 44, 900));
    }

    // Runs from 09:59:50 (on Monday unless told) until `sets` quote sets are done: Stop is
    // pressed while the cycle shows when the next set begins.
    bool runSets(int sets, const QDate& day = kMonday)
    {
        return runFrom(QDateTime(day, QTime(9, 59, 50)),
            [&] { return m_window.statusesStartingWith(u"Next download @"_qs) >= sets; });
    }

    QStringList bodies() const
    {
        QStringList found;
        for (const ReceivedMail& mail : m_smtp.received())
            found.append(QString::fromLatin1(mail.body()));
        return found;
    }
};

const QString kAbcLines = u"ABC    : Highest High value in 20 days.\r\n"
                          "ABC    : Price climbed above $12.00\r\n"
                          "ABC    : Volume is 20% > average of the last 20 days.\r\n"_qs;
const QString kXyzLines = u"XYZ    : Lowest Low value in 20 days.\r\n"
                          "XYZ    : Price dropped below $46.00\r\n"_qs;

TEST_F(MonitoringAlerts, OneMailWithEveryLineInStockAndKindOrderThenNoRepeats)
{
    ASSERT_TRUE(runSets(2));
    const QStringList mails = bodies();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails[0].trimmed(), mail(kHeaderAt1000, kAbcLines + kXyzLines));
    EXPECT_TRUE(m_window.symbolRed[0]);
    EXPECT_TRUE(m_window.symbolRed[1]);
    EXPECT_EQ(m_window.notices, 1);
    EXPECT_EQ(m_window.price[0], u"12.50"_qs);

    const QString logText = log();
    EXPECT_TRUE(logText.contains(u"\r\n"_qs + kHeaderAt1000 + kAbcLines + kXyzLines));
    EXPECT_EQ(logText.count(LogText::kEmailSent), 1);
    EXPECT_EQ(logText.count(QString(75, u'*')), 2);
    // The second set still sees the alerts (symbols red) but reports nothing new.
    EXPECT_EQ(m_window.statuses(u"Sending Email"_qs).size(), 1);
}

TEST_F(MonitoringAlerts, ThePreviewOfTheNewestDayGivesTheLinesTheMonitoringReported)
{
    ASSERT_TRUE(runSets(1));
    for (const int number : {1, 2}) {
        const StockIndex index = StockIndex::fromNumber(number);
        const AlertPreview preview
            = previewAlerts(stock(number).history, index, m_app.engine.alertSettings(index));
        ASSERT_FALSE(preview.days.empty());
        EXPECT_EQ(preview.days.back().row, 0);
        EXPECT_EQ(
            preview.days.back().lines.join(u"\r\n"_qs) + u"\r\n"_qs, number == 1 ? kAbcLines : kXyzLines);
    }
}

TEST_F(MonitoringAlerts, AStockWithoutAHighGetsNoIndicatorsAndNoLines)
{
    m_http.serve(
        quoteTarget(u"xyz"_qs), QByteArray("\"XYZ\",45.00,\"12/7/2026\",\"10:00am\",-5,49,,44,900\r\n"));
    ASSERT_TRUE(runSets(1));
    const QStringList mails = bodies();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails[0].trimmed(), mail(kHeaderAt1000, kAbcLines));
    EXPECT_EQ(m_window.price[1], u"45.00"_qs); // the received texts are still shown
    EXPECT_FALSE(m_window.symbolRed[1]);
    EXPECT_NE(stock(2).history[0].dateText, u"12/7/2026"_qs); // the quote did not become today's row
}

TEST_F(MonitoringAlerts, AFailedQuoteShowsAQuestionMarkAndIsTriedInTheNextSet)
{
    m_http.serveStatus(quoteTarget(u"xyz"_qs), 500, u"Internal Server Error"_qs);
    ASSERT_TRUE(runSets(2));
    EXPECT_EQ(m_window.price[1], u"?"_qs);
    EXPECT_EQ(m_http.requests().count(quoteTarget(u"xyz"_qs)), 2);
    EXPECT_TRUE(log().contains(u"500 Internal Server Error\r\n"_qs));
    EXPECT_TRUE(log().contains(LogText::kQuoteDownloadError + u"2"_qs + LogText::kBadSymbolOrServerDown));
    const QStringList mails = bodies();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails[0].trimmed(), mail(kHeaderAt1000, kAbcLines));
}

TEST_F(MonitoringAlerts, AnAlertSwitchedOffSinceTheLastRunIsNotReported)
{
    // A first run sees ABC's volume surge; the switch is turned off before the next START, on the
    // next trading day (the same day would report none of the alerts again).
    ASSERT_TRUE(runSets(1));
    ASSERT_EQ(bodies().size(), 1);
    EXPECT_TRUE(bodies()[0].contains(u"ABC    : Volume"_qs));
    alerts(1).on(AlertKind::VolumeSurge) = false;
    m_window.statusHistory.clear();
    ASSERT_TRUE(runSets(1, kMonday.addDays(1)));
    const QStringList mails = bodies();
    ASSERT_EQ(mails.size(), 2);
    EXPECT_TRUE(mails[1].contains(u"ABC    : Price climbed"_qs));
    EXPECT_FALSE(mails[1].contains(u"ABC    : Volume"_qs));
}

TEST_F(MonitoringAlerts, NoAlertNoSoundNoMail)
{
    alerts(1).on(AlertKind::PriceAbove) = alerts(1).on(AlertKind::HighestHigh)
        = alerts(1).on(AlertKind::VolumeSurge) = false;
    alerts(2) = {};
    ASSERT_TRUE(runSets(1));
    EXPECT_TRUE(bodies().isEmpty());
    EXPECT_EQ(m_window.notices, 0);
    EXPECT_TRUE(m_window.states.contains(State::QuoteSet));
    EXPECT_FALSE(m_window.states.contains(State::AlertSound));
    EXPECT_FALSE(m_window.states.contains(State::SendingMail));
}

TEST(AlertLines, SymbolKeepsItsPaddingAndPricesTwoDecimals)
{
    AlertSettings s;
    s.symbol = u"IBM"_qs;
    s.priceAbove = 25;
    s.priceBelow = 1234.5;
    s.rateOfChangeBelow = -5;
    using K = AlertKind;
    EXPECT_EQ(alertLine(s, K::MediumCrossDown),
        u"IBM    : Medium Term Moving Average Cross: Direction = DOWN\r\n"_qs);
    EXPECT_EQ(alertLine(s, K::PriceAbove), u"IBM    : Price climbed above $25.00\r\n"_qs);
    EXPECT_EQ(alertLine(s, K::PriceBelow), u"IBM    : Price dropped below $1234.50\r\n"_qs);
    EXPECT_EQ(alertLine(s, K::RateOfChangeBelow), u"IBM    : 21 Day Rate of Change < -5%\r\n"_qs);
    EXPECT_EQ(
        alertLine(s, K::StochasticBelow20), u"IBM    : Stochastic %K value is < 20 and reversing.\r\n"_qs);
    s.priceAbove = 0.5;
    EXPECT_EQ(alertLine(s, K::PriceAbove), u"IBM    : Price climbed above $0.50\r\n"_qs);
}

} // namespace
