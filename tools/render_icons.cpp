// Draws the program's icon in the sizes of the desktop's icon theme, as
// <folder>/hicolor/<N>x<N>/apps/vermata.png, for installation. Runs during the
// build, without a display.

#include "ui/Pictures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_icons <folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = root.filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) ||
            !Pictures::programIcon(size).save(QDir(folder).filePath(QStringLiteral("vermata.png")))) {
            std::fprintf(stderr, "render_icons: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
