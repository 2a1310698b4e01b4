#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace tradevane {

// The program's logo (a price line with an alert mark), drawn at `size` pixels square for the
// start-up and terms windows, the desktop icon and the tray.
QImage programLogoImage(int size);
QPixmap programLogo(int size);

// The same drawing as a scalable SVG document (the desktop icon).
QString programLogoSvg();

} // namespace tradevane
