#include "RunToEnd.h"

#include "platform/HttpFetch.h"

#include <QEventLoop>
#include <QTimer>

using namespace tradevane;

namespace {

// Runs the event loop until `ended` holds, checking it every millisecond.
void runUntil(const std::function<bool()>& ended)
{
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (ended())
            loop.quit();
    });
    check.start(1);
    if (!ended())
        loop.exec();
}

} // namespace

std::optional<FetchResult> runToEnd(HttpFetcher& fetcher, const QString& url)
{
    std::optional<FetchResult> result;
    const auto fetch = fetcher.fetch(url, [&](const FetchResult& r) { result = r; });
    if (!fetch)
        return std::nullopt;
    // A cancel (from an event handler of the test) ends the fetch without a report.
    runUntil([&] { return result.has_value() || !fetcher.busy(); });
    return result;
}

SmtpResult runToEnd(SmtpClient& client, const MailMessage& message, const MailAccount& account)
{
    std::optional<SmtpResult> result;
    const auto send = client.send(message, account, [&](const SmtpResult& r) { result = r; });
    runUntil([&] { return result.has_value(); });
    return *result;
}

ConnectionState runToEnd(TransferHub& hub, const QString& quoteServer)
{
    std::optional<ConnectionState> state;
    const auto check = getConnectionState(hub, quoteServer, [&](const ConnectionState& s) { state = s; });
    runUntil([&] { return state.has_value(); });
    return *state;
}
