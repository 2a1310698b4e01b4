#include "gui/WaveOutput.h"

#include "platform/Deferred.h"
#include "platform/MessageBox.h"
#include "platform/WaveFile.h"

#include <QAudioSink>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

namespace tradevane {

namespace {

// Larger files are not alert sounds; reading them whole would only cost memory.
constexpr qint64 kMaxFileBytes = qint64 {32} * 1024 * 1024;
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

// The default sound at once, its outcome from the event loop.
std::unique_ptr<Pending> defaultSound(SoundOutcome outcome, std::function<void(SoundOutcome)> done)
{
    beep();
    return std::make_unique<Deferred>([outcome, done] { done(outcome); });
}

// A wave file being heard. The sink reports Idle when its last samples have gone to the sound
// server; they still have to be heard, so the play ends after the sound's own length or the
// sink's buffer, whichever is longer. A sink that never gets there counts as stuck.
class WavePlay final : public QObject, public Pending
{
public:
    WavePlay(WaveData wave, const QAudioDevice& device, const QAudioFormat& format,
        std::function<void(SoundOutcome)> done)
        : m_wave(std::move(wave))
        , m_format(format)
        , m_source(&m_wave.samples)
        , m_sink(device, format)
        , m_done(std::move(done))
    {
        m_source.open(QIODevice::ReadOnly);
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_sink, &QAudioSink::stateChanged, this, &WavePlay::sinkState);
        connect(
            &m_timer, &QTimer::timeout, this, [this] { finish(m_drained ? SoundOutcome::Played : stuck()); });
    }

    // False when the device could not be opened.
    bool start()
    {
        m_elapsed.start();
        m_sink.start(&m_source);
        if (m_sink.state() == QAudio::StoppedState)
            return false;
        m_timer.start(static_cast<int>(m_wave.durationMs() + kStuckMarginMs));
        return true;
    }

    void cancel() override { finish(SoundOutcome::Played); }

private:
    void sinkState(QAudio::State state)
    {
        if (m_drained || state != QAudio::IdleState) {
            if (state == QAudio::StoppedState && !m_drained && m_done)
                finish(stuck());
            return;
        }
        m_drained = true;
        const qint64 buffered = m_format.durationForBytes(static_cast<qint32>(m_sink.bufferSize())) / 1000;
        m_timer.start(static_cast<int>(
            std::max<qint64>(0, std::max(m_wave.durationMs() - m_elapsed.elapsed(), buffered))));
    }

    SoundOutcome stuck()
    {
        beep();
        return SoundOutcome::Failed;
    }

    void finish(SoundOutcome outcome)
    {
        m_timer.stop();
        auto done = std::exchange(m_done, nullptr);
        if (!done)
            return;
        m_sink.disconnect(this);
        m_sink.stop();
        done(outcome); // may destroy this play: nothing of it is touched afterwards
    }

    WaveData m_wave;
    QAudioFormat m_format;
    QBuffer m_source;
    QAudioSink m_sink;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    bool m_drained = false;
    std::function<void(SoundOutcome)> m_done;
};

} // namespace

std::unique_ptr<Pending> playWaveOnDefaultOutput(const QString& path, std::function<void(SoundOutcome)> done)
{
    QFile file(path);
    if (!file.exists())
        return defaultSound(SoundOutcome::DefaultSound, std::move(done));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return defaultSound(SoundOutcome::Failed, std::move(done));
    std::optional<WaveData> wave = readWave(file.readAll(), nullptr);
    if (!wave)
        return defaultSound(SoundOutcome::Failed, std::move(done));

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return defaultSound(SoundOutcome::DefaultSound, std::move(done));
    QAudioFormat format;
    format.setChannelCount(wave->channels);
    format.setSampleRate(wave->sampleRate);
    format.setSampleFormat(sampleFormat(*wave));
    if (!device.isFormatSupported(format))
        return defaultSound(SoundOutcome::Failed, std::move(done));

    auto play = std::make_unique<WavePlay>(std::move(*wave), device, format, done);
    if (!play->start()) {
        play.reset();
        return defaultSound(SoundOutcome::DefaultSound, std::move(done));
    }
    return play;
}

} // namespace tradevane
