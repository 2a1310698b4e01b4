#include "gui/TimesWindow.h"

#include "engine/forms/SettingsRules.h"
#include "engine/forms/TimeEntries.h"
#include "engine/settings/CalendarSettings.h"
#include "engine/settings/SettingsStore.h"
#include "engine/settings/TimeSettingsFile.h"
#include "gui/FormControls.h"
#include "gui/HelpMarker.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tradevane {

namespace {

QLineEdit* timeBox(const QString& name, const QString& accessible, QWidget* parent)
{
    QLineEdit* box = entryBox(name, accessible, parent);
    box->setFixedWidth(44);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

// The window shows each help text with plain line breaks.
QString shown(QString text)
{
    return text.replace(u"\r\n"_qs, u"\n"_qs);
}

} // namespace

TimesWindow::TimesWindow(SettingsStore& settings, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(u"frmTimeSettings"_qs);
    setWindowTitle(u"Tradevane - Time Settings"_qs);

    m_cmdInsertTime = named<QPushButton>(u"Insert Current Time"_qs, u"cmdInsertTime"_qs, this);
    m_cmdInsertTime->setToolTip(
        u"Click this button to enter the current time into the Historic and Intra-Day start time boxes"_qs);
    m_cmdInsertTime->setAutoDefault(false);

    m_txtStartQdlHour = timeBox(u"txtStart_QDL_Hour"_qs, u"Start hour"_qs, this);
    m_txtStartQdlMin = timeBox(u"txtStart_QDL_Min"_qs, u"Start minute"_qs, this);
    m_txtStopQdlHour = timeBox(u"txtStop_QDL_Hour"_qs, u"Stop hour"_qs, this);
    m_txtStopQdlMin = timeBox(u"txtStop_QDL_Min"_qs, u"Stop minute"_qs, this);
    m_comboQuoteInterval = new QComboBox(this);
    m_comboQuoteInterval->setObjectName(u"comboQuoteInterval"_qs);
    m_comboQuoteInterval->setAccessibleName(u"Quote interval in minutes"_qs);
    m_comboQuoteInterval->setEditable(true);
    m_comboQuoteInterval->setInsertPolicy(QComboBox::NoInsert);
    m_comboQuoteInterval->setFixedWidth(64);
    m_chkSkipHolidays = named<QCheckBox>(u"Skip exchange holidays"_qs, u"chkSkipHolidays"_qs, this);
    m_chkSkipHolidays->setToolTip(
        u"No downloads on US exchange holidays; on early-close days quote downloads stop at the close"_qs);

    static const char16_t* helps[HelpCount][3] = {
        {u"lblStartTimeHelp", u"ShapeStartTimeHelp", u"Start time help"},
        {u"lblStopTimeHelp", u"ShapeStopTimeHelp", u"Stop time help"},
        {u"lblDLFreqHelp", u"ShapeDLFreqHelp", u"Download frequency help"},
        {u"lblHolidaysHelp", u"ShapeHolidaysHelp", u"Exchange holidays help"},
    };
    std::array<QWidget*, HelpCount> markers {};
    for (int h = 0; h < HelpCount; ++h) {
        const HelpMarker m = makeHelpMarker(QString::fromUtf16(helps[h][0]), QString::fromUtf16(helps[h][1]),
            QString::fromUtf16(helps[h][2]), u"(?)"_qs, MarkerShape::Form::Rectangle, {34, 22}, this);
        m_helpLabels[h] = m.label;
        m_helpShapes[h] = m.shape;
        markers[h] = m.shape;
    }

    m_cmdSaveSettings = named<QPushButton>(u"Close Settings"_qs, u"cmdSaveSettings"_qs, this);
    m_cmdSaveSettings->setToolTip(u"Close and save the Time Settings"_qs);
    m_cmdSaveSettings->setAutoDefault(false);

    m_txtTimeSetInfo = new QPlainTextEdit(this);
    m_txtTimeSetInfo->setObjectName(u"txtTimeSetInfo"_qs);
    m_txtTimeSetInfo->setAccessibleName(u"Time settings help"_qs);
    m_txtTimeSetInfo->setReadOnly(true);
    m_txtTimeSetInfo->setPlainText(u"Click the (?) buttons for assistance"_qs);
    m_txtTimeSetInfo->setFixedSize(320, 300);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(m_cmdInsertTime, 0, 0, 1, 5, Qt::AlignLeft);
    grid->setRowMinimumHeight(1, 10);
    grid->addWidget(caption(u"   Hr.       Min."_qs, u"lblHrMinCaption"_qs, this), 2, 1, 1, 2);
    grid->addWidget(caption(u"START Quote Downloads @"_qs, u"lblStartCaption"_qs, this), 3, 0);
    grid->addWidget(m_txtStartQdlHour, 3, 1);
    grid->addWidget(m_txtStartQdlMin, 3, 2);
    grid->addWidget(markers[StartTimeHelp], 3, 3);
    grid->addWidget(caption(u"STOP Quote Downloads @"_qs, u"lblStopCaption"_qs, this), 4, 0);
    grid->addWidget(m_txtStopQdlHour, 4, 1);
    grid->addWidget(m_txtStopQdlMin, 4, 2);
    grid->addWidget(markers[StopTimeHelp], 4, 3);
    grid->addWidget(caption(u"Note:  Use 24 hour clock"_qs, u"lblClockNote"_qs, this), 5, 0, 1, 4);
    grid->addWidget(caption(u"Eg:  2:05 PM  = 14hrs,  5Min."_qs, u"lblClockExample"_qs, this), 6, 0, 1, 4);
    grid->setRowMinimumHeight(7, 10);
    auto* interval = new QHBoxLayout;
    interval->setSpacing(8);
    interval->addWidget(caption(u"Update Intra-Day quotes every :"_qs, u"lblIntervalCaption"_qs, this));
    interval->addWidget(m_comboQuoteInterval);
    interval->addWidget(caption(u"Minutes"_qs, u"lblMinutesCaption"_qs, this));
    interval->addWidget(markers[DLFreqHelp]);
    interval->addStretch();
    grid->addLayout(interval, 8, 0, 1, 5);
    grid->addWidget(caption(u"( Quote Download Frequency )"_qs, u"lblFrequencyCaption"_qs, this), 9, 0, 1, 4);
    grid->setRowMinimumHeight(10, 10);
    auto* holidays = new QHBoxLayout;
    holidays->setSpacing(8);
    holidays->addWidget(m_chkSkipHolidays);
    holidays->addWidget(markers[HolidaysHelp]);
    holidays->addStretch();
    grid->addLayout(holidays, 11, 0, 1, 5);
    grid->setRowStretch(12, 1);
    grid->addWidget(m_cmdSaveSettings, 13, 0, 1, 5, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(16);
    layout->addLayout(grid);
    layout->addWidget(m_txtTimeSetInfo);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_cmdInsertTime, &QPushButton::clicked, this, &TimesWindow::onInsertTimeClicked);
    connect(m_cmdSaveSettings, &QPushButton::clicked, this, &TimesWindow::onSaveSettingsClicked);
    for (int h = 0; h < HelpCount; ++h)
        connect(m_helpLabels[h], &ClickLabel::clicked, this, [this, h] { showHelp(static_cast<Help>(h)); });

    loadValues();
}

void TimesWindow::loadValues()
{
    m_comboQuoteInterval->addItems(quoteIntervalItems());
    m_comboQuoteInterval->setCurrentIndex(2);
    m_chkSkipHolidays->setChecked(m_settings.calendar.skipHolidays);

    const FileError error = readTimeSettings(m_settings.time);
    if (!error.ok()) {
        msgBox(joinLines({u"Unable to read 'Settings' file."_qs, u"Default settings loaded."_qs}),
            MsgButtons::OkOnly, u"Defaults Loaded"_qs);
        loadDefaults();
        return;
    }
    // A file shorter than one record (the empty one a first start creates) holds no times: the
    // boxes stay empty and the defaults are offered below.
    if (QFileInfo(timeSettingsPath()).size() >= kTimeSettingsLength) {
        m_txtStartQdlHour->setText(QString::number(m_settings.time.quoteStartHour));
        m_txtStartQdlMin->setText(minuteText(m_settings.time.quoteStartMinute));
        m_txtStopQdlHour->setText(QString::number(m_settings.time.stopHour));
        m_txtStopQdlMin->setText(minuteText(m_settings.time.stopMinute));
        m_comboQuoteInterval->setCurrentIndex(quoteIntervalIndex(m_settings.time.quoteInterval));
    }
    if (m_txtStartQdlHour->text().isEmpty() || m_txtStartQdlMin->text().isEmpty()) {
        msgBox(joinLines({u"Error reading the 'Time Settings' file."_qs, u"Using default values"_qs}),
            MsgButtons::OkOnly, u"File read error"_qs);
        loadDefaults();
    }
}

void TimesWindow::loadDefaults()
{
    m_txtStartQdlHour->setText(u"9"_qs);
    m_txtStartQdlMin->setText(u"50"_qs);
    m_txtStopQdlHour->setText(u"16"_qs);
    m_txtStopQdlMin->setText(u"1"_qs);
    m_comboQuoteInterval->setCurrentIndex(2);
    m_settings.time = defaultTimeSettings();
}

void TimesWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        onActivated();
}

void TimesWindow::onActivated()
{
    for (MarkerShape* shape : m_helpShapes)
        shape->clearFill();
    m_txtTimeSetInfo->setPlainText(u"Click  (?)  for help"_qs);
}

void TimesWindow::showHelp(Help help)
{
    for (int h = 0; h < HelpCount; ++h) {
        if (h == help)
            m_helpShapes[h]->setFillColor(kMarkerOrange);
        else
            m_helpShapes[h]->clearFill();
    }
    m_txtTimeSetInfo->clear();
    const QString texts[HelpCount]
        = {TimeHelp::startTime(), TimeHelp::stopTime(), TimeHelp::interval(), TimeHelp::holidays()};
    m_txtTimeSetInfo->setPlainText(shown(texts[help]));
}

void TimesWindow::onInsertTimeClicked()
{
    const QTime current = now().time();
    const auto [hour, minute] = insertTimeTexts(current.hour(), current.minute());
    m_txtStartQdlHour->setText(hour);
    m_txtStartQdlMin->setText(minute);
}

void TimesWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = askToSave(u"Save Time Settings ?"_qs, u"Closing Time Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    const TimeEntries entries {m_txtStartQdlHour->text(), m_txtStartQdlMin->text(), m_txtStopQdlHour->text(),
        m_txtStopQdlMin->text(), m_comboQuoteInterval->currentText()};
    if (const auto problem = checkTimeEntries(entries)) {
        msgBox(problem->text, MsgButtons::OkOnly, problem->title);
        return;
    }
    m_settings.time = storeTimeEntries(entries);
    m_settings.calendar.skipHolidays = m_chkSkipHolidays->isChecked();
    FileError error = writeTimeSettings(m_settings.time);
    if (error.ok())
        error = writeCalendarSettings(m_settings.calendar);
    if (!error.ok()) {
        msgBox(fileErrorMessage(error,
                   {u"Unable to open/write to the 'Settings' file"_qs, u"Exit the program and restart."_qs,
                       supportContactLine()}),
            MsgButtons::OkOnly, u"File Write Error"_qs);
        reject(); // hidden; the new times stay in memory
        return;
    }
    accept();
}

} // namespace tradevane
