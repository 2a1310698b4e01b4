// Writes the desktop icons into a folder: tradevane.svg and tradevane-<size>.png for each size of
// the hicolor theme the package installs.
#include "gui/Logo.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

using namespace tradevane;

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: tradevane-icons OUTPUT-FOLDER\n", stderr);
        return 64;
    }
    const QDir out(args.at(1));
    if (!out.mkpath(u"."_qs)) {
        std::fprintf(stderr, "tradevane-icons: cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    QFile svg(out.filePath(u"tradevane.svg"_qs));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(programLogoSvg().toUtf8()) < 0) {
        std::fprintf(stderr, "tradevane-icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString name = out.filePath(u"tradevane-%1.png"_qs.arg(size));
        if (!programLogoImage(size).save(name, "PNG")) {
            std::fprintf(stderr, "tradevane-icons: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
