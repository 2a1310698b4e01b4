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
    void observe(MonitoringSession& engine) { connectObserver(engine, *this, this); }

    void showRunningState() override { ++runningLooks; }
    void showStoppedState() override { ++stoppedLooks; }
    void clearQuoteDisplay() override;
    void showState(MonitoringSession::State state) override { states.append(state); }
    void setStatus(const QString& text) override;
    void setDownloadFrequency(const QString& text) override { frequency = text; }
    void showQuoteRow(int stock, const Quote& quote) override;
    void setPriceText(int stock, const QString& text) override { price[stock - 1] = text; }
    void setSymbolAlertColour(int stock, bool alert) override { symbolRed[stock - 1] = alert; }
    void showAlertNotice(const QString&) override { ++notices; }
    void refreshLogWindow() override { ++setsFinished; }
    void showConnectionRefused(const QString&) override { ++refusals; }

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
