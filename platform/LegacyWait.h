#pragma once

#include "core/WebDetect.h"
#include "platform/SmtpControl.h"

#include <QString>

#include <optional>

class InetControl;

// Blocking forms of the transfer hub's operations for the monitoring cycle that still waits
// inside the START click: each runs a nested event loop until its operation ends, and gives up
// when the program ends.
std::optional<QString> OpenURLAndWait(InetControl& control, const QString& url);
SmtpResult SendAndWait(SmtpControl& control);
ConnectionState ConnectionStateAndWait(TransferHub& hub, const QString& quoteServer);
