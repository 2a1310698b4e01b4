#include "MarketFixtures.h"

#include "engine/marketdata/sources/ReplaySource.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

using namespace tradevane::market;

namespace {

const QDate kWednesday = kMarketWednesday;

// A year of the source's bars up to the Wednesday, at most `limit` of them.
Answer<std::vector<MarketBar>> yearOf(ReplaySource& source, const std::string& symbol, int limit = 282)
{
    return source.history(symbol, kWednesday.addDays(-365), kWednesday, limit, at(kWednesday, 10, 0));
}

std::string lineOf(const MarketBar& bar)
{
    return isoDate(bar.date) + "," + formatPrice(bar.open) + "," + formatPrice(bar.high) + ","
        + formatPrice(bar.low) + "," + formatPrice(bar.close) + "," + std::to_string(bar.volume);
}

} // namespace

TEST(ReplaySource, TheFileIsReplayedAsTheTradingDaysUpToYesterday)
{
    ReplaySource source(kReplayFolder, 1);
    const auto year = yearOf(source, "ABC");
    ASSERT_TRUE(year.ok) << year.reason;
    ASSERT_EQ(year.data.size(), 260u) << "the 260 bars of the file";
    // The newest bar of the file (2024-01-01) is yesterday, the one before it (2023-12-29) Monday.
    EXPECT_EQ(lineOf(year.data[0]), "2026-03-10,55.66,56.26,55.07,55.79,723726");
    EXPECT_EQ(lineOf(year.data[1]), "2026-03-09,55.98,56.13,55.40,55.61,484293");
    EXPECT_EQ(year.data[2].date, QDate(2026, 3, 6));
    EXPECT_EQ(lineOf(year.data[259]), "2025-03-12,51.95,52.04,50.92,51.17,1004112");

    // A limit keeps the newest bars; a shorter range the bars inside it.
    const auto newest = yearOf(source, "ABC", 20);
    ASSERT_EQ(newest.data.size(), 20u);
    EXPECT_EQ(newest.data.front().date, QDate(2026, 3, 10));
    const auto week = source.history("ABC", QDate(2026, 3, 2), QDate(2026, 3, 6), 282, at(kWednesday, 10, 0));
    ASSERT_EQ(week.data.size(), 5u);
    EXPECT_EQ(week.data.front().date, QDate(2026, 3, 6));
}

TEST(ReplaySource, FilesInAnotherHandAreReadAsWellAsTheyCanBe)
{
    // xyz.csv: lower-case name, M/D/YYYY dates, newest first, CR LF, one line of N/A, one day twice.
    const ReplaySource::FileBars file = ReplaySource::readFile(kReplayFolder / "xyz.csv");
    ASSERT_EQ(file.bars.size(), 3u);
    EXPECT_EQ(file.skippedLines, 1);
    EXPECT_EQ(file.firstProblem, "line 4 is not Date,Open,High,Low,Close,Volume");
    EXPECT_EQ(file.bars[0].date, QDate(2024, 12, 31));
    EXPECT_EQ(file.bars[1].open, 10.60) << "a day given twice keeps its last line";
    EXPECT_EQ(file.bars[2].volume, 5000);

    ReplaySource source(kReplayFolder, 1);
    const auto year = yearOf(source, "XYZ");
    ASSERT_EQ(year.data.size(), 3u);
    EXPECT_EQ(lineOf(year.data[0]), "2026-03-10,11.00,11.50,10.80,11.20,5000");
    EXPECT_EQ(lineOf(year.data[2]), "2026-03-06,10.00,10.60,9.90,10.40,3000");
    EXPECT_NE(year.note.find("1 lines of xyz.csv skipped"), std::string::npos) << year.note;
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
    ReplaySource source(kReplayFolder, 1);
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
        quoteLine(ReplaySource(kReplayFolder, 1).quote("ABC", at(kWednesday, 12, 0)).data))
        << "the walk is the same for the same seed";

    // Before a session and on a weekend, the newest bar is the last close.
    ReplaySource daytime(kReplayFolder, 1, *SessionWindow::parse("09:30-16:00"));
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
    std::filesystem::copy_file(kReplayFolder / "ABC.csv", dir / "ABC.csv");
    std::ofstream(dir / "BAD.csv") << "<html>not a price file</html>\n\x01\x02\x03\n";
    ReplaySource source(dir, 1);

    const auto noQuote = source.quote("NOPE", at(kWednesday, 10, 0));
    const auto noHistory = yearOf(source, "NOPE");
    EXPECT_FALSE(noQuote.ok);
    EXPECT_FALSE(noHistory.ok);
    for (const std::string& reason : {noQuote.reason, noHistory.reason})
        EXPECT_TRUE(reason.starts_with("no file NOPE.csv in")) << reason;
    const auto bad = source.quote("BAD", at(kWednesday, 10, 0));
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.reason.find("BAD.csv holds no bars"), std::string::npos) << bad.reason;

    // A file changed while the source is in use is read again.
    EXPECT_EQ(yearOf(source, "ABC").data.at(0).open, 55.66);
    std::ofstream(dir / "ABC.csv", std::ios::app) << "2024-01-02,60.00,61.00,59.00,60.50,1000\n";
    std::filesystem::last_write_time(
        dir / "ABC.csv", std::filesystem::last_write_time(dir / "ABC.csv") + std::chrono::seconds(5));
    EXPECT_EQ(lineOf(yearOf(source, "ABC").data.at(0)), "2026-03-10,60.00,61.00,59.00,60.50,1000");
}
