#include "info/LogoGui.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap ProgramLogo(int size)
{
    QPixmap logo(size, size);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    QLinearGradient sky(0, 0, 0, s);
    sky.setColorAt(0, QColor(40, 80, 140));
    sky.setColorAt(1, QColor(12, 30, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);

    // A price line that dips and breaks out upwards.
    QPainterPath line;
    line.moveTo(s * 0.12, s * 0.70);
    line.lineTo(s * 0.32, s * 0.52);
    line.lineTo(s * 0.48, s * 0.64);
    line.lineTo(s * 0.66, s * 0.36);
    line.lineTo(s * 0.86, s * 0.22);
    p.setPen(QPen(QColor(80, 235, 100), s * 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);

    // The alert: a lit dot where the line breaks out.
    p.setPen(QPen(QColor(255, 255, 255), s * 0.025));
    p.setBrush(QColor(255, 200, 40));
    p.drawEllipse(QPointF(s * 0.86, s * 0.22), s * 0.08, s * 0.08);
    return logo;
}
