#include "engine/session/StartupLoad.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/session/AppServices.h"
#include "engine/settings/AlertSettingsFile.h"
#include "engine/settings/CalendarSettings.h"
#include "engine/settings/ChannelSettings.h"
#include "engine/settings/MailSettingsFile.h"
#include "engine/settings/ServerSettings.h"
#include "engine/settings/SettingsStore.h"
#include "engine/settings/SoundSettingsFile.h"
#include "engine/settings/TermsFile.h"
#include "engine/settings/TimeSettingsFile.h"
#include "platform/Version.h"

namespace tradevane {

StartupLoad loadSettingsFiles(AppServices& services)
{
    SettingsStore& settings = services.settings;
    ActivityLog& log = services.log;
    // The server addresses and the calendar choice never stop the loading: a bad file leaves
    // the defaults in use with a note in the activity log.
    // The source is read first: servers.ini is written with its defaults when it is missing, and a
    // folder without source.ini that already had one keeps using its servers.
    const SourceLoad source = loadSourceSettings(log);
    settings.source = source.settings;
    settings.askForSource = source.ask;
    loadServerSettings(settings.servers, log);
    settings.preferences = loadPreferences();
    // Nor do the channels: a bad channels.ini switches them all off, with a note.
    settings.channelsProblem = loadChannelSettings(settings.channels, log);
    loadCalendarSettings(settings.calendar, log);

    StartupLoad load;
    auto failed = [&load](const FileError& error, const QString& location) {
        if (error.ok())
            return false;
        load.error = error;
        load.location = location;
        return true;
    };

    for (const StockIndex stock : allStocks()) {
        if (failed(readAlertSettings(stock, settings.alert(stock)), u"Alert Settings"_qs))
            return load;
    }
    if (failed(readMailSettings(settings.mail), u"Email Settings"_qs))
        return load;
    // The channel tokens and the mail password may be in the keyring: until each arrives its
    // channel sends nothing, and alert mail waits for the password.
    services.secrets.start();
    if (!settings.mail.password.trimmed().isEmpty() && !isOwnerOnly(mailSettingsPath())) {
        log.appendNote(LogText::kMailPasswordExposed);
        log.appendLog(0);
    }
    if (failed(readTimeSettings(settings.time), u"Time Settings"_qs))
        return load;
    if (failed(readSoundSettings(settings.sound), u"Sound Settings"_qs))
        return load;
    failed(readTermsAccepted(load.termsAccepted), u"Licence Acceptance"_qs);
    return load;
}

QString initializeErrorText(const StartupLoad& load)
{
    return fileErrorMessage(load.error,
        {
            u"Error Location:"_qs + load.location,
            u"Exit the program and restart."_qs,
            u"If the problem persists, see the Tradevane support page: "_qs + kSupportPage,
        });
}

} // namespace tradevane
