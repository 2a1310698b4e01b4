#pragma once

#include <QString>

#include <optional>

namespace tradevane {

// The choices of the windowed program that the settings records have no field for, kept in
// "preferences.ini" in the data folder: how closing the main window behaves while a tray is
// there, and whether alerts also raise a desktop notification.
struct Preferences
{
    std::optional<bool> closeToTray; // not asked yet: empty
    bool desktopNotifications = true;
};

QString preferencesPath();

// A missing or unreadable file gives the defaults.
Preferences loadPreferences();
// Gives the reason when the file could not be written.
[[nodiscard]] std::optional<QString> savePreferences(const Preferences& preferences);

} // namespace tradevane
