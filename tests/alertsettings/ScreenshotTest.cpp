#include "TestSupport.h"
#include "WidgetDriving.h"

#include "alertsettings/frmAlerts.h"
#include "platform/HelpMarkerGui.h"

#include <QTabWidget>

namespace {

class Screenshots : public ProgramTest
{
};

TEST_F(Screenshots, AlertSettingsPanesAndHelpPanels)
{
    if (ScreenshotFolder().isEmpty())
        GTEST_SKIP() << "set TRADEVANE_SCREENSHOT_DIR (scripts/screenshot-settings.sh)";
    for (const char* chart : {"chartMA.bmp", "chartHHLL.bmp", "chartROC.bmp", "chartStoch.bmp"})
        copyResource(QString::fromLatin1(chart));
    StockID = 3;
    gAlertSettings[3].Symbol = u"IBM    "_qs;
    frmAlerts window;
    ShowForScreenshot(&window);
    auto* tabs = window.findChild<QTabWidget*>(u"SSTab1"_qs);
    const char* panes[] = {"alerts-1-stock", "alerts-2-moving-average", "alerts-3-momentum",
        "alerts-4-price-volume", "alerts-5-stochastics"};
    for (int i = 0; i < 5; ++i) {
        tabs->setCurrentIndex(i);
        SaveScreenshot(&window, QString::fromLatin1(panes[i]));
    }
    const std::pair<int, const char*> helps[] = {
        {0, "lblAboutAlerts"}, {1, "lblMAHelp"}, {2, "lblHHLLHelp"}, {2, "lblROCHelp"}, {4, "lblStochHelp"}};
    for (const auto& [pane, label] : helps) {
        tabs->setCurrentIndex(pane);
        Click(window.findChild<ClickLabel*>(QString::fromLatin1(label)));
        SaveScreenshot(&window, u"alerts-help-"_qs + QString::fromLatin1(label));
    }
}

} // namespace
