#pragma once

#include "engine/model/Settings.h"
#include "platform/Pending.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace tradevane {

class ActivityLog;
class SettingsStore;
class SoundPlayer;

// The sounds window: which alert sound plays, and whether sounds play at all. The choice is
// saved to soundset.dat when the enable box is clicked and by Close Settings.
class SoundsWindow : public QWidget
{
    Q_OBJECT

public:
    // `logNumber` is the stock number the log's own notes name (the main window's chosen stock).
    SoundsWindow(SettingsStore& settings, SoundPlayer& sound, ActivityLog& log, int logNumber,
        QWidget* parent = nullptr);

    // Shows the one sounds window kept in `window` (creating it when none is open) without making
    // it modal.
    static SoundsWindow* showSounds(QPointer<SoundsWindow>& window, SettingsStore& settings,
        SoundPlayer& sound, ActivityLog& log, int logNumber, QWidget* parent = nullptr);

    QRadioButton* optSiren;
    QRadioButton* optFemVoice;
    QRadioButton* optAttnSound;
    QRadioButton* opt3BeepsSound;
    QRadioButton* optChimesSound;
    QCheckBox* chkEnableSounds;
    QCheckBox* chkDesktopNotice; // a desktop notification beside the notice window
    QPushButton* cmdTestWav;
    QPushButton* cmdClose;

private:
    void loadValues();
    void onEnableSoundsClicked();
    void onDesktopNoticeClicked();
    void onTestWavClicked();
    void onCloseClicked();
    void saveSoundSettings();

    // The option buttons in the order of the sound settings record, with their sound names.
    std::array<QRadioButton*, 5> options() const;
    // The sound of the option button that is checked.
    AlertSound chosenSound() const;

    SettingsStore& m_settings;
    SoundPlayer& m_sound;
    ActivityLog& m_log;
    int m_logNumber;
    std::unique_ptr<Pending> m_testSound;
};

} // namespace tradevane
