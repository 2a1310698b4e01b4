#pragma once

#include "core/CycleWindow.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// A main window stand-in that records what the monitoring cycle shows, with the (simulated)
// time of each change.
class RecordingWindow : public CycleWindow
{
public:
    struct Status
    {
        QDateTime when;
        QString text;
    };

    void ShowRunningState() override { ++runningLooks; }
    void ClearQuoteDisplay() override;
    void SetLight(Light light, const QString& bitmap) override;
    void SetStatus(const QString& text) override;
    void SetDownloadFrequency(const QString& text) override { frequency = text; }
    void ShowQuoteRow(int stock, const Quote& quote) override;
    void SetPriceText(int stock, const QString& text) override { price[stock] = text; }
    void SetSymbolAlertColour(int stock, bool alert) override { symbolRed[stock] = alert; }
    void ShowAlertNotice() override { ++notices; }
    void RefreshLogWindow() override { ++logRefreshes; }

    // Statuses shown so far with this text.
    QList<Status> statuses(const QString& text) const;

    // Called after every status change: a test stops the cycle from here.
    std::function<void(const QString&)> onStatus;

    int runningLooks = 0;
    int notices = 0;
    int logRefreshes = 0;
    QString frequency;
    QList<Status> statusHistory;
    QList<QPair<Light, QString>> lights;
    PerStock<QString> price;
    PerStock<QString> change;
    PerStock<bool> symbolRed {};
};
