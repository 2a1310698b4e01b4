// How long the windows wait for their events while a transfer waits for a silent server: the
// longest gap between two runs of a 1 ms timer during OpenURL (the transfer hub wakes only for
// its sockets and its timer, so the gap stays near the timer's own). The silent server is a
// loopback socket that listens and never answers.
#include "platform/InetControl.h"
#include "platform/TransferHub.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace {

// A listening loopback socket: connections are accepted by the kernel, nothing is ever sent.
int silentServer(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 16);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

void BM_EventGapWhileServerIsSilent(benchmark::State& state)
{
    int port = 0;
    const int fd = silentServer(port);
    const QString url = u"http://127.0.0.1:"_qs + QString::number(port) + u"/q"_qs;
    TransferHub hub;
    InetControl control(hub);
    control.setTimeouts(1000, static_cast<int>(state.range(0)));

    qint64 longestGap = 0;
    QElapsedTimer gap;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] { longestGap = std::max(longestGap, gap.restart()); });
    for (auto _ : state) {
        gap.start();
        timer.start(1);
        QEventLoop loop;
        control.OpenURL(url, [&](const std::optional<QString>&) { loop.quit(); });
        loop.exec();
        timer.stop();
    }
    state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
    ::close(fd);
}
BENCHMARK(BM_EventGapWhileServerIsSilent)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
