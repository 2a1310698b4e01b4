#include "RunToEnd.h"

#include "platform/HttpFetch.h"

#include <QEventLoop>
#include <QTimer>

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

std::optional<QString> RunToEnd(InetControl& control, const QString& url)
{
    std::optional<std::optional<QString>> body;
    const auto fetch = control.OpenURL(url, [&](const std::optional<QString>& b) { body = b; });
    if (!fetch)
        return std::nullopt;
    // A cancel (from an event handler of the test) ends the fetch without a report.
    runUntil([&] { return body.has_value() || !control.StillExecuting(); });
    return body.value_or(std::nullopt);
}

SmtpResult RunToEnd(SmtpControl& control)
{
    std::optional<SmtpResult> result;
    const auto send = control.Send([&](const SmtpResult& r) { result = r; });
    runUntil([&] { return result.has_value(); });
    return *result;
}

ConnectionState RunToEnd(TransferHub& hub, const QString& quoteServer)
{
    std::optional<ConnectionState> state;
    const auto check = GetConnectionState(hub, quoteServer, [&](const ConnectionState& s) { state = s; });
    runUntil([&] { return state.has_value(); });
    return *state;
}
