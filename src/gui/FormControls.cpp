#include "gui/FormControls.h"

#include <QLabel>
#include <QLineEdit>

namespace tradevane {

QLabel* caption(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* entryBox(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    return box;
}

} // namespace tradevane
