#include "gui/FormControls.h"

#include <QLabel>

namespace tradevane {

QLabel* caption(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace tradevane
