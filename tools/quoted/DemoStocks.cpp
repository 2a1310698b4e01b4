// tradevane-demo-stocks FOLDER: gives a program folder that has no alert settings yet (no Aset
// file, or only the empty ones a first start of Tradevane makes) the ten demo stocks, so that the
// demonstration shows quotes and alerts without any setting up. Saved settings are left alone.
#include "DemoStocks.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tradevane-demo-stocks PROGRAM_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QFileInfo(folder).isDir()) {
        std::fprintf(stderr, "tradevane-demo-stocks: %s is not a folder\n", argv[1]);
        return 2;
    }
    SetProgramFolder(folder);
    for (const StockIndex stock : AllStocks()) {
        if (QFileInfo(AlertSettingsPath(stock)).size() >= kAlertSettingsLength)
            return 0;
    }
    for (const StockIndex stock : AllStocks()) {
        AlertSettings settings;
        ApplyDemoStock(settings, DemoSymbols()[stock.index()]);
        const FileError error = WriteAlertSettings(stock, settings);
        if (!error.ok()) {
            std::fprintf(stderr, "tradevane-demo-stocks: cannot write %s\n",
                qPrintable(QDir::toNativeSeparators(AlertSettingsPath(stock))));
            return 1;
        }
    }
    std::printf("First run: watching the demo stocks %s (the stock buttons change them).\n",
        qPrintable(DemoSymbols().join(QStringLiteral(", "))));
    return 0;
}
