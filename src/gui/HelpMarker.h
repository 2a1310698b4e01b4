#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

class QLineEdit;

namespace tradevane {

// The settings windows' help markers: a label that acts on a click ("?", "(?)", "Close") lying
// on a shape whose fill colour shows which help text is open.

// Light orange: the fill of the marker whose help is shown, and of the panels' Close labels.
inline const QColor kMarkerOrange {255, 192, 128};
// Light grey: the background of an entry box that its check box has switched off.
inline const QColor kDisabledEntryGrey {224, 224, 224};

// A label that can be clicked, focused with Tab and pressed with Space or Enter. Assistive
// tools see it as a push button with a Press action.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A filled circle or rectangle behind a help label.
class MarkerShape : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor)
public:
    enum class Form { Circle, Rectangle };

    explicit MarkerShape(Form form, QWidget* parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor& colour);
    // The system window colour: the fill of a marker whose help is not shown.
    void clearFill();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Form m_form;
    QColor m_fill;
};

// A "?" label centred on its marker shape, both children of `parent`; `size` is the shape's size.
struct HelpMarker
{
    MarkerShape* shape;
    ClickLabel* label;
};
HelpMarker makeHelpMarker(const QString& labelName, const QString& shapeName, const QString& accessibleName,
    const QString& caption, MarkerShape::Form form, QSize size, QWidget* parent);

// The orange rounded "Close" label of a help panel.
ClickLabel* makeCloseLabel(const QString& name, const QString& accessibleName, QWidget* parent);

// Sets an entry box editable on the system window colour, or read-only on light grey.
void setEntryEditable(QLineEdit* box, bool editable);

} // namespace tradevane
