#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace tradevane {

class ClickLabel;

// The about window: what the program is, its version and a link to its web site. Modal; Ok
// only hides it, so it keeps what it showed until the program ends.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    void onHyperlinkClicked();
    void onOkClicked();

private:
    void loadValues();

    QLabel* m_picLogo;
    QLabel* m_picture1;
    QLabel* m_label1;
    QLabel* m_label2;
    QLabel* m_label3;
    ClickLabel* m_lblHyperlink;
    QPushButton* m_cmdOk;
};

// The main window's About button: shows the one about window kept in `window` modal to `owner`,
// loading it the first time, and returns at once (no second event loop).
AboutWindow* showAboutWindow(QPointer<AboutWindow>& window, QWidget* owner);

} // namespace tradevane
