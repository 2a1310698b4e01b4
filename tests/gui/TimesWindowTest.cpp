#include "widgets/SettingsWindowFixture.h"

#include "engine/forms/SettingsRules.h"
#include "engine/forms/TimeEntries.h"
#include "engine/settings/CalendarSettings.h"
#include "engine/settings/TimeSettingsFile.h"
#include "gui/TimesWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>

using namespace tradevane;

namespace {

const char* kDefaultsFile = "09 00 32 00 09 00 32 00 10 00 01 00 05 00";

class TimeWindow : public SettingsWindowFixture<TimesWindow>
{
protected:
    TimeWindow()
        : SettingsWindowFixture(u"Time"_qs)
    { }

    std::unique_ptr<TimesWindow> create() override { return std::make_unique<TimesWindow>(m_app.settings); }

    QString text(const char* name) { return box(name)->text(); }
    QComboBox* interval() { return w<QComboBox>("comboQuoteInterval"); }

    void setTimes(const QString& startHour, const QString& startMinute, const QString& stopHour,
        const QString& stopMinute, const QString& minutes = u"5"_qs)
    {
        type("txtStart_QDL_Hour", startHour);
        type("txtStart_QDL_Min", startMinute);
        type("txtStop_QDL_Hour", stopHour);
        type("txtStop_QDL_Min", stopMinute);
        typeInto(interval()->lineEdit(), minutes);
    }
};

TEST_F(TimeWindow, EmptyFileOffersTheDefaultsWhichSaveAsTheKnownBytes)
{
    // No timeset.dat: created empty.
    EXPECT_TRUE(oneBox(open(), u"File read error"_qs,
        u"Error reading the 'Time Settings' file.\r\nUsing default values"_qs));
    EXPECT_EQ(text("txtStart_QDL_Hour"), u"9"_qs);
    EXPECT_EQ(text("txtStart_QDL_Min"), u"50"_qs);
    EXPECT_EQ(text("txtStop_QDL_Hour"), u"16"_qs);
    EXPECT_EQ(text("txtStop_QDL_Min"), u"1"_qs); // no leading zero from the defaults
    EXPECT_EQ(interval()->currentIndex(), 2);
    EXPECT_EQ(interval()->currentText(), u"5"_qs);
    EXPECT_EQ(encodeRecord(m_app.settings.time), fromHex(kDefaultsFile));
    EXPECT_EQ(readFile(u"timeset.dat"_qs).size(), 0);

    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    EXPECT_EQ(readFile(u"timeset.dat"_qs), fromHex(kDefaultsFile));
}

TEST_F(TimeWindow, StoredTimesAreShownWithTwoDigitMinutes)
{
    writeFile(u"timeset.dat"_qs, fromHex("08 00 05 00 0A 00 07 00 11 00 01 00 0F 00"));
    EXPECT_TRUE(open().isEmpty());
    EXPECT_EQ(text("txtStart_QDL_Hour"), u"10"_qs); // the quote start fields
    EXPECT_EQ(text("txtStart_QDL_Min"), u"07"_qs);
    EXPECT_EQ(text("txtStop_QDL_Hour"), u"17"_qs);
    EXPECT_EQ(text("txtStop_QDL_Min"), u"01"_qs);
    EXPECT_EQ(interval()->currentText(), u"15"_qs);
    QStringList items;
    for (int i = 0; i < interval()->count(); ++i)
        items << interval()->itemText(i);
    EXPECT_EQ(items, (QStringList {u"1"_qs, u"2"_qs, u"5"_qs, u"10"_qs, u"15"_qs, u"20"_qs, u"30"_qs}));

    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(readFile(u"timeset.dat"_qs), fromHex("0A 00 07 00 0A 00 07 00 11 00 01 00 0F 00"));
}

TEST_F(TimeWindow, IntervalOutsideTheListShowsFiveButStaysUntilTheNextSave)
{
    writeFile(u"timeset.dat"_qs, fromHex("09 00 32 00 09 00 32 00 10 00 01 00 07 00"));
    open();
    EXPECT_EQ(interval()->currentText(), u"5"_qs);
    EXPECT_EQ(m_app.settings.time.quoteInterval, 7);
    EXPECT_TRUE(save(MsgResult::No).isEmpty());
    EXPECT_EQ(m_app.settings.time.quoteInterval, 7);
    EXPECT_EQ(readFile(u"timeset.dat"_qs).right(2), fromHex("07 00"));
}

TEST_F(TimeWindow, UnreadableFileLoadsTheDefaults)
{
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"timeset.dat"_qs));
    EXPECT_TRUE(oneBox(
        open(), u"Defaults Loaded"_qs, u"Unable to read 'Settings' file.\r\nDefault settings loaded."_qs));
    EXPECT_EQ(text("txtStop_QDL_Min"), u"1"_qs);
    EXPECT_EQ(encodeRecord(m_app.settings.time), fromHex(kDefaultsFile));

    setTimes(u"8"_qs, u"30"_qs, u"15"_qs, u"45"_qs, u"10"_qs);
    EXPECT_TRUE(oneFileErrorBox(save(), u"File Write Error"_qs,
        {u"Unable to open/write to the 'Settings' file"_qs, u"Exit the program and restart."_qs,
            supportContactLine()}));
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(encodeRecord(m_app.settings.time), fromHex("08 00 1E 00 08 00 1E 00 0F 00 2D 00 0A 00"));
}

TEST_F(TimeWindow, InsertCurrentTimeAddsOneMinuteWithoutWrappingTheHour)
{
    open();
    simulateClock(QDateTime(QDate(2026, 3, 4), QTime(10, 59, 30)));
    const std::pair<QTime, QStringList> inserts[] = {{QTime(10, 59, 30), {u"11"_qs, u"00"_qs}},
        {QTime(14, 5, 0), {u"14"_qs, u"06"_qs}}, {QTime(23, 59, 0), {u"24"_qs, u"00"_qs}}};
    for (const auto& [now, shown] : inserts) {
        m_clock->set(QDateTime(QDate(2026, 3, 4), now));
        click(w<QPushButton>("cmdInsertTime"));
        EXPECT_EQ(QStringList({text("txtStart_QDL_Hour"), text("txtStart_QDL_Min")}), shown);
        EXPECT_EQ(text("txtStop_QDL_Hour"), u"16"_qs); // the stop boxes do not change
    }
    EXPECT_TRUE(oneBox(save(), u"Invalid Time"_qs,
        u"Location: StartTime\r\nHour entry error\r\nAllowed range = 1 to 23"_qs));
}

TEST_F(TimeWindow, HelpButtonsMarkTheirShapeAndShowTheirText)
{
    open();
    auto* info = w<QPlainTextEdit>("txtTimeSetInfo");
    EXPECT_EQ(info->toPlainText(), u"Click  (?)  for help"_qs);
    expectHelpLabels("txtTimeSetInfo",
        {{"lblStartTimeHelp", "ShapeStartTimeHelp", TimeHelp::startTime()},
            {"lblStopTimeHelp", "ShapeStopTimeHelp", TimeHelp::stopTime()},
            {"lblDLFreqHelp", "ShapeDLFreqHelp", TimeHelp::interval()},
            {"lblHolidaysHelp", "ShapeHolidaysHelp", TimeHelp::holidays()}});

    m_window->hide();
    showActive(m_window.get());
    EXPECT_EQ(info->toPlainText(), u"Click  (?)  for help"_qs);
    EXPECT_EQ(w<MarkerShape>("ShapeDLFreqHelp")->fillColor(), QApplication::palette().color(QPalette::Base));
}

TEST_F(TimeWindow, SkipExchangeHolidaysIsOnUntilUntickedAndIsKeptBesideTheTimes)
{
    writeFile(u"timeset.dat"_qs, fromHex(kDefaultsFile));
    open();
    QCheckBox* skip = w<QCheckBox>("chkSkipHolidays");
    EXPECT_EQ(skip->accessibleName(), u"Skip exchange holidays"_qs);
    EXPECT_TRUE(skip->isChecked());

    // Not saved: nothing is written.
    tick("chkSkipHolidays", false);
    EXPECT_TRUE(save(MsgResult::No).isEmpty());
    EXPECT_FALSE(QFile::exists(path(u"calendar.ini"_qs)));
    EXPECT_TRUE(m_app.settings.calendar.skipHolidays);

    open();
    tick("chkSkipHolidays", false);
    EXPECT_TRUE(save().isEmpty());
    EXPECT_FALSE(m_app.settings.calendar.skipHolidays);
    EXPECT_EQ(readFile(u"calendar.ini"_qs), QByteArray("[calendar]\nSkipHolidays=0\n"));
    EXPECT_EQ(readFile(u"timeset.dat"_qs), fromHex(kDefaultsFile)); // its 14 bytes as they were

    // Read back as the next start-up reads it.
    m_app.settings.calendar = {};
    loadCalendarSettings(m_app.settings.calendar, m_app.log);
    EXPECT_FALSE(m_app.settings.calendar.skipHolidays);
    open();
    EXPECT_FALSE(w<QCheckBox>("chkSkipHolidays")->isChecked());
    tick("chkSkipHolidays", true);
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(readFile(u"calendar.ini"_qs), QByteArray("[calendar]\nSkipHolidays=1\n"));
}

TEST_F(TimeWindow, ACalendarFileThatCannotBeWrittenIsReportedAsTheTimesAre)
{
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"calendar.ini"_qs));
    open();
    tick("chkSkipHolidays", false);
    const QList<MsgBoxRequest> shown = save();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, u"File Write Error"_qs);
    EXPECT_TRUE(shown[0].text.contains(u"Unable to open/write to the 'Settings' file"_qs));
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_FALSE(m_app.settings.calendar.skipHolidays); // used until the program ends
}

TEST_F(TimeWindow, CancelKeepsTheWindowAndNoLeavesTheFileAlone)
{
    writeFile(u"timeset.dat"_qs, fromHex(kDefaultsFile));
    open();
    setTimes(u"x"_qs, u"0"_qs, u"16"_qs, u"0"_qs);
    EXPECT_TRUE(save(MsgResult::Cancel).isEmpty());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(save(MsgResult::No).isEmpty());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(readFile(u"timeset.dat"_qs), fromHex(kDefaultsFile));
    EXPECT_EQ(encodeRecord(m_app.settings.time), fromHex(kDefaultsFile));
}

} // namespace
