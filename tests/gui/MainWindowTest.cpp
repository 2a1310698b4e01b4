#include "CycleFixture.h"

#include "engine/alerts/AlertEvaluation.h"
#include "engine/settings/Preferences.h"
#include "gui/DesktopNotification.h"
#include "gui/HelpWindow.h"
#include "gui/LogWindow.h"
#include "gui/MainWindow.h"
#include "gui/SoundsWindow.h"
#include "gui/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

using namespace tradevane;

namespace {

const QColor kWhite(255, 255, 255);

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

QColor back(const QPushButton* button)
{
    return button->palette().color(QPalette::Active, QPalette::Button);
}

QColor fore(const QLabel* label)
{
    return label->palette().color(QPalette::Active, QPalette::WindowText);
}

QString bitmap(const QLabel* light)
{
    return light->property("bitmap").toString();
}

// The main window with the real monitoring engine behind START, on a simulated clock: Monday
// 08:00 with a start time of 10:00, so a started engine waits. A loopback server lets the
// connection check pass.
class MainWindowTest : public CycleTest
{
protected:
    void SetUp() override
    {
        CycleTest::SetUp();
        for (const char16_t* name : {u"s-grn-on.bmp", u"s-grn-off.bmp", u"s-red-on.bmp", u"s-red-off.bmp",
                 u"s-yel-on.bmp", u"s-yel-off.bmp"})
            copyResource(QString::fromUtf16(name));
        schedule(10, 0, 16, 0, 5);
        simulateClock(QDateTime(kMonday, QTime(8, 0)));
    }

    // Presses START and runs until the engine is in `state`.
    bool startUntil(MainWindow& main, State state)
    {
        main.cmdStart->click();
        return m_clock->runUntil(
            [&] { return m_app.engine.state() == state; }, QDateTime(kMonday, QTime(17, 0)));
    }
};

TEST_F(MainWindowTest, LoadsWithCaptionsNamesAndTheStopLightOn)
{
    m_app.settings.alert(StockIndex::fromNumber(4)).symbol = u"MSFT"_qs;
    m_app.log.add(u"pending"_qs);
    MainWindow main(m_app);

    EXPECT_EQ(main.windowTitle(), u"Tradevane Version 1.6"_qs);
    EXPECT_EQ(main.lblSymbol[4]->text(), u"MSFT"_qs);
    EXPECT_TRUE(m_app.log.pending().isEmpty());
    EXPECT_TRUE(main.lblStatus->text().isEmpty());
    EXPECT_TRUE(main.comboTestID->isHidden());
    EXPECT_TRUE(main.cmdStockSelect[0]->isHidden());
    EXPECT_EQ(bitmap(main.picStopLight), u"s-red-on.bmp"_qs);
    EXPECT_FALSE(main.picStopLight->pixmap().isNull());
    EXPECT_EQ(bitmap(main.picRunLight), u"s-grn-off.bmp"_qs);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(fore(main.lblSymbol[n]), QColor(0, 128, 0));

    // Tests and assistive tools find every control by its name.
    const struct
    {
        const char16_t* objectName;
        const char16_t* accessible;
    } named[] = {{u"cmdStart", u"START"}, {u"cmdStop", u"STOP"}, {u"cmdExit", u"Exit"},
        {u"cmdLog", u"Log File"}, {u"cmdShowHelp", u"Help"}, {u"cmdSounds", u"Sounds"},
        {u"cmdAbout", u"About"}, {u"cmdMailSettings", u"Email"}, {u"cmdChannels", u"Channels"},
        {u"cmdTimeSettings", u"Set Times"}, {u"cmdStockSelect(3)", u"Stock #3"}};
    for (const auto& n : named) {
        auto* button = main.findChild<QPushButton*>(QString::fromUtf16(n.objectName));
        ASSERT_NE(button, nullptr) << QString::fromUtf16(n.objectName).toStdString();
        EXPECT_EQ(button->accessibleName(), QString::fromUtf16(n.accessible));
    }
}

// Enabled state and colours of every control that the running and stopped looks change.
void expectLook(const MainWindow& main, bool running)
{
    for (const QPushButton* b : {main.cmdMailSettings, main.cmdChannels, main.cmdAbout, main.cmdTimeSettings,
             main.cmdStart, main.cmdExit})
        EXPECT_EQ(b->isEnabled(), !running) << b->objectName().toStdString();
    for (const QLabel* l : {main.lblMailSettings, main.lblChannels, main.lblAbout, main.lblTimeSettings,
             main.lblStart, main.lblExit})
        EXPECT_EQ(fore(l), running ? buttonFace() : kWhite) << l->objectName().toStdString();
    EXPECT_EQ(back(main.cmdStart), running ? buttonFace() : QColor(128, 255, 128));
    EXPECT_EQ(back(main.cmdStop), running ? QColor(255, 0, 0) : buttonFace());
    EXPECT_EQ(fore(main.lblStop), running ? kWhite : buttonFace());
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(main.cmdStockSelect[n]->isEnabled(), !running);
        EXPECT_EQ(back(main.cmdStockSelect[n]), running ? QColor(255, 224, 192) : QColor(255, 128, 0));
    }
    for (const QPushButton* b : {main.cmdStop, main.cmdLog, main.cmdShowHelp, main.cmdSounds})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(!running || main.focusWidget() == main.cmdLog) << "the focus goes to Log File";
}

TEST_F(MainWindowTest, StartAndStopSwitchLooksLightsAndLogTheStop)
{
    MainWindow main(m_app);
    main.show();
    expectLook(main, false);

    main.lblPrice[2]->setText(u"12.5"_qs);
    ASSERT_TRUE(startUntil(main, State::WaitingStart));
    expectLook(main, true);
    EXPECT_TRUE(main.isRunning());
    EXPECT_EQ(bitmap(main.picRunLight), u"s-grn-on.bmp"_qs);
    EXPECT_EQ(bitmap(main.picStopLight), u"s-red-off.bmp"_qs);
    EXPECT_TRUE(main.lblPrice[2]->text().isEmpty());
    EXPECT_EQ(main.lblDLFreq->text(), u" 5 Minute(s)"_qs);
    EXPECT_EQ(main.lblStatus->text(), u"Awaiting Start Time - 10:00"_qs);

    main.cmdStop->click();
    expectLook(main, false);
    EXPECT_FALSE(main.isRunning());
    EXPECT_EQ(bitmap(main.picRunLight), u"s-grn-off.bmp"_qs);
    EXPECT_EQ(bitmap(main.picStopLight), u"s-red-on.bmp"_qs);
    EXPECT_EQ(main.lblStatus->text(), u"Processing Stopped"_qs);
    EXPECT_TRUE(log().endsWith(stopLines()));
    EXPECT_EQ(m_clock->alarmsWaiting(), 0);

    // Stop while nothing runs still shows the stopped look and logs the stop.
    main.cmdStop->click();
    expectLook(main, false);
    EXPECT_EQ(readFile(u"activlog.dat"_qs).count("Process stopped by user"), 2);
}

TEST_F(MainWindowTest, StartWithoutAConnectionChangesNothing)
{
    m_app.settings.servers.quoteServer = u"http://127.0.0.1:"_qs + QString::number(unusedLoopbackPort());
    MainWindow main(m_app);
    main.show();
    main.cmdStart->click();
    main.cmdStart->click(); // a second press while the connection is checked: nothing more
    ASSERT_TRUE(runUntil([&] { return !m_boxes.shown().isEmpty(); }));
    QTest::qWait(50);
    ASSERT_EQ(m_boxes.shown().size(), 1);
    EXPECT_EQ(m_boxes.shown()[0].title, u"Network Connection"_qs);
    EXPECT_TRUE(m_boxes.shown()[0].text.startsWith(
        u"No quote server answers at "_qs + m_app.settings.servers.quoteServer))
        << m_boxes.shown()[0].text.toStdString();
    EXPECT_FALSE(main.isRunning());
    EXPECT_EQ(m_app.engine.state(), State::Idle);
    expectLook(main, false);
    EXPECT_EQ(bitmap(main.picStopLight), u"s-red-on.bmp"_qs);
    EXPECT_FALSE(QFile::exists(path(u"activlog.dat"_qs)));
}

TEST_F(MainWindowTest, AMissingBitmapLeavesItsLightBlank)
{
    QFile::remove(path(u"s-red-on.bmp"_qs));
    writeFile(u"s-grn-on.bmp"_qs, "not a bitmap");
    MainWindow main(m_app);
    EXPECT_TRUE(main.picStopLight->pixmap().isNull());
    EXPECT_TRUE(bitmap(main.picStopLight).isEmpty());
    ASSERT_TRUE(startUntil(main, State::WaitingStart));
    EXPECT_TRUE(main.picRunLight->pixmap().isNull());
    EXPECT_FALSE(main.picStopLight->pixmap().isNull()); // s-red-off.bmp is there
    expectLook(main, true);
}

TEST_F(MainWindowTest, ExitAndClosingEmptyTheLogAndEndTheProgram)
{
    MainWindow main(m_app);
    main.show();
    m_app.log.add(u"entry"_qs);
    m_app.log.appendLog(1);
    main.cmdExit->click();
    EXPECT_EQ(m_endRequests, 1);
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));
}

// Closing while the engine waits, downloads or sends: everything ends at once, nothing is left to
// hold the program, and the log is empty.
TEST_F(MainWindowTest, ClosingEndsEverythingInFlightAndEmptiesTheLog)
{
    watch(1, u"ABC"_qs);
    m_http.serve(historyTarget(u"abc"_qs, kMonday), {.mode = LoopbackHttpServer::Answer::Mode::Hang});
    schedule(8, 0, 16, 0, 5); // the day begins at once
    MainWindow main(m_app);
    main.show();
    main.cmdLog->click();
    ASSERT_TRUE(startUntil(main, State::History));
    ASSERT_TRUE(runUntil([&] { return m_app.hub.transfersRunning() == 1; }));
    main.close();
    EXPECT_EQ(m_endRequests, 1);
    EXPECT_EQ(m_app.hub.transfersRunning(), 0);
    EXPECT_EQ(m_app.engine.state(), State::Idle);
    EXPECT_EQ(m_clock->alarmsWaiting(), 0);
    EXPECT_FALSE(main.logWindow()->isVisible()); // no window of the program stays up
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n")); // a cancelled transfer logs nothing
}

TEST_F(MainWindowTest, QuotesAndAlertColoursGoIntoTheStockRows)
{
    MainWindow main(m_app);
    // Fields are the server's text: markup in them is shown as it is, never rendered.
    main.showQuoteRow(5,
        Quote {u"IBM"_qs, u"181.2"_qs, u"12/4/2026"_qs, u"4:00pm"_qs, u"<b>+1.5</b>"_qs, u"179.9"_qs,
            u"182.0"_qs, u"179.1"_qs, u"<img src=x>"_qs});
    const QStringList shown {main.lblPrice[5]->text(), main.lblChange[5]->text(), main.lblOpen[5]->text(),
        main.lblHigh[5]->text(), main.lblLow[5]->text(), main.lblVolume[5]->text()};
    EXPECT_EQ(shown,
        QStringList(
            {u"181.2"_qs, u"<b>+1.5</b>"_qs, u"179.9"_qs, u"182.0"_qs, u"179.1"_qs, u"<img src=x>"_qs}));
    for (const QLabel* label : main.findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    main.setSymbolAlertColour(5, true);
    EXPECT_EQ(fore(main.lblSymbol[5]), QColor(255, 0, 0));
    main.setSymbolAlertColour(5, false);
    EXPECT_EQ(fore(main.lblSymbol[5]), QColor(0, 128, 0));
    main.showState(State::SendingChannels);
    EXPECT_EQ(bitmap(main.picEmailLight), u"s-yel-on.bmp"_qs);
    EXPECT_EQ(bitmap(main.picDlLight), u"s-yel-off.bmp"_qs);
}

TEST_F(MainWindowTest, StockButtonsChooseTheStock)
{
    MainWindow main(m_app);
    main.show();
    // The alert settings window opens for stock 6; a saved symbol shows in row 6 as typed.
    main.cmdStockSelect[6]->click();
    auto* dialog = main.findChild<QDialog*>(u"frmAlerts"_qs);
    ASSERT_TRUE(dialog);
    dialog->findChild<QLineEdit*>(u"txtSymbol"_qs)->setText(u"verylongsym"_qs);
    m_boxes.queueAnswer(MsgResult::Yes); // restore the defaults
    dialog->findChild<QPushButton*>(u"cmdDefaltSettings"_qs)->click();
    dialog->findChild<QPushButton*>(u"cmdSaveSettings"_qs)->click();
    EXPECT_EQ(main.lblSymbol[6]->text(), u"VERYLONGSYM"_qs);
    EXPECT_EQ(alerts(6).symbol, u"VERYLON"_qs);
    EXPECT_EQ(readFile(u"Aset6.dat"_qs).mid(3, 7), "VERYLON");
}

// The settings windows open modal to the main window and the click returns at once: no second
// event loop runs under it. Each window goes when it is closed.
TEST_F(MainWindowTest, SettingsWindowsOpenWithoutWaitingForThem)
{
    MainWindow main(m_app);
    main.show();
    const std::pair<QPushButton*, const char16_t*> buttons[]
        = {{main.cmdChannels, u"frmChannels"}, {main.cmdMailSettings, u"frmMailSettings"},
            {main.cmdTimeSettings, u"frmTimeSettings"}, {main.cmdStockSelect[2], u"frmAlerts"}};
    for (const auto& [button, name] : buttons) {
        m_boxes.clear();
        button->click();
        QPointer<QDialog> window = main.findChild<QDialog*>(QString::fromUtf16(name));
        ASSERT_TRUE(window) << QString::fromUtf16(name).toStdString();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowModality(), Qt::WindowModal);
        EXPECT_EQ(QApplication::activeModalWidget(), window.data());
        window->reject();
        // The test runs inside an event loop of its own, which a deferred delete waits for.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.isNull()) << QString::fromUtf16(name).toStdString();
    }
}

// Help stays usable while the engine runs and opens without blocking it; a transfer goes on while
// a modal window runs its own event loop (a message box, the Clear Log question).
TEST_F(MainWindowTest, HelpOpensDuringMonitoringAndTransfersGoOnUnderAModalWindow)
{
    writeFile(u"hlpCont.doc"_qs, "{\\rtf1 Contents\\par}");
    watch(1, u"ABC"_qs);
    m_http.serve(historyTarget(u"abc"_qs, kMonday),
        {.mode = LoopbackHttpServer::Answer::Mode::Drip, .body = QByteArray(100, 'x'), .intervalMs = 2});
    schedule(8, 0, 16, 0, 5);
    MainWindow main(m_app);
    main.show();
    ASSERT_TRUE(startUntil(main, State::History));

    main.cmdShowHelp->click();
    auto* help = main.findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    main.cmdShowHelp->click();
    EXPECT_EQ(main.findChildren<HelpWindow*>().size(), 1) << "one help window";

    ASSERT_EQ(m_app.hub.transfersRunning(), 1);
    QDialog modal(&main);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &modal, [&] {
        if (m_app.hub.transfersRunning() == 0)
            modal.accept();
    });
    poll.start(5);
    QTimer::singleShot(10000, &modal, &QDialog::reject);
    EXPECT_EQ(modal.exec(), QDialog::Accepted) << "the download stalled under the modal window";
    EXPECT_TRUE(log().contains(u"Data Error-Stock #:1"_qs)); // what came was read, and was no year
}

TEST_F(MainWindowTest, TheOpenLogWindowFollowsAppendsUntilClosedWithItsButton)
{
    MainWindow main(m_app);
    main.show();
    m_app.log.add(u"first"_qs);
    m_app.log.appendLog(1);
    main.cmdLog->click();
    LogWindow* log = main.logWindow();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->txtLog->toPlainText(), u"first\n"_qs);

    m_app.log.add(u"second"_qs);
    m_app.log.appendLog(1);
    main.refreshLogWindow();
    EXPECT_EQ(log->logViewText(), u"first\r\nsecond\r\n"_qs);
    EXPECT_EQ(log->txtLog->toPlainText(), u"first\nsecond\n"_qs);

    log->close(); // not its Close button: the window still counts as open
    m_app.log.add(u"third"_qs);
    m_app.log.appendLog(1);
    main.refreshLogWindow();
    EXPECT_TRUE(log->logViewText().contains(u"third"_qs));

    main.cmdLog->click();
    log->cmdClose->click();
    EXPECT_FALSE(log->isVisible());
    m_app.log.add(u"fourth"_qs);
    m_app.log.appendLog(1);
    main.refreshLogWindow();
    EXPECT_FALSE(log->logViewText().contains(u"fourth"_qs));
}

} // namespace

namespace {

const QString kTwoAlerts = messageHeader(QTime(10, 0)) + u"ABC    : Price climbed above $12.00\r\n"_qs
    + u"ABC    : Volume is 20% > average of the last 20 days.\r\n"_qs;

TEST(TrayLook, FollowsTheEngineAndAnUnseenAlertOnlyWhileItRuns)
{
    using S = MonitoringSession::State;
    EXPECT_EQ(trayLookOf(S::Idle, true), TrayLook::Stopped);
    EXPECT_EQ(trayLookOf(S::CheckingConnection, false), TrayLook::Stopped);
    EXPECT_EQ(trayLookOf(S::WaitingWeekend, false), TrayLook::Waiting);
    EXPECT_EQ(trayLookOf(S::WaitingNextSet, false), TrayLook::Waiting);
    EXPECT_EQ(trayLookOf(S::History, false), TrayLook::Downloading);
    EXPECT_EQ(trayLookOf(S::QuoteSet, false), TrayLook::Downloading);
    EXPECT_EQ(trayLookOf(S::QuoteSet, true), TrayLook::Alert);
    EXPECT_EQ(alertLinesOf(kTwoAlerts),
        QStringList({u"ABC    : Price climbed above $12.00"_qs,
            u"ABC    : Volume is 20% > average of the last 20 days."_qs}));
}

TEST_F(MainWindowTest, TheTrayShowsTheStateAndItsMenuDrivesTheWindow)
{
    MainWindow main(m_app, TrayUse::Always);
    main.show();
    TrayIcon* tray = main.trayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->look(), TrayLook::Stopped);
    EXPECT_EQ(tray->icon()->toolTip(), u"Tradevane: stopped"_qs);
    EXPECT_TRUE(tray->actStart->isEnabled());
    EXPECT_FALSE(tray->actStop->isEnabled());

    tray->actStart->trigger();
    ASSERT_TRUE(m_clock->runUntil([&] { return m_app.engine.state() == State::WaitingStart; }, {}));
    EXPECT_EQ(tray->look(), TrayLook::Waiting);
    EXPECT_EQ(tray->icon()->toolTip(), u"Tradevane: waiting\nAwaiting Start Time - 10:00"_qs);
    EXPECT_FALSE(tray->actStart->isEnabled());
    EXPECT_TRUE(tray->actStop->isEnabled());

    // An alert marks the icon until the window is shown from the tray.
    main.hide();
    main.showAlertNotice(kTwoAlerts);
    EXPECT_EQ(tray->look(), TrayLook::Alert);
    EXPECT_EQ(tray->icon()->toolTip(), u"Tradevane: ALERT\nABC    : Price climbed above $12.00 (+1 more)"_qs);
    tray->actShowWindow->trigger();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(tray->look(), TrayLook::Waiting);

    tray->actStop->trigger();
    ASSERT_TRUE(m_clock->runUntil([&] { return m_app.engine.state() == State::Idle; }, {}));
    EXPECT_EQ(tray->look(), TrayLook::Stopped);
    EXPECT_TRUE(readFile(u"activlog.dat"_qs).contains("Process stopped by user"));

    tray->actExit->trigger();
    ASSERT_TRUE(runUntil([&] { return m_endRequests == 1; }));
    EXPECT_FALSE(tray->icon()->isVisible());
}

// With a tray, closing the window asks once whether to go on from the tray; the answer is kept.
TEST_F(MainWindowTest, ClosingWithATrayAsksOnceThenKeepsMonitoringThere)
{
    {
        MainWindow main(m_app, TrayUse::Always);
        main.show();
        ASSERT_TRUE(startUntil(main, State::WaitingStart));
        m_boxes.queueAnswer(MsgResult::Yes);
        main.close();
        ASSERT_EQ(m_boxes.shown().size(), 1);
        EXPECT_TRUE(m_boxes.shown().constFirst().text.contains(u"system tray"_qs));
        EXPECT_FALSE(main.isVisible());
        EXPECT_EQ(m_endRequests, 0);
        EXPECT_EQ(m_app.engine.state(), State::WaitingStart); // still monitoring

        main.showFromTray();
        main.close(); // not asked again
        EXPECT_EQ(m_boxes.shown().size(), 1);
        EXPECT_FALSE(main.isVisible());
        EXPECT_EQ(m_endRequests, 0);

        // Exit ends the program even from the tray.
        main.onExitClicked();
        EXPECT_EQ(m_endRequests, 1);
        EXPECT_EQ(m_app.engine.state(), State::Idle);
    }
    EXPECT_EQ(loadPreferences().closeToTray, std::optional<bool>(true));

    // Answered No: closing ends the program, and no question follows later.
    ASSERT_FALSE(savePreferences({}).has_value());
    m_app.settings.preferences = {};
    MainWindow main(m_app, TrayUse::Always);
    main.show();
    m_boxes.clear();
    m_boxes.queueAnswer(MsgResult::No);
    main.close();
    EXPECT_EQ(m_endRequests, 2);
    EXPECT_EQ(loadPreferences().closeToTray, std::optional<bool>(false));

    // Without a tray nothing is asked.
    m_boxes.clear();
    MainWindow plain(m_app, TrayUse::Never);
    plain.show();
    plain.close();
    EXPECT_TRUE(m_boxes.shown().isEmpty());
    EXPECT_EQ(m_endRequests, 3);
}

// Screen readers read each shown value as the description of the control that names it.
TEST_F(MainWindowTest, EveryShownValueIsInTheAccessibilityTree)
{
    MainWindow main(m_app);
    main.showQuoteRow(
        2, Quote {u"NAS"_qs, u"5.10"_qs, {}, {}, u"N/A"_qs, u"N/A"_qs, u"5.20"_qs, u"5.00"_qs, u"900"_qs});
    main.setPriceText(3, u"?"_qs);
    main.setStatus(u"Next download @ 10:05:00"_qs);
    main.setDownloadFrequency(u" 5 Minute(s)"_qs);
    main.setSymbolAlertColour(1, true);
    const auto described
        = [](const QWidget* w) { return std::pair(w->accessibleName(), w->accessibleDescription()); };
    using P = std::pair<QString, QString>;
    EXPECT_EQ(described(main.lblPrice[2]), P(u"Price of stock 2"_qs, u"5.10"_qs));
    EXPECT_EQ(described(main.lblChange[2]), P(u"Change of stock 2"_qs, u"N/A"_qs));
    EXPECT_EQ(described(main.lblPrice[3]), P(u"Price of stock 3"_qs, u"?"_qs));
    EXPECT_EQ(described(main.lblStatus), P(u"Status"_qs, u"Next download @ 10:05:00"_qs));
    EXPECT_EQ(described(main.lblDLFreq).second, u" 5 Minute(s)"_qs);
    EXPECT_TRUE(main.lblSymbol[1]->accessibleDescription().endsWith(u", alert"_qs));
    EXPECT_EQ(described(main.picStopLight), P(u"Stopped light"_qs, u"on"_qs));
    main.clearQuoteDisplay();
    EXPECT_TRUE(main.lblPrice[2]->accessibleDescription().isEmpty());
}

// A desktop notification per alert, unless turned off in the Sounds window.
TEST_F(MainWindowTest, AlertsRaiseADesktopNotificationUnlessTurnedOff)
{
    MainWindow main(m_app, TrayUse::Never);
    int sent = 0;
    QObject::connect(main.notifier(), &DesktopNotifier::delivered, [&] { ++sent; });
    QObject::connect(main.notifier(), &DesktopNotifier::fellBack, [&] { ++sent; });
    main.showAlertNotice(kTwoAlerts);
    ASSERT_TRUE(runUntil([&] { return sent == 1; }));

    QPointer<SoundsWindow> kept;
    SoundsWindow* sounds = SoundsWindow::showSounds(kept, m_app.settings, m_app.sound, m_app.log, 1, &main);
    ASSERT_NE(sounds, nullptr);
    EXPECT_TRUE(sounds->chkDesktopNotice->isChecked());
    sounds->chkDesktopNotice->click();
    EXPECT_FALSE(m_app.settings.preferences.desktopNotifications);
    EXPECT_FALSE(loadPreferences().desktopNotifications);
    main.showAlertNotice(kTwoAlerts);
    QTest::qWait(50);
    EXPECT_EQ(sent, 1);
}

} // namespace
