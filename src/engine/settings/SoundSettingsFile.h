#pragma once

#include "engine/model/Settings.h"
#include "platform/RecordFile.h"

namespace tradevane {

// soundset.dat: six 16-bit booleans (-1 on, 0 off): sounds on, then one for each sound.
constexpr int kSoundSettingsLength = 12;

QByteArray EncodeRecord(const SoundSettings& settings);
void DecodeRecord(const QByteArray& bytes, SoundSettings& settings);

QString SoundSettingsPath();
[[nodiscard]] FileError ReadSoundSettings(SoundSettings& settings);
[[nodiscard]] FileError WriteSoundSettings(const SoundSettings& settings);

} // namespace tradevane
