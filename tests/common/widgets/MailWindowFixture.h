#pragma once

#include "widgets/SettingsWindowFixture.h"

#include "engine/settings/MailSettingsFile.h"
#include "gui/MailWindow.h"

using namespace tradevane;

// The mail settings window as the main window makes it.
class MailWindowFixture : public SettingsWindowFixture<MailWindow>
{
protected:
    MailWindowFixture()
        : SettingsWindowFixture(u"Mail"_qs)
    { }

    std::unique_ptr<MailWindow> create() override
    {
        return std::make_unique<MailWindow>(
            m_app.settings, m_app.smtp, m_app.log, m_app.keyring, m_app.secrets, 1);
    }

    // Loads mailset.dat as start-up does and opens the window; the boxes shown while loading.
    QList<MsgBoxRequest> load()
    {
        EXPECT_TRUE(readMailSettings(m_app.settings.mail).ok());
        return open();
    }

    void fillRequired()
    {
        type("txtServer", u"smtp.example.com"_qs);
        type("txtMailFrom", u"me@example.com"_qs);
        type("txtSendTo", u"you@example.com"_qs);
        type("txtMessageSubject", u"Alert"_qs);
    }
};
