#pragma once

#include "core/VarDef.h"

#include <QString>

// The four status lights of the main window.
enum class Light { Run, Stop, Download, Email };

// What the monitoring cycle and the alert evaluation show on the main window. The main window
// implements it; tests can watch the cycle through it without a window.
class CycleWindow
{
public:
    virtual ~CycleWindow() = default;

    virtual void ShowRunningState() = 0;
    virtual void ClearQuoteDisplay() = 0;
    virtual void SetLight(Light light, const QString& bitmap) = 0;
    virtual void SetStatus(const QString& text) = 0;
    virtual void SetDownloadFrequency(const QString& text) = 0;
    // Price, change, open, high, low and volume of the stock's row, as received.
    virtual void ShowQuoteRow(int stock, const Quote& quote) = 0;
    virtual void SetPriceText(int stock, const QString& text) = 0;
    virtual void SetSymbolAlertColour(int stock, bool alert) = 0; // red when alert, else green
    virtual void ShowAlertNotice() = 0;
    virtual void RefreshLogWindow() = 0;
};
