#pragma once

#include "engine/session/MonitoringSession.h"

#include <QString>

namespace tradevane {

// What the monitoring engine shows, as the main window does it: an observer of the engine's
// signals. The main window implements it; tests watch the engine through it without a window.
class SessionObserver
{
public:
    virtual ~SessionObserver() = default;

    virtual void ShowRunningState() = 0;
    virtual void ShowStoppedState() = 0;
    virtual void ClearQuoteDisplay() = 0;
    // The engine is in `state` now (the window lights its lamps by it).
    virtual void ShowState(MonitoringSession::State state) = 0;
    virtual void SetStatus(const QString& text) = 0;
    virtual void SetDownloadFrequency(const QString& text) = 0;
    // Price, change, open, high, low and volume of the stock's row (1..10), as received.
    virtual void ShowQuoteRow(int stock, const Quote& quote) = 0;
    virtual void SetPriceText(int stock, const QString& text) = 0;
    virtual void SetSymbolAlertColour(int stock, bool alert) = 0; // red when alert, else green
    virtual void ShowAlertNotice(const QString& message) = 0;
    // A quote set has ended: an open log window shows the file again.
    virtual void RefreshLogWindow() = 0;
    // START found no connection.
    virtual void ShowConnectionRefused() = 0;
};

// Lets `window` show what `engine` does, for as long as `context` lives.
void ConnectObserver(MonitoringSession& engine, SessionObserver& window, QObject* context);

// The text of the box that START shows without a connection (six lines joined by CR LF).
QString ConnectionRefusedText();

} // namespace tradevane
