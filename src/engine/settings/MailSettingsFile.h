#pragma once

#include "engine/model/Settings.h"
#include "platform/RecordFile.h"

namespace tradevane {

// mailset.dat: three 16-bit integers and nine space-padded texts, 846 bytes. It holds the mail
// password in plain text, so it is kept readable and writable by its owner only.
constexpr int kMailSettingsLength = 846;

QByteArray EncodeRecord(const MailSettings& settings);
void DecodeRecord(const QByteArray& bytes, MailSettings& settings);

QString MailSettingsPath();
[[nodiscard]] FileError ReadMailSettings(MailSettings& settings);
[[nodiscard]] FileError WriteMailSettings(const MailSettings& settings); // mode 0600

} // namespace tradevane
