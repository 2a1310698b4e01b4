#include "app/HeadlessRun.h"

#include "engine/session/AppServices.h"
#include "engine/session/SessionObserver.h"
#include "engine/session/StartupLoad.h"
#include "engine/settings/TermsFile.h"
#include "platform/ProgramFolder.h"

#include <QDir>

namespace tradevane {

HeadlessRun::HeadlessRun(AppServices& services, std::FILE* out, std::FILE* err, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_out(out)
    , m_err(err)
{
    connect(&m_services.log, &ActivityLog::appended, this,
        [this](const QString& record) { print(m_out, record); });
    connect(&m_services.engine, &MonitoringSession::connectionRefused, this, [this](const QString& message) {
        print(m_err, message);
        emit finished(ExitCode::NoConnection);
    });
}

std::optional<ExitCode> HeadlessRun::prepare(const ProgramOptions& options,
    const std::function<QString()>& licenceText, const std::function<bool()>& agree)
{
    const StartupLoad load = loadSettingsFiles(m_services);
    if (!load.ok()) {
        print(m_err, initializeErrorText(load));
        return ExitCode::SettingsUnreadable;
    }
    if (load.termsAccepted) {
        chooseSource(options);
        return std::nullopt;
    }
    if (!options.acceptLicence) {
        print(m_err,
            u"The licence terms have not been accepted yet. Read and accept them with:\n"
            "    tradevane --headless --accept-licence"_qs
                + (options.dataFolder.isEmpty() ? QString() : u" --data "_qs + options.dataFolder));
        return ExitCode::LicenceNotAccepted;
    }
    print(m_out, licenceText());
    if (!agree()) {
        print(m_err, u"The licence terms were not accepted."_qs);
        return ExitCode::LicenceNotAccepted;
    }
    if (const FileError error = writeTermsAccepted(); !error.ok()) {
        print(m_err, fileErrorMessage(error, {u"Error Location:Licence Acceptance"_qs}));
        return ExitCode::SettingsUnreadable;
    }
    print(m_out, u"Licence terms accepted."_qs);
    chooseSource(options);
    return std::nullopt;
}

void HeadlessRun::chooseSource(const ProgramOptions& options)
{
    SettingsStore& settings = m_services.settings;
    if (options.source) {
        settings.source = *options.source;
    } else if (settings.askForSource) {
        // Nobody is there to ask: the prices are simulated until a source is chosen.
        settings.source = {};
        settings.source.kind = SourceKind::Simulated;
        print(m_out,
            u"No data source has been chosen yet: the prices are simulated, not real. Choose one with "
            "--source, or with the Data Source button of the desktop program."_qs);
    }
    print(m_out, u"Prices: "_qs + sourceDescription(settings.source, settings.servers.quoteServer));
}

void HeadlessRun::start()
{
    print(m_out,
        u"Tradevane monitoring without a window; data folder "_qs
            + QDir::toNativeSeparators(programFolder()));
    m_services.engine.start();
}

void HeadlessRun::terminate()
{
    m_services.engine.stop();
    emit finished(ExitCode::Ok);
}

void HeadlessRun::print(std::FILE* stream, const QString& text)
{
    QString lines = text;
    lines.replace(u"\r\n"_qs, u"\n"_qs);
    if (!lines.endsWith(u'\n'))
        lines += u'\n';
    std::fputs(lines.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace tradevane
