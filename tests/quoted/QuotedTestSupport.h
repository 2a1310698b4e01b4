#pragma once

#include "CycleFixture.h"
#include "GuardedServer.h"
#include "QuoteService.h"
#include "engine/marketdata/sources/MarketSource.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tradevane::market::test {

// An HTTP server on a free loopback port, run on its own thread for the life of the object.
class LoopbackServer
{
public:
    explicit LoopbackServer(const std::function<void(GuardedServer&)>& setup, ServerLimits limits = {})
        : m_server(limits)
    {
        setup(m_server);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackServer()
    {
        m_server.stop();
        m_thread.join();
    }
    int port() const { return m_port; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    struct Reply
    {
        int status = 0; // 0: no answer
        std::string body;
    };
    Reply get(const std::string& target) const
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_read_timeout(std::chrono::seconds(30));
        const auto result = client.Get(target.c_str());
        if (!result)
            return {};
        return {result->status, result->body};
    }

private:
    GuardedServer m_server;
    std::thread m_thread;
    int m_port = 0;
};

// The service's log lines, collected. The server logs a request just after it has sent the
// answer, so a test waits for the line.
class LogLines
{
public:
    LogSink sink()
    {
        return [this](const std::string& line) {
            std::lock_guard lock(m_mutex);
            m_lines.push_back(line);
            m_added.notify_all();
        };
    }
    // The next line not read yet; empty after two seconds without one.
    std::string next()
    {
        std::unique_lock lock(m_mutex);
        m_added.wait_for(lock, std::chrono::seconds(2), [this] { return m_read < m_lines.size(); });
        return m_read < m_lines.size() ? m_lines[m_read++] : std::string();
    }
    std::size_t count() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines.size();
    }
    // How many lines so far contain `text`.
    std::size_t countContaining(const std::string& text) const
    {
        std::lock_guard lock(m_mutex);
        return static_cast<std::size_t>(std::count_if(m_lines.begin(), m_lines.end(),
            [&](const std::string& line) { return line.find(text) != std::string::npos; }));
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_added;
    std::vector<std::string> m_lines;
    std::size_t m_read = 0;
};

// Noon of a Wednesday: the service's clock in every test.
inline const QDateTime kNoon(QDate(2026, 3, 11), QTime(12, 0));

// The service over `source`, listening on loopback.
struct RunningService
{
    explicit RunningService(Source& source, ServiceOptions options = {}, ServerLimits limits = {})
        : service(
            source, [] { return kNoon; }, log.sink(), std::move(options))
        , server([this](GuardedServer& s) { service.install(s); }, limits)
    { }
    LogLines log;
    QuoteService service;
    LoopbackServer server;
};

// A plain TCP connection to a loopback port, for what no HTTP client sends: requests that come
// slowly, never end, or are too large. `from` is the client's own address, any of 127.0.0.0/8,
// so that a test can be several clients.
class RawConnection
{
public:
    explicit RawConnection(int port, const char* from = "127.0.0.1")
        : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in local {};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, from, &local.sin_addr);
        sockaddr_in server {};
        server.sin_family = AF_INET;
        server.sin_port = htons(static_cast<std::uint16_t>(port));
        server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // A send that the service never takes fails after a while instead of hanging the test.
        const timeval patience {20, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
            || ::connect(m_fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0)
            ADD_FAILURE() << "cannot connect from " << from << " to port " << port;
    }
    ~RawConnection() { ::close(m_fd); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    // False when not all of `bytes` could be sent (the service closed the connection).
    bool send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // Whether the service has sent something (or closed) within `wait`.
    bool answered(std::chrono::milliseconds wait)
    {
        pollfd poller {m_fd, POLLIN, 0};
        return ::poll(&poller, 1, static_cast<int>(std::max<std::int64_t>(wait.count(), 0))) > 0;
    }

    // What the service sends until it closes the connection, or until an answer's head has come
    // when `headOnly`; what came so far after `wait`.
    std::string receive(bool headOnly = false, std::chrono::milliseconds wait = std::chrono::seconds(30))
    {
        std::string text;
        const auto until = std::chrono::steady_clock::now() + wait;
        char buffer[4096];
        while (!(headOnly && text.find("\r\n\r\n") != std::string::npos)
            && answered(std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now()))) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                m_closed = true;
                break;
            }
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }
    // Ends the request and waits for the service to close the connection.
    void hangUp()
    {
        ::shutdown(m_fd, SHUT_WR);
        receive();
    }
    // Whether receive() saw the service close the connection.
    bool closed() const { return m_closed; }

private:
    int m_fd;
    bool m_closed = false;
};

// Resident memory of this process, the service included.
inline long residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

// The program's request targets (tests/common) as the HTTP client takes them.
inline std::string quotePath(const std::string& symbol)
{
    return quoteTarget(QString::fromStdString(symbol)).toStdString();
}
inline std::string historyPath(const std::string& symbol, QDate today = kNoon.date())
{
    return historyTarget(QString::fromStdString(symbol), today).toStdString();
}

inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::string current;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

} // namespace tradevane::market::test
