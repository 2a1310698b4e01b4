#pragma once

#include <QObject>

class QSocketNotifier;

namespace tradevane {

// SIGTERM and SIGINT (a service manager stopping the program, Ctrl+C on the terminal) as a Qt
// signal from the event loop: the handler only writes a byte to a pipe that the loop watches.
// One object at a time catches them; while it lives the signals no longer end the program.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool ok() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tradevane
