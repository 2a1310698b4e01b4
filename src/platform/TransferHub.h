#pragma once

#include "platform/Pending.h"

#include <QObject>
#include <QSet>

#include <curl/curl.h>

#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace tradevane {

class TransferHub;

// One transfer on the hub. Its owner set up the easy handle; the transfer frees it.
class Transfer final : public QObject, public Pending
{
    Q_OBJECT

public:
    struct Result
    {
        CURLcode code = CURLE_OK;
        bool cancelled = false;
    };
    using Done = std::function<void(const Result&)>;

    ~Transfer() override;

    // Removes the transfer from the hub at once; `done` runs now with `cancelled` set, unless it
    // has already run.
    void cancel() override;

    // The easy handle, for reading what libcurl learnt (CURLINFO_*) once `done` runs.
    CURL* easy() const { return m_easy; }

private:
    friend class TransferHub;
    Transfer(TransferHub* hub, CURL* easy, Done done);
    void finished(CURLcode code);
    void deliver(const Result& result);

    TransferHub* m_hub;
    CURL* m_easy;
    Done m_done;
    bool m_inHub = false;
};

// The program's one owner of libcurl: global set-up and clean-up, and one multi handle that
// drives every transfer (quotes, histories, mail, the connection check) from the event loop. A
// socket notifier per direction of each socket and one timer wake it, so any event loop (a modal
// dialog's too) keeps transfers moving and an idle hub costs nothing. libcurl is never called from
// inside one of its own callbacks, and a transfer's end is reported from a queued event, so the
// code it runs may start the next transfer.
class TransferHub final : public QObject
{
    Q_OBJECT

public:
    explicit TransferHub(QObject* parent = nullptr);
    ~TransferHub() override;
    TransferHub(const TransferHub&) = delete;
    TransferHub& operator=(const TransferHub&) = delete;

    // Runs `easy` (set up by the caller); `done` runs from the event loop when it ends. The
    // caller keeps what the handle's callbacks point to alive as long as the transfer.
    [[nodiscard]] std::unique_ptr<Transfer> start(CURL* easy, Transfer::Done done);

    // Cancels every transfer (the program is closing).
    void cancelAll();

    qsizetype transfersRunning() const { return m_transfers.size(); }
    qsizetype socketsWatched() const { return static_cast<qsizetype>(m_sockets.size()); }

private:
    friend class Transfer;
    struct Watch
    {
        CURL* easy = nullptr; // the transfer the socket serves
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    static int onSocket(CURL* easy, curl_socket_t socket, int what, void* hub, void* socketData);
    static int onTimer(CURLM* multi, long timeoutMs, void* hub);
    void watch(CURL* easy, curl_socket_t socket, int what);
    void forget(Watch& watch);
    void act(curl_socket_t socket, int events);
    void collectFinished();
    void remove(Transfer* transfer);

    CURLM* m_multi = nullptr;
    QTimer* m_timer = nullptr;
    std::map<curl_socket_t, Watch> m_sockets;
    QSet<Transfer*> m_transfers;
};

// A CURLOPT_HEADERFUNCTION that keeps in the QByteArray given as CURLOPT_HEADERDATA the reason
// phrase of the last status line ("Not Found"); HTTP/2 sends none.
size_t keepStatusReason(char* data, size_t size, size_t count, void* reason);

} // namespace tradevane
