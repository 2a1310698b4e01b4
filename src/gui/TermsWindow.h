#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class QTextEdit;

// The licence agreement, shown at start-up until the user has accepted it once. Proceed records
// the acceptance in frs.dat; Cancel (or closing the window) ends the program.
class frmTerms final : public QDialog
{
    Q_OBJECT

public:
    explicit frmTerms(QWidget* parent = nullptr);

    void cmdProceed_Click();
    void cmdCancel_Click();

    QLabel* lblHeading = nullptr;
    QTextEdit* rtbTerms = nullptr;
    QRadioButton* optAgreeToTerms = nullptr;
    QRadioButton* optNotAgreeTerms = nullptr;
    QPushButton* cmdProceed = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* picLogo = nullptr;

public slots:
    // Escape and the title-bar button refuse the terms, as Cancel does.
    void reject() override;

private:
    void Form_Load();
};
