#pragma once

#include "engine/session/MonitoringSession.h"
#include "gui/StateLooks.h"

#include <QIcon>
#include <QObject>
#include <QString>

#include <array>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace tradevane {

// The program in the system tray: the icon shows whether monitoring is stopped, waiting,
// downloading or has an alert the user has not looked at yet, the tooltip says it in words with
// the latest status line, and the menu shows the window, starts, stops and exits. It only asks:
// the main window does what the menu asks for.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(MonitoringSession& engine, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether the desktop has a tray to show the icon in.
    static bool available();

    void show();
    TrayLook look() const { return m_look; }
    QString toolTip() const;
    QSystemTrayIcon* icon() const { return m_icon; }

    // An alert came: the icon shows it until the user looks at the window.
    void alertRaised(const QString& message);
    void alertSeen();
    // A balloon message from the icon (where the tray supports them).
    void showMessage(const QString& title, const QString& text);

    QMenu* menu = nullptr;
    QAction* actShowWindow = nullptr;
    QAction* actStart = nullptr;
    QAction* actStop = nullptr;
    QAction* actExit = nullptr;

signals:
    void showWindowRequested();
    void startRequested();
    void stopRequested();
    void exitRequested();

private:
    void update();

    MonitoringSession& m_engine;
    QSystemTrayIcon* m_icon = nullptr;
    std::array<QIcon, 4> m_icons;
    TrayLook m_look = TrayLook::Stopped;
    bool m_alertUnseen = false;
    QString m_status;
    QString m_alertLine;
};

} // namespace tradevane
