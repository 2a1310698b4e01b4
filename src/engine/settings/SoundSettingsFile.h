#pragma once

#include "engine/model/Settings.h"
#include "platform/RecordFile.h"

namespace tradevane {

// soundset.dat: six 16-bit booleans (-1 on, 0 off): sounds on, then one for each sound.
constexpr int kSoundSettingsLength = 12;

QByteArray encodeRecord(const SoundSettings& settings);
void decodeRecord(const QByteArray& bytes, SoundSettings& settings);

QString soundSettingsPath();
[[nodiscard]] FileError readSoundSettings(SoundSettings& settings);
[[nodiscard]] FileError writeSoundSettings(const SoundSettings& settings);

} // namespace tradevane
