#include "LoopbackHttpServer.h"

#include "core/MainControls.h"
#include "core/ServerSettings.h"
#include "core/VarDef.h"
#include "core/frmMain.h"
#include "info/frmHelp.h"
#include "notify/UpdateLog.h"
#include "notify/frmLog.h"
#include "platform/InetControl.h"
#include "platform/LegacyWait.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <curl/curl.h>

namespace {

const QColor kWhite(255, 255, 255);

QColor ButtonFace()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

QColor Back(const QPushButton* button)
{
    return button->palette().color(QPalette::Active, QPalette::Button);
}

QColor Fore(const QLabel* label)
{
    return label->palette().color(QPalette::Active, QPalette::WindowText);
}

QString Bitmap(const QLabel* light)
{
    return light->property("bitmap").toString();
}

// The main window with the real monitoring cycle behind Start. A loopback server lets the
// connection check pass; the start time lies two hours ahead, so a started cycle waits.
class MainWindow : public HttpServerTest
{
protected:
    void SetUp() override
    {
        HttpServerTest::SetUp();
        for (const char16_t* name : {u"s-grn-on.bmp", u"s-grn-off.bmp", u"s-red-on.bmp", u"s-red-off.bmp",
                 u"s-yel-on.bmp", u"s-yel-off.bmp"})
            copyResource(QString::fromUtf16(name));
        gTimeSettings.StartHour = static_cast<qint16>((Hour() + 2) % 24);
        gTimeSettings.QuoteStartHour = gTimeSettings.StartHour;
        gTimeSettings.StopHour = 23;
        gTimeSettings.StopMinute = 59;
        gTimeSettings.QuoteInterval = 5;
    }
    // Presses START; once the cycle waits (for the start time or the weekend), runs `action`
    // from inside that wait. Returns when the Start handler has returned.
    void whileWaiting(frmMain& main, const std::function<void()>& action)
    {
        bool returned = false;
        bool acted = false;
        QTimer::singleShot(0, &main, [&] {
            main.cmdStart->click();
            returned = true;
        });
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!main.IsRunning() || !main.lblStatus->text().startsWith(u"Awaiting"_qs))
                return;
            poll.stop();
            acted = true;
            action();
            if (main.IsRunning())
                main.StopProcessing(); // never leave the cycle waiting for two hours
        });
        poll.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return returned; }, 20000));
        EXPECT_TRUE(acted) << "the cycle did not start waiting";
    }
};

TEST_F(MainWindow, LoadsWithCaptionsNamesAndTheStopLightOn)
{
    gAlertSettings[4].Symbol = u"MSFT   "_qs;
    strLogString = u"pending"_qs;
    StockID = 7;
    frmMain main;

    EXPECT_EQ(main.windowTitle(), u"Tradevane Version 1.6"_qs);
    EXPECT_EQ(main.lblSymbol[4]->text(), u"MSFT   "_qs);
    EXPECT_TRUE(strLogString.isEmpty());
    EXPECT_EQ(StockID, 1);
    EXPECT_TRUE(main.lblStatus->text().isEmpty());
    EXPECT_TRUE(main.comboTestID->isHidden());
    EXPECT_TRUE(main.cmdStockSelect[0]->isHidden());
    EXPECT_EQ(Bitmap(main.picStopLight), u"s-red-on.bmp"_qs);
    EXPECT_FALSE(main.picStopLight->pixmap().isNull());
    EXPECT_EQ(Bitmap(main.picRunLight), u"s-grn-off.bmp"_qs);

    const QStringList headings {
        u"Symbol"_qs, u"Price"_qs, u"Change"_qs, u"Open"_qs, u"High"_qs, u"Low"_qs, u"Volume"_qs};
    const std::array columns {&main.lblSymbol, &main.lblPrice, &main.lblChange, &main.lblOpen, &main.lblHigh,
        &main.lblLow, &main.lblVolume};
    for (std::size_t c = 0; c < columns.size(); ++c)
        EXPECT_EQ((*columns[c])[0]->text(), headings[static_cast<qsizetype>(c)]);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(Fore(main.lblSymbol[n]), QColor(0, 128, 0));
        EXPECT_EQ(main.cmdStockSelect[n]->toolTip(),
            u"Click here to edit stock symbol and alert settings for stock #"_qs + QString::number(n));
    }

    // Tests and assistive tools find every control by its name.
    const struct
    {
        const char16_t* objectName;
        const char16_t* accessible;
    } named[] = {{u"cmdStart", u"START"}, {u"cmdStop", u"STOP"}, {u"cmdExit", u"Exit"},
        {u"cmdLog", u"Log File"}, {u"cmdShowHelp", u"Help"}, {u"cmdSounds", u"Sounds"},
        {u"cmdAbout", u"About"}, {u"cmdMailSettings", u"Email"}, {u"cmdTimeSettings", u"Set Times"},
        {u"cmdStockSelect(3)", u"Stock #3"}};
    for (const auto& n : named) {
        auto* button = main.findChild<QPushButton*>(QString::fromUtf16(n.objectName));
        ASSERT_NE(button, nullptr) << QString::fromUtf16(n.objectName).toStdString();
        EXPECT_EQ(button->accessibleName(), QString::fromUtf16(n.accessible));
    }
}

// Enabled state and colours of every control that the running and stopped looks change.
void ExpectLook(const frmMain& main, bool running)
{
    for (const QPushButton* b :
        {main.cmdMailSettings, main.cmdAbout, main.cmdTimeSettings, main.cmdStart, main.cmdExit})
        EXPECT_EQ(b->isEnabled(), !running) << b->objectName().toStdString();
    for (const QLabel* l :
        {main.lblMailSettings, main.lblAbout, main.lblTimeSettings, main.lblStart, main.lblExit})
        EXPECT_EQ(Fore(l), running ? ButtonFace() : kWhite) << l->objectName().toStdString();
    EXPECT_EQ(Back(main.cmdStart), running ? ButtonFace() : QColor(128, 255, 128));
    EXPECT_EQ(Back(main.cmdStop), running ? QColor(255, 0, 0) : ButtonFace());
    EXPECT_EQ(Fore(main.lblStop), running ? kWhite : ButtonFace());
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(main.cmdStockSelect[n]->isEnabled(), !running);
        EXPECT_EQ(Back(main.cmdStockSelect[n]), running ? QColor(255, 224, 192) : QColor(255, 128, 0));
    }
    for (const QPushButton* b : {main.cmdStop, main.cmdLog, main.cmdShowHelp, main.cmdSounds})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(!running || main.focusWidget() == main.cmdLog) << "the focus goes to Log File";
}

TEST_F(MainWindow, StartAndStopSwitchLooksLightsAndLogTheStop)
{
    frmMain main;
    main.show();
    ExpectLook(main, false);

    main.lblPrice[2]->setText(u"12.5"_qs);
    whileWaiting(main, [&] {
        ExpectLook(main, true);
        EXPECT_TRUE(main.IsRunning());
        EXPECT_EQ(Bitmap(main.picRunLight), u"s-grn-on.bmp"_qs);
        EXPECT_EQ(Bitmap(main.picStopLight), u"s-red-off.bmp"_qs);
        EXPECT_TRUE(main.lblPrice[2]->text().isEmpty());
        EXPECT_EQ(main.lblDLFreq->text(), u" 5 Minute(s)"_qs);
        main.cmdStop->click();
    });
    ExpectLook(main, false);
    EXPECT_FALSE(main.IsRunning());
    EXPECT_EQ(Bitmap(main.picRunLight), u"s-grn-off.bmp"_qs);
    EXPECT_EQ(Bitmap(main.picStopLight), u"s-red-on.bmp"_qs);
    EXPECT_EQ(main.lblStatus->text(), u"Processing Stopped"_qs);
    const QByteArray stopLines = QByteArray("Process stopped by user\r\n") + QByteArray(43, '*') + "\r\n\r\n";
    EXPECT_TRUE(readFile(u"activlog.dat"_qs).endsWith(stopLines));

    // Stop while nothing runs still shows the stopped look and logs the stop.
    main.cmdStop->click();
    ExpectLook(main, false);
    EXPECT_EQ(readFile(u"activlog.dat"_qs).count("Process stopped by user"), 2);
}

TEST_F(MainWindow, StartWithoutAConnectionChangesNothing)
{
    gServerSettings.QuoteServer = u"http://127.0.0.1:"_qs + QString::number(UnusedLoopbackPort());
    frmMain main;
    main.show();
    main.cmdStart->click();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].title, u"Network Connection"_qs);
    EXPECT_FALSE(main.IsRunning());
    ExpectLook(main, false);
    EXPECT_EQ(Bitmap(main.picStopLight), u"s-red-on.bmp"_qs);
}

TEST_F(MainWindow, AMissingBitmapLeavesItsLightBlank)
{
    QFile::remove(path(u"s-red-on.bmp"_qs));
    writeFile(u"s-grn-on.bmp"_qs, "not a bitmap");
    frmMain main;
    EXPECT_TRUE(main.picStopLight->pixmap().isNull());
    EXPECT_TRUE(Bitmap(main.picStopLight).isEmpty());
    whileWaiting(main, [&] {
        EXPECT_TRUE(main.picRunLight->pixmap().isNull());
        EXPECT_FALSE(main.picStopLight->pixmap().isNull()); // s-red-off.bmp is there
        ExpectLook(main, true);
        main.cmdStop->click();
    });
}

TEST_F(MainWindow, ExitAndClosingEmptyTheLogAndEndTheProgram)
{
    frmMain main;
    main.show();
    strLogString = u"entry"_qs;
    AppendLog();
    main.cmdExit->click();
    EXPECT_EQ(endRequests, 1);
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));
}

// The monitoring cycle runs inside the Start handler; closing the window with the title-bar
// button while it waits must end it at once, and leave an empty log behind.
TEST_F(MainWindow, ClosingDuringTheCycleEndsItPromptlyWithAnEmptyLog)
{
    frmMain main;
    main.show();
    main.cmdLog->click();
    whileWaiting(main, [&] {
        EXPECT_FALSE(readFile(u"activlog.dat"_qs).isEmpty()); // the weekend or start-time wait is logged
        main.close();
    });
    EXPECT_EQ(endRequests, 1);
    EXPECT_FALSE(main.IsRunning());
    EXPECT_FALSE(main.logWindow()->isVisible()); // no window of the program stays up
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));
}

// A download in progress when the window closes: a server that never answers would hold the
// transfer for its whole time-out, and no new transfer starts afterwards.
TEST_F(MainWindow, ClosingCancelsADownloadInProgress)
{
    server->serve(u"/hang"_qs, {.mode = LoopbackHttpServer::Answer::Mode::Hang});

    frmMain main;
    main.show();
    bool returned = false;
    bool gotDocument = true;
    QTimer::singleShot(0, &main, [&] {
        gotDocument = OpenURLAndWait(InetQuotes(), server->baseUrl() + u"/hang"_qs).has_value();
        returned = true;
    });
    QTimer::singleShot(300, &main, [&] { main.close(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return returned; }, 40000));
    EXPECT_FALSE(gotDocument);
    // Cancelled, not timed out (a time-out would be an error, logged after the log was emptied).
    EXPECT_EQ(InetQuotes().ResponseCode, CURLE_ABORTED_BY_CALLBACK);
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n")); // a cancelled transfer logs nothing

    server->serve(u"/page"_qs, QByteArray("document"));
    EXPECT_FALSE(OpenURLAndWait(InetQuotes(), server->baseUrl() + u"/page"_qs).has_value());
    EXPECT_TRUE(server->requests().filter(u"/page"_qs).isEmpty());
}

TEST_F(MainWindow, QuotesAndAlertColoursGoIntoTheStockRows)
{
    frmMain main;
    main.ShowQuoteRow(5,
        Quote {u"IBM"_qs, u"181.2"_qs, u"12/4/2026"_qs, u"4:00pm"_qs, u"+1.5"_qs, u"179.9"_qs, u"182.0"_qs,
            u"179.1"_qs, u"4123000"_qs});
    const QStringList shown {main.lblPrice[5]->text(), main.lblChange[5]->text(), main.lblOpen[5]->text(),
        main.lblHigh[5]->text(), main.lblLow[5]->text(), main.lblVolume[5]->text()};
    EXPECT_EQ(
        shown, QStringList({u"181.2"_qs, u"+1.5"_qs, u"179.9"_qs, u"182.0"_qs, u"179.1"_qs, u"4123000"_qs}));
    main.SetSymbolAlertColour(5, true);
    EXPECT_EQ(Fore(main.lblSymbol[5]), QColor(255, 0, 0));
    main.SetSymbolAlertColour(5, false);
    EXPECT_EQ(Fore(main.lblSymbol[5]), QColor(0, 128, 0));
    main.SetLight(Light::Email, u"s-yel-on.bmp"_qs);
    EXPECT_EQ(Bitmap(main.picEmailLight), u"s-yel-on.bmp"_qs);
}

TEST_F(MainWindow, StockButtonsChooseTheStock)
{
    frmMain main;
    main.show();
    // The alert settings window opens for stock 6; a saved symbol shows in row 6 as typed.
    OnNextModal edit([](QWidget* window) {
        ASSERT_EQ(window->objectName(), u"frmAlerts"_qs);
        window->findChild<QLineEdit*>(u"txtSymbol"_qs)->setText(u"verylongsym"_qs);
        window->findChild<QPushButton*>(u"cmdDefaltSettings"_qs)->click();
        window->findChild<QPushButton*>(u"cmdSaveSettings"_qs)->click();
    });
    boxes.queueAnswer(MsgResult::Yes); // restore the defaults
    main.cmdStockSelect[6]->click();
    EXPECT_TRUE(edit.done());
    EXPECT_EQ(StockID, 6);
    EXPECT_EQ(main.lblSymbol[6]->text(), u"VERYLONGSYM"_qs);
    EXPECT_EQ(gAlertSettings[6].Symbol, u"VERYLON"_qs);

    OnNextModal close([](QWidget* window) { window->close(); });
    boxes.queueAnswer(MsgResult::No);
    main.cmdStockSelect_Click(0); // the hidden button keeps the stock
    EXPECT_EQ(StockID, 6);
}

// Help stays usable while the cycle runs and opens without blocking it; About is modal.
TEST_F(MainWindow, HelpOpensAlsoDuringMonitoringAndAboutIsModal)
{
    writeFile(u"hlpCont.doc"_qs, "{\\rtf1 Contents\\par}");
    frmMain main;
    main.show();
    frmHelp* help = nullptr;
    whileWaiting(main, [&] {
        EXPECT_TRUE(main.cmdShowHelp->isEnabled());
        main.cmdShowHelp->click();
        help = main.findChild<frmHelp*>();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_FALSE(help->isModal());
        EXPECT_TRUE(main.IsRunning()) << "the cycle goes on under the help window";
        main.cmdStop->click();
    });
    main.cmdShowHelp->click();
    EXPECT_EQ(main.findChildren<frmHelp*>().size(), 1) << "one help window";

    OnNextModal about([](QWidget* window) {
        ASSERT_EQ(window->objectName(), u"frmAbout"_qs);
        window->findChild<QPushButton*>(u"cmdOk"_qs)->click();
    });
    main.cmdAbout->click();
    EXPECT_TRUE(about.done());
}

TEST_F(MainWindow, TheOpenLogWindowFollowsAppendsUntilClosedWithItsButton)
{
    frmMain main;
    main.show();
    strLogString = u"first"_qs;
    AppendLog();
    main.cmdLog->click();
    frmLog* log = main.logWindow();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(blnLogVisible, vbTrue);
    EXPECT_EQ(log->txtLog->toPlainText(), u"first\n"_qs);

    strLogString = u"second"_qs;
    AppendLog();
    main.RefreshLogWindow();
    EXPECT_EQ(log->LogViewText(), u"first\r\nsecond\r\n"_qs);
    EXPECT_EQ(log->txtLog->toPlainText(), u"first\nsecond\n"_qs);

    log->close(); // not its Close button: the window still counts as open
    EXPECT_EQ(blnLogVisible, vbTrue);
    main.cmdLog->click();
    log->cmdClose->click();
    EXPECT_EQ(blnLogVisible, vbFalse);
    EXPECT_FALSE(log->isVisible());
}

} // namespace
