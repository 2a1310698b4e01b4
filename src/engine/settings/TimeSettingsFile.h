#pragma once

#include "engine/model/Settings.h"
#include "platform/RecordFile.h"

namespace tradevane {

// timeset.dat: seven 16-bit integers.
constexpr int kTimeSettingsLength = 14;

QByteArray encodeRecord(const TimeSettings& settings);
void decodeRecord(const QByteArray& bytes, TimeSettings& settings);

QString timeSettingsPath();
[[nodiscard]] FileError readTimeSettings(TimeSettings& settings);
[[nodiscard]] FileError writeTimeSettings(const TimeSettings& settings);

} // namespace tradevane
