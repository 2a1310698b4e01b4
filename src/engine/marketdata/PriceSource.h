#pragma once

#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/settings/ServerSettings.h"
#include "engine/settings/SourceSettings.h"
#include "platform/HttpFetch.h"
#include "platform/Pending.h"

#include <QString>

#include <functional>
#include <memory>

namespace tradevane {

class TransferHub;

// Whether a source can give prices now: empty when it can, else one sentence saying which source
// failed and why. `offline` marks the case where the internet itself is unreachable.
struct SourceCheck
{
    QString problem;
    bool offline = false;
    bool ok() const { return problem.isEmpty(); }
};

using FetchDone = std::function<void(const FetchResult&)>;

// Where the quotes and the daily histories come from. Every source answers in the two texts a
// quote server and a history server send (one quote line of nine fields; a heading and one line
// a day), so that the engine reads every source's prices the same way. Answers come from the event
// loop; a fetch that is cancelled or destroyed reports nothing.
class PriceSource
{
public:
    virtual ~PriceSource() = default;

    // For the status line and the log's start line: "simulated market (not real prices)".
    virtual QString description() const = 0;
    virtual bool realPrices() const = 0;

    // The quote line of `symbol`. Null when the source cannot take the request now (the engine
    // then treats it as a server that does not answer).
    [[nodiscard]] virtual std::unique_ptr<Pending> fetchQuote(const QString& symbol, FetchDone done) = 0;
    // The daily bars of `symbol` over `dates` (a year up to today), newest first.
    [[nodiscard]] virtual std::unique_ptr<Pending> fetchHistory(
        const QString& symbol, const HistoryDates& dates, FetchDone done)
        = 0;
    // Whether prices can be had, asked once per START.
    [[nodiscard]] virtual std::unique_ptr<Pending> check(std::function<void(const SourceCheck&)> done) = 0;
};

// The source `settings` choose: the servers of servers.ini through `fetcher`, or one inside the
// program. `liveUpstream` is the web service of the live source (empty: the public one).
std::unique_ptr<PriceSource> makePriceSource(const SourceSettings& settings, const ServerSettings& servers,
    HttpFetcher& fetcher, TransferHub& hub, const QString& liveUpstream = {});

} // namespace tradevane
