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

QLineEdit* TimeBox(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setFixedWidth(44);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

// The window shows each help text with plain line breaks.
QString Shown(QString text)
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

    cmdInsertTime = Named<QPushButton>(u"Insert Current Time"_qs, u"cmdInsertTime"_qs, this);
    cmdInsertTime->setToolTip(
        u"Click this button to enter the current time into the Historic and Intra-Day start time boxes"_qs);
    cmdInsertTime->setAutoDefault(false);

    txtStart_QDL_Hour = TimeBox(u"txtStart_QDL_Hour"_qs, u"Start hour"_qs, this);
    txtStart_QDL_Min = TimeBox(u"txtStart_QDL_Min"_qs, u"Start minute"_qs, this);
    txtStop_QDL_Hour = TimeBox(u"txtStop_QDL_Hour"_qs, u"Stop hour"_qs, this);
    txtStop_QDL_Min = TimeBox(u"txtStop_QDL_Min"_qs, u"Stop minute"_qs, this);
    comboQuoteInterval = new QComboBox(this);
    comboQuoteInterval->setObjectName(u"comboQuoteInterval"_qs);
    comboQuoteInterval->setAccessibleName(u"Quote interval in minutes"_qs);
    comboQuoteInterval->setEditable(true);
    comboQuoteInterval->setInsertPolicy(QComboBox::NoInsert);
    comboQuoteInterval->setFixedWidth(64);
    chkSkipHolidays = Named<QCheckBox>(u"Skip exchange holidays"_qs, u"chkSkipHolidays"_qs, this);
    chkSkipHolidays->setToolTip(
        u"No downloads on US exchange holidays; on early-close days quote downloads stop at the close"_qs);

    static const char16_t* helps[HelpCount][3] = {
        {u"lblStartTimeHelp", u"ShapeStartTimeHelp", u"Start time help"},
        {u"lblStopTimeHelp", u"ShapeStopTimeHelp", u"Stop time help"},
        {u"lblDLFreqHelp", u"ShapeDLFreqHelp", u"Download frequency help"},
        {u"lblHolidaysHelp", u"ShapeHolidaysHelp", u"Exchange holidays help"},
    };
    std::array<QWidget*, HelpCount> markers {};
    for (int h = 0; h < HelpCount; ++h) {
        const HelpMarker m = MakeHelpMarker(QString::fromUtf16(helps[h][0]), QString::fromUtf16(helps[h][1]),
            QString::fromUtf16(helps[h][2]), u"(?)"_qs, MarkerShape::Form::Rectangle, {34, 22}, this);
        helpLabels[h] = m.label;
        helpShapes[h] = m.shape;
        markers[h] = m.shape;
    }

    cmdSaveSettings = Named<QPushButton>(u"Close Settings"_qs, u"cmdSaveSettings"_qs, this);
    cmdSaveSettings->setToolTip(u"Close and save the Time Settings"_qs);
    cmdSaveSettings->setAutoDefault(false);

    txtTimeSetInfo = new QPlainTextEdit(this);
    txtTimeSetInfo->setObjectName(u"txtTimeSetInfo"_qs);
    txtTimeSetInfo->setAccessibleName(u"Time settings help"_qs);
    txtTimeSetInfo->setReadOnly(true);
    txtTimeSetInfo->setPlainText(u"Click the (?) buttons for assistance"_qs);
    txtTimeSetInfo->setFixedSize(320, 300);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(cmdInsertTime, 0, 0, 1, 5, Qt::AlignLeft);
    grid->setRowMinimumHeight(1, 10);
    grid->addWidget(Caption(u"   Hr.       Min."_qs, u"lblHrMinCaption"_qs, this), 2, 1, 1, 2);
    grid->addWidget(Caption(u"START Quote Downloads @"_qs, u"lblStartCaption"_qs, this), 3, 0);
    grid->addWidget(txtStart_QDL_Hour, 3, 1);
    grid->addWidget(txtStart_QDL_Min, 3, 2);
    grid->addWidget(markers[StartTimeHelp], 3, 3);
    grid->addWidget(Caption(u"STOP Quote Downloads @"_qs, u"lblStopCaption"_qs, this), 4, 0);
    grid->addWidget(txtStop_QDL_Hour, 4, 1);
    grid->addWidget(txtStop_QDL_Min, 4, 2);
    grid->addWidget(markers[StopTimeHelp], 4, 3);
    grid->addWidget(Caption(u"Note:  Use 24 hour clock"_qs, u"lblClockNote"_qs, this), 5, 0, 1, 4);
    grid->addWidget(Caption(u"Eg:  2:05 PM  = 14hrs,  5Min."_qs, u"lblClockExample"_qs, this), 6, 0, 1, 4);
    grid->setRowMinimumHeight(7, 10);
    auto* interval = new QHBoxLayout;
    interval->setSpacing(8);
    interval->addWidget(Caption(u"Update Intra-Day quotes every :"_qs, u"lblIntervalCaption"_qs, this));
    interval->addWidget(comboQuoteInterval);
    interval->addWidget(Caption(u"Minutes"_qs, u"lblMinutesCaption"_qs, this));
    interval->addWidget(markers[DLFreqHelp]);
    interval->addStretch();
    grid->addLayout(interval, 8, 0, 1, 5);
    grid->addWidget(Caption(u"( Quote Download Frequency )"_qs, u"lblFrequencyCaption"_qs, this), 9, 0, 1, 4);
    grid->setRowMinimumHeight(10, 10);
    auto* holidays = new QHBoxLayout;
    holidays->setSpacing(8);
    holidays->addWidget(chkSkipHolidays);
    holidays->addWidget(markers[HolidaysHelp]);
    holidays->addStretch();
    grid->addLayout(holidays, 11, 0, 1, 5);
    grid->setRowStretch(12, 1);
    grid->addWidget(cmdSaveSettings, 13, 0, 1, 5, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(16);
    layout->addLayout(grid);
    layout->addWidget(txtTimeSetInfo);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdInsertTime, &QPushButton::clicked, this, &TimesWindow::onInsertTimeClicked);
    connect(cmdSaveSettings, &QPushButton::clicked, this, &TimesWindow::onSaveSettingsClicked);
    for (int h = 0; h < HelpCount; ++h)
        connect(helpLabels[h], &ClickLabel::clicked, this, [this, h] { ShowHelp(static_cast<Help>(h)); });

    loadValues();
}

void TimesWindow::loadValues()
{
    comboQuoteInterval->addItems(QuoteIntervalItems());
    comboQuoteInterval->setCurrentIndex(2);
    chkSkipHolidays->setChecked(m_settings.calendar.SkipHolidays);

    const FileError error = ReadTimeSettings(m_settings.time);
    if (!error.ok()) {
        MsgBox(JoinLines({u"Unable to read 'Settings' file."_qs, u"Default settings loaded."_qs}),
            MsgButtons::OkOnly, u"Defaults Loaded"_qs);
        LoadDefaults();
        return;
    }
    // A file shorter than one record (the empty one a first start creates) holds no times: the
    // boxes stay empty and the defaults are offered below.
    if (QFileInfo(TimeSettingsPath()).size() >= kTimeSettingsLength) {
        txtStart_QDL_Hour->setText(QString::number(m_settings.time.quoteStartHour));
        txtStart_QDL_Min->setText(MinuteText(m_settings.time.quoteStartMinute));
        txtStop_QDL_Hour->setText(QString::number(m_settings.time.stopHour));
        txtStop_QDL_Min->setText(MinuteText(m_settings.time.stopMinute));
        comboQuoteInterval->setCurrentIndex(QuoteIntervalIndex(m_settings.time.quoteInterval));
    }
    if (txtStart_QDL_Hour->text().isEmpty() || txtStart_QDL_Min->text().isEmpty()) {
        MsgBox(JoinLines({u"Error reading the 'Time Settings' file."_qs, u"Using default values"_qs}),
            MsgButtons::OkOnly, u"File read error"_qs);
        LoadDefaults();
    }
}

void TimesWindow::LoadDefaults()
{
    txtStart_QDL_Hour->setText(u"9"_qs);
    txtStart_QDL_Min->setText(u"50"_qs);
    txtStop_QDL_Hour->setText(u"16"_qs);
    txtStop_QDL_Min->setText(u"1"_qs);
    comboQuoteInterval->setCurrentIndex(2);
    m_settings.time = DefaultTimeSettings();
}

void TimesWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        onActivated();
}

void TimesWindow::onActivated()
{
    for (MarkerShape* shape : helpShapes)
        shape->clearFill();
    txtTimeSetInfo->setPlainText(u"Click  (?)  for help"_qs);
}

void TimesWindow::ShowHelp(Help help)
{
    for (int h = 0; h < HelpCount; ++h) {
        if (h == help)
            helpShapes[h]->setFillColor(kMarkerOrange);
        else
            helpShapes[h]->clearFill();
    }
    txtTimeSetInfo->clear();
    const QString texts[HelpCount]
        = {TimeHelp::StartTime(), TimeHelp::StopTime(), TimeHelp::Interval(), TimeHelp::Holidays()};
    txtTimeSetInfo->setPlainText(Shown(texts[help]));
}

void TimesWindow::onInsertTimeClicked()
{
    const QTime now = Now().time();
    const auto [hour, minute] = InsertTimeTexts(now.hour(), now.minute());
    txtStart_QDL_Hour->setText(hour);
    txtStart_QDL_Min->setText(minute);
}

void TimesWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = AskToSave(u"Save Time Settings ?"_qs, u"Closing Time Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    const TimeEntries entries {txtStart_QDL_Hour->text(), txtStart_QDL_Min->text(), txtStop_QDL_Hour->text(),
        txtStop_QDL_Min->text(), comboQuoteInterval->currentText()};
    if (const auto problem = CheckTimeEntries(entries)) {
        MsgBox(problem->text, MsgButtons::OkOnly, problem->title);
        return;
    }
    m_settings.time = StoreTimeEntries(entries);
    m_settings.calendar.SkipHolidays = chkSkipHolidays->isChecked();
    FileError error = WriteTimeSettings(m_settings.time);
    if (error.ok())
        error = WriteCalendarSettings(m_settings.calendar);
    if (!error.ok()) {
        MsgBox(FileErrorMessage(error,
                   {u"Unable to open/write to the 'Settings' file"_qs, u"Exit the program and restart."_qs,
                       SupportContactLine()}),
            MsgButtons::OkOnly, u"File Write Error"_qs);
        reject(); // hidden; the new times stay in memory
        return;
    }
    accept();
}

} // namespace tradevane
