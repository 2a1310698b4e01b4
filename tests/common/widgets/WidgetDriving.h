#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// Driving real widgets as a user would: find them by their design name, type, click.

// The child named `name`; the test fails at once when there is none.
template<typename T> T* find(const QWidget* root, const QString& name)
{
    T* child = root->findChild<T*>(name);
    if (!child)
        ADD_FAILURE() << "no widget named " << name.toStdString();
    return child;
}

// Replaces the text of an entry box by typing: select all, then the keys.
inline void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

// Clicks a widget; check boxes and option buttons on their indicator, which a wide box does not
// have under its centre.
inline void click(QWidget* widget)
{
    QPoint at = widget->rect().center();
    if (widget->inherits("QCheckBox") || widget->inherits("QRadioButton"))
        at.setX(qMin(at.x(), 8));
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

// Shows `window` and waits until it is active, so that focus changes are delivered.
inline void showActive(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window, 2000))
        ADD_FAILURE() << "window did not become active";
}

// Where screenshots of the windows go when a person wants to look at them: set by
// scripts/screenshot-settings.sh. Ordinary test runs save them in the test's own folder.
inline QString screenshotFolder(const QString& fallback)
{
    const QString chosen = qEnvironmentVariable("TRADEVANE_SCREENSHOT_DIR");
    return chosen.isEmpty() ? fallback : chosen;
}

// Shows `window` on the display and waits until it is drawn.
inline void showForScreenshot(QWidget* window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window, 5000))
        ADD_FAILURE() << "window was not shown";
}

// Saves what the display shows of `window` as <folder>/<name>.png. A picture of one colour (a
// window that drew nothing) fails the test.
inline void saveScreenshot(QWidget* window, const QString& folder, const QString& name)
{
    window->raise();
    QTest::qWait(150);
    const QImage shot = window->screen()->grabWindow(window->winId()).toImage();
    if (!shot.save(folder + u'/' + name + u".png"_qs))
        ADD_FAILURE() << "could not save " << name.toStdString();
    const QRgb first = shot.isNull() ? 0 : shot.pixel(0, 0);
    bool drawn = false;
    for (int y = 0; y < shot.height() && !drawn; y += 3)
        for (int x = 0; x < shot.width() && !drawn; x += 3)
            drawn = shot.pixel(x, y) != first;
    if (!drawn)
        ADD_FAILURE() << name.toStdString() << " is blank";
}
