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

    virtual void showRunningState() = 0;
    virtual void showStoppedState() = 0;
    virtual void clearQuoteDisplay() = 0;
    // The engine is in `state` now (the window lights its lamps by it).
    virtual void showState(MonitoringSession::State state) = 0;
    virtual void setStatus(const QString& text) = 0;
    virtual void setDownloadFrequency(const QString& text) = 0;
    // Price, change, open, high, low and volume of the stock's row (1..10), as received.
    virtual void showQuoteRow(int stock, const Quote& quote) = 0;
    virtual void setPriceText(int stock, const QString& text) = 0;
    virtual void setSymbolAlertColour(int stock, bool alert) = 0; // red when alert, else green
    virtual void showAlertNotice(const QString& message) = 0;
    // A quote set has ended: an open log window shows the file again.
    virtual void refreshLogWindow() = 0;
    // START found no connection.
    virtual void showConnectionRefused(const QString& message) = 0;
};

// Lets `window` show what `engine` does, for as long as `context` lives.
void connectObserver(MonitoringSession& engine, SessionObserver& window, QObject* context);

// The text of the box that START shows without a connection (six lines joined by CR LF).
QString connectionRefusedText();

} // namespace tradevane
