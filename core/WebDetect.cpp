#include "core/WebDetect.h"

#include "core/ServerSettings.h"
#include "platform/CurlDriver.h"

#include <QUrl>

bool GetConnectionState(qint32& Flags, QString& ConnectionName)
{
    Flags = kConnectionOffline;
    const QUrl server(gServerSettings.QuoteServer, QUrl::StrictMode);
    const bool secure = server.scheme() == u"https"_qs;
    if (!server.isValid() || server.host().isEmpty())
        return false;

    // A plain TCP connection to the server's host and port: with the http scheme and
    // CONNECT_ONLY, libcurl connects and stops before any TLS or HTTP.
    QUrl target;
    target.setScheme(u"http"_qs);
    target.setHost(server.host());
    target.setPort(server.port(secure ? 443 : 80));
    const QByteArray address = target.toEncoded();

    CURLM* multi = curl_multi_init();
    CURL* easy = curl_easy_init();
    bool reached = false;
    QByteArray peer;
    if (multi && easy) {
        curl_easy_setopt(easy, CURLOPT_URL, address.constData());
        curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(kConnectTimeoutMs));
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(kConnectTimeoutMs));
        const bool never = false;
        const CurlRun run = DriveTransfer(multi, easy, &never, 20);
        reached = run.finished && run.result == CURLE_OK;
        char* ip = nullptr;
        if (reached && curl_easy_getinfo(easy, CURLINFO_PRIMARY_IP, &ip) == CURLE_OK && ip)
            peer = ip;
    }
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    if (!reached)
        return false;

    Flags = kConnectionReached;
    if (peer.startsWith("127.") || peer == "::1")
        Flags |= kConnectionLoopback;
    if (secure)
        Flags |= kConnectionSecure;
    ConnectionName = server.host();
    return true;
}

bool IsConnected()
{
    qint32 flags = 0;
    QString name;
    return GetConnectionState(flags, name);
}
