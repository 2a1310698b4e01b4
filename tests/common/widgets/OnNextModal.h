#pragma once

#include <QTimer>

#include <functional>
#include <memory>

class QWidget;

// Acts on the next modal window (a QDialog in exec()) as soon as it is up: `action` gets it,
// or nullptr when none came within `timeoutMs`. Polls while the caller waits in the window's
// own event loop; stops when destroyed, so it never acts in another test.
class OnNextModal
{
public:
    explicit OnNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);
    ~OnNextModal();
    bool done() const { return m_done; }

private:
    std::unique_ptr<QTimer> m_timer;
    bool m_done = false;
};
