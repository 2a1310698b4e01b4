#pragma once

#include "notify/PlayWAV.h"

#include <QString>

// Plays a wave file on the default sound output through Qt Multimedia and returns when it has
// been heard to the end. A missing file or no output device gives the default sound (Beep).
SoundOutcome PlayWaveOnDefaultOutput(const QString& path);

// Makes PlayWavFile use PlayWaveOnDefaultOutput.
void InstallSoundPlayer();
