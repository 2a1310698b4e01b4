#include "TestSupport.h"
#include "WidgetDriving.h"

#include "core/VarDef.h"
#include "notify/frmMailSettings.h"
#include "platform/HelpMarkerGui.h"

namespace {

class Screenshots : public ProgramTest
{
};

TEST_F(Screenshots, MailSettings)
{
    if (ScreenshotFolder().isEmpty())
        GTEST_SKIP() << "set TRADEVANE_SCREENSHOT_DIR (scripts/screenshot-settings.sh)";
    gMailSettings.Server = u"smtp.example.com:587"_qs;
    gMailSettings.MailFrom = u"trader@example.com"_qs;
    gMailSettings.SendTo = u"alerts@example.com, desk@example.org"_qs;
    gMailSettings.Subject = u"Message from Tradevane"_qs;
    gMailSettings.UsePassword = 1;
    gMailSettings.UserName = u"trader"_qs;
    gMailSettings.Password = u"app-password"_qs;
    frmMailSettings window;
    ShowForScreenshot(&window);
    SaveScreenshot(&window, u"mail"_qs);
    for (const char* label : {"lblServerHelp", "lblPasswordHelp"}) {
        Click(window.findChild<ClickLabel*>(QString::fromLatin1(label)));
        SaveScreenshot(&window, u"mail-help-"_qs + QString::fromLatin1(label));
    }
}

} // namespace
