#include "gui/SoundsWindow.h"

#include "engine/notify/SoundPlayer.h"
#include "engine/settings/SettingsStore.h"
#include "engine/settings/SoundSettingsFile.h"
#include "platform/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tradevane {

namespace {

// The sounds of the option buttons, in their order.
constexpr std::array<AlertSound, 5> kSounds = {
    AlertSound::Siren, AlertSound::Voice, AlertSound::Attention, AlertSound::ThreeBeeps, AlertSound::Chimes};

template<typename W> W* named(W* widget, const char* name, const QString& accessible)
{
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessible);
    return widget;
}

} // namespace

SoundsWindow::SoundsWindow(
    SettingsStore& settings, SoundPlayer& sound, ActivityLog& log, int logNumber, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
    , m_sound(sound)
    , m_log(log)
    , m_logNumber(logNumber)
{
    setObjectName(u"frmSounds"_qs);
    setWindowTitle(u"Sounds"_qs);
    setAccessibleName(u"Sounds"_qs);
    setAttribute(Qt::WA_DeleteOnClose);

    optSiren = named(new QRadioButton(u"Siren Sound"_qs), "optSiren", u"Siren Sound"_qs);
    optFemVoice = named(new QRadioButton(u"Female Voice"_qs), "optFemVoice", u"Female Voice"_qs);
    optAttnSound = named(new QRadioButton(u"Attention !"_qs), "optAttnSound", u"Attention !"_qs);
    opt3BeepsSound = named(new QRadioButton(u"3 Beeps"_qs), "opt3BeepsSound", u"3 Beeps"_qs);
    optChimesSound = named(new QRadioButton(u"Chimes"_qs), "optChimesSound", u"Chimes"_qs);
    chkEnableSounds
        = named(new QCheckBox(u"Enable Alarm Sounds"_qs), "chkEnableSounds", u"Enable Alarm Sounds"_qs);
    chkDesktopNotice = named(new QCheckBox(u"Desktop Notification for Each Alert"_qs), "chkDesktopNotice",
        u"Desktop Notification for Each Alert"_qs);
    cmdTestWav = named(new QPushButton(u"Test Sound"_qs), "cmdTestWav", u"Test Sound"_qs);
    cmdClose = named(new QPushButton(u"Close Settings"_qs), "cmdClose", u"Close Settings"_qs);

    auto* group = new QButtonGroup(this);
    auto* choices = new QVBoxLayout;
    for (QRadioButton* option : options()) {
        group->addButton(option);
        choices->addWidget(option);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTestWav);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addSpacing(8);
    layout->addWidget(chkEnableSounds);
    layout->addWidget(chkDesktopNotice);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(chkEnableSounds, &QCheckBox::clicked, this, &SoundsWindow::onEnableSoundsClicked);
    connect(chkDesktopNotice, &QCheckBox::clicked, this, &SoundsWindow::onDesktopNoticeClicked);
    connect(cmdTestWav, &QPushButton::clicked, this, &SoundsWindow::onTestWavClicked);
    connect(cmdClose, &QPushButton::clicked, this, &SoundsWindow::onCloseClicked);

    loadValues();
}

SoundsWindow* SoundsWindow::showSounds(QPointer<SoundsWindow>& window, SettingsStore& settings,
    SoundPlayer& sound, ActivityLog& log, int logNumber, QWidget* parent)
{
    if (!window)
        window = new SoundsWindow(settings, sound, log, logNumber, parent);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

std::array<QRadioButton*, 5> SoundsWindow::options() const
{
    return {optSiren, optFemVoice, optAttnSound, opt3BeepsSound, optChimesSound};
}

AlertSound SoundsWindow::chosenSound() const
{
    const std::array<QRadioButton*, 5> buttons = options();
    for (std::size_t i = 0; i < kSounds.size(); ++i) {
        if (buttons[i]->isChecked())
            return kSounds[i];
    }
    return AlertSound::None;
}

void SoundsWindow::loadValues()
{
    for (std::size_t i = 0; i < kSounds.size(); ++i) {
        if (m_settings.sound.sound == kSounds[i])
            options()[i]->setChecked(true);
    }
    chkEnableSounds->setChecked(m_settings.sound.soundsOn);
    chkDesktopNotice->setChecked(m_settings.preferences.desktopNotifications);
}

void SoundsWindow::onEnableSoundsClicked()
{
    saveSoundSettings();
}

void SoundsWindow::onTestWavClicked()
{
    // What is selected now is heard, saved or not; the stored switch decides whether to play.
    // One sound at a time: a click while one plays (this window's or an alert's) is dropped.
    if (m_settings.sound.soundsOn && !m_sound.playing())
        m_testSound = m_sound.playWavFile(alertSoundName(chosenSound()), m_log, m_logNumber, [] {});
}

void SoundsWindow::onCloseClicked()
{
    saveSoundSettings();
    close();
}

void SoundsWindow::onDesktopNoticeClicked()
{
    // In effect at once; kept for the next start when the file can be written.
    m_settings.preferences.desktopNotifications = chkDesktopNotice->isChecked();
    if (const std::optional<QString> problem = savePreferences(m_settings.preferences)) {
        msgBox(*problem + u"\r\nThe choice applies until the program ends."_qs, MsgButtons::OkOnly,
            u"File Write Error"_qs, MsgIcon::Exclamation);
    }
}

void SoundsWindow::saveSoundSettings()
{
    m_settings.sound.soundsOn = chkEnableSounds->isChecked();
    m_settings.sound.sound = chosenSound();

    // The choice stays in effect for this run even when the file cannot be written.
    const FileError error = writeSoundSettings(m_settings.sound);
    if (!error.ok()) {
        msgBox(fileErrorMessage(error,
                   {u"Unable to open/write to the 'Settings' file"_qs,
                       u"The sound choice applies until the program ends."_qs}),
            MsgButtons::OkOnly, u"File Write Error"_qs, MsgIcon::Exclamation);
    }
}

} // namespace tradevane
