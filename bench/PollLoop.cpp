// The comparison for the waiting measurement: a window that waits the old way, running pending
// events and sleeping 1 ms per pass, for the number of seconds given (default 60).
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("1 ms poll loop"));
    window.show();
    const qint64 seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 60;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < seconds * 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return 0;
}
