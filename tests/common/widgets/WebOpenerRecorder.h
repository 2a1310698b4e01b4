#pragma once

#include "gui/WebOpener.h"

#include <QList>
#include <QUrl>

namespace tradevane {

// Stands in for the browser while it lives: records every address instead of opening it and
// answers with `result`.
class WebOpenerRecorder
{
public:
    WebOpenerRecorder()
    {
        setWebOpener([this](const QUrl& address) {
            m_opened.append(address);
            return m_result;
        });
    }
    ~WebOpenerRecorder() { setWebOpener({}); }
    WebOpenerRecorder(const WebOpenerRecorder&) = delete;
    WebOpenerRecorder& operator=(const WebOpenerRecorder&) = delete;

    void setResult(bool result) { m_result = result; }
    const QList<QUrl>& opened() const { return m_opened; }

private:
    QList<QUrl> m_opened;
    bool m_result = true;
};

} // namespace tradevane
