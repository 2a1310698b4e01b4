#pragma once

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tradevane {

class SettingsStore;

// "Tradevane - Data Source": where the prices come from. A simulated market (with its seed), a
// folder of price files replayed, live delayed prices from the internet, or the quote and history
// servers of servers.ini. Saves source.ini (and servers.ini for the servers) only on a checked
// save; the choice counts from the next START.
class SourceWindow : public QDialog
{
    Q_OBJECT
public:
    // `firstRun`: the window asks for the first time, with words on which prices are not real.
    SourceWindow(SettingsStore& settings, bool firstRun, QWidget* parent = nullptr);

private:
    void loadValues();
    void followChoice();
    void onBrowseClicked();
    void onSaveClicked();

    SettingsStore& m_settings;
    QButtonGroup* m_choices;
    QRadioButton* m_optSimulated;
    QRadioButton* m_optReplay;
    QRadioButton* m_optLive;
    QRadioButton* m_optServers;
    QLineEdit* m_txtSeed;
    QLineEdit* m_txtReplayFolder;
    QPushButton* m_cmdBrowse;
    QLineEdit* m_txtQuoteServer;
    QLineEdit* m_txtHistoryServer;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdCancel;
};

} // namespace tradevane
