#pragma once

#include "engine/model/Settings.h"
#include "platform/Pending.h"

#include <QString>

#include <functional>
#include <memory>

namespace tradevane {

class ActivityLog;

// How one attempt to play a wave file ended.
enum class SoundOutcome {
    Played, // the file was heard to its end (or was stopped)
    DefaultSound, // missing file or no sound device: the system's default sound played instead
    Failed, // the file or the device failed; the default sound played instead
};

// A sound device: starts playing the wave file at `path`; `done` hears from the event loop how
// it ended. Cancelling the play stops the sound and reports it at once.
using WavPlayer
    = std::function<std::unique_ptr<Pending>(const QString& path, std::function<void(SoundOutcome)> done)>;

// A device that plays nothing and reports every sound played: the program without a window is
// silent.
WavPlayer silentDevice();

// The file of a sound name: the resource of that name with ".wav".
QString wavPath(const QString& soundName);

// The name of a sound (its wave file without ".wav"); no sound gives an empty name.
QString alertSoundName(AlertSound sound);

// The program's sounds, one at a time, on the device it was given (the real one is Qt
// Multimedia's default output; without one only the system's default sound is heard).
class SoundPlayer
{
public:
    explicit SoundPlayer(WavPlayer device = {});
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Plays the named sound beside the program; `done` runs when it has ended. A missing file
    // plays the default sound; a failure notes "Sound Error - Location WAV module" in the log
    // (`number` is the stock number the log's own notes name). A call while a sound is playing (a
    // button pressed meanwhile) is dropped: its `done` runs at once, from the event loop.
    [[nodiscard]] std::unique_ptr<Pending> playWavFile(
        const QString& soundName, ActivityLog& log, int number, std::function<void()> done);

    // The alert sound: the chosen sound when sounds are enabled, else nothing (`done` runs from
    // the event loop all the same).
    [[nodiscard]] std::unique_ptr<Pending> playAlertSound(
        const SoundSettings& settings, ActivityLog& log, int number, std::function<void()> done);

    bool playing() const { return m_playing != nullptr; }

private:
    class Play;
    WavPlayer m_device;
    Play* m_playing = nullptr;
};

} // namespace tradevane
