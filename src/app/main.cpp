#include "ui/DesktopStart.h"
#include "ui/GuardedApplication.h"
#include "ui/Unit1.h"
#include "ui/Windows.h"

int main(int argc, char *argv[])
{
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
