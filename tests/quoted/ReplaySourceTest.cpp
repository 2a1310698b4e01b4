#include "QuotedTestSupport.h"

#include "engine/marketdata/sources/ReplaySource.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <QTemporaryDir>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace tradevane::market;
using namespace tradevane::market::test;

namespace {

const std::filesystem::path kFixtures
    = std::filesystem::path(TRADEVANE_SOURCE_DIR) / "tests/quoted/fixtures/replay";
const QDate kWednesday(2026, 3, 11);

QDateTime at(QDate day, int hour, int minute)
{
    return QDateTime(day, QTime(hour, minute));
}

} // namespace

TEST(ReplaySource, TheFileIsReplayedAsTheTradingDaysUpToYesterday)
{
    TestClock clock(at(kWednesday, 10, 0));
    ReplaySource source(kFixtures, 1);
    RunningService running(source, clock);

    const auto reply = running.server.get(historyPath("abc", kWednesday));
    ASSERT_EQ(reply.status, 200);
    const std::vector<std::string> lines = linesOf(reply.body);
    ASSERT_EQ(lines.size(), 261u) << "heading and the 260 bars of the file";
    EXPECT_EQ(lines[0], "Date (replay),Open,High,Low,Close,Volume,Adj Close");
    // The newest bar of the file (2024-01-01) is yesterday, the one before it (2023-12-29) Monday.
    EXPECT_EQ(lines[1], "2026-03-10,55.66,56.26,55.07,55.79,723726,55.79");
    EXPECT_EQ(lines[2], "2026-03-09,55.98,56.13,55.40,55.61,484293,55.61");
    EXPECT_EQ(lines[3].substr(0, 10), "2026-03-06");
    EXPECT_EQ(lines[260], "2025-03-12,51.95,52.04,50.92,51.17,1004112,51.17");
    const std::string logged = running.log.next();
    EXPECT_NE(logged.find("history ABC 260 days 2025-03-12 to 2026-03-10 (replay)"), std::string::npos)
        << logged;

    // A limit keeps the newest bars; a shorter range the bars inside it.
    const auto newest
        = source.history("ABC", kWednesday.addDays(-365), kWednesday, 20, at(kWednesday, 10, 0));
    ASSERT_EQ(newest.data.size(), 20u);
    EXPECT_EQ(newest.data.front().date, QDate(2026, 3, 10));
    const auto week = source.history("ABC", QDate(2026, 3, 2), QDate(2026, 3, 6), 282, at(kWednesday, 10, 0));
    ASSERT_EQ(week.data.size(), 5u);
    EXPECT_EQ(week.data.front().date, QDate(2026, 3, 6));
}

TEST(ReplaySource, FilesInAnotherHandAreReadAsWellAsTheyCanBe)
{
    // xyz.csv: lower-case name, M/D/YYYY dates, newest first, CR LF, one line of N/A, one day twice.
    const ReplaySource::FileBars file = ReplaySource::readFile(kFixtures / "xyz.csv");
    ASSERT_EQ(file.bars.size(), 3u);
    EXPECT_EQ(file.skippedLines, 1);
    EXPECT_EQ(file.firstProblem, "line 4 is not Date,Open,High,Low,Close,Volume");
    EXPECT_EQ(file.bars[0].date, QDate(2024, 12, 31));
    EXPECT_EQ(file.bars[1].open, 10.60) << "a day given twice keeps its last line";
    EXPECT_EQ(file.bars[2].volume, 5000);

    TestClock clock(at(kWednesday, 10, 0));
    ReplaySource source(kFixtures, 1);
    RunningService running(source, clock);
    const std::vector<std::string> lines = linesOf(running.server.get(historyPath("XYZ", kWednesday)).body);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "2026-03-10,11.00,11.50,10.80,11.20,5000,11.20");
    EXPECT_EQ(lines[3], "2026-03-06,10.00,10.60,9.90,10.40,3000,10.40");
    const std::string logged = running.log.next();
    EXPECT_NE(logged.find("1 lines of xyz.csv skipped"), std::string::npos) << logged;
}

TEST(ReplaySource, BarsThatCannotBeReplayedAreSkipped)
{
    // Today's walk rounds to cents and scales the volume: a price below a cent walked at zero and
    // was served as "-nan", one near the largest double as "inf", one of 71 digits was cut to 63, and
    // a volume past 2^63 was rounded to a negative number.
    const ReplaySource::FileBars file
        = ReplaySource::readText("Date,Open,High,Low,Close,Volume\n"
                                 "2024-01-02,0.01,0.01,0.01,0.01,9007199254740992\n"
                                 "2024-01-03,0.00001,0.00001,0.00001,0.00001,100\n"
                                 "2024-01-04,1e70,1e70,1e70,1e70,100\n"
                                 "2024-01-05,1e307,1e307,1e307,1e307,100\n"
                                 "2024-01-08,10.80,11.00,10.40,10.50,9e67\n"
                                 "2024-01-09,1e9,1e9,1e9,1e9,9007199254740994\n"
                                 "2024-01-10,1000000000,1e9,1e9,1e9,100\n");
    ASSERT_EQ(file.bars.size(), 2u);
    EXPECT_EQ(file.bars[0].volume, 9007199254740992);
    EXPECT_EQ(file.bars[1].open, 1e9);
    EXPECT_EQ(file.skippedLines, 5);
    EXPECT_EQ(file.firstProblem, "line 3 is not Date,Open,High,Low,Close,Volume");

    QTemporaryDir folder;
    std::ofstream(std::filesystem::path(folder.path().toStdString()) / "ABC.csv")
        << "2024-01-02,0.01,0.01,0.01,0.01,100\n2024-01-03,1e9,1e9,1e9,1e9,9007199254740992\n";
    ReplaySource source(folder.path().toStdString(), 1);
    for (int hour : {0, 12, 23}) {
        const QuoteFields q = source.quote("ABC", at(kWednesday, hour, 0)).data;
        for (const std::string& value : {q.last, q.open, q.high, q.low, q.change}) {
            ASSERT_TRUE(priceValue(value)) << value;
            EXPECT_LT(std::fabs(*priceValue(value)), 2e9) << value;
        }
        ASSERT_TRUE(volumeValue(q.volume)) << q.volume;
        EXPECT_GE(*volumeValue(q.volume), 0) << q.volume;
    }
}

TEST(ReplaySource, TodaysQuotesWalkOnFromTheNewestBar)
{
    ReplaySource source(kFixtures, 1);
    const QuoteFields midnight = source.quote("ABC", at(kWednesday, 0, 0)).data;
    EXPECT_EQ(midnight.date, "3/11/2026");
    EXPECT_EQ(midnight.last, midnight.open);
    EXPECT_NEAR(*priceValue(midnight.open), 55.79, 55.79 * 0.03) << "opens near the newest close";
    EXPECT_EQ(midnight.change, formatChange(*priceValue(midnight.last) - 55.79));

    std::set<std::string> prices;
    for (int hour = 1; hour < 24; ++hour) {
        const QuoteFields q = source.quote("ABC", at(kWednesday, hour, 0)).data;
        EXPECT_LE(*priceValue(q.low), *priceValue(q.last));
        EXPECT_GE(*priceValue(q.high), *priceValue(q.last));
        prices.insert(q.last);
    }
    EXPECT_GT(prices.size(), 15u);
    EXPECT_EQ(quoteLine(source.quote("ABC", at(kWednesday, 12, 0)).data),
        quoteLine(ReplaySource(kFixtures, 1).quote("ABC", at(kWednesday, 12, 0)).data))
        << "the walk is the same for the same seed";

    // Before a session and on a weekend, the newest bar is the last close.
    ReplaySource daytime(kFixtures, 1, *SessionWindow::parse("09:30-16:00"));
    const QuoteFields early = daytime.quote("ABC", at(kWednesday, 8, 0)).data;
    EXPECT_EQ(early.date, "3/10/2026");
    EXPECT_EQ(early.last, "55.79");
    EXPECT_EQ(early.change, "+0.18");
    const QuoteFields saturday = daytime.quote("ABC", at(QDate(2026, 3, 14), 12, 0)).data;
    EXPECT_EQ(saturday.date, "3/13/2026");
    EXPECT_EQ(saturday.last, "55.79");
}

TEST(ReplaySource, MissingBrokenAndChangedFiles)
{
    QTemporaryDir folder;
    const std::filesystem::path dir = folder.path().toStdString();
    std::filesystem::copy_file(kFixtures / "ABC.csv", dir / "ABC.csv");
    std::ofstream(dir / "BAD.csv") << "<html>not a price file</html>\n\x01\x02\x03\n";
    TestClock clock(at(kWednesday, 10, 0));
    ReplaySource source(dir, 1);
    RunningService running(source, clock);

    for (const std::string& path : {quotePath("nope"), historyPath("nope", kWednesday)}) {
        const auto reply = running.server.get(path);
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.body, "");
        const std::string logged = running.log.next();
        EXPECT_NE(logged.find("-> 200 empty: no "), std::string::npos) << logged;
        EXPECT_NE(logged.find(": no file NOPE.csv in"), std::string::npos) << logged;
    }
    EXPECT_EQ(running.server.get(quotePath("bad")).body, "");
    const std::string logged = running.log.next();
    EXPECT_NE(logged.find("BAD.csv holds no bars"), std::string::npos) << logged;

    // A file changed while the service runs is read again.
    EXPECT_EQ(linesOf(running.server.get(historyPath("abc", kWednesday)).body)[1].substr(11, 5), "55.66");
    std::ofstream(dir / "ABC.csv", std::ios::app) << "2024-01-02,60.00,61.00,59.00,60.50,1000\n";
    std::filesystem::last_write_time(
        dir / "ABC.csv", std::filesystem::last_write_time(dir / "ABC.csv") + std::chrono::seconds(5));
    EXPECT_EQ(linesOf(running.server.get(historyPath("abc", kWednesday)).body)[1],
        "2026-03-10,60.00,61.00,59.00,60.50,1000,60.50");
}
