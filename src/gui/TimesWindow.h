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
    void LoadDefaults();
    void onInsertTimeClicked();
    void onSaveSettingsClicked();
    void ShowHelp(Help help);

    SettingsStore& m_settings;

    QLineEdit* txtStart_QDL_Hour;
    QLineEdit* txtStart_QDL_Min;
    QLineEdit* txtStop_QDL_Hour;
    QLineEdit* txtStop_QDL_Min;
    QComboBox* comboQuoteInterval;
    QCheckBox* chkSkipHolidays;
    QPushButton* cmdInsertTime;
    QPushButton* cmdSaveSettings;
    QPlainTextEdit* txtTimeSetInfo;
    std::array<ClickLabel*, HelpCount> helpLabels {};
    std::array<MarkerShape*, HelpCount> helpShapes {};
};

} // namespace tradevane
