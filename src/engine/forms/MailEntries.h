#pragma once

#include "engine/forms/SettingsRules.h"
#include "engine/model/Settings.h"

#include <QString>

#include <optional>

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

// The widths of the mail record's texts, which are also the limits of the window's boxes.
namespace MailWidth {
constexpr int Server = 30;
constexpr int UserName = 20;
constexpr int Password = 20;
constexpr int Address = 40; // MailFrom, SendTo, CopyTo
constexpr int Subject = 50;
constexpr int Spare = 300;
} // namespace MailWidth

// The six checks made before a save, in their fixed order, on the texts trimmed of spaces.
std::optional<EntryProblem> CheckMailEntries(const MailEntries& entries);

// The boxes as filled from a stored record; nothing when the record cannot be shown (a switch
// that is neither 0 nor 1: a damaged file).
std::optional<MailEntries> EntriesFromMailSettings(const MailSettings& settings);

// Puts checked entries into `settings`: switches 0 or 1, texts trimmed, the login blank unless it
// is used, both spare texts blank. Reserved is kept as loaded.
void StoreMailEntries(const MailEntries& entries, MailSettings& settings);

// The text of the test mail.
QString TestMailText();

// The help texts of the six "?" labels.
namespace MailHelp {
QString Server();
QString MailFrom();
QString SendTo();
QString CC();
QString Subject();
QString Password();
} // namespace MailHelp
