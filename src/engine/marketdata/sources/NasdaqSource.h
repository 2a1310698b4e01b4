#pragma once

#include "engine/marketdata/sources/MarketSource.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>

namespace tradevane::market {

// What the quote ("info") and summary answers of the upstream service hold, as texts.
struct UpstreamQuote
{
    std::string symbol, last, change, timestamp, open, high, low, volume;
};

// Why an upstream answer carries no data; empty when it does.
std::string upstreamProblem(const std::string& body);
// Reads an upstream JSON answer. Every failure comes back with a reason fit for the log: an HTML
// page instead of JSON, a JSON error ("Symbol not exists."), an answer without a price.
Answer<UpstreamQuote> readUpstreamInfo(const std::string& body);
// Fills the values an info answer lacked (high, low, volume) from a summary answer.
void addUpstreamSummary(UpstreamQuote& quote, const std::string& body);
// The daily rows of a historical answer, newest first; rows that are not prices are skipped.
Answer<std::vector<MarketBar>> readUpstreamHistory(const std::string& body);
// The nine quote fields; the date and time come from the upstream timestamp ("Nov 3, 2023 4:00 PM
// ET") or, when it has none, from `now`.
QuoteFields toQuoteFields(const UpstreamQuote& quote, const QDateTime& now);
// True when the reason says the symbol is unknown upstream (then another asset class is tried).
bool isUnknownSymbolReason(const std::string& reason);

struct NasdaqOptions
{
    std::string upstream = "https://api.nasdaq.com";
    int timeoutMs = 15000;
    // Upstream requests are spaced at least this far apart, whatever the program asks.
    int spacingMs = 600;
    // After the upstream service refused us (403, 429, a challenge page) it is left alone this long.
    int pauseAfterRefusalMs = 120000;
    int quoteSeconds = 30; // a symbol's quote is asked upstream at most once in this time
    int failureSeconds = 300; // a failed history is asked again after this time at the earliest
};

// Live prices from the public quote and historical JSON endpoints of Nasdaq's web site, turned into
// our two formats. Quotes are kept for 30 seconds and a symbol's history for the rest of the day.
class NasdaqSource final : public Source
{
public:
    explicit NasdaqSource(NasdaqOptions options = {});

    std::string label() const override { return "nasdaq"; }
    Answer<QuoteFields> quote(const std::string& symbol, const QDateTime& now) override;
    Answer<std::vector<MarketBar>> history(
        const std::string& symbol, QDate from, QDate to, int limit, const QDateTime& now) override;

    // Ends a transfer in hand within about a second and the wait between requests at once.
    void abandon() override;

    // Requests sent upstream so far (for the tests and the log).
    int upstreamRequests() const;

private:
    struct CachedQuote
    {
        QDateTime fetched;
        Answer<QuoteFields> answer;
    };
    struct CachedHistory
    {
        QDateTime fetched;
        QDate from, to;
        Answer<std::vector<MarketBar>> answer;
    };

    // The body of GET base/api/quote/SYMBOL/what?assetclass=...extra, for the symbol's asset class;
    // when stocks do not know the symbol, funds are asked once. The caller holds m_upstreamMutex.
    Answer<std::string> askUpstream(
        const std::string& symbol, const std::string& what, const std::string& extra);
    Answer<std::string> fetch(const std::string& url);

    std::optional<Answer<QuoteFields>> cachedQuote(const std::string& symbol, const QDateTime& now);
    std::optional<Answer<std::vector<MarketBar>>> cachedHistory(
        const std::string& symbol, QDate from, QDate to, const QDateTime& now);

    NasdaqOptions m_options;
    mutable std::mutex m_cacheMutex;
    std::map<std::string, CachedQuote> m_quotes;
    std::map<std::string, CachedHistory> m_histories;
    std::map<std::string, std::string> m_assetClass; // "stocks" or "etf" once known

    std::mutex m_upstreamMutex; // one upstream request at a time
    std::chrono::steady_clock::time_point m_nextRequest {};
    std::chrono::steady_clock::time_point m_refusedUntil {};
    int m_requests = 0;

    std::atomic<bool> m_abandoned {false};
    std::mutex m_abandonMutex;
    std::condition_variable m_abandonWake;
};

} // namespace tradevane::market
