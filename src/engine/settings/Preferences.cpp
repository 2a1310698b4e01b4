#include "engine/settings/Preferences.h"

#include "platform/ProgramFolder.h"
#include "platform/RecordFile.h"

#include <QFile>

#include <QSettings>

namespace tradevane {

namespace {

const QString kCloseToTray = u"window/closeToTray"_qs;
const QString kDesktopNotifications = u"alerts/desktopNotifications"_qs;

} // namespace

QString preferencesPath()
{
    return programFile(u"preferences.ini"_qs);
}

Preferences loadPreferences()
{
    const QSettings file(preferencesPath(), QSettings::IniFormat);
    Preferences preferences;
    if (file.contains(kCloseToTray))
        preferences.closeToTray = file.value(kCloseToTray).toBool();
    preferences.desktopNotifications = file.value(kDesktopNotifications, true).toBool();
    return preferences;
}

std::optional<QString> savePreferences(const Preferences& preferences)
{
    QSettings file(preferencesPath(), QSettings::IniFormat);
    if (preferences.closeToTray)
        file.setValue(kCloseToTray, *preferences.closeToTray);
    else
        file.remove(kCloseToTray);
    file.setValue(kDesktopNotifications, preferences.desktopNotifications);
    file.sync();
    if (file.status() != QSettings::NoError)
        return u"%1 cannot be written"_qs.arg(preferencesPath());
    QFile::setPermissions(preferencesPath(), kOwnerOnly);
    return std::nullopt;
}

} // namespace tradevane
