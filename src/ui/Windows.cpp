#include "ui/Windows.h"

#include "ui/FindWindow.h"
#include "ui/MessageBox.h"
#include "ui/Pictures.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"
#include "ui/Unit7.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

void SetUpApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("Вермата"));
    app.setApplicationVersion(QStringLiteral("3.0"));
    app.setWindowIcon(Pictures::programIconSet());
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Windows")))
        app.setStyle(style);
    // Stand-ins for the fonts the forms were designed with, where they are missing.
    QFont::insertSubstitutions(QStringLiteral("Courier New Cyr"),
                               {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                                QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    app.setQuitOnLastWindowClosed(false);
}

void CreateWindows()
{
    Workspace &workspace = applicationWorkspace();
    workspace.reset();
    Form1 = new TForm1(workspace);
    AboutBox = new TAboutBox(workspace);
    AboutBox1 = new TAboutBox1(workspace);
    OKBottomDlg = new TOKBottomDlg(workspace);
    Form5 = new TForm5(workspace);
    AboutBox2 = new TAboutBox2(workspace);
    AboutBox3 = new TAboutBox3;
    FindWindow1 = new FindWindow(workspace);
}

void DestroyWindows()
{
    delete FindWindow1;
    FindWindow1 = nullptr;
    delete AboutBox3;
    AboutBox3 = nullptr;
    delete AboutBox2;
    AboutBox2 = nullptr;
    delete Form5;
    Form5 = nullptr;
    delete OKBottomDlg;
    OKBottomDlg = nullptr;
    delete AboutBox1;
    AboutBox1 = nullptr;
    delete AboutBox;
    AboutBox = nullptr;
    delete Form1;
    Form1 = nullptr;
}
