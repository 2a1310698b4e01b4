#include "MarketFixtures.h"

#include "engine/marketdata/sources/SimulatedMarket.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace tradevane::market;

namespace {

const QDate kWednesday = kMarketWednesday;

std::vector<MarketBar> history(
    SimulatedMarket& market, const std::string& symbol, QDate today, int limit = 282)
{
    const auto answer = market.history(symbol, today.addDays(-365), today, limit, at(today, 9, 0));
    EXPECT_TRUE(answer.ok);
    return answer.data;
}

// The quote line and the history text `market` gives for `symbol` on the Wednesday.
std::string served(SimulatedMarket& market, const std::string& symbol)
{
    return quoteLine(market.quote(symbol, at(kWednesday, 11, 17)).data)
        + historyText(history(market, symbol, kWednesday), market.label(), 282);
}

} // namespace

TEST(SimulatedMarket, SameSeedGivesTheSameMarketAndAnotherSeedAnother)
{
    SimulatedMarket first(7), again(7), other(8);
    for (const std::string symbol : {"ABC", "MSFT"}) {
        EXPECT_EQ(served(first, symbol), served(again, symbol)) << symbol;
        EXPECT_NE(served(first, symbol), served(other, symbol)) << symbol;
    }
    // Symbols differ from each other.
    EXPECT_NE(served(first, "ABC").substr(6), served(first, "ABD").substr(6));
}

TEST(SimulatedMarket, HistoryIsTheTradingDaysOfAYearEndingYesterday)
{
    SimulatedMarket market(1);
    const std::vector<MarketBar> all = history(market, "IBM", kWednesday, 100000);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front().date, kWednesday.addDays(-1));
    EXPECT_GE(all.back().date, kWednesday.addDays(-365));
    EXPECT_NEAR(static_cast<double>(all.size()), 261, 1);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const MarketBar& b = all[i];
        EXPECT_TRUE(isTradingDay(b.date)) << isoDate(b.date);
        if (i > 0) {
            EXPECT_LT(b.date, all[i - 1].date);
        }
        EXPECT_LE(b.low, std::min(b.open, b.close));
        EXPECT_GE(b.high, std::max(b.open, b.close));
        EXPECT_GT(b.low, 1.0);
        EXPECT_LT(b.high, 9999.0);
        EXPECT_GT(b.volume, 0);
        if (i + 1 < all.size()) { // gaps between days stay small
            EXPECT_LT(std::fabs(std::log(b.open / all[i + 1].close)), 0.1);
        }
    }
    // On a Monday the newest bar is Friday's; the limit keeps the newest bars.
    const std::vector<MarketBar> monday = history(market, "IBM", QDate(2026, 3, 16), 241);
    EXPECT_EQ(monday.front().date, QDate(2026, 3, 13));
    EXPECT_EQ(monday.size(), 241u);
}

TEST(SimulatedMarket, QuotesMoveThroughTheDayAndEndAsTomorrowsBar)
{
    SimulatedMarket market(1);
    double previousHigh = 0, previousLow = 1e9, previousVolume = -1;
    std::map<std::string, int> lasts;
    for (int minute = 0; minute < 24 * 60; minute += 5) {
        const QuoteFields q = market.quote("XOM", at(kWednesday, minute / 60, minute % 60)).data;
        EXPECT_EQ(q.date, "3/11/2026");
        const double high = *priceValue(q.high), low = *priceValue(q.low), last = *priceValue(q.last);
        EXPECT_GE(high, previousHigh);
        EXPECT_LE(low, previousLow);
        EXPECT_LE(low, last);
        EXPECT_GE(high, last);
        EXPECT_GE(std::stod(q.volume), previousVolume);
        previousHigh = high;
        previousLow = low;
        previousVolume = std::stod(q.volume);
        ++lasts[q.last];
    }
    EXPECT_GT(lasts.size(), 200u) << "the price should move nearly every five minutes";

    const QuoteFields close = market.quote("XOM", at(kWednesday, 23, 59)).data;
    const MarketBar bar = history(market, "XOM", kWednesday.addDays(1)).front();
    EXPECT_EQ(bar.date, kWednesday);
    EXPECT_EQ(close.last, formatPrice(bar.close));
    EXPECT_EQ(close.open, formatPrice(bar.open));
    EXPECT_EQ(close.high, formatPrice(bar.high));
    EXPECT_EQ(close.low, formatPrice(bar.low));
    EXPECT_EQ(close.volume, std::to_string(bar.volume));
}

TEST(SimulatedMarket, OutsideTheSessionTheLastCloseStands)
{
    SimulatedMarket market(1, *SessionWindow::parse("09:30-16:00"));
    const QuoteFields early = market.quote("KO", at(kWednesday, 8, 0)).data;
    const MarketBar tuesday = history(market, "KO", kWednesday).front();
    EXPECT_EQ(early.date, "3/10/2026");
    EXPECT_EQ(early.time, "4:00pm");
    EXPECT_EQ(early.last, formatPrice(tuesday.close));

    const QuoteFields open = market.quote("KO", at(kWednesday, 9, 30)).data;
    EXPECT_EQ(open.date, "3/11/2026");
    EXPECT_EQ(open.last, open.open);
    EXPECT_EQ(open.change, formatChange(*priceValue(open.open) - tuesday.close));

    const QuoteFields late = market.quote("KO", at(kWednesday, 20, 0)).data;
    EXPECT_EQ(late.time, "4:00pm");
    EXPECT_EQ(late.last, formatPrice(history(market, "KO", kWednesday.addDays(1)).front().close));

    // Saturday and Sunday show Friday's close.
    const QuoteFields saturday = market.quote("KO", at(QDate(2026, 3, 14), 12, 0)).data;
    const QuoteFields sunday = market.quote("KO", at(QDate(2026, 3, 15), 12, 0)).data;
    EXPECT_EQ(saturday.date, "3/13/2026");
    EXPECT_EQ(quoteLine(saturday), quoteLine(sunday));
}
