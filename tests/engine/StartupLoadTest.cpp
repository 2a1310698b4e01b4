// The settings files read at start-up, without a window: where a failed load stops and what the
// log notes about the files it read.
#include "TestSupport.h"

#include "engine/log/LogTexts.h"
#include "engine/session/StartupLoad.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>

using namespace tradevane;

namespace {

using StartupLoading = ProgramTest;

TEST_F(StartupLoading, EachSettingsFileNamesItsLocationAndLoadingStopsThere)
{
    const struct
    {
        const char16_t* file;
        const char16_t* location;
        const char16_t* notCreated; // a file after it in the loading order
    } cases[] = {{u"Aset7.dat", u"Alert Settings", u"Aset8.dat"},
        {u"mailset.dat", u"Email Settings", u"timeset.dat"},
        {u"timeset.dat", u"Time Settings", u"soundset.dat"}, {u"soundset.dat", u"Sound Settings", u"frs.dat"},
        {u"frs.dat", u"Licence Acceptance", nullptr}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        setProgramFolder(dir.path());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf16(c.file)));
        const StartupLoad load = loadSettingsFiles(m_app);
        EXPECT_FALSE(load.ok());
        EXPECT_EQ(load.location, QString::fromUtf16(c.location));
        if (c.notCreated) {
            EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QString::fromUtf16(c.notCreated))));
        }
        EXPECT_TRUE(
            initializeErrorText(load).contains(u"Error Location:"_qs + QString::fromUtf16(c.location)));
    }
}

// A copied-in mailset.dat with a password and group or other bits is noted; one without a
// password, or an owner-only one, is not.
TEST_F(StartupLoading, AMailPasswordOthersCanReadIsNoted)
{
    QByteArray mail(846, ' ');
    mail.replace(0, 6, QByteArray::fromHex("000000000100"));
    const QString file = path(u"mailset.dat"_qs);
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    for (const bool password : {false, true}) {
        for (const bool shared : {false, true}) {
            mail.replace(56, 6, password ? "s3cret" : "      ");
            writeFile(u"mailset.dat"_qs, mail);
            ASSERT_TRUE(QFile::setPermissions(file, shared ? ownerOnly | QFile::ReadGroup : ownerOnly));
            writeFile(u"activlog.dat"_qs, {});
            EXPECT_TRUE(loadSettingsFiles(m_app).ok());
            EXPECT_EQ(log().contains(LogText::kMailPasswordExposed), password && shared)
                << password << shared;
        }
    }
}

TEST_F(StartupLoading, TheCalendarChoiceIsReadAndAMalformedFileSkipsHolidaysWithANote)
{
    loadSettingsFiles(m_app);
    EXPECT_TRUE(m_app.settings.calendar.skipHolidays); // no calendar.ini: holidays are skipped
    EXPECT_FALSE(QFile::exists(path(u"calendar.ini"_qs)));

    writeFile(u"calendar.ini"_qs, "[calendar]\nSkipHolidays=0\n");
    loadSettingsFiles(m_app);
    EXPECT_FALSE(m_app.settings.calendar.skipHolidays);
    EXPECT_FALSE(log().contains(LogText::kCalendarSettingsDefault));

    writeFile(u"calendar.ini"_qs, "[calendar]\nSkipHolidays=no thanks\n");
    loadSettingsFiles(m_app);
    EXPECT_TRUE(m_app.settings.calendar.skipHolidays);
    EXPECT_TRUE(log().contains(LogText::kCalendarSettingsDefault + u"SkipHolidays=no thanks\r\n"_qs));
}

} // namespace
