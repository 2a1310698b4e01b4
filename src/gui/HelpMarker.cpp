#include "gui/HelpMarker.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace tradevane {

namespace {

class ClickLabelAccessible : public QAccessibleWidget
{
public:
    explicit ClickLabelAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Button)
    { }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<ClickLabel*>(widget())->click();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* clickLabelFactory(const QString& key, QObject* object)
{
    if (key == QLatin1String(ClickLabel::staticMetaObject.className()) && object && object->isWidgetType())
        return new ClickLabelAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

ClickLabel::ClickLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    static const bool kFactoryInstalled = [] {
        QAccessible::installFactory(clickLabelFactory);
        return true;
    }();
    Q_UNUSED(kFactoryInstalled);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

MarkerShape::MarkerShape(Form form, QWidget* parent)
    : QWidget(parent)
    , m_form(form)
{
    clearFill();
}

void MarkerShape::setFillColor(const QColor& colour)
{
    m_fill = colour;
    update();
}

void MarkerShape::clearFill()
{
    setFillColor(QApplication::palette().color(QPalette::Base));
}

void MarkerShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(m_fill);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_form == Form::Circle)
        painter.drawEllipse(box);
    else
        painter.drawRect(box);
}

HelpMarker makeHelpMarker(const QString& labelName, const QString& shapeName, const QString& accessibleName,
    const QString& caption, MarkerShape::Form form, QSize size, QWidget* parent)
{
    auto* shape = new MarkerShape(form, parent);
    shape->setObjectName(shapeName);
    shape->setFixedSize(size);
    auto* label = new ClickLabel(caption, shape);
    label->setObjectName(labelName);
    label->setAccessibleName(accessibleName);
    label->setToolTip(accessibleName);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    auto* layout = new QHBoxLayout(shape);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    return {shape, label};
}

ClickLabel* makeCloseLabel(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* label = new ClickLabel(u"Close"_qs, parent);
    label->setObjectName(name);
    label->setAccessibleName(accessibleName);
    label->setAutoFillBackground(false);
    label->setStyleSheet(u"QLabel { background-color: rgb(255, 192, 128); border: 1px solid #806040;"
                         " border-radius: 6px; padding: 1px 8px; }"_qs);
    label->setFixedHeight(label->sizeHint().height());
    return label;
}

void setEntryEditable(QLineEdit* box, bool editable)
{
    box->setReadOnly(!editable);
    QPalette palette = box->palette();
    palette.setColor(
        QPalette::Base, editable ? QApplication::palette().color(QPalette::Base) : kDisabledEntryGrey);
    box->setPalette(palette);
}

} // namespace tradevane
