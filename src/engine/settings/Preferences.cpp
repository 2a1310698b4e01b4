#include "engine/settings/Preferences.h"

#include "platform/ProgramFolder.h"

#include <QSettings>

namespace tradevane {

namespace {

const QString kCloseToTray = u"window/closeToTray"_qs;
const QString kDesktopNotifications = u"alerts/desktopNotifications"_qs;

} // namespace

QString PreferencesPath()
{
    return ProgramFile(u"preferences.ini"_qs);
}

Preferences LoadPreferences()
{
    const QSettings file(PreferencesPath(), QSettings::IniFormat);
    Preferences preferences;
    if (file.contains(kCloseToTray))
        preferences.closeToTray = file.value(kCloseToTray).toBool();
    preferences.desktopNotifications = file.value(kDesktopNotifications, true).toBool();
    return preferences;
}

std::optional<QString> SavePreferences(const Preferences& preferences)
{
    QSettings file(PreferencesPath(), QSettings::IniFormat);
    if (preferences.closeToTray)
        file.setValue(kCloseToTray, *preferences.closeToTray);
    else
        file.remove(kCloseToTray);
    file.setValue(kDesktopNotifications, preferences.desktopNotifications);
    file.sync();
    if (file.status() != QSettings::NoError)
        return u"%1 cannot be written"_qs.arg(PreferencesPath());
    return std::nullopt;
}

} // namespace tradevane
