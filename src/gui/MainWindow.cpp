#include "gui/MainWindow.h"

#include "engine/alerts/AlertEvaluation.h"
#include "engine/log/ActivityLog.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/session/AppServices.h"
#include "gui/AboutWindow.h"
#include "gui/AlertNoticeWindow.h"
#include "gui/AlertsWindow.h"
#include "gui/ChannelsWindow.h"
#include "gui/ChartWindow.h"
#include "gui/DesktopNotification.h"
#include "gui/HelpWindow.h"
#include "gui/LogWindow.h"
#include "gui/MailWindow.h"
#include "gui/SoundsWindow.h"
#include "gui/SourceWindow.h"
#include "gui/StateLooks.h"
#include "gui/TimesWindow.h"
#include "gui/TrayIcon.h"
#include "platform/MessageBox.h"
#include "platform/ProgramEnd.h"
#include "platform/ProgramFolder.h"
#include "platform/Version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

namespace tradevane {

namespace {

const QColor kPanel(16, 40, 72); // behind the buttons and lights; the light bitmaps share it
const QColor kWhite(255, 255, 255);
const QColor kSymbolGreen(0, 128, 0);
const QColor kStartGreen(128, 255, 128);
const QColor kStopRed(255, 0, 0);
const QColor kAlertRed(255, 0, 0);
const QColor kStockOrange(255, 128, 0);
const QColor kStockPale(255, 224, 192);

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

void setBackColor(QPushButton* button, const QColor& colour)
{
    QPalette p = button->palette();
    p.setColor(QPalette::Button, colour);
    button->setPalette(p);
}

void setForeColor(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, colour);
    p.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    label->setPalette(p);
}

// A caption beside a button: white when its button can be used, button face when not. On the
// dark panel the button-face colour would look almost white, so such a label is also drawn in
// the disabled (greyed) colour.
void setCaptionLook(QLabel* label, bool usable)
{
    setForeColor(label, usable ? kWhite : buttonFace());
    label->setEnabled(usable);
}

// A value the window shows: its text, and the same for screen readers (the label's accessible
// name says what the value is, "Price of stock 3"; its description is the value).
void showValue(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

QLabel* newLabel(QWidget* parent, const QString& name, const QString& accessible, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAccessibleName(accessible);
    // Quotes, symbols and server texts are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* newButton(
    QWidget* parent, const QString& name, const QString& accessible, const QString& text = {})
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAccessibleName(accessible);
    if (text.isEmpty())
        button->setFixedSize(30, 24);
    return button;
}

} // namespace

MainWindow::MainWindow(AppServices& services, TrayUse tray, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
{
    buildControls();
    if (tray == TrayUse::Always || (tray == TrayUse::IfAvailable && TrayIcon::available()))
        buildTray();
    m_notifier = new DesktopNotifier(
        [this](const QString& title, const QString& body) {
            if (m_tray)
                m_tray->showMessage(title, body);
        },
        this);
    connectObserver(m_services.engine, *this, this);
    showStoppedState();
    loadValues();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    setObjectName(u"frmMain"_qs);
    setWindowTitle(
        u"Tradevane Version "_qs + QString::number(kVersionMajor) + u'.' + QString::number(kVersionMinor));
    setAutoFillBackground(true);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, kPanel);
    setPalette(panel);

    // Stock table on a white sheet.
    auto* table = new QFrame(this);
    table->setObjectName(u"fraStocks"_qs);
    table->setFrameShape(QFrame::StyledPanel);
    table->setAutoFillBackground(true);
    QPalette sheet = table->palette();
    sheet.setColor(QPalette::Window, kWhite);
    sheet.setColor(QPalette::WindowText, Qt::black);
    sheet.setColor(QPalette::Light, QColor(200, 200, 200)); // the lower edge of the sunken cells
    table->setPalette(sheet);
    auto* grid = new QGridLayout(table);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(3);

    const struct
    {
        LabelColumn* column;
        const char16_t* name;
        const char16_t* heading;
        int width;
    } columns[] = {
        {&lblSymbol, u"lblSymbol", u"Symbol", 64},
        {&lblPrice, u"lblPrice", u"Price", 64},
        {&lblChange, u"lblChange", u"Change", 64},
        {&lblOpen, u"lblOpen", u"Open", 64},
        {&lblHigh, u"lblHigh", u"High", 64},
        {&lblLow, u"lblLow", u"Low", 64},
        {&lblVolume, u"lblVolume", u"Volume", 88},
    };
    int col = 1;
    for (const auto& c : columns) {
        const QString name = QString::fromUtf16(c.name);
        const QString heading = QString::fromUtf16(c.heading);
        for (int n = 0; n <= kStockCount; ++n) {
            QLabel* label = newLabel(table, name + u'(' + QString::number(n) + u')',
                n == 0 ? heading : heading + u" of stock "_qs + QString::number(n),
                n == 0 ? heading : QString());
            label->setMinimumWidth(c.width);
            if (n == 0) {
                QFont bold = label->font();
                bold.setBold(true);
                label->setFont(bold);
            } else {
                label->setFrameShape(QFrame::Panel);
                label->setFrameShadow(QFrame::Sunken);
                label->setMinimumHeight(20);
            }
            (*c.column)[n] = label;
            grid->addWidget(label, n, col);
        }
        ++col;
    }
    for (int n = 0; n <= kStockCount; ++n) {
        QPushButton* button = newButton(
            table, u"cmdStockSelect("_qs + QString::number(n) + u')', u"Stock #"_qs + QString::number(n));
        button->setFixedSize(26, 20);
        button->setToolTip(
            u"Click here to edit stock symbol and alert settings for stock #"_qs + QString::number(n));
        connect(button, &QPushButton::clicked, this, [this, n] { onStockSelectClicked(n); });
        cmdStockSelect[n] = button;
        grid->addWidget(button, n, 0);
    }

    // Buttons with their captions.
    auto* buttons = new QGridLayout;
    buttons->setVerticalSpacing(8);
    const auto addButton
        = [&](QPushButton*& button, QLabel*& label, const QString& name, const QString& caption) {
              button = newButton(this, u"cmd"_qs + name, caption);
              label = newLabel(this, u"lbl"_qs + name, caption, caption);
              label->setBuddy(button);
              const int row = buttons->rowCount();
              buttons->addWidget(button, row, 0);
              buttons->addWidget(label, row, 1);
          };
    addButton(cmdStart, lblStart, u"Start"_qs, u"START"_qs);
    addButton(cmdStop, lblStop, u"Stop"_qs, u"STOP"_qs);
    addButton(cmdLog, lblLog, u"Log"_qs, u"Log File"_qs);
    addButton(cmdMailSettings, lblMailSettings, u"MailSettings"_qs, u"Email"_qs);
    addButton(cmdChannels, lblChannels, u"Channels"_qs, u"Channels"_qs);
    addButton(cmdTimeSettings, lblTimeSettings, u"TimeSettings"_qs, u"Set Times"_qs);
    addButton(cmdDataSource, lblDataSource, u"DataSource"_qs, u"Data Source"_qs);
    addButton(cmdAbout, lblAbout, u"About"_qs, u"About"_qs);
    addButton(cmdExit, lblExit, u"Exit"_qs, u"Exit"_qs);
    setCaptionLook(lblLog, true);
    cmdShowHelp = newButton(this, u"cmdShowHelp"_qs, u"Help"_qs, u"Help"_qs);
    cmdSounds = newButton(this, u"cmdSounds"_qs, u"Sounds"_qs, u"Sounds"_qs);
    buttons->setRowMinimumHeight(buttons->rowCount(), 6);
    buttons->addWidget(cmdShowHelp, buttons->rowCount(), 0, 1, 2);
    buttons->addWidget(cmdSounds, buttons->rowCount(), 0, 1, 2);
    buttons->setRowStretch(buttons->rowCount(), 1);

    // Lights with their captions.
    auto* lights = new QHBoxLayout;
    const auto addLight = [&](QLabel*& light, const QString& name, const QString& caption) {
        light = newLabel(this, name, caption + u" light"_qs);
        light->setFixedSize(22, 22);
        light->setAlignment(Qt::AlignCenter);
        QLabel* text = newLabel(this, name + u"Caption"_qs, caption, caption);
        setForeColor(text, kWhite);
        lights->addWidget(light);
        lights->addWidget(text);
        lights->addSpacing(14);
    };
    addLight(picRunLight, u"picRunLight"_qs, u"Running"_qs);
    addLight(picStopLight, u"picStopLight"_qs, u"Stopped"_qs);
    addLight(picDlLight, u"picDL_Light"_qs, u"Download"_qs);
    addLight(picEmailLight, u"picEmailLight"_qs, u"Sending Email"_qs);
    lights->addStretch();

    // Status line and download frequency.
    auto* status = new QHBoxLayout;
    const auto addField = [&](QLabel*& field, const QString& name, const QString& caption, int width) {
        QLabel* text = newLabel(this, name + u"Caption"_qs, caption, caption);
        setForeColor(text, kWhite);
        field = newLabel(this, name, caption.chopped(caption.endsWith(u':') ? 1 : 2));
        field->setMinimumWidth(width);
        field->setFrameShape(QFrame::Panel);
        field->setFrameShadow(QFrame::Sunken);
        field->setAutoFillBackground(true);
        QPalette p = field->palette();
        p.setColor(QPalette::Window, kWhite);
        p.setColor(QPalette::WindowText, Qt::black);
        p.setColor(QPalette::Light, QColor(200, 200, 200));
        field->setPalette(p);
        text->setBuddy(field);
        status->addWidget(text);
        status->addSpacing(4);
        status->addWidget(field, width);
    };
    addField(lblStatus, u"lblStatus"_qs, u"Status:"_qs, 300);
    status->addSpacing(12);
    addField(lblDLFreq, u"lblDLFreq"_qs, u"Download Freq. ="_qs, 100);
    lblPrices = newLabel(this, u"lblPrices"_qs, u"Prices"_qs);
    lblPrices->setTextFormat(Qt::PlainText);
    setForeColor(lblPrices, kWhite);

    comboTestID = new QComboBox(this);
    comboTestID->setObjectName(u"comboTestID"_qs);
    comboTestID->setAccessibleName(u"Test stock"_qs);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setHorizontalSpacing(16);
    layout->addWidget(table, 0, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->addLayout(lights, 1, 0);
    layout->addLayout(status, 2, 0, 1, 2);
    layout->addWidget(lblPrices, 3, 0, 1, 2);
    layout->addWidget(comboTestID, 4, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Each row leads to its stock's chart: a double click on the row, its context menu (on the
    // stock button too, even while it is disabled during monitoring) and Ctrl+1 .. Ctrl+0.
    table->installEventFilter(this);
    for (int n = 1; n <= kStockCount; ++n) {
        for (LabelColumn* column :
            {&lblSymbol, &lblPrice, &lblChange, &lblOpen, &lblHigh, &lblLow, &lblVolume}) {
            (*column)[n]->installEventFilter(this);
            (*column)[n]->setProperty("stockRow", n);
        }
        cmdStockSelect[n]->installEventFilter(this);
        cmdStockSelect[n]->setProperty("stockRow", n);
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n % 10)), this);
        connect(shortcut, &QShortcut::activated, this, [this, n] { showChart(n); });
    }

    connect(cmdStart, &QPushButton::clicked, this, &MainWindow::onStartClicked);
    connect(cmdStop, &QPushButton::clicked, this, &MainWindow::onStopClicked);
    connect(cmdExit, &QPushButton::clicked, this, &MainWindow::onExitClicked);
    connect(cmdLog, &QPushButton::clicked, this, &MainWindow::onLogClicked);
    connect(cmdShowHelp, &QPushButton::clicked, this, &MainWindow::onShowHelpClicked);
    connect(cmdSounds, &QPushButton::clicked, this, &MainWindow::onSoundsClicked);
    connect(cmdAbout, &QPushButton::clicked, this, &MainWindow::onAboutClicked);
    connect(cmdMailSettings, &QPushButton::clicked, this, &MainWindow::onMailSettingsClicked);
    connect(cmdChannels, &QPushButton::clicked, this, &MainWindow::onChannelsClicked);
    connect(cmdTimeSettings, &QPushButton::clicked, this, &MainWindow::onTimeSettingsClicked);
    connect(cmdDataSource, &QPushButton::clicked, this, &MainWindow::onDataSourceClicked);
}

void MainWindow::buildTray()
{
    m_tray = new TrayIcon(m_services.engine, this);
    connect(m_tray, &TrayIcon::showWindowRequested, this, &MainWindow::showFromTray);
    // Queued: the menu's own event is over before the engine or the window acts.
    connect(m_tray, &TrayIcon::startRequested, this, &MainWindow::onStartClicked, Qt::QueuedConnection);
    connect(m_tray, &TrayIcon::stopRequested, this, &MainWindow::onStopClicked, Qt::QueuedConnection);
    connect(m_tray, &TrayIcon::exitRequested, this, &MainWindow::onExitClicked, Qt::QueuedConnection);
    m_tray->show();
}

ChartWindow* MainWindow::showChart(int number)
{
    QPointer<ChartWindow>& chart = m_charts[static_cast<std::size_t>(number - 1)];
    if (!chart)
        chart = new ChartWindow(m_services.engine, StockIndex::fromNumber(number), this);
    chart->show();
    chart->raise();
    chart->activateWindow();
    return chart;
}

ChartWindow* MainWindow::chartWindow(int number) const
{
    return m_charts[static_cast<std::size_t>(number - 1)];
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto rowAt = [](QObject* object, const QPoint& position) {
        if (const QVariant row = object->property("stockRow"); row.isValid())
            return row.toInt();
        // On the table itself (a disabled stock button passes its events there): the row under it.
        auto* table = qobject_cast<QWidget*>(object);
        const QWidget* child = table ? table->childAt(position) : nullptr;
        return child ? child->property("stockRow").toInt() : 0;
    };
    if (event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (const int row = rowAt(watched, mouse->position().toPoint()); row >= 1) {
            showChart(row);
            return true;
        }
    } else if (event->type() == QEvent::ContextMenu) {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        if (const int row = rowAt(watched, request->pos()); row >= 1) {
            // A popup, not a second event loop: the choice arrives as a signal.
            auto* menu = new QMenu(this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->setObjectName(u"mnuStock"_qs);
            QAction* chart = menu->addAction(u"Chart"_qs);
            chart->setObjectName(u"mnuChart"_qs);
            chart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + row % 10)));
            connect(chart, &QAction::triggered, this, [this, row] { showChart(row); });
            QAction* settings = menu->addAction(u"Alert Settings..."_qs);
            settings->setEnabled(!isRunning());
            connect(settings, &QAction::triggered, this, [this, row] { onStockSelectClicked(row); });
            menu->popup(request->globalPos());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::showFromTray()
{
    showNormal();
    raise();
    activateWindow();
    if (m_tray)
        m_tray->alertSeen();
}

void MainWindow::changeEvent(QEvent* event)
{
    // The user looks at the window: the tray's alert mark has been seen.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_tray)
        m_tray->alertSeen();
    QWidget::changeEvent(event);
}

void MainWindow::loadValues()
{
    setStatus({});
    comboTestID->hide();
    cmdStockSelect[0]->hide();
    showState(m_services.engine.state());
    m_services.log.dropPending();
    clearQuoteDisplay();
    m_selectedStock = 1;
    for (const StockIndex stock : allStocks())
        showValue(lblSymbol[stock.number()], m_services.settings.alert(stock).symbol);
    showSource();
    // A fresh data folder: the first thing asked is where the prices come from.
    if (m_services.settings.askForSource)
        QTimer::singleShot(0, this, &MainWindow::onDataSourceClicked);
}

void MainWindow::loadLight(QLabel* light, const QString& file, bool lit)
{
    const QPixmap bitmap(resourceFile(file));
    if (bitmap.isNull()) {
        light->clear();
        light->setProperty("bitmap", QString());
        return;
    }
    light->setPixmap(bitmap);
    light->setProperty("bitmap", file);
    light->setAccessibleDescription(lit ? u"on"_qs : u"off"_qs);
}

void MainWindow::setStatus(const QString& text)
{
    showValue(lblStatus, text);
}

void MainWindow::setDownloadFrequency(const QString& text)
{
    showValue(lblDLFreq, text);
}

void MainWindow::showState(MonitoringSession::State state)
{
    const Lamps lamps = lampsOf(state);
    loadLight(picRunLight, runningLampBitmap(lamps.running), lamps.running);
    loadLight(picStopLight, stoppedLampBitmap(lamps.stopped), lamps.stopped);
    loadLight(picDlLight, activityLampBitmap(lamps.download), lamps.download);
    loadLight(picEmailLight, activityLampBitmap(lamps.email), lamps.email);
}

void MainWindow::showQuoteRow(int stock, const Quote& quote)
{
    showValue(lblPrice[stock], quote.last);
    showValue(lblChange[stock], quote.change);
    showValue(lblOpen[stock], quote.open);
    showValue(lblHigh[stock], quote.high);
    showValue(lblLow[stock], quote.low);
    showValue(lblVolume[stock], quote.volume);
}

void MainWindow::setPriceText(int stock, const QString& text)
{
    showValue(lblPrice[stock], text);
}

void MainWindow::setSymbolAlertColour(int stock, bool alert)
{
    QLabel* symbol = lblSymbol[stock];
    setForeColor(symbol, alert ? kAlertRed : kSymbolGreen);
    // Red means an alert holds: said in words as well.
    symbol->setAccessibleDescription(alert ? symbol->text().trimmed() + u", alert"_qs : symbol->text());
}

void MainWindow::showAlertNotice(const QString& message)
{
    if (m_closed)
        return;
    AlertNoticeWindow::showNotice(m_notice);
    if (m_tray)
        m_tray->alertRaised(message);
    if (m_services.settings.preferences.desktopNotifications)
        m_notifier->notify(u"Tradevane alert"_qs, alertLinesOf(message).join(u'\n'));
}

void MainWindow::showConnectionRefused(const QString& message)
{
    msgBox(message, MsgButtons::OkOnly, u"Network Connection"_qs);
}

bool MainWindow::isRunning() const
{
    return m_services.engine.isRunning();
}

void MainWindow::clearQuoteDisplay()
{
    for (int n = 1; n <= kStockCount; ++n) {
        for (LabelColumn* column : {&lblPrice, &lblChange, &lblOpen, &lblHigh, &lblLow, &lblVolume})
            showValue((*column)[n], {});
    }
    for (int n = 1; n <= kStockCount; ++n)
        setSymbolAlertColour(n, false);
}

void MainWindow::showRunningState()
{
    for (QPushButton* button : {cmdMailSettings, cmdChannels, cmdAbout, cmdTimeSettings, cmdStart, cmdExit})
        button->setEnabled(false);
    for (QLabel* label : {lblMailSettings, lblChannels, lblAbout, lblTimeSettings, lblStart, lblExit})
        setCaptionLook(label, false);
    setBackColor(cmdStart, buttonFace());
    setBackColor(cmdStop, kStopRed);
    setCaptionLook(lblStop, true);
    for (int n = 1; n <= kStockCount; ++n) {
        cmdStockSelect[n]->setEnabled(false);
        setBackColor(cmdStockSelect[n], kStockPale);
    }
    cmdLog->setFocus();
}

void MainWindow::showStoppedState()
{
    for (QPushButton* button : {cmdMailSettings, cmdChannels, cmdAbout, cmdTimeSettings, cmdStart, cmdExit})
        button->setEnabled(true);
    for (QLabel* label : {lblMailSettings, lblChannels, lblAbout, lblTimeSettings, lblStart, lblExit})
        setCaptionLook(label, true);
    setBackColor(cmdStart, kStartGreen);
    setBackColor(cmdStop, buttonFace());
    setCaptionLook(lblStop, false);
    for (int n = 1; n <= kStockCount; ++n) {
        cmdStockSelect[n]->setEnabled(true);
        setBackColor(cmdStockSelect[n], kStockOrange);
    }
}

void MainWindow::refreshLogWindow()
{
    if (m_logVisible && m_log)
        m_log->updateLogForm();
}

void MainWindow::onStartClicked()
{
    m_services.engine.start(); // returns at once; the engine runs from the event loop
}

void MainWindow::onStopClicked()
{
    m_services.engine.stop(); // when it returns nothing runs any more
}

void MainWindow::onExitClicked()
{
    // The log is emptied and the program ends, tray or not.
    m_exiting = true;
    if (isHidden())
        show(); // a hidden window does not close
    close();
}

bool MainWindow::keepInTray()
{
    if (m_exiting || !m_tray)
        return false;
    Preferences& preferences = m_services.settings.preferences;
    if (!preferences.closeToTray) {
        const MsgResult answer
            = msgBox(u"Keep Tradevane monitoring in the system tray when this window is closed?"
                     "\r\n\r\nYes: the window closes and Tradevane goes on from the tray "
                     "(its menu shows the window again or exits).\r\nNo: closing the window "
                     "ends Tradevane.\r\n\r\nYou are asked this once."_qs,
                MsgButtons::YesNo, u"Tradevane"_qs, MsgIcon::Question);
        preferences.closeToTray = answer == MsgResult::Yes;
        if (const std::optional<QString> problem = savePreferences(preferences))
            msgBox(
                *problem + u"; you will be asked again next time."_qs, MsgButtons::OkOnly, u"Tradevane"_qs);
    }
    return *preferences.closeToTray;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (keepInTray()) {
        event->ignore();
        hide();
        return;
    }
    m_closed = true;
    // Whatever is under way ends at once: a wait, a download, a sound, a mail (the test mail of
    // the mail window too). EndProgram then leaves the event loop, so main() returns.
    m_services.engine.shutdown();
    m_services.hub.cancelAll();
    m_services.log.eraseLog(m_selectedStock);
    event->accept();
    // The other windows (log, help, sounds) go with it; nothing is left to click.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this)
            window->hide();
    }
    if (m_tray)
        m_tray->icon()->hide();
    endProgram();
}

void MainWindow::onLogClicked()
{
    if (!m_log) {
        m_log = new LogWindow(
            m_services.log, [this] { return m_selectedStock; }, this);
        connect(m_log, &LogWindow::closedByButton, this, [this] { m_logVisible = false; });
    }
    m_log->show();
    m_log->raise();
    m_log->activateWindow();
    m_logVisible = true;
}

void MainWindow::onShowHelpClicked()
{
    showHelpWindow(m_help, this); // not modal: it stays usable while the cycle runs
}

void MainWindow::onSoundsClicked()
{
    SoundsWindow::showSounds(
        m_sounds, m_services.settings, m_services.sound, m_services.log, m_selectedStock, this);
}

void MainWindow::onAboutClicked()
{
    showAboutWindow(m_about, this);
}

void MainWindow::onMailSettingsClicked()
{
    // Modal to the main window without a second event loop: the window deletes itself on closing.
    auto* window = new MailWindow(m_services.settings, m_services.smtp, m_services.log, m_services.keyring,
        m_services.secrets, m_selectedStock, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}

void MainWindow::onChannelsClicked()
{
    // Modal to the main window without a second event loop: the window deletes itself on closing.
    auto* window = new ChannelsWindow(m_services.settings, m_services.channels, m_services.log,
        m_services.keyring, m_services.secrets, m_selectedStock, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}

// The source window opens without waiting for it; a fresh data folder gets it at once, as a
// first-run question.
void MainWindow::onDataSourceClicked()
{
    auto* window = new SourceWindow(m_services.settings, m_services.settings.askForSource, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QDialog::finished, this, [this] { showSource(); });
    window->open();
}

void MainWindow::showSource()
{
    const SettingsStore& settings = m_services.settings;
    // Until the first choice is saved nothing is chosen: the window only preselects a source.
    const QString text = settings.askForSource
        ? u"Prices: no data source chosen yet (Data Source)"_qs
        : u"Prices: "_qs + sourceDescription(settings.source, settings.servers.quoteServer);
    lblPrices->setText(text);
    lblPrices->setAccessibleName(text);
}

void MainWindow::onTimeSettingsClicked()
{
    // Modal to the main window without a second event loop: the window deletes itself on closing.
    auto* window = new TimesWindow(m_services.settings, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}

void MainWindow::onStockSelectClicked(int index)
{
    if (index < 1 || index > kStockCount)
        return; // button 0 is never shown
    m_selectedStock = index;
    // Modal to the main window without a second event loop: the window deletes itself on closing.
    auto* window = new AlertsWindow(m_services.settings, StockIndex::fromNumber(index), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setPreviewSources({&m_services.engine, [this] {
                                   return makePriceSource(m_services.settings.source,
                                       m_services.settings.servers, m_services.fetcher, m_services.hub);
                               }});
    connect(window, &AlertsWindow::symbolSaved, this, [this](int stock, const QString& text) {
        if (stock >= 1 && stock <= kStockCount)
            lblSymbol[stock]->setText(text);
    });
    window->open();
}

} // namespace tradevane
