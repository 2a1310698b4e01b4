#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tradevane {

class ClickLabel;
class MarkerShape;
class SettingsStore;

// "Tradevane - Time Settings": the daily quote download window, the interval between quote sets
// and whether exchange holidays are skipped. Loads timeset.dat into the time settings when it
// opens; stores the times and the calendar choice (calendar.ini) only on a checked save.
class TimesWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TimesWindow(SettingsStore& settings, QWidget* parent = nullptr);

    enum Help { StartTimeHelp, StopTimeHelp, DLFreqHelp, HolidaysHelp, HelpCount };

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadValues();
    void onActivated();
    void loadDefaults();
    void onInsertTimeClicked();
    void onSaveSettingsClicked();
    void showHelp(Help help);

    SettingsStore& m_settings;

    QLineEdit* m_txtStartQdlHour;
    QLineEdit* m_txtStartQdlMin;
    QLineEdit* m_txtStopQdlHour;
    QLineEdit* m_txtStopQdlMin;
    QComboBox* m_comboQuoteInterval;
    QCheckBox* m_chkSkipHolidays;
    QPushButton* m_cmdInsertTime;
    QPushButton* m_cmdSaveSettings;
    QPlainTextEdit* m_txtTimeSetInfo;
    std::array<ClickLabel*, HelpCount> m_helpLabels {};
    std::array<MarkerShape*, HelpCount> m_helpShapes {};
};

} // namespace tradevane
