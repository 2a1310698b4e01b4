#pragma once

#include "TestSupport.h"
#include "widgets/WidgetDriving.h"

#include "gui/HelpMarker.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

using namespace tradevane;

// A settings window driven through its controls as a user would. `kind` is the word its save
// question uses ("Closing Mail Settings", "Save Mail Settings ?").
template<typename Window> class SettingsWindowFixture : public ProgramTest
{
protected:
    explicit SettingsWindowFixture(const QString& kind)
        : m_kind(kind)
    { }

    void TearDown() override
    {
        m_window.reset();
        ProgramTest::TearDown();
    }

    // A fresh window as the main window makes it.
    virtual std::unique_ptr<Window> create() = 0;

    // Opens a fresh window; the boxes shown while it loaded.
    QList<MsgBoxRequest> open()
    {
        m_boxes.clear();
        m_window = create();
        showActive(m_window.get());
        return m_boxes.shown();
    }

    template<typename T = QWidget> T* w(const char* name)
    {
        return find<T>(m_window.get(), QString::fromLatin1(name));
    }
    QLineEdit* box(const char* name) { return w<QLineEdit>(name); }
    void type(const char* name, const QString& text) { typeInto(box(name), text); }
    void tick(const char* name, bool on)
    {
        if (w<QCheckBox>(name)->isChecked() != on)
            click(w<QCheckBox>(name));
    }

    // Save, with the save question answered `answer`; the boxes shown after the question. A window
    // whose save waits for the desktop keyring (or for finding there is none) is waited for.
    QList<MsgBoxRequest> save(MsgResult answer = MsgResult::Yes)
    {
        m_boxes.clear();
        m_boxes.queueAnswer(answer);
        click(w<QPushButton>("cmdSaveSettings"));
        if constexpr (requires(const Window& window) { window.saving(); }) {
            EXPECT_TRUE(runUntil([this] { return !m_window->saving(); }, 20000));
        }
        QList<MsgBoxRequest> shown = m_boxes.shown();
        EXPECT_FALSE(shown.isEmpty());
        if (!shown.isEmpty()) {
            EXPECT_EQ(shown[0].title, u"Closing "_qs + m_kind + u" Settings"_qs);
            EXPECT_EQ(shown[0].text, u"Save "_qs + m_kind + u" Settings ?"_qs);
            EXPECT_EQ(shown[0].buttons, MsgButtons::YesNoCancel);
            EXPECT_EQ(shown[0].icon, MsgIcon::Question);
            shown.removeFirst();
        }
        return shown;
    }

    struct Help
    {
        const char* label;
        const char* shape;
        QString text;
    };
    // Clicks every help label in turn: the box `info` shows its text and only its shape is orange.
    void expectHelpLabels(const char* info, const QList<Help>& helps)
    {
        const QColor windowColour = QApplication::palette().color(QPalette::Base);
        for (const Help& help : helps) {
            click(w<ClickLabel>(help.label));
            EXPECT_EQ(
                w<QPlainTextEdit>(info)->toPlainText(), QString(help.text).replace(u"\r\n"_qs, u"\n"_qs));
            for (const Help& other : helps)
                EXPECT_EQ(w<MarkerShape>(other.shape)->fillColor(),
                    other.shape == help.shape ? kMarkerOrange : windowColour)
                    << help.label << " " << other.shape;
        }
    }

    std::unique_ptr<Window> m_window;

private:
    QString m_kind;
};
