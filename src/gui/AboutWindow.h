#pragma once

#include <QDialog>

class ClickLabel;
class QLabel;
class QPushButton;

// The about window: what the program is, its version and a link to its web site. Modal; Ok
// only hides it, so it keeps what it showed until the program ends.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void lblHyperlink_Click();
    void cmdOk_Click();

private:
    void Form_Load();

    QLabel* picLogo;
    QLabel* Picture1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    ClickLabel* lblHyperlink;
    QPushButton* cmdOk;
};

// The main window's About button: shows the one about window modally, loading it the first time.
frmAbout* ShowAboutWindow(QWidget* owner);
