#include "TestSupport.h"
#include "widgets/WidgetDriving.h"

#include "gui/AlertsWindow.h"
#include "gui/ChannelsWindow.h"
#include "gui/HelpMarker.h"
#include "gui/MailWindow.h"
#include "gui/TimesWindow.h"

#include <QTabWidget>

using namespace tradevane;

namespace {

using Screenshots = ProgramTest;

// Shows `window`, saves it as `name`, then once more after each help label in `helps` is clicked.
void shootWithHelp(
    QWidget& window, const QString& folder, const QString& name, std::initializer_list<const char*> helps)
{
    showForScreenshot(&window);
    saveScreenshot(&window, folder, name);
    for (const char* label : helps) {
        click(window.findChild<ClickLabel*>(QString::fromLatin1(label)));
        saveScreenshot(&window, folder, name + u"-help-"_qs + QString::fromLatin1(label));
    }
}

// Every pane and help panel of the settings windows draws something; scripts/screenshot-settings.sh
// keeps the pictures for a person to look at.
TEST_F(Screenshots, SettingsWindowsPanesAndHelpPanels)
{
    const QString shots = screenshotFolder(m_folder.path());
    for (const char* chart : {"chartMA.bmp", "chartHHLL.bmp", "chartROC.bmp", "chartStoch.bmp"})
        copyResource(QString::fromLatin1(chart));
    const StockIndex ibm = StockIndex::fromNumber(3);
    m_app.settings.alert(ibm).symbol = u"IBM"_qs;
    AlertsWindow alerts(m_app.settings, ibm);
    showForScreenshot(&alerts);
    auto* tabs = alerts.findChild<QTabWidget*>(u"SSTab1"_qs);
    const char* panes[] = {"alerts-1-stock", "alerts-2-moving-average", "alerts-3-momentum",
        "alerts-4-price-volume", "alerts-5-stochastics"};
    for (int i = 0; i < 5; ++i) {
        tabs->setCurrentIndex(i);
        saveScreenshot(&alerts, shots, QString::fromLatin1(panes[i]));
    }
    const std::pair<int, const char*> helps[] = {
        {0, "lblAboutAlerts"}, {1, "lblMAHelp"}, {2, "lblHHLLHelp"}, {2, "lblROCHelp"}, {4, "lblStochHelp"}};
    for (const auto& [pane, label] : helps) {
        tabs->setCurrentIndex(pane);
        click(alerts.findChild<ClickLabel*>(QString::fromLatin1(label)));
        saveScreenshot(&alerts, shots, u"alerts-help-"_qs + QString::fromLatin1(label));
    }
    alerts.hide();

    writeFile(u"timeset.dat"_qs, fromHex("09 00 32 00 09 00 32 00 10 00 01 00 05 00"));
    TimesWindow time(m_app.settings);
    shootWithHelp(
        time, shots, u"time"_qs, {"lblStartTimeHelp", "lblStopTimeHelp", "lblDLFreqHelp", "lblHolidaysHelp"});
    time.hide();

    MailSettings& m = m_app.settings.mail;
    m.server = u"smtp.example.com:587"_qs;
    m.mailFrom = u"trader@example.com"_qs;
    m.sendTo = u"alerts@example.com, desk@example.org"_qs;
    m.subject = u"Message from Tradevane"_qs;
    m.usePassword = true;
    m.userName = u"trader"_qs;
    m.password = u"app-password"_qs;
    MailWindow mail(m_app.settings, m_app.smtp, m_app.log, m_app.keyring, m_app.secrets, 1);
    shootWithHelp(mail, shots, u"mail"_qs, {"lblServerHelp", "lblPasswordHelp"});
    mail.hide();
    m.passwordInKeyring = true;
    MailWindow mailInKeyring(m_app.settings, m_app.smtp, m_app.log, m_app.keyring, m_app.secrets, 1);
    shootWithHelp(mailInKeyring, shots, u"mail-keyring"_qs, {});
    mailInKeyring.hide();

    ChannelSettings& c = m_app.settings.channels;
    c.ntfy = {true, u"https://ntfy.sh"_qs, u"tradevane-k7f2q9x4"_qs, {}};
    c.telegram = {true, u"123456789:AAF-example"_qs, u"123456789"_qs};
    c.webhook = {false, u"https://hooks.example.com/services/T1/B2"_qs, WebhookBody::Json,
        u"Authorization"_qs, u"Bearer abc"_qs};
    ChannelsWindow channels(m_app.settings, m_app.channels, m_app.log, m_app.keyring, m_app.secrets, 1);
    shootWithHelp(
        channels, shots, u"channels"_qs, {"lblNtfyTopicHelp", "lblTelegramChatHelp", "lblTokensHelp"});
    channels.hide();

    // The same window once the desktop keyring has taken the tokens.
    c.tokenStore = TokenStore::Keyring;
    ChannelsWindow inKeyring(m_app.settings, m_app.channels, m_app.log, m_app.keyring, m_app.secrets, 1);
    shootWithHelp(inKeyring, shots, u"channels-keyring"_qs, {"lblTokensHelp"});
}

} // namespace
