#include "platform/SoundPlayerGui.h"

#include "platform/MsgBox.h"
#include "platform/WaveFile.h"

#include <QAudioSink>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

namespace {

// Larger files are not alert sounds; reading them whole would only cost memory.
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
// How long past its own length a sound may take before the device counts as stuck.
constexpr int kStuckMarginMs = 3000;

QAudioFormat::SampleFormat sampleFormat(const WaveData& wave)
{
    if (wave.isFloat)
        return QAudioFormat::Float;
    switch (wave.bitsPerSample) {
    case 8:
        return QAudioFormat::UInt8;
    case 16:
        return QAudioFormat::Int16;
    default:
        return QAudioFormat::Int32;
    }
}

SoundOutcome defaultSound(SoundOutcome outcome)
{
    Beep();
    return outcome;
}

// Runs the event loop for `ms` milliseconds: windows stay responsive while the sound plays.
void waitMs(qint64 ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

SoundOutcome PlayWaveOnDefaultOutput(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return defaultSound(SoundOutcome::DefaultSound);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return defaultSound(SoundOutcome::Failed);
    std::optional<WaveData> wave = ReadWave(file.readAll(), nullptr);
    if (!wave)
        return defaultSound(SoundOutcome::Failed);

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return defaultSound(SoundOutcome::DefaultSound);
    QAudioFormat format;
    format.setChannelCount(wave->channels);
    format.setSampleRate(wave->sampleRate);
    format.setSampleFormat(sampleFormat(*wave));
    if (!device.isFormatSupported(format))
        return defaultSound(SoundOutcome::Failed);

    QBuffer source(&wave->samples);
    source.open(QIODevice::ReadOnly);
    QAudioSink sink(device, format);
    QEventLoop loop;
    bool drained = false;
    QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&](QAudio::State state) {
        if (state == QAudio::IdleState)
            drained = true;
        if (state == QAudio::IdleState || state == QAudio::StoppedState)
            loop.quit();
    });
    QTimer stuck;
    stuck.setSingleShot(true);
    stuck.setTimerType(Qt::PreciseTimer);
    QObject::connect(&stuck, &QTimer::timeout, &loop, &QEventLoop::quit);

    QElapsedTimer elapsed;
    elapsed.start();
    sink.start(&source);
    if (sink.state() == QAudio::StoppedState) // the device could not be opened
        return defaultSound(SoundOutcome::DefaultSound);
    stuck.start(static_cast<int>(wave->durationMs() + kStuckMarginMs));
    loop.exec();
    if (!drained) {
        sink.stop();
        return defaultSound(SoundOutcome::Failed);
    }
    // Idle means the last samples have gone to the sound server; they still have to be heard.
    const qint64 buffered = format.durationForBytes(static_cast<qint32>(sink.bufferSize())) / 1000;
    waitMs(std::max(wave->durationMs() - elapsed.elapsed(), buffered));
    sink.stop();
    return SoundOutcome::Played;
}

void InstallSoundPlayer()
{
    SetWavPlayer(PlayWaveOnDefaultOutput);
}
