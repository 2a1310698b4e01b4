#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QTimer;

namespace tradevane {

class AppServices;
class MainWindow;

// The start-up window: reads every settings file, asks for the licence terms on the first run,
// shows the version, and after three seconds hands over to the main window.
class SplashWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit SplashWindow(AppServices& services, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // loadValues, then the window appears. False when the program ends during the load (the
    // licence terms were refused): nothing more is shown.
    bool start();

    void loadValues();
    void onActivated(); // starts TimerSplash
    void onSplashTimer(); // closes this window; the main window follows

    // The main window once the splash has handed over, else nullptr. The splash owns it.
    MainWindow* mainWindow() const { return m_main.get(); }

    QLabel* label1 = nullptr;
    QTimer* timerSplash = nullptr; // one shot, 3000 ms

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    AppServices& m_services;
    std::unique_ptr<MainWindow> m_main;
};

} // namespace tradevane
