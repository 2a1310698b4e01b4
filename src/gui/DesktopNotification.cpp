#include "gui/DesktopNotification.h"

#ifdef TRADEVANE_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

namespace tradevane {

DesktopNotifier::DesktopNotifier(Fallback fallback, QObject* parent)
    : QObject(parent)
    , m_fallback(std::move(fallback))
{ }

void DesktopNotifier::notify(const QString& title, const QString& body)
{
#ifdef TRADEVANE_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fallBack(title, body);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.Notifications"_qs,
        u"/org/freedesktop/Notifications"_qs, u"org.freedesktop.Notifications"_qs, u"Notify"_qs);
    // Application, replaces id, icon, summary, body, actions, hints, time-out (-1: the server's).
    call << u"Tradevane"_qs << uint(0) << u"tradevane"_qs << title << body.toHtmlEscaped() << QStringList()
         << QVariantMap {{u"urgency"_qs, QVariant::fromValue(uchar(2))},
                {u"desktop-entry"_qs, u"tradevane"_qs}}
         << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this, [this, title, body](QDBusPendingCallWatcher* w) {
            const QDBusPendingReply<uint> reply = *w;
            w->deleteLater();
            if (reply.isError())
                fallBack(title, body);
            else
                emit delivered(reply.value());
        });
#else
    fallBack(title, body);
#endif
}

void DesktopNotifier::fallBack(const QString& title, const QString& body)
{
    if (m_fallback)
        m_fallback(title, body);
    emit fellBack();
}

} // namespace tradevane
