#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tradevane {

namespace {

// The write end of the pipe, for the signal handler; -1 while no object catches the signals.
volatile std::sig_atomic_t gWriteEnd = -1;
int gReadEnd = -1;
constexpr int kSignals[] = {SIGTERM, SIGINT};

void onSignal(int signalNumber)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    if (gWriteEnd >= 0)
        (void)::write(gWriteEnd, &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    Q_ASSERT(gWriteEnd < 0);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return;
    gReadEnd = ends[0];
    gWriteEnd = ends[1];
    m_notifier = new QSocketNotifier(gReadEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
    const int writeEnd = gWriteEnd;
    gWriteEnd = -1;
    ::close(writeEnd);
    ::close(gReadEnd);
    gReadEnd = -1;
}

void TerminationSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(gReadEnd, &byte, 1) == 1)
        emit received(byte);
}

#else

// Elsewhere the program ends as the system ends it.
TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{ }

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readPipe() { }

#endif

} // namespace tradevane
