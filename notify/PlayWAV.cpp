#include "notify/PlayWAV.h"

#include "core/LogTexts.h"
#include "notify/UpdateLog.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"

#include <QScopedValueRollback>

namespace {

SoundOutcome defaultSoundOnly(const QString&)
{
    Beep();
    return SoundOutcome::DefaultSound;
}

WavPlayer& player()
{
    static WavPlayer current = defaultSoundOnly;
    return current;
}

bool playing = false;

} // namespace

void SetWavPlayer(WavPlayer p)
{
    player() = p ? std::move(p) : WavPlayer(defaultSoundOnly);
}

QString WavPath(const QString& soundName)
{
    return ProgramFile(soundName + u".wav"_qs);
}

void PlayWavFile(const QString& soundName)
{
    // The player keeps the windows responsive while it waits for the end of the sound, so a
    // Test Sound click could arrive meanwhile; one sound at a time.
    if (playing)
        return;
    QScopedValueRollback busy(playing, true);

    if (player()(WavPath(soundName)) != SoundOutcome::Failed)
        return;
    if (StockID >= 1 && StockID <= kStockCount)
        gDownloadError[StockID] = vbTrue;
    AppendNote(LogText::SoundError);
    AppendLog();
}

QString AlertSoundName(const SoundSettings& s)
{
    QString name;
    if (s.UseSiren)
        name = u"siren"_qs;
    if (s.UseVoice)
        name = u"voice_alert"_qs;
    if (s.UseAttention)
        name = u"Attn"_qs;
    if (s.UseThreeBeeps)
        name = u"Beep3"_qs;
    if (s.UseChimes)
        name = u"Chimes"_qs;
    return name;
}

void PlayAlertSound()
{
    const QString name = AlertSoundName(gSoundSettings);
    if (gSoundSettings.SoundsEnabled)
        PlayWavFile(name);
}
