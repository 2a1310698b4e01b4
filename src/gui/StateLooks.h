#pragma once

#include "engine/session/MonitoringSession.h"

#include <QString>

namespace tradevane {

// How the windows show the monitoring engine's state: the main window's four lamps and the tray
// icon. The engine says what it does; only these functions decide how that looks.

// The main window's lamps.
struct Lamps
{
    bool running = false;
    bool stopped = true;
    bool download = false;
    bool email = false; // lit while the alerts go out by mail and to the phone channels

    bool operator==(const Lamps&) const = default;
};
Lamps lampsOf(MonitoringSession::State state);

// The bitmaps of the lamps, lit or not.
QString runningLampBitmap(bool lit);
QString stoppedLampBitmap(bool lit);
QString activityLampBitmap(bool lit); // the download and the e-mail lamps

// What the tray icon shows.
enum class TrayLook { Stopped, Waiting, Downloading, Alert };

// The look of an engine in `state`; an alert not yet seen outweighs the rest while it runs.
TrayLook trayLookOf(MonitoringSession::State state, bool alertUnseen);

} // namespace tradevane
