#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace tradevane {

// Desktop notifications through the desktop's notification service (org.freedesktop.Notifications
// on the session bus). Sending never waits: the answer comes from the event loop, and a desktop
// without the service gets `fallback` instead (the tray's balloon, where there is one).
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    using Fallback = std::function<void(const QString& title, const QString& body)>;

    explicit DesktopNotifier(Fallback fallback, QObject* parent = nullptr);

    void notify(const QString& title, const QString& body);

signals:
    // The service took the notification (its id), or it went to the fallback.
    void delivered(uint id);
    void fellBack();

private:
    void fallBack(const QString& title, const QString& body);

    Fallback m_fallback;
};

} // namespace tradevane
