#pragma once

#include "app/ProgramOptions.h"

#include <QObject>
#include <QString>

#include <cstdio>
#include <functional>
#include <optional>

namespace tradevane {

class AppServices;

// The program without a window (tradevane --headless): the same settings and the same engine,
// started at once. Each record the activity log receives goes to `out` as well; the alerts are
// mailed (the services are built without a sound device, and no notice is shown). A terminal or
// service manager ends it through terminate(), which logs the stop lines.
class HeadlessRun : public QObject
{
    Q_OBJECT

public:
    HeadlessRun(AppServices& services, std::FILE* out, std::FILE* err, QObject* parent = nullptr);

    // Loads the settings and checks that the licence has been accepted; with --accept-licence an
    // unaccepted licence is shown (the text `licenceText` gives) and accepted when `agree` says
    // so. Then chooses the run's source of prices. Gives the exit code when the program cannot go
    // on.
    std::optional<ExitCode> prepare(const ProgramOptions& options,
        const std::function<QString()>& licenceText, const std::function<bool()>& agree);

    // START.
    void start();
    // STOP, then finished(Ok).
    void terminate();

signals:
    void finished(ExitCode code);

private:
    // The prices of this run: --source, else source.ini; a data folder without a choice gets the
    // simulated market, said in words.
    void chooseSource(const ProgramOptions& options);
    void print(std::FILE* stream, const QString& text);

    AppServices& m_services;
    std::FILE* m_out;
    std::FILE* m_err;
};

} // namespace tradevane
