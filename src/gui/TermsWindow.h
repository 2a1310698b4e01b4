#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace tradevane {

// The licence agreement, shown at start-up until the user has accepted it once. Proceed records
// the acceptance in frs.dat; Cancel (or closing the window) ends the program.
class TermsWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit TermsWindow(QWidget* parent = nullptr);

    void onProceedClicked();
    void onCancelClicked();

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
    void loadValues();
};

} // namespace tradevane
