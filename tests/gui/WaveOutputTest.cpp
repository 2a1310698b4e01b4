// Playing through a real sound server. The audio backend binds to a sound server once per
// process, so the server must be chosen before anything touches sound: ctest runs each test in a
// process of its own.
#include "TestSupport.h"

#include "engine/notify/SoundPlayer.h"
#include "gui/WaveOutput.h"
#include "platform/WaveFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstdlib>

using namespace tradevane;

namespace {

constexpr int kRecordRate = 11025;

// Plays the file on the default output and runs until its end is reported.
SoundOutcome waitForSound(const QString& path)
{
    std::optional<SoundOutcome> outcome;
    const auto sound = playWaveOnDefaultOutput(path, [&](SoundOutcome o) { outcome = o; });
    EXPECT_TRUE(runUntil([&] { return outcome.has_value(); }, 30000)) << "the sound never ended";
    return outcome.value_or(SoundOutcome::Failed);
}
const char* const kChildMarker = "TRADEVANE_SOUND_TEST_CHILD";

// A PulseAudio server of this test alone, with a null sink whose monitor the test records.
class NullSinkServer
{
public:
    ~NullSinkServer() { stop(); }

    bool start(QString* why)
    {
        const QString pulseaudio = QStandardPaths::findExecutable(u"pulseaudio"_qs);
        if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(u"parec"_qs).isEmpty()) {
            *why = u"pulseaudio or parec is not installed (Debian packages pulseaudio, pulseaudio-utils)"_qs;
            return false;
        }
        m_socket = m_dir.filePath(u"native"_qs);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_qs, m_dir.path());
        env.insert(u"XDG_RUNTIME_DIR"_qs, m_dir.path());
        env.insert(u"XDG_CONFIG_HOME"_qs, m_dir.path());
        m_daemon.setProcessEnvironment(env);
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        m_daemon.start(pulseaudio,
            {u"-n"_qs, u"--daemonize=no"_qs, u"--exit-idle-time=-1"_qs, u"--use-pid-file=false"_qs,
                u"--disable-shm=yes"_qs, u"-L"_qs, u"module-null-sink sink_name=tvnull"_qs, u"-L"_qs,
                u"module-native-protocol-unix auth-anonymous=1 socket="_qs + m_socket});
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000 && m_daemon.state() != QProcess::NotRunning) {
            QProcess pactl;
            pactl.setProcessEnvironment(clientEnvironment());
            pactl.start(u"pactl"_qs, {u"info"_qs});
            if (QFile::exists(m_socket) && pactl.waitForFinished(3000) && pactl.exitCode() == 0) {
                startRecording();
                return true;
            }
            m_daemon.waitForFinished(100);
        }
        *why = u"pulseaudio did not start: "_qs + QString::fromUtf8(m_daemon.readAll()).left(400);
        stop();
        return false;
    }

    QString server() const { return u"unix:"_qs + m_socket; }

    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PULSE_SERVER"_qs, server());
        return env;
    }

    // The recorder runs from the start with a short latency. That also keeps the null sink
    // working in small blocks: an idle null sink wakes up in blocks of two seconds, which would
    // hold back the first sound of a test by as much.
    void startRecording()
    {
        m_recorder.setProcessEnvironment(clientEnvironment());
        m_recorder.start(u"parec"_qs,
            {u"--device=tvnull.monitor"_qs, u"--raw"_qs, u"--format=s16le"_qs,
                u"--rate="_qs + QString::number(kRecordRate), u"--channels=1"_qs, u"--latency-msec=20"_qs});
        m_recorder.waitForStarted(3000);
        collect(2500);
    }

    // What the sink played from now on, for `ms` milliseconds.
    QByteArray collect(int ms)
    {
        QByteArray data = m_recorder.readAllStandardOutput();
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ms && m_recorder.state() == QProcess::Running) {
            m_recorder.waitForReadyRead(static_cast<int>(ms - waited.elapsed()));
            data += m_recorder.readAllStandardOutput();
        }
        return data;
    }

    void stop()
    {
        for (QProcess* p : {&m_recorder, &m_daemon}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(3000))
                    p->kill();
                p->waitForFinished(3000);
            }
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_socket;
    QProcess m_daemon;
    QProcess m_recorder;
};

// Milliseconds from the first to the last recorded sample above a tenth of full scale.
qint64 audibleSpanMs(const QByteArray& pcm)
{
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::abs(qFromLittleEndian(samples[i])) > 3276) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return first < 0 ? 0 : (last - first) * 1000 / kRecordRate;
}

qint64 fileLengthMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const auto wave = readWave(file.readAll(), nullptr);
    return wave ? wave->durationMs() : 0;
}

class SoundDevice : public ProgramTest
{
protected:
    static void SetUpTestSuite()
    {
        sink = new NullSinkServer;
        if (!sink->start(&whyNot)) {
            delete sink;
            sink = nullptr;
            return;
        }
        // Before the audio backend first looks for a server.
        qputenv("PULSE_SERVER", sink->server().toLocal8Bit());
    }

    static void TearDownTestSuite()
    {
        delete sink;
        sink = nullptr;
    }

    void SetUp() override
    {
        ProgramTest::SetUp();
        ASSERT_TRUE(sink) << "no sound server could be started: " << whyNot.toStdString();
    }

    static inline NullSinkServer* sink = nullptr;
    static inline QString whyNot;
};

TEST_F(SoundDevice, EveryShippedSoundIsHeardToItsEndBeforeItsEndIsReported)
{
    for (const QString& name : {u"siren"_qs, u"voice_alert"_qs, u"Attn"_qs, u"Beep3"_qs, u"Chimes"_qs}) {
        SCOPED_TRACE(name.toStdString());
        copyResource(name + u".wav"_qs);
        const qint64 length = fileLengthMs(wavPath(name));
        ASSERT_GT(length, 0);

        sink->collect(200); // what came before is not part of this sound
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(waitForSound(wavPath(name)), SoundOutcome::Played);
        const qint64 tookMs = took.elapsed();
        const QByteArray recorded = sink->collect(300);

        EXPECT_GE(tookMs, length * 9 / 10) << "reported before the sound ended";
        // The whole sound reached the sink, not a cut-off start of it. (Quiet ends of a sound
        // may fall under the threshold, hence not the full length.)
        EXPECT_GE(audibleSpanMs(recorded), length * 6 / 10) << recorded.size() << " bytes recorded";
        EXPECT_EQ(m_boxes.beeps(), 0);
    }
}

// Stop or closing cuts a sound off: its end is reported at once and the device falls silent.
TEST_F(SoundDevice, AStoppedSoundEndsAtOnce)
{
    copyResource(u"siren.wav"_qs);
    std::optional<SoundOutcome> outcome;
    const auto sound = playWaveOnDefaultOutput(wavPath(u"siren"_qs), [&](SoundOutcome o) { outcome = o; });
    QTest::qWait(100);
    ASSERT_FALSE(outcome.has_value());
    sound->cancel();
    EXPECT_TRUE(outcome.has_value());
    sink->collect(300); // what was under way
    EXPECT_EQ(audibleSpanMs(sink->collect(500)), 0);
}

// A missing file gives the default sound; a file that is no wave gives it too, as a failure (which
// the sound player notes).
TEST_F(SoundDevice, MissingOrBrokenFilesGiveTheDefaultSound)
{
    EXPECT_EQ(waitForSound(wavPath(u"no_such_sound"_qs)), SoundOutcome::DefaultSound);
    writeFile(u"Chimes.wav"_qs, "this is no wave file");
    EXPECT_EQ(waitForSound(wavPath(u"Chimes"_qs)), SoundOutcome::Failed);
    EXPECT_EQ(m_boxes.beeps(), 2);
}

// Without any sound server the default sound plays at once. Run in a child process of this
// executable, so that its audio backend sees no server from the start.
using NoSoundServer = ProgramTest;

TEST_F(NoSoundServer, TheDefaultSoundPlays)
{
    if (!qEnvironmentVariableIsSet(kChildMarker)) {
        QTemporaryDir nowhere;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildMarker), u"1"_qs);
        env.insert(u"PULSE_SERVER"_qs, u"unix:"_qs + nowhere.filePath(u"no-server"_qs));
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            {u"--gtest_filter=NoSoundServer.TheDefaultSoundPlays"_qs});
        ASSERT_TRUE(child.waitForFinished(30000)) << "the child hung";
        const QString output = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(u"[  PASSED  ] 1 test"_qs)) << output.toStdString();
        return;
    }
    copyResource(u"siren.wav"_qs);
    EXPECT_EQ(waitForSound(wavPath(u"siren"_qs)), SoundOutcome::DefaultSound);
    EXPECT_EQ(m_boxes.beeps(), 1);
}

} // namespace
