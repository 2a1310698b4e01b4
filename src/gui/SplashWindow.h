#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QTimer;
class AppServices;
class frmMain;

// The start-up window: reads every settings file, asks for the licence terms on the first run,
// shows the version, and after three seconds hands over to the main window.
class frmSplash final : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(AppServices& services, QWidget* parent = nullptr);
    ~frmSplash() override;

    // Form_Load, then the window appears. False when the program ends during the load (the
    // licence terms were refused): nothing more is shown.
    bool Start();

    void Form_Load();
    void Form_Activate(); // starts TimerSplash
    void TimerSplash_Timer(); // closes this window; the main window follows

    // The main window once the splash has handed over, else nullptr. The splash owns it.
    frmMain* mainWindow() const { return m_main.get(); }

    QLabel* Label1 = nullptr;
    QTimer* TimerSplash = nullptr; // one shot, 3000 ms

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    AppServices& m_services;
    std::unique_ptr<frmMain> m_main;
};
