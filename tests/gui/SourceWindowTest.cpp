#include "TestSupport.h"
#include "widgets/WidgetDriving.h"

#include "engine/settings/SourceSettings.h"
#include "gui/SourceWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace tradevane;

namespace {

using SourceWindowTest = ProgramTest;

// What the window saves is what it shows when it opens again; a seed that is no number and a
// server that is no address are refused with a message and nothing is written.
TEST_F(SourceWindowTest, ChoicesRoundTripThroughSourceIniAndBadEntriesAreRefused)
{
    const SourceLoad fresh = loadSourceSettings(m_app.log);
    m_app.settings.source = fresh.settings;
    m_app.settings.askForSource = fresh.ask;
    {
        SourceWindow window(m_app.settings, true);
        EXPECT_TRUE(window.findChild<QRadioButton*>(u"optLive"_qs)->isChecked()); // the first-run offer
        window.findChild<QRadioButton*>(u"optSimulated"_qs)->setChecked(true);
        typeInto(window.findChild<QLineEdit*>(u"txtSeed"_qs), u"seven"_qs);
        window.findChild<QPushButton*>(u"cmdSave"_qs)->click();
        EXPECT_EQ(m_boxes.shown().size(), 1);
        EXPECT_FALSE(QFile::exists(path(u"source.ini"_qs)));

        typeInto(window.findChild<QLineEdit*>(u"txtSeed"_qs), u"7"_qs);
        window.findChild<QPushButton*>(u"cmdSave"_qs)->click();
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    EXPECT_EQ(readFile(u"source.ini"_qs), QByteArray("[source]\nKind=simulated\nSeed=7\n"));
    EXPECT_FALSE(m_app.settings.askForSource);

    SourceWindow again(m_app.settings, false);
    EXPECT_TRUE(again.findChild<QRadioButton*>(u"optSimulated"_qs)->isChecked());
    EXPECT_EQ(again.findChild<QLineEdit*>(u"txtSeed"_qs)->text(), u"7"_qs);
    EXPECT_FALSE(again.findChild<QLineEdit*>(u"txtQuoteServer"_qs)->isEnabled());
    again.findChild<QRadioButton*>(u"optServers"_qs)->setChecked(true);
    typeInto(again.findChild<QLineEdit*>(u"txtQuoteServer"_qs), u"ftp://10.0.0.1"_qs);
    again.findChild<QPushButton*>(u"cmdSave"_qs)->click();
    EXPECT_EQ(m_boxes.shown().size(), 2);
    typeInto(again.findChild<QLineEdit*>(u"txtQuoteServer"_qs), u"http://10.0.0.1:9000/"_qs);
    again.findChild<QPushButton*>(u"cmdSave"_qs)->click();
    EXPECT_EQ(readFile(u"source.ini"_qs), QByteArray("[source]\nKind=servers\nSeed=7\n"));
    EXPECT_TRUE(readFile(u"servers.ini"_qs).contains("QuoteServer=http://10.0.0.1:9000\n"));
    EXPECT_EQ(m_app.settings.servers.quoteServer, u"http://10.0.0.1:9000"_qs);
}

} // namespace
