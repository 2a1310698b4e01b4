#pragma once

#include "platform/Pending.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Transfer;
class TransferHub;

// The internet transfer control: fetches one document by address on the transfer hub. OpenURL
// returns at once; the body arrives later through `done`, from the event loop.
//
// Safety limits that a stalled or rogue server cannot get past:
// - connect time-out 10 s, whole transfer 30 s;
// - a body larger than 1 MiB is refused;
// - an HTTP status of 400 or above is an error, its body is not returned;
// - at most kMaxRedirects redirects, only to http or https; https certificates are verified;
// - a second OpenURL while a transfer runs is refused.
//
// Every failure raises StateChanged(icError) just before `done` gets nothing, with ResponseCode
// and ResponseInfo describing it: the HTTP status and its reason for a status of 400 or above,
// otherwise the libcurl error number and its readable text. A cancelled transfer reports nothing
// at all: it says nothing about the server.
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

    // The failures the control describes itself (the activity log shows them after the code).
    static inline const QString kResponseTooLargeText = u"Response refused: larger than 1048576 bytes"_qs;
    static inline const QString kHttpErrorNoReasonText = u"HTTP error"_qs;

    // The body of the document, decoded byte for byte (Latin-1, the program's single-byte code
    // page); an answer with an empty body gives an empty text, a failure nothing.
    using Done = std::function<void(const std::optional<QString>& body)>;

    explicit InetControl(TransferHub& hub, QObject* parent = nullptr);
    ~InetControl() override;

    // Starts fetching `url`; cancelling or destroying what it returns ends the fetch. Nothing when
    // refused (a transfer is running): `done` is then never called.
    [[nodiscard]] std::unique_ptr<Pending> OpenURL(const QString& url, Done done);

    // Ends the transfer in progress at once, reporting nothing. Without a transfer it does nothing.
    void Cancel();

    bool StillExecuting() const { return m_fetch != nullptr; }

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
    struct Fetch;
    class FetchHandle;
    void finish(int code, const QString& info, bool failed);

    TransferHub& m_hub;
    std::unique_ptr<Fetch> m_fetch;
    quint64 m_fetches = 0;
    int m_connectTimeoutMs = kDefaultConnectTimeoutMs;
    int m_transferTimeoutMs = kDefaultTransferTimeoutMs;
    QString m_caFile;
};
