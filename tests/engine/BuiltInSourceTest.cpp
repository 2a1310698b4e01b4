#include "CycleFixture.h"

#include "engine/log/LogTexts.h"

#include <QDir>

using namespace tradevane;

namespace {

class BuiltInSource : public CycleTest
{
protected:
    bool quoteSetsDone(int sets) const { return m_app.engine.quoteSetNumber() > sets; }
};

// No server runs: the prices come from the simulated market inside the program, and the log says
// that they are not real.
TEST_F(BuiltInSource, TheSimulatedMarketGivesHistoriesAndQuotesWithoutAServer)
{
    schedule(10, 0, 16, 0, 5);
    watch(1, u"ABC"_qs);
    watch(2, u"xyz"_qs);
    m_app.settings.source = {SourceKind::Simulated, 3, {}};
    ASSERT_TRUE(runFrom(QDateTime(kMonday, QTime(10, 0)), [&] { return quoteSetsDone(2); }));
    for (int number : {1, 2}) {
        EXPECT_GT(stock(number).history.size(), 250u) << number;
        EXPECT_GT(stock(number).quote.last.toDouble(), 0.0) << number;
        EXPECT_FALSE(stock(number).stockFailed) << number;
    }
    EXPECT_EQ(stock(2).quote.symbol, u"XYZ"_qs);
    EXPECT_TRUE(log().contains(LogText::kPricesFrom + u"simulated market (not real prices)"_qs));
    EXPECT_FALSE(log().contains(u"Error-Stock"_qs)) << log().toStdString();
    EXPECT_TRUE(m_http.requests().isEmpty());
}

// The replay folder is taken away while the program runs: each quote set logs the stock's failure
// with the reason, and the run goes on.
TEST_F(BuiltInSource, AReplayFolderThatVanishesFailsEachSetWithItsReason)
{
    const QString folder = m_folder.filePath(u"bars"_qs);
    ASSERT_TRUE(QDir().mkdir(folder));
    QByteArray bars = "Date,Open,High,Low,Close,Volume\n";
    for (QDate day(2025, 10, 1); day < kMonday; day = day.addDays(1))
        if (day.dayOfWeek() < 6)
            bars += day.toString(Qt::ISODate).toLatin1() + ",10,11,9,10.5,100000\n";
    writeFile(u"bars/ABC.csv"_qs, bars);
    schedule(10, 0, 16, 0, 5);
    watch(1, u"ABC"_qs);
    m_app.settings.source = {SourceKind::Replay, 1, folder};
    bool removed = false;
    ASSERT_TRUE(runFrom(QDateTime(kMonday, QTime(10, 0)), [&] {
        if (!removed && quoteSetsDone(1)) {
            EXPECT_FALSE(log().contains(u"Error-Stock"_qs)) << log().toStdString();
            removed = QDir(folder).removeRecursively();
        }
        return quoteSetsDone(3);
    }));
    EXPECT_EQ(log().count(u"Quote Download Error-Stock #:1"_qs), 2) << log().toStdString();
    EXPECT_EQ(log().count(u"404 replay"_qs), 2) << log().toStdString();
}

} // namespace
