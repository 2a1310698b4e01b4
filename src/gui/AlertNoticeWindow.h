#pragma once

#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace tradevane {

// The orange "ALERT" pop-up of an alert; it closes itself six seconds after it was last shown.
class AlertNoticeWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kShowMs = 6000;

    // Shows the one notice kept in `notice` without making it modal; when it is already up it
    // comes forward and its six seconds start again. The notice deletes itself when it closes.
    static AlertNoticeWindow* showNotice(QPointer<AlertNoticeWindow>& notice);

    QLabel* label1;
    QLabel* label2;
    QFrame* shape1;
    QTimer* alertTimer;

protected:
    void showEvent(QShowEvent* event) override;

private:
    AlertNoticeWindow();
    void onAlertTimer();
};

} // namespace tradevane
