#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace tradevane {

// A caption label of a settings window, named by its design name.
QLabel* caption(const QString& text, const QString& name, QWidget* parent);

// An entry box, named by its design name and, for screen readers, by what it holds.
QLineEdit* entryBox(const QString& name, const QString& accessible, QWidget* parent);

// A control that shows a caption (button, check box, option button), named by its design name
// and, for screen readers, by its caption or by `accessible` where the caption alone says too
// little.
template<class Control>
Control* named(const QString& caption, const QString& name, QWidget* parent, const QString& accessible = {})
{
    auto* control = new Control(caption, parent);
    control->setObjectName(name);
    control->setAccessibleName(accessible.isEmpty() ? caption : accessible);
    return control;
}

} // namespace tradevane
