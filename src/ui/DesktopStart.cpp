#include "ui/DesktopStart.h"

#include "build/DesktopFolder.h"
#include "build/Workspace.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

void EnterDesktopFolder()
{
    // The sample is installed beside the program: VERMATA_DATA_FROM_BINDIR
    // leads from the executable's folder to the program's data folder.
    const QString sample =
        QDir::cleanPath(QCoreApplication::applicationDirPath() +
                        QStringLiteral("/" VERMATA_DATA_FROM_BINDIR "/") + Workspace::kDefaultTemplatePath);
    const DesktopFolder::Setup setup =
        DesktopFolder::prepare(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), sample);
    QList<Status> failures = setup.failures;
    if (!setup.folder.isEmpty()) {
        if (Status entered = DesktopFolder::enter(setup.folder); !entered)
            failures.append(entered);
    }
    if (const QString notice = DesktopFolder::notice(setup); !notice.isEmpty())
        MessageBox::showInformation(nullptr, notice);
    for (const Status &failure : failures)
        MessageBox::showError(nullptr, failure.message());
}
