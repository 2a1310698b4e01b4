#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tradevane {

class ActivityLog;

// "Activity Log": shows activlog.dat as it stands and can erase it. Opened without being modal
// from the main window's log button.
class LogWindow final : public QWidget
{
    Q_OBJECT

public:
    // `logNumber` gives the stock number the log's own notes name (the main window's chosen stock).
    LogWindow(ActivityLog& log, std::function<int()> logNumber, QWidget* parent = nullptr);

    // Reads the whole log file into the box; a missing or unreadable file shows an empty box.
    void updateLogForm();
    const QString& logViewText() const { return m_logViewText; }

    void onEraseLogClicked();
    void onCloseClicked();

    QPlainTextEdit* txtLog = nullptr;
    QPushButton* cmdEraseLog = nullptr;
    QLabel* lblEraseLog = nullptr;
    QPushButton* cmdClose = nullptr;

signals:
    // Its Close button was pressed: the main window no longer refreshes it.
    void closedByButton();

protected:
    bool event(QEvent* event) override;

private:
    ActivityLog& m_log;
    std::function<int()> m_logNumber;
    QString m_logViewText;
};

} // namespace tradevane
