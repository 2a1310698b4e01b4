#include "platform/LegacyWait.h"

#include "platform/InetControl.h"
#include "platform/ProgramEnd.h"

#include <QEventLoop>

namespace {

// Runs `start` and waits for its outcome; `cancel` ends it when the program ends first.
template<typename Result, typename Start>
std::optional<Result> waitFor(Start start)
{
    if (ProgramEnding())
        return std::nullopt;
    std::optional<Result> result;
    QEventLoop loop;
    auto pending = start([&](const Result& r) {
        result = r;
        loop.quit();
    });
    if (!result && !pending)
        return std::nullopt; // refused
    if (!result)
        loop.exec();
    if (!result && pending)
        pending->cancel();
    return result;
}

} // namespace

std::optional<QString> OpenURLAndWait(InetControl& control, const QString& url)
{
    struct Cancel
    {
        InetControl& control;
        void cancel() { control.Cancel(); }
    };
    const auto body = waitFor<std::optional<QString>>([&](auto done) {
        return control.OpenURL(url, done) ? std::make_unique<Cancel>(Cancel {control}) : nullptr;
    });
    return body.value_or(std::nullopt);
}

SmtpResult SendAndWait(SmtpControl& control)
{
    return waitFor<SmtpResult>([&](auto done) { return control.Send(done); })
        .value_or(SmtpResult {false, u"The program is ending"_qs});
}

ConnectionState ConnectionStateAndWait(TransferHub& hub, const QString& quoteServer)
{
    return waitFor<ConnectionState>([&](auto done) { return GetConnectionState(hub, quoteServer, done); })
        .value_or(ConnectionState {});
}
