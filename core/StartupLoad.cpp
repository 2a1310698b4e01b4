#include "core/StartupLoad.h"

#include "alertsettings/AlertSettingsFile.h"
#include "core/ServerSettings.h"
#include "core/Version.h"
#include "info/TermsFile.h"
#include "notify/MailSettingsFile.h"
#include "notify/SoundSettingsFile.h"
#include "schedule/TimeSettingsFile.h"

StartupLoad LoadSettingsFiles()
{
    // The server addresses never stop the loading: a bad servers.ini leaves the defaults in
    // use with a note in the activity log.
    LoadServerSettings();

    StartupLoad load;
    auto failed = [&load](const FileError& error, const QString& location) {
        if (error.ok())
            return false;
        load.error = error;
        load.location = location;
        return true;
    };

    for (int stock = 1; stock <= kStockCount; ++stock) {
        if (failed(ReadAlertSettings(stock), u"Alert Settings"_qs))
            return load;
    }
    if (failed(ReadMailSettings(), u"Email Settings"_qs))
        return load;
    if (failed(ReadTimeSettings(), u"Time Settings"_qs))
        return load;
    if (failed(ReadSoundSettings(), u"Sound Settings"_qs))
        return load;
    failed(ReadTermsAccepted(load.TermsAccepted), u"Licence Acceptance"_qs);
    return load;
}

QString InitializeErrorText(const StartupLoad& load)
{
    return FileErrorMessage(load.error,
        {
            u"Error Location:"_qs + load.location,
            u"Exit the program and restart."_qs,
            u"If the problem persists, see the Tradevane support page: "_qs + kSupportPage,
        });
}
