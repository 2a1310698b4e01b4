#pragma once

#include <QObject>
#include <QString>

#include <optional>

// The internet transfer control: fetches one document by address, synchronously for the caller,
// while the windows stay responsive. The transfer runs on a libcurl multi handle that is polled
// every 20 ms; pending window events are processed between two polls, so a button click or a
// timer runs during a download.
//
// Safety limits that a stalled or rogue server cannot get past:
// - connect time-out 10 s, whole transfer 30 s;
// - a body larger than 1 MiB is refused;
// - an HTTP status of 400 or above is an error, its body is not returned;
// - at most kMaxRedirects redirects, only to http or https; https certificates are verified;
// - a call of OpenURL while a transfer runs (from an event handler) is refused.
//
// Every failure raises StateChanged(icError) before OpenURL returns, with ResponseCode and
// ResponseInfo describing it: the HTTP status and its reason for a status of 400 or above,
// otherwise the libcurl error number and its readable text. A refused nested call and a cancelled
// transfer raise nothing: neither says anything about the server.
class InetControl : public QObject
{
    Q_OBJECT

public:
    // The states the control reports (the numbering the main window's handler knows).
    enum State {
        icNone = 0,
        icConnecting = 3,
        icConnected = 4,
        icResponseReceived = 8,
        icError = 11,
        icResponseCompleted = 12,
    };

    static constexpr int kDefaultConnectTimeoutMs = 10'000;
    static constexpr int kDefaultTransferTimeoutMs = 30'000;
    static constexpr qint64 kMaxBodyBytes = 1024 * 1024;
    static constexpr int kMaxRedirects = 5;
    static constexpr int kPollMs = 20;

    explicit InetControl(QObject* parent = nullptr);
    ~InetControl() override;

    // The body of the document at `url`, decoded byte for byte (Latin-1, the program's single-byte
    // code page). An answer with an empty body gives an empty text; nothing means the fetch failed
    // (StateChanged(icError) has been raised unless the call was refused or cancelled).
    [[nodiscard]] std::optional<QString> OpenURL(const QString& url);

    // Ends a transfer in progress: OpenURL returns nothing at its next poll. Without a transfer
    // it does nothing.
    void Cancel();

    bool StillExecuting() const { return m_busy; }

    // HTTP status (200 on success), or the libcurl error number when no status applies.
    int ResponseCode = 0;
    // The reason text of the status line, or the readable description of the failure.
    QString ResponseInfo;

    int connectTimeoutMs() const { return m_connectTimeoutMs; }
    int transferTimeoutMs() const { return m_transferTimeoutMs; }
    // Shorter limits let tests of a stalled server end in a moment.
    void setTimeouts(int connectMs, int transferMs);
    // A certificate authority file to trust instead of the system's (a test server's own).
    void setCaFile(const QString& path) { m_caFile = path; }

signals:
    void StateChanged(int State);

private:
    void fail(int code, const QString& info);

    void* m_multi = nullptr; // CURLM*, kept for the control's lifetime so connections are reused
    bool m_busy = false;
    bool m_cancel = false;
    int m_connectTimeoutMs = kDefaultConnectTimeoutMs;
    int m_transferTimeoutMs = kDefaultTransferTimeoutMs;
    QString m_caFile;
};
