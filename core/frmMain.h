#pragma once

#include "core/VarDef.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class frmLog;

// "Tradevane Version 1.6": the control panel. One row per stock with its latest quote, the four
// status lights, the status line, and the buttons that start and stop monitoring and open the
// other windows. Monitoring runs inside cmdStart_Click; closing this window ends the program.
class frmMain final : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Stock table: index 0 is the column heading, 1..10 the stocks.
    using LabelColumn = std::array<QLabel*, kStockCount + 1>;
    LabelColumn lblSymbol {};
    LabelColumn lblPrice {};
    LabelColumn lblChange {};
    LabelColumn lblOpen {};
    LabelColumn lblHigh {};
    LabelColumn lblLow {};
    LabelColumn lblVolume {};
    std::array<QPushButton*, kStockCount + 1> cmdStockSelect {}; // 0 exists but stays hidden

    // Buttons and the caption labels beside them.
    QPushButton* cmdStart = nullptr;
    QLabel* lblStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* lblStop = nullptr;
    QPushButton* cmdExit = nullptr;
    QLabel* lblExit = nullptr;
    QPushButton* cmdLog = nullptr;
    QLabel* lblLog = nullptr;
    QPushButton* cmdShowHelp = nullptr;
    QPushButton* cmdSounds = nullptr;
    QPushButton* cmdAbout = nullptr;
    QLabel* lblAbout = nullptr;
    QPushButton* cmdMailSettings = nullptr;
    QLabel* lblMailSettings = nullptr;
    QPushButton* cmdTimeSettings = nullptr;
    QLabel* lblTimeSettings = nullptr;

    // Status lights (picture boxes showing the bitmaps from the program folder).
    QLabel* picRunLight = nullptr;
    QLabel* picStopLight = nullptr;
    QLabel* picDL_Light = nullptr;
    QLabel* picEmailLight = nullptr;

    QLabel* lblStatus = nullptr;
    QLabel* lblDLFreq = nullptr;
    QComboBox* comboTestID = nullptr; // hidden, unused

    // Procedures of the window.
    void StopProcessing();
    void ClearQuoteDisplay();
    void ShowRunningState();
    void ShowStoppedState();
    void setStatus(const QString& text);

    // Shows the bitmap `file` of the program folder in `light`; a missing or unreadable bitmap
    // leaves the light blank. The light's "bitmap" property names the file shown.
    void LoadLight(QLabel* light, const QString& file);

    // Reloads the log window when it is open (the monitoring cycle calls this after each set).
    void RefreshLogWindow();
    frmLog* logWindow() const { return m_log; }

    // True from Start until Stop or until the window closes. Every waiting loop of the
    // monitoring cycle tests it after each wait and ends when it is false.
    bool IsRunning() const { return Running != vbFalse; }

    // Button handlers.
    void cmdStart_Click();
    void cmdStop_Click();
    void cmdExit_Click();
    void cmdLog_Click();
    void cmdShowHelp_Click();
    void cmdSounds_Click();
    void cmdAbout_Click();
    void cmdMailSettings_Click();
    void cmdTimeSettings_Click();
    void cmdStockSelect_Click(int Index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();

    qint16 Running = vbFalse;
    frmLog* m_log = nullptr;
};
