#pragma once

#include "platform/RecordFile.h"

#include <QString>

namespace tradevane {

class AppServices;

// What the start-up window reads before the main window exists: the server addresses, the phone
// channels, the calendar choice and the window preferences, then the ten alert settings, the mail,
// time and sound settings and the licence acceptance marker, in that order.
struct StartupLoad
{
    FileError error; // the first failure; loading stopped there
    QString location; // the settings concerned: "Alert Settings", "Email Settings", ...
    bool termsAccepted = false;

    bool ok() const { return error.ok(); }
};

// Reads every settings file into the services' records (missing files are created empty and read
// as zeros). Stops at the first file that cannot be opened or read; records not reached keep
// what they held. Channel tokens kept in the desktop keyring arrive later, from the event loop.
StartupLoad loadSettingsFiles(AppServices& services);

// The text of the "Initialize Error" box for a failed load.
QString initializeErrorText(const StartupLoad& load);

} // namespace tradevane
