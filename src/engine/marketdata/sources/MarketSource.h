#pragma once

#include <QDate>
#include <QDateTime>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tradevane::market {

// One trading day of a symbol.
struct MarketBar
{
    QDate date;
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    std::int64_t volume = 0;
};

// The latest quote of a symbol. Prices are kept as texts so that a source can say "N/A" for a
// value it does not have; the program decides from the texts whether it uses the quote.
struct QuoteFields
{
    std::string symbol;
    std::string last;
    std::string date; // M/D/YYYY
    std::string time; // h:mmam
    std::string change;
    std::string open;
    std::string high;
    std::string low;
    std::string volume;
};

// What a source answers: data, or the reason why there is none (logged by the service, never
// sent to the program, which only understands an empty body).
template<class T> struct Answer
{
    bool ok = false;
    T data {};
    std::string reason; // why there is no data
    std::string note; // extra words for the request log ("cached", "from upstream")

    static Answer success(T value, std::string note = {})
    {
        Answer a;
        a.ok = true;
        a.data = std::move(value);
        a.note = std::move(note);
        return a;
    }
    static Answer failure(std::string why)
    {
        Answer a;
        a.reason = std::move(why);
        return a;
    }
};

// The service's own clock: local date and time. Tests pass a fixed or stepping clock.
using ServiceClock = std::function<QDateTime()>;
ServiceClock systemServiceClock();

// A source of quotes and daily history. Called from several server threads at once.
class Source
{
public:
    virtual ~Source() = default;

    // The word the service uses for this source in its log and its answers ("simulated").
    virtual std::string label() const = 0;

    // `symbol` is upper case and already checked to be a plausible ticker.
    virtual Answer<QuoteFields> quote(const std::string& symbol, const QDateTime& now) = 0;

    // Daily bars with from <= date <= to and date before today, most recent first, at most
    // `limit` of them.
    virtual Answer<std::vector<MarketBar>> history(
        const std::string& symbol, QDate from, QDate to, int limit, const QDateTime& now)
        = 0;

    // Nobody wants an answer any more (the program closes, or a new START made a new source): the
    // requests in hand end soon, as failures, and so does every later one. A source that answers
    // at once anyway need not do anything.
    virtual void abandon() { }
};

} // namespace tradevane::market
