#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QWidget>

// A label that can be clicked: the help window's page labels and the about window's web
// address. It is a button underneath, so the keyboard (Space) and assistive tools can press it.
class ClickLabel : public QAbstractButton
{
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

    // Centred unless told otherwise.
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Alignment m_alignment = Qt::AlignCenter;
};

// The small rounded shape behind a help label; its fill colour marks the help item now shown.
class MarkerShape : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor)
public:
    explicit MarkerShape(QWidget* parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
};

// Light orange: the fill of the marker of the help item now shown.
inline const QColor kMarkerOn(255, 192, 128);
