#pragma once

#include "GuardedServer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace tradevane::market {

// Stands between the library's accepting thread and the answering of requests:
//  - counts the open connections per address and in all, and answers those beyond the limits
//    503 at once, on the accepting thread;
//  - keeps every connection in a waiting room (one thread on epoll) until its request head is
//    complete; a head that is late (408), too large (414, 431), or that announces a body (405,
//    413) is answered there and its connection closed, and an idle connection costs no thread;
//  - gives complete heads to a fixed set of workers, which answer them through the library and
//    hand the connection back for its next request.
// The library creates one for each run of listen, as its task queue, and shuts it down when
// listening ends.
class ConnectionGate final : public httplib::TaskQueue
{
public:
    struct Settings
    {
        ServerLimits limits;
        std::chrono::seconds keepAliveTimeout {5}; // for the first byte of a next request
        std::size_t keepAliveMaxCount = 5; // requests on one connection
        std::chrono::microseconds writeTimeout {5000000}; // for the whole of one answer
    };

    ConnectionGate(GuardedServer& server, Settings settings);
    ~ConnectionGate() override;
    ConnectionGate(const ConnectionGate&) = delete;
    ConnectionGate& operator=(const ConnectionGate&) = delete;

    // Takes an accepted socket over.
    void admit(int fd);

    // The library's task for an accepted socket is a call of admit() (through
    // GuardedServer::process_and_close_socket), which is quick: it runs at once.
    void enqueue(std::function<void()> task) override { task(); }
    // Closes every connection once the requests being answered are done.
    void shutdown() override;

private:
    using Clock = std::chrono::steady_clock;
    struct Connection;
    using Owned = std::unique_ptr<Connection>;
    enum class Read { Data, Nothing, Closed };
    enum class Next { Answer, HandBack, Close };
    struct Verdict
    {
        int status = 0; // 0: to be answered
        std::string reason;
    };

    void release(const std::string& key);
    Read readSome(Connection& connection);
    Verdict judge(const Connection& connection) const;
    void report(const std::string& address, std::string_view received, const Verdict& verdict) const;

    // The waiting room's thread and what only it does.
    void waitingRoom();
    void takeArrivals();
    void attend(int fd);
    void examine(Owned connection);
    void refuse(Owned connection, const Verdict& verdict);
    void keepWaiting(Owned connection);
    void expire();
    int millisecondsToNextDeadline() const;
    Owned leave(int fd);

    // Hands a connection to the waiting room (from the accepting thread or a worker).
    void handBack(Owned connection);

    // The workers.
    void dispatch(Owned connection);
    void work();
    void answer(Owned connection);
    Next awaitNextHead(Connection& connection);

    GuardedServer& m_server;
    const Settings m_settings;
    int m_maxConnections;
    int m_epoll = -1;
    int m_wake = -1; // eventfd: arrivals or shutdown
    std::atomic<bool> m_stopping {false};

    std::mutex m_countMutex;
    int m_open = 0;
    std::unordered_map<std::string, int> m_openPerAddress;

    std::mutex m_arrivalsMutex;
    std::vector<Owned> m_arrivals;

    // Owned by the waiting room's thread.
    std::unordered_map<int, Owned> m_waiting;
    std::set<std::pair<Clock::time_point, int>> m_deadlines;

    std::mutex m_workMutex;
    std::condition_variable m_workReady;
    std::deque<Owned> m_work;
    std::atomic<std::size_t> m_queued {0};

    std::thread m_waitingRoomThread;
    std::vector<std::thread> m_workers;
    bool m_shutDown = false;
};

} // namespace tradevane::market
