#include "IndicatorFixture.h"

#include "engine/indicators/MovingAverage.h"
#include "engine/indicators/RateOfChange.h"
#include "engine/indicators/Stochastic.h"

#include <QFile>
#include <QTextStream>

#include <cmath>
#include <map>

using namespace tradevane;

// Our averages, rate of change and slow stochastic against an independent implementation (the
// npm package technicalindicators) on seeded random series; make_oracle_fixtures.js wrote
// the expected values into oracle_fixtures.txt. The last series trade above 9999.

namespace {

struct OracleSeries
{
    int number = 0;
    QStringList rows; // "high low close", today first
    std::map<int, std::array<double, 3>> averages; // period -> days 1..3
    double rateOfChange = 0.0;
    double slowK = 0.0;
    double slowD = 0.0;
};

QList<OracleSeries> readFixtures()
{
    QList<OracleSeries> all;
    QFile file(QStringLiteral(TRADEVANE_SOURCE_DIR "/tests/engine/oracle_fixtures.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return all;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QStringList f = line.split(u' ');
        if (line.startsWith(u'#') || line.isEmpty())
            continue;
        if (f[0] == u"series") {
            all.append(OracleSeries {});
            all.back().number = f[1].toInt();
        } else if (f[0] == u"sma") {
            all.back().averages[f[1].toInt()] = {f[2].toDouble(), f[3].toDouble(), f[4].toDouble()};
        } else if (f[0] == u"roc21") {
            all.back().rateOfChange = f[1].toDouble();
        } else if (f[0] == u"stoch") {
            all.back().slowK = f[1].toDouble();
            all.back().slowD = f[2].toDouble();
        } else {
            all.back().rows.append(line);
        }
    }
    return all;
}

// The two differ only in the order of additions.
void expectClose(double ours, double theirs, const char* what)
{
    EXPECT_NEAR(ours, theirs, 1e-9 * std::max(1.0, std::abs(theirs))) << what;
}

using Oracle = IndicatorTest;

TEST_F(Oracle, AgreesWithAnIndependentImplementation)
{
    const QList<OracleSeries> all = readFixtures();
    ASSERT_EQ(all.size(), 300);
    const int periods[] = {5, 10, 30, 50, 200};
    int averagesCompared = 0;
    for (const OracleSeries& series : all) {
        SCOPED_TRACE(testing::Message() << "series " << series.number);
        m_state.history.clear();
        for (int r = 0; r < series.rows.size(); ++r) {
            const QStringList hlc = series.rows[r].split(u' ');
            setHigh(r, hlc[0]);
            setLow(r, hlc[1]);
            setClose(r, hlc[2]);
        }
        for (const int period : periods) {
            const auto expected = series.averages.find(period);
            if (expected == series.averages.end())
                continue; // too short for the other implementation
            for (int day = 0; day < 3; ++day) {
                const std::optional<double> average = movingAverage(rows(), period, day);
                ASSERT_TRUE(average);
                expectClose(*average, expected->second[day], "average");
            }
            ++averagesCompared;
        }
        const std::optional<double> rate = rateOfChange(rows(), 21);
        ASSERT_TRUE(rate);
        expectClose(*rate, series.rateOfChange, "rate of change");
        const SlowStochastic stochastic = computeSlowStochastic(rows());
        ASSERT_EQ(stochastic.failure, SlowStochastic::Failure::None);
        expectClose(stochastic.k, series.slowK, "slow %K");
        expectClose(stochastic.d, series.slowD, "slow %D");
    }
    EXPECT_GT(averagesCompared, 1000);
}

} // namespace
