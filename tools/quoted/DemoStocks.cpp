// tradevane-demo-stocks FOLDER [--times-from-now]: gives a program folder that has no alert
// settings yet (no Aset file, or only the empty ones a first start of Tradevane makes) the ten demo
// stocks, so that the demonstration shows quotes and alerts without any setting up. With
// --times-from-now a folder without a schedule also gets one that starts now and fetches quotes
// every minute until 23:59 (the demonstration without a window, where nobody presses Insert Current
// Time). Saved settings are left alone.
#include "DemoStocks.h"

#include "engine/settings/TimeSettingsFile.h"
#include "platform/ProgramFolder.h"

#include <QTime>

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

using namespace tradevane;

namespace {

// A schedule from now to 23:59, one quote set a minute, when the folder has none.
bool giveScheduleFromNow()
{
    TimeSettings times;
    if (!readTimeSettings(times).ok())
        return false;
    if (times.quoteInterval != 0)
        return true;
    const QTime now = QTime::currentTime();
    times.startHour = times.quoteStartHour = static_cast<qint16>(now.hour());
    times.startMinute = times.quoteStartMinute = static_cast<qint16>(now.minute());
    times.stopHour = 23;
    times.stopMinute = 59;
    times.quoteInterval = 1;
    if (!writeTimeSettings(times).ok())
        return false;
    std::printf("First run: monitoring from %02d:%02d to 23:59, a quote set every minute.\n", now.hour(),
        now.minute());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const bool timesFromNow = argc == 3 && std::strcmp(argv[2], "--times-from-now") == 0;
    if (argc != 2 && !timesFromNow) {
        std::fprintf(stderr, "usage: tradevane-demo-stocks PROGRAM_FOLDER [--times-from-now]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QFileInfo(folder).isDir()) {
        std::fprintf(stderr, "tradevane-demo-stocks: %s is not a folder\n", argv[1]);
        return 2;
    }
    setProgramFolder(folder);
    if (timesFromNow && !giveScheduleFromNow()) {
        std::fprintf(stderr, "tradevane-demo-stocks: cannot read or write %s\n",
            qPrintable(QDir::toNativeSeparators(timeSettingsPath())));
        return 1;
    }
    for (const StockIndex stock : allStocks()) {
        if (QFileInfo(alertSettingsPath(stock)).size() >= kAlertSettingsLength)
            return 0;
    }
    for (const StockIndex stock : allStocks()) {
        AlertSettings settings;
        applyDemoStock(settings, demoSymbols()[stock.index()]);
        const FileError error = writeAlertSettings(stock, settings);
        if (!error.ok()) {
            std::fprintf(stderr, "tradevane-demo-stocks: cannot write %s\n",
                qPrintable(QDir::toNativeSeparators(alertSettingsPath(stock))));
            return 1;
        }
    }
    std::printf("First run: watching the demo stocks %s (the stock buttons change them).\n",
        qPrintable(demoSymbols().join(QStringLiteral(", "))));
    return 0;
}
