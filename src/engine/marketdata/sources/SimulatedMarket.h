#pragma once

#include "engine/marketdata/sources/MarketSource.h"

#include <map>
#include <mutex>

namespace tradevane::market {

// The part of the day in which simulated prices move, in minutes since local midnight. The
// default is the whole day, so that a demonstration shows moving prices at any hour.
struct SessionWindow
{
    int startMinute = 0;
    int endMinute = 24 * 60;

    int length() const { return endMinute - startMinute; }
    // The minute of the day at which the close is quoted: the end, or 23:59 for a session that
    // runs to midnight (a clock never shows 24:00).
    int closeMinute() const { return endMinute < 24 * 60 ? endMinute : 24 * 60 - 1; }
    // Minutes from the open to the close: the length of the day's price path.
    int pathLength() const { return closeMinute() - startMinute; }
    // "09:30-16:00"; nullopt when the text is not such a window of at least 30 minutes.
    static std::optional<SessionWindow> parse(const std::string& text);
};

// Deterministic noise: the same keys always give the same numbers.
std::uint64_t noiseKey(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0);
std::uint64_t symbolHash(const std::string& symbol);
double uniform(std::uint64_t key); // [0, 1)
double gaussian(std::uint64_t key); // standard normal

// One trading day as it will unfold: where it opens, where it closes, how much it swings on the way
// and how many shares change hands over the whole session.
struct DayPlan
{
    QDate date;
    double previousClose = 0;
    double open = 0;
    double close = 0;
    double sigma = 0.02; // typical daily move, as a fraction of the price
    double swing = 0.02; // height of the waves within the day, as a fraction of the price
    std::int64_t volume = 0;
    std::uint64_t key = 0;
};

// The price path of a planned day, minute by minute from the open (minute 0) to the close (minute
// `minutes`): a bridge from open to close with waves and noise on the way. A pure function of the
// plan, so the bar served tomorrow matches the quotes shown today.
class IntradayPath
{
public:
    IntradayPath(const DayPlan& plan, int minutes);

    struct Point
    {
        double last;
        double high;
        double low;
    };
    Point at(int minute) const;

private:
    double increment(int minute) const;

    DayPlan m_plan;
    int m_minutes;
    double m_stepSigma;
    double m_walkEnd = 0;
    double m_period1, m_period2, m_phase1, m_phase2;
};

// Shares traded from the open up to the fraction `elapsed` (0..1) of the session: more at the
// open and near the close than at midday.
double volumeShare(double elapsed);

// The finished bar of a planned day.
MarketBar barOfDay(const DayPlan& plan, const SessionWindow& session);
// The quote at `now` on the planned day (clamped to the session: before it, the open; after it,
// the close).
QuoteFields quoteDuringDay(
    const std::string& symbol, const DayPlan& plan, const SessionWindow& session, const QDateTime& now);
// The last quote of a finished day.
QuoteFields quoteAfterDay(
    const std::string& symbol, const MarketBar& bar, double previousClose, const SessionWindow& session);

// A seeded simulated market: every plausible symbol has a daily history going back years and a
// session today whose quotes move minute by minute.
class SimulatedMarket final : public Source
{
public:
    explicit SimulatedMarket(std::uint64_t seed, SessionWindow session = {});

    std::string label() const override { return "simulated"; }
    Answer<QuoteFields> quote(const std::string& symbol, const QDateTime& now) override;
    Answer<std::vector<MarketBar>> history(
        const std::string& symbol, QDate from, QDate to, int limit, const QDateTime& now) override;

    // The plan of a trading day of `symbol`.
    DayPlan plan(const std::string& symbol, QDate day) const;

private:
    struct Character
    {
        double logBase, sigma, swing, baseVolume;
        double amplitude1, period1, phase1, amplitude2, period2, phase2;
        std::uint64_t key;
    };
    Character character(const std::string& symbol) const;
    double closeOf(const Character& c, std::int64_t tradingDay) const;
    MarketBar bar(const std::string& symbol, QDate day);

    std::uint64_t m_seed;
    SessionWindow m_session;
    std::mutex m_mutex;
    std::map<std::string, std::map<QDate, MarketBar>> m_bars; // finished days, computed once
};

// Trading days (Monday to Friday) counted from a fixed Monday, so that a day's number never
// depends on when it is asked for.
std::int64_t tradingDayNumber(QDate tradingDay);

} // namespace tradevane::market
