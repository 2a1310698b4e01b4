#pragma once

#include "engine/forms/SettingsRules.h"
#include "engine/model/Settings.h"

#include <QString>

#include <optional>

namespace tradevane {

// What the mail settings window shows: its two check boxes and seven entry boxes.
struct MailEntries
{
    bool disableEmail = false;
    bool usePassword = false;
    QString server;
    QString userName;
    QString password;
    QString mailFrom;
    QString sendTo;
    QString copyTo;
    QString subject;
};

// The six checks made before a save, in their fixed order, on the texts trimmed of spaces; then the
// sender, recipient and copy addresses must each be plain mail addresses (name@example.com, or
// "Name <name@example.com>"), since they go into the mail's envelope.
std::optional<EntryProblem> checkMailEntries(const MailEntries& entries);

// The boxes as filled from the settings; nothing when they cannot be shown (their switches were
// stored unclear: a damaged file).
std::optional<MailEntries> entriesFromMailSettings(const MailSettings& settings);

// Puts checked entries into `settings`: texts trimmed, the login blank unless it is used. The
// reserved field is kept as loaded.
void storeMailEntries(const MailEntries& entries, MailSettings& settings);

// The text of the test mail.
QString testMailText();

// The help texts of the six "?" labels.
namespace MailHelp {
QString server();
QString mailFrom();
QString sendTo();
QString cc();
QString subject();
QString password();
} // namespace MailHelp

} // namespace tradevane
