#include "TestSupport.h"
#include "WidgetDriving.h"

#include "platform/HelpMarkerGui.h"
#include "schedule/frmTimeSettings.h"

namespace {

class Screenshots : public ProgramTest
{
};

TEST_F(Screenshots, TimeSettings)
{
    if (ScreenshotFolder().isEmpty())
        GTEST_SKIP() << "set TRADEVANE_SCREENSHOT_DIR (scripts/screenshot-settings.sh)";
    writeFile(u"timeset.dat"_qs, FromHex("09 00 32 00 09 00 32 00 10 00 01 00 05 00"));
    frmTimeSettings window;
    ShowForScreenshot(&window);
    SaveScreenshot(&window, u"time"_qs);
    for (const char* label : {"lblStartTimeHelp", "lblStopTimeHelp", "lblDLFreqHelp"}) {
        Click(window.findChild<ClickLabel*>(QString::fromLatin1(label)));
        SaveScreenshot(&window, u"time-help-"_qs + QString::fromLatin1(label));
    }
}

} // namespace
