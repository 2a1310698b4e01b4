#include "platform/TransferHub.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace tradevane {

namespace {

// Ends a connection in both directions at once. libcurl finishes some protocols when a transfer
// is removed unfinished (a mail's end of data, its QUIT) and waits for the server's reply; on a
// shut connection that wait ends at once instead of at the server's time-out.
void shutDown(curl_socket_t socket)
{
#ifdef _WIN32
    ::shutdown(socket, SD_BOTH);
#else
    ::shutdown(socket, SHUT_RDWR);
#endif
}

} // namespace

Transfer::Transfer(TransferHub* hub, CURL* easy, Done done)
    : m_hub(hub)
    , m_easy(easy)
    , m_done(std::move(done))
{ }

Transfer::~Transfer()
{
    m_done = nullptr;
    if (m_hub)
        m_hub->remove(this);
    curl_easy_cleanup(m_easy);
}

void Transfer::cancel()
{
    if (m_hub)
        m_hub->remove(this);
    deliver({CURLE_ABORTED_BY_CALLBACK, true});
}

void Transfer::finished(CURLcode code)
{
    // Reported from the event loop, never from inside libcurl; a transfer destroyed meanwhile
    // takes the queued report with it.
    QMetaObject::invokeMethod(
        this,
        [this, code] {
            deliver({code, false});
        },
        Qt::QueuedConnection);
}

void Transfer::deliver(const Result& result)
{
    // Runs once; `done` may destroy this transfer, so nothing of it is touched afterwards.
    Done done = std::exchange(m_done, nullptr);
    if (done)
        done(result);
}

TransferHub::TransferHub(QObject* parent)
    : QObject(parent)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    m_multi = curl_multi_init();
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &TransferHub::onSocket);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &TransferHub::onTimer);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
}

TransferHub::~TransferHub()
{
    // Transfers outliving the hub are detached: their owners may still destroy them safely.
    const QSet<Transfer*> running = m_transfers;
    for (Transfer* transfer : running)
        remove(transfer);
    for (auto& [socket, w] : m_sockets)
        forget(w);
    curl_multi_cleanup(m_multi);
    curl_global_cleanup();
}

std::unique_ptr<Transfer> TransferHub::start(CURL* easy, Transfer::Done done)
{
    std::unique_ptr<Transfer> transfer(new Transfer(this, easy, std::move(done)));
    curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer.get());
    if (!m_multi || curl_multi_add_handle(m_multi, easy) != CURLM_OK) {
        transfer->m_hub = nullptr;
        transfer->finished(CURLE_FAILED_INIT);
        return transfer;
    }
    transfer->m_inHub = true;
    m_transfers.insert(transfer.get());
    // libcurl asks for a timer of 0 ms through onTimer; the transfer starts from there.
    return transfer;
}

void TransferHub::cancelAll()
{
    const QSet<Transfer*> running = m_transfers;
    for (Transfer* transfer : running) {
        if (m_transfers.contains(transfer))
            transfer->cancel();
    }
}

void TransferHub::remove(Transfer* transfer)
{
    if (transfer->m_inHub) {
        for (const auto& [socket, w] : m_sockets) {
            if (w.easy == transfer->m_easy)
                shutDown(socket);
        }
        curl_multi_remove_handle(m_multi, transfer->m_easy);
        transfer->m_inHub = false;
    }
    m_transfers.remove(transfer);
    transfer->m_hub = nullptr;
}

int TransferHub::onSocket(CURL* easy, curl_socket_t socket, int what, void* hub, void*)
{
    static_cast<TransferHub*>(hub)->watch(easy, socket, what);
    return 0;
}

int TransferHub::onTimer(CURLM*, long timeoutMs, void* hub)
{
    QTimer* timer = static_cast<TransferHub*>(hub)->m_timer;
    if (timeoutMs < 0)
        timer->stop();
    else
        timer->start(static_cast<int>(std::min<long>(timeoutMs, 24L * 3600 * 1000)));
    return 0;
}

void TransferHub::watch(CURL* easy, curl_socket_t socket, int what)
{
    if (what == CURL_POLL_REMOVE) {
        const auto found = m_sockets.find(socket);
        if (found != m_sockets.end()) {
            forget(found->second);
            m_sockets.erase(found);
        }
        return;
    }
    Watch& w = m_sockets[socket];
    w.easy = easy;
    const auto want = [&](QSocketNotifier*& notifier, QSocketNotifier::Type type, int events, bool on) {
        if (!notifier && on) {
            notifier = new QSocketNotifier(socket, type, this);
            connect(
                notifier, &QSocketNotifier::activated, this, [this, socket, events] { act(socket, events); });
        }
        if (notifier)
            notifier->setEnabled(on);
    };
    want(w.read, QSocketNotifier::Read, CURL_CSELECT_IN, what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    want(w.write, QSocketNotifier::Write, CURL_CSELECT_OUT, what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void TransferHub::forget(Watch& w)
{
    // A notifier may be the one whose signal is being handled: it goes once that is over.
    for (QSocketNotifier* notifier : {w.read, w.write}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    w = {};
}

void TransferHub::act(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    collectFinished();
}

void TransferHub::collectFinished()
{
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        char* owner = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &owner);
        auto* transfer = reinterpret_cast<Transfer*>(owner);
        const CURLcode code = message->data.result;
        if (!transfer || !m_transfers.contains(transfer))
            continue;
        remove(transfer);
        transfer->finished(code);
    }
}

size_t keepStatusReason(char* data, size_t size, size_t count, void* reason)
{
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed();
    // "HTTP/1.1 404 Not Found": the reason follows the second space.
    if (line.startsWith("HTTP/")) {
        const qsizetype codeStart = line.indexOf(' ');
        const qsizetype reasonStart = codeStart < 0 ? -1 : line.indexOf(' ', codeStart + 1);
        *static_cast<QByteArray*>(reason) = reasonStart < 0 ? QByteArray() : line.mid(reasonStart + 1);
    }
    return bytes;
}

} // namespace tradevane
