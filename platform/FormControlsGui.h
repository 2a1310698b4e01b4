#pragma once

#include <QString>

class QLabel;
class QWidget;

// A caption label of a settings window, named by its design name.
QLabel* Caption(const QString& text, const QString& name, QWidget* parent);
