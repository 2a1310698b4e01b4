#include "engine/alerts/AlertPreview.h"

#include <gtest/gtest.h>

#include <map>

using namespace tradevane;

namespace {

const QDate kFirstDay(2026, 1, 5);

struct Day
{
    double high = 10.5;
    double low = 9.5;
    double close = 10.0;
    double volume = 1000;
};

// `days` quiet days, oldest first, with the changes of `events` (by day number, 0 the oldest), as
// the engine holds a downloaded history: the table's heading line first, then the newest day.
PriceHistory historyOf(int days, const std::map<int, Day>& events = {})
{
    PriceHistory history {
        barFromTexts(u"Date"_qs, u"Open"_qs, u"High"_qs, u"Low"_qs, u"Close"_qs, u"Volume"_qs)};
    for (int d = days - 1; d >= 0; --d) {
        const auto event = events.find(d);
        const Day day = event == events.end() ? Day {} : event->second;
        history.push_back(barFromTexts(kFirstDay.addDays(d).toString(Qt::ISODate), QString::number(day.close),
            QString::number(day.high), QString::number(day.low), QString::number(day.close),
            QString::number(day.volume)));
    }
    return history;
}

// The watched stock with only the alerts `kinds` on and the default numbers.
AlertSettings only(std::initializer_list<AlertKind> kinds)
{
    AlertSettings s;
    applyDefaultAlertSettings(s);
    s.symbol = u"ABC"_qs;
    s.watch = Watch::On;
    s.alertsOn.fill(false);
    for (const AlertKind kind : kinds)
        s.on(kind) = true;
    return s;
}

// The days (0 the oldest) on which `kind` gave a line.
std::vector<int> firing(const AlertPreview& preview, AlertKind kind)
{
    std::vector<int> days;
    for (int d = 0; d < preview.dayCount(); ++d) {
        if (preview.days[static_cast<std::size_t>(d)].kinds.contains(kind))
            days.push_back(d);
    }
    return days;
}

const StockIndex kStock = StockIndex::fromNumber(3);

TEST(AlertPreview, EachKindFiresOnTheDaysItsConditionHoldsAndNoOthers)
{
    using K = AlertKind;
    using Days = std::vector<int>;
    const int n = 80;

    // 5/10 crossing up: the closes step from 10 to 11 on day 50. Compared with two days back, it
    // holds on day 50 and still on day 51.
    std::map<int, Day> rise;
    for (int d = 50; d < n; ++d)
        rise[d] = {11.5, 10.5, 11.0, 1000};
    const AlertPreview cross
        = previewAlerts(historyOf(n, rise), kStock, only({K::ShortCrossUp, K::ShortCrossDown}));
    EXPECT_EQ(firing(cross, K::ShortCrossUp), (Days {50, 51}));
    EXPECT_EQ(firing(cross, K::ShortCrossDown), Days {});

    // A new 20-day high on day 50, a new 20-day low on day 60.
    const AlertPreview breakout
        = previewAlerts(historyOf(n, {{50, {11.0, 9.5, 10.0, 1000}}, {60, {10.5, 9.0, 10.0, 1000}}}), kStock,
            only({K::HighestHigh, K::LowestLow}));
    EXPECT_EQ(firing(breakout, K::HighestHigh), Days {50});
    EXPECT_EQ(firing(breakout, K::LowestLow), Days {60});

    // A close 6 % up on day 40: above +5 % that day, and 20 rows later 5.7 % down from it.
    AlertSettings rateLimits = only({K::RateOfChangeAbove, K::RateOfChangeBelow});
    rateLimits.rateOfChangeAbove = 5;
    rateLimits.rateOfChangeBelow = -5;
    const AlertPreview rate
        = previewAlerts(historyOf(n, {{40, {10.7, 9.5, 10.6, 1000}}}), kStock, rateLimits);
    EXPECT_EQ(firing(rate, K::RateOfChangeAbove), Days {40});
    EXPECT_EQ(firing(rate, K::RateOfChangeBelow), Days {60});
    EXPECT_EQ(rate.days[40].lines, QStringList {u"ABC    : 21 Day Rate of Change > 5%"_qs});

    // Three days at the top of the range lift the slow %K above 80; on day 74 it turns below %D.
    const AlertPreview stochastic
        = previewAlerts(historyOf(n,
                            {{70, {11, 10, 11, 1000}}, {71, {11, 10, 11, 1000}}, {72, {11, 10, 11, 1000}},
                                {73, {11, 10, 10.9, 1000}}, {74, {11, 10, 10.5, 1000}}}),
            kStock, only({K::StochasticAbove80, K::StochasticBelow20}));
    EXPECT_EQ(firing(stochastic, K::StochasticAbove80), Days {74});
    EXPECT_EQ(firing(stochastic, K::StochasticBelow20), Days {});

    // Price levels and five times the usual volume.
    AlertSettings levels = only({K::PriceAbove, K::PriceBelow, K::VolumeSurge});
    levels.priceAbove = 12;
    levels.priceBelow = 9;
    const AlertPreview price = previewAlerts(
        historyOf(
            n, {{45, {10.5, 9.5, 10.0, 5000}}, {65, {9.0, 8.4, 8.5, 1000}}, {70, {12.6, 11.9, 12.5, 1000}}}),
        kStock, levels);
    EXPECT_EQ(firing(price, K::VolumeSurge), Days {45});
    EXPECT_EQ(firing(price, K::PriceBelow), Days {65});
    EXPECT_EQ(firing(price, K::PriceAbove), Days {70});
    EXPECT_EQ(price.days[70].lines, QStringList {u"ABC    : Price climbed above $12.00"_qs});

    // The counts: per kind the days and the last day, and the days with any line.
    EXPECT_EQ(price.dayCount(), n);
    EXPECT_EQ(price.reportingDays, 3);
    EXPECT_EQ(price.firedDays[static_cast<std::size_t>(K::PriceAbove)], 1);
    EXPECT_EQ(price.lastFired[static_cast<std::size_t>(K::PriceAbove)], 70);
    EXPECT_EQ(price.lastFired[static_cast<std::size_t>(K::HighestHigh)], -1);
}

TEST(AlertPreview, EveryDayIsANewTradingDayWithOrWithoutRepeats)
{
    // The price stays above the level for three days: once a day means once on each of them.
    AlertSettings s = only({AlertKind::PriceAbove});
    s.priceAbove = 12;
    const PriceHistory history = historyOf(
        40, {{30, {12.6, 11.9, 12.5, 1000}}, {31, {12.6, 11.9, 12.5, 1000}}, {32, {12.6, 11.9, 12.5, 1000}}});
    const AlertPreview onceADay = previewAlerts(history, kStock, s);
    s.repeatAlerts = true;
    const AlertPreview repeat = previewAlerts(history, kStock, s);
    EXPECT_EQ(firing(onceADay, AlertKind::PriceAbove), (std::vector<int> {30, 31, 32}));
    EXPECT_EQ(firing(repeat, AlertKind::PriceAbove), firing(onceADay, AlertKind::PriceAbove));
}

TEST(AlertPreview, AShortHistoryGivesTheMonitoringsErrorNoteOnTheSameDays)
{
    // Until 21 rows stand behind a day, the close 20 rows back is missing and the rate of change
    // fails, as in the monitoring: no line that day, the note instead.
    const AlertPreview preview = previewAlerts(historyOf(25), kStock, only({AlertKind::VolumeSurge}));
    ASSERT_EQ(preview.dayCount(), 25);
    for (int d = 0; d < 25; ++d) {
        const PreviewDay& day = preview.days[static_cast<std::size_t>(d)];
        EXPECT_EQ(day.error, d < 20 ? u"Calc Error-Stock #:3 ROC Calc"_qs : QString()) << d;
        EXPECT_TRUE(day.lines.isEmpty());
    }
    EXPECT_EQ(preview.errorDays, 20);

    // From a date on: only the days since.
    const AlertPreview recent
        = previewAlerts(historyOf(25), kStock, only({AlertKind::VolumeSurge}), kFirstDay.addDays(22));
    ASSERT_EQ(recent.dayCount(), 3);
    EXPECT_EQ(recent.days.front().date, kFirstDay.addDays(22));
}

} // namespace
