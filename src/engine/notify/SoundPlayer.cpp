#include "engine/notify/SoundPlayer.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/Deferred.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"

namespace tradevane {

namespace {

// Without a device: the system's default sound, reported from the event loop.
std::unique_ptr<Pending> defaultSoundOnly(const QString&, std::function<void(SoundOutcome)> done)
{
    beep();
    return std::make_unique<Deferred>([done] { done(SoundOutcome::DefaultSound); });
}

} // namespace

WavPlayer silentDevice()
{
    return [](const QString&, std::function<void(SoundOutcome)> done) -> std::unique_ptr<Pending> {
        return std::make_unique<Deferred>([done] { done(SoundOutcome::Played); });
    };
}

// One sound being heard: the device's play, and what to do when it ends.
class SoundPlayer::Play final : public Pending
{
public:
    Play(SoundPlayer* player, std::function<void()> done)
        : m_player(player)
        , m_done(std::move(done))
    {
        m_player->m_playing = this;
    }

    ~Play() override
    {
        m_done = nullptr;
        device.reset();
        release();
    }

    void cancel() override
    {
        if (device)
            device->cancel();
    }

    void ended(SoundOutcome outcome, ActivityLog& log, int number)
    {
        release();
        if (outcome == SoundOutcome::Failed) {
            log.appendNote(LogText::kSoundError);
            log.appendLog(number);
        }
        if (auto done = std::exchange(m_done, nullptr))
            done(); // may destroy this play: nothing of it is touched afterwards
    }

    void release()
    {
        if (m_player && m_player->m_playing == this)
            m_player->m_playing = nullptr;
        m_player = nullptr;
    }

    std::unique_ptr<Pending> device;

private:
    SoundPlayer* m_player;
    std::function<void()> m_done;
};

SoundPlayer::SoundPlayer(WavPlayer device)
    : m_device(device ? std::move(device) : WavPlayer(defaultSoundOnly))
{ }

SoundPlayer::~SoundPlayer()
{
    if (m_playing)
        m_playing->release();
}

QString wavPath(const QString& soundName)
{
    return resourceFile(soundName + u".wav"_qs);
}

std::unique_ptr<Pending> SoundPlayer::playWavFile(
    const QString& soundName, ActivityLog& log, int number, std::function<void()> done)
{
    if (m_playing)
        return std::make_unique<Deferred>(std::move(done));
    auto play = std::make_unique<Play>(this, std::move(done));
    Play* p = play.get();
    p->device = m_device(
        wavPath(soundName), [p, &log, number](SoundOutcome outcome) { p->ended(outcome, log, number); });
    return play;
}

std::unique_ptr<Pending> SoundPlayer::playAlertSound(
    const SoundSettings& settings, ActivityLog& log, int number, std::function<void()> done)
{
    if (!settings.soundsOn)
        return std::make_unique<Deferred>(std::move(done));
    return playWavFile(alertSoundName(settings.sound), log, number, std::move(done));
}

QString alertSoundName(AlertSound sound)
{
    switch (sound) {
    case AlertSound::Siren:
        return u"siren"_qs;
    case AlertSound::Voice:
        return u"voice_alert"_qs;
    case AlertSound::Attention:
        return u"Attn"_qs;
    case AlertSound::ThreeBeeps:
        return u"Beep3"_qs;
    case AlertSound::Chimes:
        return u"Chimes"_qs;
    case AlertSound::None:
        break;
    }
    return {};
}

} // namespace tradevane
