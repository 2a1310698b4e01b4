#pragma once

#include "engine/model/Settings.h"
#include "engine/session/SessionObserver.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

namespace tradevane {

class AppServices;
class DesktopNotifier;
class TrayIcon;
class AboutWindow;
class AlertNoticeWindow;
class ChartWindow;
class HelpWindow;
class LogWindow;
class SoundsWindow;

// Whether the main window puts the program in the system tray.
enum class TrayUse { IfAvailable, Always, Never };

// "Tradevane Version 1.6": the control panel. One row per stock with its latest quote, the four
// status lights, the status line, and the buttons that start and stop monitoring and open the
// other windows. It drives the monitoring engine (START, STOP, closing) and shows what it does;
// Exit ends the program. Where the desktop has a tray the program also has a tray icon, and
// closing the window may leave it monitoring there (the user is asked once).
class MainWindow final : public QWidget, public SessionObserver
{
    Q_OBJECT

public:
    explicit MainWindow(
        AppServices& services, TrayUse tray = TrayUse::IfAvailable, QWidget* parent = nullptr);
    ~MainWindow() override;

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
    QPushButton* cmdChannels = nullptr;
    QLabel* lblChannels = nullptr;
    QPushButton* cmdTimeSettings = nullptr;
    QLabel* lblTimeSettings = nullptr;
    QPushButton* cmdDataSource = nullptr;
    QLabel* lblDataSource = nullptr;
    QLabel* lblPrices = nullptr; // where the prices come from

    // Status lights (picture boxes showing the bitmaps from the program folder).
    QLabel* picRunLight = nullptr;
    QLabel* picStopLight = nullptr;
    QLabel* picDlLight = nullptr;
    QLabel* picEmailLight = nullptr;

    QLabel* lblStatus = nullptr;
    QLabel* lblDLFreq = nullptr;
    QComboBox* comboTestID = nullptr; // hidden, unused

    // Procedures of the window, and what the monitoring engine shows on it.
    void clearQuoteDisplay() override;
    void showRunningState() override;
    void showStoppedState() override;
    void showState(MonitoringSession::State state) override;
    void setStatus(const QString& text) override;
    void setDownloadFrequency(const QString& text) override;
    void showQuoteRow(int stock, const Quote& quote) override;
    void setPriceText(int stock, const QString& text) override;
    void setSymbolAlertColour(int stock, bool alert) override;
    void showAlertNotice(const QString& message) override;
    // Reloads the log window while it is open (after each quote set).
    void refreshLogWindow() override;
    void showConnectionRefused(const QString& message) override;

    // Shows the bitmap `file` of the program folder in `light`; a missing or unreadable bitmap
    // leaves the light blank. The light's "bitmap" property names the file shown.
    void loadLight(QLabel* light, const QString& file, bool lit);

    LogWindow* logWindow() const { return m_log; }
    TrayIcon* trayIcon() const { return m_tray; }
    DesktopNotifier* notifier() const { return m_notifier; }

    // Shows the window again from the tray.
    void showFromTray();

    // Opens the chart window of stock `number` (1..10), or brings it to the front. A double click on
    // the stock's row, "Chart" in the row's context menu and Ctrl+1 .. Ctrl+0 lead here.
    ChartWindow* showChart(int number);
    ChartWindow* chartWindow(int number) const;

    // True from a successful START until STOP or until the window closes.
    bool isRunning() const;

    // Button handlers.
    void onStartClicked();
    void onStopClicked();
    void onExitClicked();
    void onLogClicked();
    void onShowHelpClicked();
    void onSoundsClicked();
    void onAboutClicked();
    void onMailSettingsClicked();
    void onChannelsClicked();
    void onDataSourceClicked();
    void showSource();
    void onTimeSettingsClicked();
    void onStockSelectClicked(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void buildTray();
    void loadValues();
    // Closing while a tray is there: true when the window only hides and monitoring goes on.
    bool keepInTray();

    AppServices& m_services;
    bool m_closed = false;
    bool m_exiting = false; // Exit was chosen: closing ends the program whatever the tray
    TrayIcon* m_tray = nullptr;
    std::array<QPointer<ChartWindow>, kStockCount> m_charts {};
    // Made when first asked for and kept: hidden, not unloaded.
    QPointer<AboutWindow> m_about;
    QPointer<SoundsWindow> m_sounds;
    QPointer<HelpWindow> m_help;
    QPointer<AlertNoticeWindow> m_notice; // while it is up
    DesktopNotifier* m_notifier = nullptr;
    LogWindow* m_log = nullptr;
    bool m_logVisible = false; // the log window is open and follows the log
    int m_selectedStock = 1; // the stock button pressed last; the log's own notes name it
};

} // namespace tradevane
