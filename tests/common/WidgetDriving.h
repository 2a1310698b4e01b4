#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// Driving real widgets as a user would: find them by their design name, type, click.

// The child named `name`; the test fails at once when there is none.
template<typename T> T* Find(const QWidget* root, const QString& name)
{
    T* child = root->findChild<T*>(name);
    if (!child)
        ADD_FAILURE() << "no widget named " << name.toStdString();
    return child;
}

// Replaces the text of an entry box by typing: select all, then the keys.
inline void TypeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

inline void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// Shows `window` and waits until it is active, so that focus changes are delivered.
inline void ShowActive(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window, 2000))
        ADD_FAILURE() << "window did not become active";
}
