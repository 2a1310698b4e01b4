#pragma once

#include "engine/model/PriceHistory.h"
#include "engine/model/Settings.h"

#include <QStringList>

#include <array>

namespace tradevane {

class ActivityLog;

// The latest delayed quote of a stock: nine texts exactly as received.
struct Quote
{
    QString symbol;
    QString last;
    QString date;
    QString time;
    QString change;
    QString open;
    QString high;
    QString low;
    QString volume;
};

// One of the ten stocks: index 0..9 inside the program, number 1..10 in what the user reads
// ("Stock #:3"), in the main window's rows and in the settings file names (Aset3.dat).
class StockIndex
{
public:
    constexpr explicit StockIndex(int index)
        : m_index(index)
    { }
    static constexpr StockIndex fromNumber(int number) { return StockIndex(number - 1); }

    constexpr int index() const { return m_index; }
    constexpr int number() const { return m_index + 1; }
    constexpr bool operator==(const StockIndex&) const = default;

private:
    int m_index;
};

// Every stock in order, for range-for loops.
constexpr std::array<StockIndex, kStockCount> allStocks()
{
    std::array<StockIndex, kStockCount> all {StockIndex(0), StockIndex(1), StockIndex(2), StockIndex(3),
        StockIndex(4), StockIndex(5), StockIndex(6), StockIndex(7), StockIndex(8), StockIndex(9)};
    return all;
}

struct AlertEntry
{
    bool triggered = false; // the alert's condition holds (or held when last evaluated)
    bool armed = false; // a line for this alert may still be reported today
};

struct AlertStates
{
    std::array<AlertEntry, kAlertKinds> entries {};
    AlertEntry& operator[](AlertKind kind) { return entries[static_cast<std::size_t>(kind)]; }
    const AlertEntry& operator[](AlertKind kind) const { return entries[static_cast<std::size_t>(kind)]; }
};

// Indicator results of one stock.
struct IndicatorValues
{
    // [average 0..5][day 0..2]: averages in the order short fast, short slow, medium fast, medium
    // slow, long fast, long slow; day 0 ends with today's row, day 1 with yesterday's.
    std::array<std::array<double, 3>, 6> movingAverage {};
    double rateOfChange = 0.0;
    double todayVolume = 0.0;
    double averageVolume = 0.0;
    bool newHigh = false;
    bool newLow = false;
    double stochK = 0.0;
    double stochD = 0.0;
};

// What the monitoring engine knows of one stock during a run.
struct StockState
{
    Quote quote;
    PriceHistory history; // row 0 today, older rows after it
    IndicatorValues indicators;
    AlertStates alerts;
    bool downloadError = false; // a download, parse, indicator or sound step failed in this set
    bool stockFailed = false; // out of the rest of this quote set
    bool quoteValid = false; // the last quote passed the plausibility test
    QStringList reportedToday; // the alert lines reported today, in order (without line ends)
    QString lastError; // the log's text of the latest download or data failure
};

// Everything a per-stock routine works on: the stock, its settings, its state and the log its
// notes go to.
struct StockContext
{
    StockIndex stock;
    const AlertSettings& settings;
    StockState& state;
    ActivityLog& log;
};

} // namespace tradevane
