#include "GuardedServer.h"

#include "ConnectionGate.h"

#include <sys/socket.h>

#include <unistd.h>

namespace tradevane::market {

GuardedServer::GuardedServer(ServerLimits limits)
    : m_limits(limits)
{
    // The gate refuses every body before the library could read one; this only backs it up.
    set_payload_max_length(0);
    new_task_queue = [this] {
        ConnectionGate::Settings settings;
        settings.limits = m_limits;
        settings.keepAliveTimeout = std::chrono::seconds(keep_alive_timeout_sec_);
        settings.keepAliveMaxCount = keep_alive_max_count_;
        settings.writeTimeout
            = std::chrono::seconds(write_timeout_sec_) + std::chrono::microseconds(write_timeout_usec_);
        m_gate = new ConnectionGate(*this, settings);
        return m_gate;
    };
}

bool GuardedServer::bind_to_port(const std::string& host, int port, int socketFlags)
{
    return httplib::Server::bind_to_port(host, port, socketFlags) && widenBacklog();
}

int GuardedServer::bind_to_any_port(const std::string& host, int socketFlags)
{
    const int port = httplib::Server::bind_to_any_port(host, socketFlags);
    return port > 0 && widenBacklog() ? port : -1;
}

bool GuardedServer::listen(const std::string& host, int port, int socketFlags)
{
    return bind_to_port(host, port, socketFlags) && listen_after_bind();
}

bool GuardedServer::widenBacklog()
{
    return ::listen(svr_sock_, SOMAXCONN) == 0;
}

bool GuardedServer::process_and_close_socket(socket_t sock)
{
    if (m_gate)
        m_gate->admit(sock);
    else
        ::close(sock);
    return true;
}

bool GuardedServer::answer(httplib::Stream& stream, bool closeConnection, bool& connectionClosed)
{
    return process_request(stream, closeConnection, connectionClosed, nullptr);
}

} // namespace tradevane::market
