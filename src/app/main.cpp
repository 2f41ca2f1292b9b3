#include "app/CommandLine.h"
#include "ui/DesktopStart.h"
#include "ui/GuardedApplication.h"
#include "ui/Unit1.h"
#include "ui/Windows.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (CommandLine::wanted(arguments)) {
        // No window and no display: a core application only.
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return CommandLine::run(app.arguments().mid(1), out, err);
    }

    GuardedApplication app(argc, argv);
    SetUpApplication(app);
    if (app.arguments().contains(kDesktopStartOption))
        EnterDesktopFolder();
    CreateWindows();
    Form1->show();
    const int code = app.exec();
    DestroyWindows();
    return code;
}
