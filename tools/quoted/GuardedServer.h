#pragma once

#include "ServerLimits.h"

#include <httplib.h>

#include <functional>
#include <string>

namespace tradevane::market {

// A request or connection turned away before it reached a handler, for the request log.
struct Refusal
{
    std::string address;
    std::string method; // as far as the request line came; empty when nothing came
    std::string target;
    int status = 0;
    std::string reason;
};
using RefusalLog = std::function<void(const Refusal&)>;

class ConnectionGate;

// The HTTP server of the service: cpp-httplib's Server for routing, answering and logging, with
// a connection gate (ConnectionGate.h) in place of the library's thread pool, which gave each
// accepted connection a worker until the client went away. It serves GET and HEAD requests
// without a body; other methods are answered 405, bodies 413, both without reading the body.
//
// Debian builds cpp-httplib as a shared library, so its CPPHTTPLIB_* settings (thread count,
// header length, listen backlog) are fixed in that library; defining them here would change
// nothing but this side's view of the header. The limits are therefore enforced in front of the
// library, before it reads a byte.
class GuardedServer : public httplib::Server
{
public:
    explicit GuardedServer(ServerLimits limits = {});

    // The library's, with a listen backlog as long as the system allows: the library's own
    // backlog of 5 overflows at the first burst of connections, whose clients then wait a second
    // or more before they try again.
    bool bind_to_port(const std::string& host, int port, int socketFlags = 0);
    int bind_to_any_port(const std::string& host, int socketFlags = 0);
    bool listen(const std::string& host, int port, int socketFlags = 0);

    // Where refused requests and connections are reported (nowhere by default). Set it before
    // listening.
    void setRefusalLog(RefusalLog log) { m_refusalLog = std::move(log); }

private:
    friend class ConnectionGate;

    // Called by the library on its accepting thread for every accepted socket (through the task
    // queue, which runs it at once): hands the socket to the gate.
    bool process_and_close_socket(socket_t sock) override;
    bool widenBacklog();
    // Answers one request whose head `stream` holds; false when the connection must close.
    bool answer(httplib::Stream& stream, bool closeConnection, bool& connectionClosed);

    ServerLimits m_limits;
    RefusalLog m_refusalLog;
    ConnectionGate* m_gate = nullptr; // while listening
};

} // namespace tradevane::market
