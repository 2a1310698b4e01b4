#include "LoopbackHttpServer.h"
#include "TestSupport.h"

#include "core/MainControls.h"
#include "core/VarDef.h"
#include "core/frmMain.h"
#include "notify/UpdateLog.h"
#include "notify/frmLog.h"
#include "platform/InetControl.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

class MainWindow : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        for (const char16_t* name : {u"s-grn-on.bmp", u"s-grn-off.bmp", u"s-red-on.bmp", u"s-red-off.bmp",
                 u"s-yel-on.bmp", u"s-yel-off.bmp"})
            copyResource(QString::fromUtf16(name));
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
    } named[] = {
        {u"cmdStart", u"START"},
        {u"cmdStop", u"STOP"},
        {u"cmdExit", u"Exit"},
        {u"cmdLog", u"Log File"},
        {u"cmdShowHelp", u"Help"},
        {u"cmdSounds", u"Sounds"},
        {u"cmdAbout", u"About"},
        {u"cmdMailSettings", u"Email"},
        {u"cmdTimeSettings", u"Set Times"},
        {u"cmdStockSelect(3)", u"Stock #3"},
    };
    for (const auto& n : named) {
        auto* button = main.findChild<QPushButton*>(QString::fromUtf16(n.objectName));
        ASSERT_NE(button, nullptr) << QString::fromUtf16(n.objectName).toStdString();
        EXPECT_EQ(button->accessibleName(), QString::fromUtf16(n.accessible));
    }
    EXPECT_EQ(main.lblPrice[3]->accessibleName(), u"Price of stock 3"_qs);
    EXPECT_EQ(main.lblStart->text(), u"START"_qs);
    EXPECT_EQ(main.lblTimeSettings->text(), u"Set Times"_qs);
}

// Enabled state and colours of every control that the two looks change.
void ExpectStoppedLook(const frmMain& main)
{
    for (const QPushButton* b :
        {main.cmdMailSettings, main.cmdAbout, main.cmdTimeSettings, main.cmdStart, main.cmdExit})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    for (const QLabel* l :
        {main.lblMailSettings, main.lblAbout, main.lblTimeSettings, main.lblStart, main.lblExit})
        EXPECT_EQ(Fore(l), kWhite) << l->objectName().toStdString();
    EXPECT_EQ(Back(main.cmdStart), QColor(128, 255, 128));
    EXPECT_EQ(Back(main.cmdStop), ButtonFace());
    EXPECT_EQ(Fore(main.lblStop), ButtonFace());
    for (int n = 1; n <= 10; ++n) {
        EXPECT_TRUE(main.cmdStockSelect[n]->isEnabled());
        EXPECT_EQ(Back(main.cmdStockSelect[n]), QColor(255, 128, 0));
    }
    for (const QPushButton* b : {main.cmdStop, main.cmdLog, main.cmdShowHelp, main.cmdSounds})
        EXPECT_TRUE(b->isEnabled());
}

void ExpectRunningLook(const frmMain& main)
{
    for (const QPushButton* b :
        {main.cmdMailSettings, main.cmdAbout, main.cmdTimeSettings, main.cmdStart, main.cmdExit})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    for (const QLabel* l :
        {main.lblMailSettings, main.lblAbout, main.lblTimeSettings, main.lblStart, main.lblExit})
        EXPECT_EQ(Fore(l), ButtonFace()) << l->objectName().toStdString();
    EXPECT_EQ(Back(main.cmdStart), ButtonFace());
    EXPECT_EQ(Back(main.cmdStop), QColor(255, 0, 0));
    EXPECT_EQ(Fore(main.lblStop), kWhite);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_FALSE(main.cmdStockSelect[n]->isEnabled());
        EXPECT_EQ(Back(main.cmdStockSelect[n]), QColor(255, 224, 192));
    }
    for (const QPushButton* b : {main.cmdStop, main.cmdLog, main.cmdShowHelp, main.cmdSounds})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_EQ(main.focusWidget(), main.cmdLog);
}

TEST_F(MainWindow, StartAndStopSwitchLooksLightsAndLogTheStop)
{
    frmMain main;
    main.show();
    ExpectStoppedLook(main);

    main.lblPrice[2]->setText(u"12.5"_qs);
    main.cmdStart->click();
    ExpectRunningLook(main);
    EXPECT_TRUE(main.IsRunning());
    EXPECT_EQ(Bitmap(main.picRunLight), u"s-grn-on.bmp"_qs);
    EXPECT_EQ(Bitmap(main.picStopLight), u"s-red-off.bmp"_qs);
    EXPECT_TRUE(main.lblPrice[2]->text().isEmpty());

    main.cmdStop->click();
    ExpectStoppedLook(main);
    EXPECT_FALSE(main.IsRunning());
    EXPECT_EQ(Bitmap(main.picRunLight), u"s-grn-off.bmp"_qs);
    EXPECT_EQ(Bitmap(main.picStopLight), u"s-red-on.bmp"_qs);
    EXPECT_EQ(main.lblStatus->text(), u"Processing Stopped"_qs);
    EXPECT_EQ(readFile(u"activlog.dat"_qs),
        QByteArray("Process stopped by user\r\n") + QByteArray(43, '*') + QByteArray("\r\n\r\n"));

    // Stop while nothing runs still shows the stopped look and logs the stop.
    main.cmdStop->click();
    ExpectStoppedLook(main);
    EXPECT_EQ(readFile(u"activlog.dat"_qs).count("Process stopped by user"), 2);
}

TEST_F(MainWindow, AMissingBitmapLeavesItsLightBlank)
{
    QFile::remove(path(u"s-red-on.bmp"_qs));
    writeFile(u"s-grn-on.bmp"_qs, "not a bitmap");
    frmMain main;
    EXPECT_TRUE(main.picStopLight->pixmap().isNull());
    EXPECT_TRUE(Bitmap(main.picStopLight).isEmpty());
    main.cmdStart->click();
    EXPECT_TRUE(main.picRunLight->pixmap().isNull());
    EXPECT_FALSE(main.picStopLight->pixmap().isNull()); // s-red-off.bmp is there
    ExpectRunningLook(main);
}

TEST_F(MainWindow, ExitAndClosingEmptyTheLogAndEndTheProgram)
{
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
    {
        frmMain main;
        main.show();
        main.cmdStart->click();
        strLogString = u"entry"_qs;
        AppendLog();
        main.close(); // the title-bar button, while running
        EXPECT_EQ(endRequests, 2);
        EXPECT_FALSE(main.IsRunning());
        EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));
    }
}

// A long handler loop, as the monitoring cycle runs inside Start: it waits with the real clock
// and checks the run flag after each wait. Closing the window (or Stop) must end it at once,
// not after the wait.
TEST_F(MainWindow, ClosingOrStoppingEndsAWaitingLoopInsideAClickHandlerPromptly)
{
    for (const bool viaClose : {true, false}) {
        frmMain main;
        main.show();
        qint64 loopMs = -1;
        QTimer::singleShot(0, &main, [&] {
            main.cmdStart_Click();
            QElapsedTimer elapsed;
            elapsed.start();
            while (main.IsRunning() && elapsed.elapsed() < 20000)
                Clock::current().waitEvents(10000);
            loopMs = elapsed.elapsed();
        });
        QTimer::singleShot(100, &main, [&] { viaClose ? (void)main.close() : main.cmdStop->click(); });
        ASSERT_TRUE(QTest::qWaitFor([&] { return loopMs >= 0; }, 15000));
        EXPECT_LT(loopMs, 3000) << (viaClose ? "close" : "stop");
        EXPECT_EQ(endRequests, 1); // only the close asked to end the program
    }
}

// The same for a download in progress: a server that never answers would hold the transfer for
// its whole time-out.
TEST_F(MainWindow, ClosingCancelsADownloadInProgress)
{
    LoopbackHttpServer server;
    ASSERT_TRUE(server.start());
    LoopbackHttpServer::Answer hang;
    hang.mode = LoopbackHttpServer::Answer::Mode::Hang;
    server.serve(u"/hang"_qs, hang);

    frmMain main;
    main.show();
    qint64 downloadMs = -1;
    bool gotDocument = true;
    QTimer::singleShot(0, &main, [&] {
        main.cmdStart_Click();
        QElapsedTimer elapsed;
        elapsed.start();
        gotDocument = InetQuotes().OpenURL(server.baseUrl() + u"/hang"_qs).has_value();
        downloadMs = elapsed.elapsed();
    });
    QTimer::singleShot(300, &main, [&] { main.close(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloadMs >= 0; }, 40000));
    EXPECT_FALSE(gotDocument);
    EXPECT_LT(downloadMs, 5000);
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n")); // a cancelled transfer logs nothing
}

TEST_F(MainWindow, StockButtonsChooseTheStock)
{
    frmMain main;
    main.cmdStockSelect[6]->click();
    EXPECT_EQ(StockID, 6);
    main.cmdStockSelect_Click(0); // the hidden button changes nothing
    EXPECT_EQ(StockID, 6);
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
