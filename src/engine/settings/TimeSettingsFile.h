#pragma once

#include "engine/model/Settings.h"
#include "platform/RecordFile.h"

namespace tradevane {

// timeset.dat: seven 16-bit integers.
constexpr int kTimeSettingsLength = 14;

QByteArray EncodeRecord(const TimeSettings& settings);
void DecodeRecord(const QByteArray& bytes, TimeSettings& settings);

QString TimeSettingsPath();
[[nodiscard]] FileError ReadTimeSettings(TimeSettings& settings);
[[nodiscard]] FileError WriteTimeSettings(const TimeSettings& settings);

} // namespace tradevane
