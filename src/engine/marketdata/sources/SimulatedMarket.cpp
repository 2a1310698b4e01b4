#include "engine/marketdata/sources/SimulatedMarket.h"

#include "engine/marketdata/sources/SourceFormats.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tradevane::market {

namespace {

std::uint64_t mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

double between(std::uint64_t key, double low, double high)
{
    return low + (high - low) * uniform(key);
}

double cents(double price)
{
    return std::round(price * 100.0) / 100.0;
}

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Salt values that keep the different draws of one day apart.
enum Draw : std::uint64_t {
    DrawNoise = 1,
    DrawGap,
    DrawVolume,
    DrawSurge,
    DrawSwing,
    DrawPath,
    DrawWave,
};

QTime sessionEndTime(const SessionWindow& session)
{
    return QTime(session.closeMinute() / 60, session.closeMinute() % 60);
}

} // namespace

std::optional<SessionWindow> SessionWindow::parse(const std::string& text)
{
    int h1, m1, h2, m2;
    char tail;
    if (std::sscanf(text.c_str(), "%d:%d-%d:%d%c", &h1, &m1, &h2, &m2, &tail) != 4)
        return std::nullopt;
    if (h1 < 0 || h1 > 24 || m1 < 0 || m1 > 59 || h2 < 0 || h2 > 24 || m2 < 0 || m2 > 59)
        return std::nullopt;
    SessionWindow w {h1 * 60 + m1, h2 * 60 + m2};
    if (w.endMinute > 24 * 60 || w.length() < 30)
        return std::nullopt;
    return w;
}

std::uint64_t noiseKey(std::uint64_t a, std::uint64_t b, std::uint64_t c)
{
    return mix(mix(mix(a) ^ b) ^ c);
}

std::uint64_t symbolHash(const std::string& symbol)
{
    std::uint64_t h = 0xCBF29CE484222325ull; // FNV-1a: stable across compilers, unlike std::hash
    for (unsigned char c : symbol) {
        h ^= c;
        h *= 0x100000001B3ull;
    }
    return h;
}

double uniform(std::uint64_t key)
{
    return static_cast<double>(mix(key) >> 11) * 0x1.0p-53;
}

double gaussian(std::uint64_t key)
{
    const double u1 = 1.0 - uniform(key ^ 0x5555); // (0, 1]
    const double u2 = uniform(key ^ 0xAAAA);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
}

std::int64_t tradingDayNumber(QDate tradingDay)
{
    static const QDate kOrigin(2000, 1, 3); // a Monday
    const std::int64_t days = kOrigin.daysTo(tradingDay);
    const std::int64_t weeks = days >= 0 ? days / 7 : (days - 6) / 7;
    const std::int64_t weekday = days - weeks * 7; // 0 = Monday
    return weeks * 5 + std::min<std::int64_t>(weekday, 4);
}

// --- the path within a day ---------------------------------------------------------------------

IntradayPath::IntradayPath(const DayPlan& plan, int minutes)
    : m_plan(plan)
    , m_minutes(std::max(minutes, 1))
{
    // The noise adds up to about a third of a typical daily move over the session.
    m_stepSigma = plan.sigma * 0.35 / std::sqrt(static_cast<double>(m_minutes));
    for (int k = 0; k < m_minutes; ++k)
        m_walkEnd += increment(k);
    m_period1 = between(noiseKey(plan.key, DrawWave, 1), 70, 160);
    m_period2 = between(noiseKey(plan.key, DrawWave, 2), 22, 50);
    m_phase1 = between(noiseKey(plan.key, DrawWave, 3), 0, kTwoPi);
    m_phase2 = between(noiseKey(plan.key, DrawWave, 4), 0, kTwoPi);
}

double IntradayPath::increment(int minute) const
{
    // Uniform steps of the right size: cheaper than Gaussian ones and the same after a few minutes.
    return (2.0 * uniform(noiseKey(m_plan.key, DrawPath, static_cast<std::uint64_t>(minute))) - 1.0)
        * std::sqrt(3.0) * m_stepSigma;
}

IntradayPath::Point IntradayPath::at(int minute) const
{
    minute = std::clamp(minute, 0, m_minutes);
    const double logOpen = std::log(m_plan.open);
    const double logClose = std::log(m_plan.close);
    double walk = 0;
    double high = m_plan.open;
    double low = m_plan.open;
    double last = m_plan.open;
    for (int k = 1; k <= minute; ++k) {
        walk += increment(k - 1);
        const double u = static_cast<double>(k) / m_minutes;
        const double waves = m_plan.swing * std::sin(std::numbers::pi * u)
            * (std::sin(kTwoPi * k / m_period1 + m_phase1)
                + 0.45 * std::sin(kTwoPi * k / m_period2 + m_phase2));
        const double bridge = walk - u * m_walkEnd;
        last = k == m_minutes ? m_plan.close
                              : cents(std::exp(logOpen + (logClose - logOpen) * u + waves + bridge));
        high = std::max(high, last);
        low = std::min(low, last);
    }
    return {last, high, low};
}

double volumeShare(double elapsed)
{
    elapsed = std::clamp(elapsed, 0.0, 1.0);
    return elapsed + 0.6 * std::sin(kTwoPi * elapsed) / kTwoPi;
}

MarketBar barOfDay(const DayPlan& plan, const SessionWindow& session)
{
    const IntradayPath::Point end = IntradayPath(plan, session.pathLength()).at(session.pathLength());
    return {plan.date, plan.open, end.high, end.low, plan.close, plan.volume};
}

QuoteFields quoteDuringDay(
    const std::string& symbol, const DayPlan& plan, const SessionWindow& session, const QDateTime& now)
{
    const QTime time = now.time();
    const int minuteOfDay = time.hour() * 60 + time.minute();
    const int minute = std::clamp(minuteOfDay - session.startMinute, 0, session.pathLength());
    const IntradayPath::Point p = IntradayPath(plan, session.pathLength()).at(minute);
    const double traded
        = static_cast<double>(plan.volume) * volumeShare(static_cast<double>(minute) / session.pathLength());
    const QTime shown = minuteOfDay >= session.closeMinute() ? sessionEndTime(session)
        : minuteOfDay < session.startMinute ? QTime(session.startMinute / 60, session.startMinute % 60)
                                            : QTime(time.hour(), time.minute());
    return {symbol, formatPrice(p.last), formatQuoteDate(plan.date), formatQuoteTime(shown),
        formatChange(p.last - plan.previousClose), formatPrice(plan.open), formatPrice(p.high),
        formatPrice(p.low), std::to_string(static_cast<std::int64_t>(std::llround(traded)))};
}

QuoteFields quoteAfterDay(
    const std::string& symbol, const MarketBar& bar, double previousClose, const SessionWindow& session)
{
    return {symbol, formatPrice(bar.close), formatQuoteDate(bar.date),
        formatQuoteTime(sessionEndTime(session)), formatChange(bar.close - previousClose),
        formatPrice(bar.open), formatPrice(bar.high), formatPrice(bar.low), std::to_string(bar.volume)};
}

// --- the simulated market ----------------------------------------------------------------------

SimulatedMarket::SimulatedMarket(std::uint64_t seed, SessionWindow session)
    : m_seed(seed)
    , m_session(session)
{ }

SimulatedMarket::Character SimulatedMarket::character(const std::string& symbol) const
{
    const std::uint64_t key = noiseKey(m_seed, symbolHash(symbol));
    Character c;
    c.key = key;
    c.logBase = between(noiseKey(key, 1), std::log(15.0), std::log(400.0));
    c.sigma = between(noiseKey(key, 2), 0.012, 0.028);
    c.swing = between(noiseKey(key, 3), 0.012, 0.03);
    c.baseVolume = std::exp(between(noiseKey(key, 4), std::log(2e5), std::log(2e7)));
    // Slow and quicker waves give trends long enough for the long averages to cross, and turns
    // often enough for the short ones.
    c.amplitude1 = between(noiseKey(key, 5), 0.06, 0.18);
    c.period1 = between(noiseKey(key, 6), 50, 130);
    c.phase1 = between(noiseKey(key, 7), 0, kTwoPi);
    c.amplitude2 = between(noiseKey(key, 8), 0.02, 0.05);
    c.period2 = between(noiseKey(key, 9), 10, 24);
    c.phase2 = between(noiseKey(key, 10), 0, kTwoPi);
    return c;
}

double SimulatedMarket::closeOf(const Character& c, std::int64_t day) const
{
    // A moving sum of the last 20 daily shocks: moves like a random walk from day to day but stays
    // within a few typical moves of the waves, so no price runs away over the years.
    constexpr int kMemory = 20;
    const double shockSigma = c.sigma / std::sqrt(2.0);
    double noise = 0;
    for (int k = 0; k < kMemory; ++k)
        noise += shockSigma * gaussian(noiseKey(c.key, DrawNoise, static_cast<std::uint64_t>(day - k)));
    const double t = static_cast<double>(day);
    const double logPrice = c.logBase + c.amplitude1 * std::sin(kTwoPi * t / c.period1 + c.phase1)
        + c.amplitude2 * std::sin(kTwoPi * t / c.period2 + c.phase2) + noise;
    return cents(std::exp(logPrice));
}

DayPlan SimulatedMarket::plan(const std::string& symbol, QDate day) const
{
    const Character c = character(symbol);
    const std::int64_t n = tradingDayNumber(day);
    const auto dayKey = [&](Draw draw) { return noiseKey(c.key, draw, static_cast<std::uint64_t>(n)); };
    DayPlan p;
    p.date = day;
    p.key = dayKey(DrawPath);
    p.sigma = c.sigma;
    p.previousClose = closeOf(c, n - 1);
    p.close = closeOf(c, n);
    p.open = cents(p.previousClose * std::exp(0.3 * c.sigma * gaussian(dayKey(DrawGap))));
    p.swing = c.swing * between(dayKey(DrawSwing), 0.6, 1.3);
    const double move = std::fabs(std::log(p.close / p.previousClose));
    const bool surge = uniform(dayKey(DrawSurge)) < 0.12;
    p.volume = std::llround(c.baseVolume * std::exp(0.25 * gaussian(dayKey(DrawVolume))) * (1.0 + 6.0 * move)
        * (surge ? 2.3 : 1.0));
    return p;
}

MarketBar SimulatedMarket::bar(const std::string& symbol, QDate day)
{
    {
        std::lock_guard lock(m_mutex);
        auto& bars = m_bars[symbol];
        if (auto it = bars.find(day); it != bars.end())
            return it->second;
    }
    const MarketBar b = barOfDay(plan(symbol, day), m_session);
    std::lock_guard lock(m_mutex);
    // Bars are cheap to make again; a flood of made-up symbols must not fill the memory.
    if (m_bars.size() > 500)
        m_bars.clear();
    m_bars[symbol][day] = b;
    return b;
}

Answer<QuoteFields> SimulatedMarket::quote(const std::string& symbol, const QDateTime& now)
{
    const QDate today = now.date();
    const int minuteOfDay = now.time().hour() * 60 + now.time().minute();
    if (isTradingDay(today) && minuteOfDay >= m_session.startMinute)
        return Answer<QuoteFields>::success(quoteDuringDay(symbol, plan(symbol, today), m_session, now));
    // Before the session, and on weekends, the last finished day stands.
    const QDate last = previousTradingDay(today);
    const DayPlan p = plan(symbol, last);
    return Answer<QuoteFields>::success(
        quoteAfterDay(symbol, bar(symbol, last), p.previousClose, m_session), "last session's close");
}

Answer<std::vector<MarketBar>> SimulatedMarket::history(
    const std::string& symbol, QDate from, QDate to, int limit, const QDateTime& now)
{
    std::vector<MarketBar> bars;
    const QDate newest = std::min(to, now.date().addDays(-1));
    for (QDate day = newest; day >= from && static_cast<int>(bars.size()) < limit; day = day.addDays(-1)) {
        if (isTradingDay(day))
            bars.push_back(bar(symbol, day));
    }
    return Answer<std::vector<MarketBar>>::success(std::move(bars));
}

} // namespace tradevane::market
