#include "widgets/OnNextModal.h"

#include <QApplication>
#include <QDeadlineTimer>

OnNextModal::OnNextModal(std::function<void(QWidget*)> action, int timeoutMs)
    : m_timer(std::make_unique<QTimer>())
{
    m_timer->setInterval(5);
    QObject::connect(m_timer.get(), &QTimer::timeout,
        [this, action = std::move(action), deadline = QDeadlineTimer(timeoutMs)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal && !deadline.hasExpired())
                return;
            m_timer->stop();
            m_done = true;
            action(modal);
        });
    m_timer->start();
}

OnNextModal::~OnNextModal() = default;
