#pragma once

#include "engine/model/Settings.h"
#include "platform/RecordFile.h"

namespace tradevane {

// mailset.dat: three 16-bit integers and nine space-padded texts, 846 bytes. Unless the keyring
// keeps it, it holds the mail password in plain text, so it is kept readable and writable by its
// owner only.
constexpr int kMailSettingsLength = 846;

QByteArray encodeRecord(const MailSettings& settings);
void decodeRecord(const QByteArray& bytes, MailSettings& settings);

QString mailSettingsPath();
[[nodiscard]] FileError readMailSettings(MailSettings& settings);
[[nodiscard]] FileError writeMailSettings(const MailSettings& settings); // mode 0600

} // namespace tradevane
