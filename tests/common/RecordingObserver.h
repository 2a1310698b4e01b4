#pragma once

#include "engine/session/SessionObserver.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

using namespace tradevane;

// A main window stand-in that records what the monitoring engine shows, with the (simulated) time
// of each change.
class RecordingObserver : public QObject, public SessionObserver
{
public:
    struct Status
    {
        QDateTime when;
        QString text;
    };

    // Watches `engine` from now on.
    void observe(MonitoringSession& engine) { ConnectObserver(engine, *this, this); }

    void ShowRunningState() override { ++runningLooks; }
    void ShowStoppedState() override { ++stoppedLooks; }
    void ClearQuoteDisplay() override;
    void ShowState(MonitoringSession::State state) override { states.append(state); }
    void SetStatus(const QString& text) override;
    void SetDownloadFrequency(const QString& text) override { frequency = text; }
    void ShowQuoteRow(int stock, const Quote& quote) override;
    void SetPriceText(int stock, const QString& text) override { price[stock - 1] = text; }
    void SetSymbolAlertColour(int stock, bool alert) override { symbolRed[stock - 1] = alert; }
    void ShowAlertNotice(const QString&) override { ++notices; }
    void RefreshLogWindow() override { ++setsFinished; }
    void ShowConnectionRefused() override { ++refusals; }

    // Statuses shown so far with this text.
    QList<Status> statuses(const QString& text) const;
    // How many statuses so far begin with `text`.
    int statusesStartingWith(const QString& text) const;

    // Called after every status change (never stop the engine from here: it is in mid-step).
    std::function<void(const QString&)> onStatus;

    int runningLooks = 0;
    int stoppedLooks = 0;
    int notices = 0;
    int setsFinished = 0;
    int refusals = 0;
    QString frequency;
    QList<Status> statusHistory;
    QList<MonitoringSession::State> states;
    // By stock index 0..9.
    std::array<QString, kStockCount> price;
    std::array<QString, kStockCount> change;
    std::array<bool, kStockCount> symbolRed {};
};
