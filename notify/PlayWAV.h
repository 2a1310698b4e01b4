#pragma once

#include "core/VarDef.h"

#include <QString>

#include <functional>

// How one attempt to play a wave file ended.
enum class SoundOutcome {
    Played, // the file was heard to its end
    DefaultSound, // missing file or no sound device: the system's default sound played instead
    Failed, // the file or the device failed; the default sound played instead
};

// Plays the wave file at a path and returns once it has ended. The real player (Qt
// Multimedia) is installed by the program at start-up; tests install their own.
using WavPlayer = std::function<SoundOutcome(const QString& path)>;
void SetWavPlayer(WavPlayer player); // nullptr: only the default sound, no wave output

// The file of a sound name: the program folder, the name and ".wav".
QString WavPath(const QString& soundName);

// Plays the named sound beside the program and returns when it has ended. A missing file plays
// the default sound; a failure notes "Sound Error - Location WAV module" in the log and marks
// the current stock failed when StockID names one. A call made while a sound is playing
// (a button pressed meanwhile) returns at once.
void PlayWavFile(const QString& soundName);

// The sound name of the chosen sound; when several choices are set, the last in the order
// siren, voice, attention, three beeps, chimes wins; none set gives an empty name.
QString AlertSoundName(const SoundSettings& settings);

// The alert sound: the chosen sound when sounds are enabled, else nothing.
void PlayAlertSound();
