#pragma once

#include "engine/notify/SoundPlayer.h"

#include <QString>

namespace tradevane {

// Starts playing a wave file on the default sound output through Qt Multimedia; `done` hears
// from the event loop when it has been heard to the end. A missing file or no output device gives
// the default sound (Beep).
[[nodiscard]] std::unique_ptr<Pending> playWaveOnDefaultOutput(
    const QString& path, std::function<void(SoundOutcome)> done);

} // namespace tradevane
