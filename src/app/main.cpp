#include "ui/Unit1.h"
#include "ui/Windows.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    CreateWindows();
    Form1->show();
    const int code = app.exec();
    DestroyWindows();
    return code;
}
