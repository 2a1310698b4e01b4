#include "engine/marketdata/PriceSource.h"

#include "engine/marketdata/ConnectionCheck.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "engine/marketdata/sources/NasdaqSource.h"
#include "engine/marketdata/sources/ReplaySource.h"
#include "engine/marketdata/sources/SimulatedMarket.h"
#include "engine/marketdata/sources/SourceFormats.h"
#include "platform/Clock.h"
#include "platform/Deferred.h"
#include "platform/SmtpClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

namespace tradevane {

namespace {

// The history server's limit on rows (283 with the heading): a longer answer is read as damaged.
constexpr int kHistoryRows = 282;

// The quote and history servers of servers.ini, asked over HTTP.
class ServerPriceSource final : public PriceSource
{
public:
    ServerPriceSource(ServerSettings servers, HttpFetcher& fetcher, TransferHub& hub)
        : m_servers(std::move(servers))
        , m_fetcher(fetcher)
        , m_hub(hub)
    { }

    QString description() const override { return sourceDescription({}, m_servers.quoteServer); }
    bool realPrices() const override { return true; }

    std::unique_ptr<Pending> fetchQuote(const QString& symbol, FetchDone done) override
    {
        return m_fetcher.fetch(quoteRequest(m_servers.quoteServer, symbol), std::move(done));
    }
    std::unique_ptr<Pending> fetchHistory(
        const QString& symbol, const HistoryDates& dates, FetchDone done) override
    {
        return m_fetcher.fetch(historyRequest(m_servers.historyServer, symbol, dates), std::move(done));
    }
    std::unique_ptr<Pending> check(std::function<void(const SourceCheck&)> done) override
    {
        const QString server = m_servers.quoteServer;
        const bool onThisMachine = Smtp::isLoopbackHost(QUrl(server).host());
        return getConnectionState(m_hub, server, [done, server, onThisMachine](const ConnectionState& state) {
            SourceCheck answer;
            if (!state.connected && onThisMachine)
                answer.problem = u"No quote server answers at "_qs + server
                    + u". Start the quote service (tradevane-quoted), or choose another data source with the "
                      "Data Source button."_qs;
            else if (!state.connected)
                answer = {u"offline"_qs, true};
            done(answer);
        });
    }

private:
    ServerSettings m_servers;
    HttpFetcher& m_fetcher;
    TransferHub& m_hub;
};

// A fetch answered by a source inside the program. The source works on a pool thread (the live
// source waits for the internet there); the answer comes back through the event loop, and only
// while the fetch is still wanted.
class LocalFetch final : public QObject, public Pending
{
public:
    explicit LocalFetch(FetchDone done)
        : m_done(std::move(done))
    { }
    void cancel() override { m_done = nullptr; }
    void deliver(const FetchResult& result)
    {
        if (auto done = std::exchange(m_done, nullptr))
            done(result);
    }

private:
    FetchDone m_done;
};

// Runs `work` on a pool thread and hands its result to `fetch` on the event loop's thread, unless
// the fetch has been cancelled or destroyed by then.
std::unique_ptr<Pending> runLocally(std::function<FetchResult()> work, FetchDone done)
{
    auto fetch = std::make_unique<LocalFetch>(std::move(done));
    QPointer<LocalFetch> target(fetch.get());
    QThreadPool::globalInstance()->start([work = std::move(work), target] {
        const FetchResult result = work();
        // The application object lives on the event loop's thread for the whole run: the answer is
        // queued there, and the pointer is read on that thread only.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, result] {
                if (target)
                    target->deliver(result);
            },
            Qt::QueuedConnection);
    });
    return fetch;
}

FetchResult answered(const std::string& body)
{
    return {true, 200, u"OK"_qs, QString::fromLatin1(QByteArray::fromStdString(body))};
}

// As a source cannot give the prices: the fetch fails with the source's reason, which the activity
// log shows after the code.
FetchResult refused(const std::string& reason)
{
    return {false, 404, QString::fromStdString(reason), {}};
}

// The simulated market, a replay folder or the live upstream, inside the program.
class LocalPriceSource final : public PriceSource
{
public:
    using Check = std::function<std::unique_ptr<Pending>(std::function<void(const SourceCheck&)>)>;

    LocalPriceSource(std::shared_ptr<market::Source> source, QString description, bool real, Check check)
        : m_source(std::move(source))
        , m_description(std::move(description))
        , m_real(real)
        , m_check(std::move(check))
    { }

    // The fetches still on pool threads keep the source alive; they end soon, unanswered.
    ~LocalPriceSource() override { m_source->abandon(); }
    LocalPriceSource(const LocalPriceSource&) = delete;
    LocalPriceSource& operator=(const LocalPriceSource&) = delete;

    QString description() const override { return m_description; }
    bool realPrices() const override { return m_real; }

    std::unique_ptr<Pending> fetchQuote(const QString& symbol, FetchDone done) override
    {
        const std::string wanted = market::toUpper(symbol.trimmed().toStdString());
        const QDateTime at = now();
        return runLocally(
            [source = m_source, wanted, at]() -> FetchResult {
                if (!market::isPlausibleSymbol(wanted))
                    return refused(source->label() + ": not a symbol");
                const market::Answer<market::QuoteFields> answer = source->quote(wanted, at);
                return answer.ok ? answered(market::quoteLine(answer.data))
                                 : refused(source->label() + ": " + answer.reason);
            },
            std::move(done));
    }

    std::unique_ptr<Pending> fetchHistory(
        const QString& symbol, const HistoryDates& dates, FetchDone done) override
    {
        const std::string wanted = market::toUpper(symbol.trimmed().toStdString());
        const QDateTime at = now();
        const QDate from = dates.fromDate.date();
        const QDate to = dates.today.date();
        return runLocally(
            [source = m_source, wanted, at, from, to]() -> FetchResult {
                if (!market::isPlausibleSymbol(wanted))
                    return refused(source->label() + ": not a symbol");
                const auto answer = source->history(wanted, from, to, kHistoryRows, at);
                if (!answer.ok)
                    return refused(source->label() + ": " + answer.reason);
                if (answer.data.empty())
                    return refused(source->label() + ": no trading days for " + wanted);
                return answered(market::historyText(answer.data, source->label(), kHistoryRows));
            },
            std::move(done));
    }

    std::unique_ptr<Pending> check(std::function<void(const SourceCheck&)> done) override
    {
        return m_check(std::move(done));
    }

private:
    std::shared_ptr<market::Source> m_source;
    QString m_description;
    bool m_real;
    Check m_check;
};

std::unique_ptr<Pending> answerAtOnce(const SourceCheck& answer, std::function<void(const SourceCheck&)> done)
{
    return std::make_unique<Deferred>([answer, done] { done(answer); });
}

// The replay needs a folder with at least one price file (SYMBOL.csv).
SourceCheck checkReplayFolder(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return {u"The replay folder "_qs + folder
            + u" does not exist. Choose another folder with the Data Source button."_qs};
    if (dir.entryList({u"*.csv"_qs, u"*.CSV"_qs}, QDir::Files).isEmpty())
        return {u"The replay folder "_qs + folder + u" is empty: it holds no price files (SYMBOL.csv)."_qs};
    return {};
}

} // namespace

std::unique_ptr<PriceSource> makePriceSource(const SourceSettings& settings, const ServerSettings& servers,
    HttpFetcher& fetcher, TransferHub& hub, const QString& liveUpstream)
{
    const QString description = sourceDescription(settings, servers.quoteServer);
    switch (settings.kind) {
    case SourceKind::Simulated:
        return std::make_unique<LocalPriceSource>(std::make_shared<market::SimulatedMarket>(settings.seed),
            description, false, [](auto done) { return answerAtOnce({}, std::move(done)); });
    case SourceKind::Replay: {
        const QString folder = settings.replayFolder;
        return std::make_unique<LocalPriceSource>(
            std::make_shared<market::ReplaySource>(QDir(folder).filesystemAbsolutePath(), settings.seed),
            description, false,
            [folder](auto done) { return answerAtOnce(checkReplayFolder(folder), std::move(done)); });
    }
    case SourceKind::Live: {
        market::NasdaqOptions options;
        if (!liveUpstream.isEmpty())
            options.upstream = liveUpstream.toStdString();
        const QString upstream = QString::fromStdString(options.upstream);
        return std::make_unique<LocalPriceSource>(
            std::make_shared<market::NasdaqSource>(options), description, true, [&hub, upstream](auto done) {
                return getConnectionState(hub, upstream, [done](const ConnectionState& state) {
                    done(state.connected ? SourceCheck {} : SourceCheck {u"offline"_qs, true});
                });
            });
    }
    case SourceKind::Servers:
        break;
    }
    return std::make_unique<ServerPriceSource>(servers, fetcher, hub);
}

} // namespace tradevane
