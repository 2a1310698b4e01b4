#include "engine/marketdata/ConnectionCheck.h"

#include "platform/Deferred.h"
#include "platform/TransferHub.h"

#include <QUrl>

namespace tradevane {

namespace {

// The check under way: the address libcurl reads, and the transfer.
class ConnectionCheck final : public Pending
{
public:
    void cancel() override { transfer->cancel(); }

    QByteArray address;
    std::unique_ptr<Transfer> transfer;
};

} // namespace

std::unique_ptr<Pending> getConnectionState(
    TransferHub& hub, const QString& quoteServer, std::function<void(const ConnectionState&)> done)
{
    const QUrl server(quoteServer, QUrl::StrictMode);
    const bool secure = server.scheme() == u"https"_qs;
    const QString host = server.host();
    CURL* easy = server.isValid() && !host.isEmpty() ? curl_easy_init() : nullptr;
    if (!easy)
        return std::make_unique<Deferred>([done] { done({}); });

    // A plain TCP connection to the server's host and port: with the http scheme and
    // CONNECT_ONLY, libcurl connects and stops before any TLS or HTTP.
    auto check = std::make_unique<ConnectionCheck>();
    QUrl target;
    target.setScheme(u"http"_qs);
    target.setHost(host);
    target.setPort(server.port(secure ? 443 : 80));
    check->address = target.toEncoded();
    curl_easy_setopt(easy, CURLOPT_URL, check->address.constData());
    curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(kConnectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(kConnectTimeoutMs));
    check->transfer = hub.start(easy, [easy, host, secure, done](const Transfer::Result& result) {
        ConnectionState state;
        char* ip = nullptr;
        if (result.cancelled || result.code != CURLE_OK
            || curl_easy_getinfo(easy, CURLINFO_PRIMARY_IP, &ip) != CURLE_OK) {
            done(state);
            return;
        }
        const QByteArray peer = ip ? QByteArray(ip) : QByteArray();
        state.connected = true;
        state.flags = kConnectionReached;
        if (peer.startsWith("127.") || peer == "::1")
            state.flags |= kConnectionLoopback;
        if (secure)
            state.flags |= kConnectionSecure;
        state.connectionName = host;
        done(state);
    });
    return check;
}

} // namespace tradevane
