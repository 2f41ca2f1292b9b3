#include "ui/GuardedApplication.h"
#include "ui/Unit1.h"
#include "ui/Windows.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    SetUpApplication(app);
    CreateWindows();
    Form1->show();
    const int code = app.exec();
    DestroyWindows();
    return code;
}
