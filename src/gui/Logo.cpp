#include "gui/Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace tradevane {

namespace {

// The drawing in units of the logo's side, shared by the painted and the SVG logo.
constexpr double kCornerRadius = 0.18;
const QColor kSkyTop(40, 80, 140);
const QColor kSkyBottom(12, 30, 60);
// A price line that dips and breaks out upwards.
constexpr std::array<QPointF, 5> kPriceLine {
    {{0.12, 0.70}, {0.32, 0.52}, {0.48, 0.64}, {0.66, 0.36}, {0.86, 0.22}}};
const QColor kLineColour(80, 235, 100);
constexpr double kLineWidth = 0.07;
// The alert: a lit dot where the line breaks out.
constexpr QPointF kDotCentre(0.86, 0.22);
constexpr double kDotRadius = 0.08;
const QColor kDotColour(255, 200, 40);
const QColor kDotRim(255, 255, 255);
constexpr double kDotRimWidth = 0.025;

} // namespace

QImage programLogoImage(int size)
{
    QImage logo(size, size, QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size, size);

    QLinearGradient sky(0, 0, 0, 1);
    sky.setColorAt(0, kSkyTop);
    sky.setColorAt(1, kSkyBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0, 0, 1, 1), kCornerRadius, kCornerRadius);

    QPainterPath line;
    line.moveTo(kPriceLine.front());
    for (size_t i = 1; i < kPriceLine.size(); ++i)
        line.lineTo(kPriceLine.at(i));
    p.setPen(QPen(kLineColour, kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);

    p.setPen(QPen(kDotRim, kDotRimWidth));
    p.setBrush(kDotColour);
    p.drawEllipse(kDotCentre, kDotRadius, kDotRadius);
    return logo;
}

QPixmap programLogo(int size)
{
    return QPixmap::fromImage(programLogoImage(size));
}

QString programLogoSvg()
{
    // Drawn on a 256-unit square.
    constexpr double kSide = 256;
    const auto n = [](double v) { return QString::number(v * kSide, 'g', 6); };
    QString points;
    for (const QPointF& point : kPriceLine)
        points += n(point.x()) + u',' + n(point.y()) + u' ';
    return uR"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="%1"/>
      <stop offset="1" stop-color="%2"/>
    </linearGradient>
  </defs>
  <rect width="256" height="256" rx="%3" fill="url(#sky)"/>
  <polyline points="%4" fill="none" stroke="%5" stroke-width="%6" stroke-linecap="round" stroke-linejoin="round"/>
  <circle cx="%7" cy="%8" r="%9" fill="%10" stroke="%11" stroke-width="%12"/>
</svg>
)svg"_qs.arg(kSkyTop.name(), kSkyBottom.name(), n(kCornerRadius), points.trimmed(), kLineColour.name(),
            n(kLineWidth), n(kDotCentre.x()), n(kDotCentre.y()), n(kDotRadius))
        .arg(kDotColour.name(), kDotRim.name(), n(kDotRimWidth));
}

} // namespace tradevane
