#include "ConnectionGate.h"

#include "RequestHead.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

namespace tradevane::market {

namespace {

using Clock = std::chrono::steady_clock;

// After a refusal, what the client still sends is read and dropped for a moment, so that the
// answer reaches a client that is still sending instead of being lost to a reset.
constexpr std::size_t kLingerBytes = 64 * 1024;
constexpr std::chrono::milliseconds kLingerTime {1000};
// Descriptors left to the log, the sources' files and upstream requests when the open-file limit
// lowers the number of connections.
constexpr long long kSpareDescriptors = 64;

const char* reasonPhrase(int status)
{
    switch (status) {
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Payload Too Large";
    case 414:
        return "URI Too Long";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

// An answer without a body that ends the connection, written without waiting (it is far smaller
// than any socket buffer).
void sendRefusal(int fd, int status)
{
    std::string text = "HTTP/1.1 " + std::to_string(status) + " " + reasonPhrase(status) + "\r\n";
    if (status == 405)
        text += "Allow: GET, HEAD\r\n";
    text += "Content-Length: 0\r\nConnection: close\r\n\r\n";
    (void)!::send(fd, text.data(), text.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
}

// Nothing to read or no room to write yet (EWOULDBLOCK is EAGAIN on Linux), or a signal came.
bool tryAgain()
{
    return errno == EAGAIN || errno == EINTR;
}

// Waits until `fd` is ready for `events` or `deadline` has passed.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd poller {fd, events, 0};
        const int ready = ::poll(&poller, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

void describe(const sockaddr_storage& storage, std::string& address, int& port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (storage.ss_family == AF_INET) {
        const auto& in = reinterpret_cast<const sockaddr_in&>(storage);
        ::inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
        port = ntohs(in.sin_port);
    } else if (storage.ss_family == AF_INET6) {
        const auto& in6 = reinterpret_cast<const sockaddr_in6&>(storage);
        ::inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
        port = ntohs(in6.sin6_port);
    }
    address = text[0] ? text : "local";
}

struct Peer
{
    std::string address; // as the log shows it
    int port = 0;
    std::string key; // what its connections are counted under
};

// The key is the address itself, the IPv4 address of an IPv4-mapped one, or the /64 network of
// an IPv6 one (one host usually has a whole /64 to pick addresses from).
std::optional<Peer> peerOf(int fd)
{
    sockaddr_storage storage {};
    socklen_t size = sizeof storage;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&storage), &size) != 0)
        return std::nullopt;
    Peer peer;
    describe(storage, peer.address, peer.port);
    peer.key = peer.address;
    if (storage.ss_family == AF_INET6) {
        const auto& bytes = reinterpret_cast<const sockaddr_in6&>(storage).sin6_addr.s6_addr;
        const bool mapped = std::all_of(bytes, bytes + 10, [](auto b) { return b == 0; }) && bytes[10] == 0xff
            && bytes[11] == 0xff;
        char text[INET6_ADDRSTRLEN] = {};
        if (mapped) {
            ::inet_ntop(AF_INET, bytes + 12, text, sizeof text);
            peer.key = text;
        } else {
            in6_addr network {};
            std::copy(bytes, bytes + 8, network.s6_addr);
            ::inet_ntop(AF_INET6, &network, text, sizeof text);
            peer.key = std::string(text) + "/64";
        }
    }
    return peer;
}

// The stream the library answers one request on: it reads the request's head from memory (the
// gate has it complete) and writes to the socket, with one deadline for the whole answer.
class HeadStream final : public httplib::Stream
{
public:
    HeadStream(int fd, const Peer& peer, std::string_view head, Clock::time_point deadline)
        : m_fd(fd)
        , m_peer(peer)
        , m_head(head)
        , m_deadline(deadline)
    { }

    bool is_readable() const override { return m_read < m_head.size(); }
    bool is_writable() const override { return waitFor(m_fd, POLLOUT, m_deadline); }

    ssize_t read(char* ptr, size_t size) override
    {
        size = std::min(size, m_head.size() - m_read);
        std::memcpy(ptr, m_head.data() + m_read, size);
        m_read += size;
        return static_cast<ssize_t>(size);
    }

    ssize_t write(const char* ptr, size_t size) override
    {
        std::size_t sent = 0;
        while (sent < size) {
            const ssize_t n = ::send(m_fd, ptr + sent, size - sent, MSG_NOSIGNAL);
            if (n > 0)
                sent += static_cast<std::size_t>(n);
            else if (n == 0 || !tryAgain() || !waitFor(m_fd, POLLOUT, m_deadline))
                return -1;
        }
        return static_cast<ssize_t>(size);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        ip = m_peer.address;
        port = m_peer.port;
    }

    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        sockaddr_storage storage {};
        socklen_t size = sizeof storage;
        if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&storage), &size) == 0)
            describe(storage, ip, port);
    }

    socket_t socket() const override { return m_fd; }

    // Whether the library took the whole head; when it stopped early (a request line it could
    // not read), what follows cannot be trusted to start a request.
    bool readAll() const { return m_read == m_head.size(); }

private:
    int m_fd;
    const Peer& m_peer;
    std::string_view m_head;
    std::size_t m_read = 0;
    Clock::time_point m_deadline;
};

std::string seconds(std::chrono::milliseconds time)
{
    const auto ms = time.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

} // namespace

struct ConnectionGate::Connection
{
    Connection(ConnectionGate& owner, int socket, Peer who, const ServerLimits& limits)
        : gate(owner)
        , fd(socket)
        , peer(std::move(who))
        , head(limits.maxHeadBytes, limits.maxHeaderLines)
    { }
    // The place is given back before the client can see the connection end.
    ~Connection()
    {
        gate.release(peer.key);
        ::close(fd);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    ConnectionGate& gate;
    const int fd;
    const Peer peer;
    std::string received; // the head being received, and whatever came after it
    RequestHead head;
    Clock::time_point deadline;
    bool idle = false; // kept alive, and nothing of the next request has come yet
    bool registered = false; // with the waiting room's epoll
    bool refused = false; // answered by the gate: what still comes is dropped
    std::size_t dropped = 0;
    std::size_t answered = 0;
};

ConnectionGate::ConnectionGate(GuardedServer& server, Settings settings)
    : m_server(server)
    , m_settings(std::move(settings))
    , m_maxConnections(std::max(1, m_settings.limits.maxConnections))
{
    rlimit files {};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY)
        m_maxConnections = static_cast<int>(std::clamp<long long>(
            static_cast<long long>(files.rlim_cur) - kSpareDescriptors, 1, m_maxConnections));
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event event {};
    event.events = EPOLLIN;
    event.data.fd = m_wake;
    if (m_epoll < 0 || m_wake < 0 || ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &event) != 0) {
        const int error = errno;
        ::close(m_epoll);
        ::close(m_wake);
        throw std::system_error(error, std::generic_category(), "tradevane-quoted: no waiting room");
    }
    m_waitingRoomThread = std::thread([this] { waitingRoom(); });
    for (int i = 0; i < std::max(1, m_settings.limits.workers); ++i)
        m_workers.emplace_back([this] { work(); });
}

ConnectionGate::~ConnectionGate()
{
    shutdown();
    ::close(m_epoll);
    ::close(m_wake);
    if (m_server.m_gate == this)
        m_server.m_gate = nullptr;
}

void ConnectionGate::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    {
        std::lock_guard lock(m_workMutex);
        m_stopping = true;
    }
    m_workReady.notify_all();
    const std::uint64_t one = 1;
    (void)!::write(m_wake, &one, sizeof one);
    m_waitingRoomThread.join();
    for (std::thread& worker : m_workers)
        worker.join();
    m_work.clear();
    m_arrivals.clear();
}

void ConnectionGate::admit(int fd)
{
    std::optional<Peer> peer = peerOf(fd);
    if (!peer || m_stopping) {
        ::close(fd);
        return;
    }
    Verdict verdict;
    {
        std::lock_guard lock(m_countMutex);
        const auto it = m_openPerAddress.find(peer->key);
        const int fromAddress = it == m_openPerAddress.end() ? 0 : it->second;
        if (fromAddress >= m_settings.limits.maxConnectionsPerAddress) {
            verdict = {503,
                std::to_string(fromAddress)
                    + " connections from this address are open, the most one address may have"};
        } else if (m_open >= m_maxConnections) {
            verdict = {503, std::to_string(m_open) + " connections are open, the most the service takes"};
        } else {
            ++m_open;
            ++m_openPerAddress[peer->key];
        }
    }
    if (verdict.status != 0) {
        sendRefusal(fd, verdict.status);
        ::close(fd);
        report(peer->address, {}, verdict);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto connection = std::make_unique<Connection>(*this, fd, std::move(*peer), m_settings.limits);
    connection->deadline = Clock::now() + m_settings.limits.headTimeout;
    handBack(std::move(connection));
}

void ConnectionGate::release(const std::string& key)
{
    std::lock_guard lock(m_countMutex);
    --m_open;
    if (const auto it = m_openPerAddress.find(key); it != m_openPerAddress.end() && --it->second <= 0)
        m_openPerAddress.erase(it);
}

ConnectionGate::Read ConnectionGate::readSome(Connection& connection)
{
    // The head always starts the buffer while it is incomplete: one byte beyond the limit tells
    // the head reader it is too large.
    const std::size_t limit = m_settings.limits.maxHeadBytes + 1;
    if (connection.received.size() >= limit)
        return Read::Nothing;
    char buffer[4096];
    const ssize_t n
        = ::recv(connection.fd, buffer, std::min(sizeof buffer, limit - connection.received.size()), 0);
    if (n > 0) {
        if (connection.idle) {
            connection.idle = false;
            connection.deadline = Clock::now() + m_settings.limits.headTimeout;
        }
        connection.received.append(buffer, static_cast<std::size_t>(n));
        return Read::Data;
    }
    if (n < 0 && tryAgain())
        return Read::Nothing;
    return Read::Closed;
}

ConnectionGate::Verdict ConnectionGate::judge(const Connection& connection) const
{
    const ServerLimits& limits = m_settings.limits;
    switch (connection.head.state()) {
    case RequestHead::State::Incomplete:
        return {};
    case RequestHead::State::LineTooLong:
        return {414, "request line longer than " + std::to_string(limits.maxHeadBytes) + " bytes"};
    case RequestHead::State::TooLarge:
        return {431, "request head longer than " + std::to_string(limits.maxHeadBytes) + " bytes"};
    case RequestHead::State::TooManyLines:
        return {431, "more than " + std::to_string(limits.maxHeaderLines) + " header lines"};
    case RequestHead::State::Complete:
        break;
    }
    const std::string_view head(connection.received.data(), connection.head.length());
    const std::string_view method = RequestHead::method(head);
    // A request line the library cannot read (no target) is left to it: it answers 400.
    if (method != "GET" && method != "HEAD" && !RequestHead::target(head).empty())
        return {405, "only GET and HEAD are served"};
    if (connection.head.announcesBody())
        return {413, "the request has a body, which the service does not take"};
    return {};
}

void ConnectionGate::report(
    const std::string& address, std::string_view received, const Verdict& verdict) const
{
    if (m_server.m_refusalLog)
        m_server.m_refusalLog({address, std::string(RequestHead::method(received)),
            std::string(RequestHead::target(received)), verdict.status, verdict.reason});
}

void ConnectionGate::handBack(Owned connection)
{
    bool first = false;
    {
        std::lock_guard lock(m_arrivalsMutex);
        first = m_arrivals.empty();
        m_arrivals.push_back(std::move(connection));
    }
    if (first) {
        const std::uint64_t one = 1;
        (void)!::write(m_wake, &one, sizeof one);
    }
}

void ConnectionGate::waitingRoom()
{
    std::array<epoll_event, 128> events {};
    while (!m_stopping) {
        const int count = ::epoll_wait(
            m_epoll, events.data(), static_cast<int>(events.size()), millisecondsToNextDeadline());
        for (int i = 0; i < count; ++i) {
            if (events[i].data.fd == m_wake) {
                std::uint64_t value = 0;
                (void)!::read(m_wake, &value, sizeof value);
            } else {
                attend(events[i].data.fd);
            }
        }
        takeArrivals();
        expire();
    }
    m_deadlines.clear();
    m_waiting.clear();
}

void ConnectionGate::takeArrivals()
{
    std::vector<Owned> arrivals;
    {
        std::lock_guard lock(m_arrivalsMutex);
        arrivals.swap(m_arrivals);
    }
    for (Owned& connection : arrivals)
        examine(std::move(connection));
}

void ConnectionGate::attend(int fd)
{
    Owned connection = leave(fd);
    if (!connection)
        return;
    if (connection->refused) {
        char scratch[4096];
        ssize_t n = 0;
        while (connection->dropped < kLingerBytes && (n = ::recv(fd, scratch, sizeof scratch, 0)) > 0)
            connection->dropped += static_cast<std::size_t>(n);
        if (connection->dropped < kLingerBytes && n < 0 && tryAgain())
            keepWaiting(std::move(connection));
        return; // otherwise closed
    }
    if (readSome(*connection) == Read::Closed)
        return;
    examine(std::move(connection));
}

void ConnectionGate::examine(Owned connection)
{
    if (connection->head.scan(connection->received) == RequestHead::State::Incomplete) {
        keepWaiting(std::move(connection));
        return;
    }
    const Verdict verdict = judge(*connection);
    if (verdict.status != 0)
        refuse(std::move(connection), verdict);
    else
        dispatch(std::move(connection));
}

void ConnectionGate::refuse(Owned connection, const Verdict& verdict)
{
    report(connection->peer.address, connection->received, verdict);
    sendRefusal(connection->fd, verdict.status);
    ::shutdown(connection->fd, SHUT_WR);
    connection->refused = true;
    std::string().swap(connection->received);
    connection->deadline = Clock::now() + kLingerTime;
    keepWaiting(std::move(connection));
}

void ConnectionGate::keepWaiting(Owned connection)
{
    epoll_event event {};
    event.events = EPOLLIN | EPOLLONESHOT;
    event.data.fd = connection->fd;
    if (::epoll_ctl(m_epoll, connection->registered ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, connection->fd, &event)
        != 0)
        return; // closed
    connection->registered = true;
    const int fd = connection->fd;
    m_deadlines.emplace(connection->deadline, fd);
    m_waiting.emplace(fd, std::move(connection));
}

ConnectionGate::Owned ConnectionGate::leave(int fd)
{
    const auto it = m_waiting.find(fd);
    if (it == m_waiting.end())
        return nullptr;
    Owned connection = std::move(it->second);
    m_waiting.erase(it);
    m_deadlines.erase({connection->deadline, fd});
    return connection;
}

void ConnectionGate::expire()
{
    const auto now = Clock::now();
    while (!m_deadlines.empty() && m_deadlines.begin()->first <= now) {
        const int fd = m_deadlines.begin()->second;
        Owned connection = leave(fd);
        if (!connection) {
            m_deadlines.erase(m_deadlines.begin());
            continue;
        }
        // A refused connection has had its answer, and an idle one is closed without a word, as
        // the library closes kept-alive connections.
        if (connection->refused || connection->received.empty())
            continue;
        refuse(std::move(connection),
            {408, "request head not complete within " + seconds(m_settings.limits.headTimeout)});
    }
}

int ConnectionGate::millisecondsToNextDeadline() const
{
    if (m_deadlines.empty())
        return 1000;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_deadlines.begin()->first - Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, 1000));
}

void ConnectionGate::dispatch(Owned connection)
{
    {
        std::lock_guard lock(m_workMutex);
        m_work.push_back(std::move(connection));
        ++m_queued;
    }
    m_workReady.notify_one();
}

void ConnectionGate::work()
{
    for (;;) {
        Owned connection;
        {
            std::unique_lock lock(m_workMutex);
            m_workReady.wait(lock, [this] { return m_stopping || !m_work.empty(); });
            if (m_stopping)
                return;
            connection = std::move(m_work.front());
            m_work.pop_front();
            --m_queued;
        }
        answer(std::move(connection));
    }
}

void ConnectionGate::answer(Owned connection)
{
    Connection& c = *connection;
    const std::size_t mostRequests = std::max<std::size_t>(1, m_settings.keepAliveMaxCount);
    for (;;) {
        const bool last = m_stopping || ++c.answered >= mostRequests;
        const std::string_view head(c.received.data(), c.head.length());
        HeadStream stream(c.fd, c.peer, head, Clock::now() + m_settings.writeTimeout);
        bool clientCloses = false;
        bool written = false;
        try {
            written = m_server.answer(stream, last, clientCloses);
        } catch (const std::exception&) {
            written = false; // the library catches the handlers' exceptions; this is memory
        }
        if (!written || clientCloses || last || !stream.readAll())
            return;
        c.received.erase(0, head.size());
        c.head.restart();
        c.idle = c.received.empty();
        c.deadline = Clock::now() + (c.idle ? m_settings.keepAliveTimeout : m_settings.limits.headTimeout);
        switch (awaitNextHead(c)) {
        case Next::Answer:
            break;
        case Next::HandBack:
            if (c.received.empty())
                std::string().swap(c.received);
            handBack(std::move(connection));
            return;
        case Next::Close:
            return;
        }
    }
}

ConnectionGate::Next ConnectionGate::awaitNextHead(Connection& connection)
{
    const auto until = Clock::now() + m_settings.limits.followUpWait;
    for (;;) {
        switch (connection.head.scan(connection.received)) {
        case RequestHead::State::Complete:
            return judge(connection).status == 0 ? Next::Answer : Next::HandBack;
        case RequestHead::State::Incomplete:
            break;
        default:
            return Next::HandBack; // the waiting room answers it
        }
        if (m_stopping)
            return Next::Close;
        // Others are waiting for a worker: this one goes back to the waiting room at once.
        if (m_queued > 0 || !waitFor(connection.fd, POLLIN, until))
            return Next::HandBack;
        if (readSome(connection) == Read::Closed)
            return Next::Close;
    }
}

} // namespace tradevane::market
