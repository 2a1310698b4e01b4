#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// "Activity Log": shows activlog.dat as it stands and can erase it. Opened without being modal
// from the main window's log button.
class frmLog final : public QWidget
{
    Q_OBJECT

public:
    explicit frmLog(QWidget* parent = nullptr);

    // Reads the whole log file into the box; a missing or unreadable file shows an empty box.
    void UpdateLogForm();
    const QString& LogViewText() const { return m_logViewText; }

    void cmdEraseLog_Click();
    void cmdClose_Click();

    QPlainTextEdit* txtLog = nullptr;
    QPushButton* cmdEraseLog = nullptr;
    QLabel* lblEraseLog = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    bool event(QEvent* event) override;

private:
    QString m_logViewText;
};
