#pragma once

#include "files/Status.h"

#include <QList>
#include <QString>
#include <QStringList>

// The working folder of a start from the desktop's menu: «Вермата» in the
// user's documents folder, holding the files a new run looks for under their
// default names. What is missing there is created: the folder, the template
// (a copy of the installed sample), an empty rubric list and an empty ads
// file. Nothing that exists there is ever replaced.
namespace DesktopFolder {

inline const QString kFolderName = QStringLiteral("Вермата");

struct Setup
{
    QString folder;             // absolute; empty when it could not be made
    bool folderCreated = false; // this call made it
    QStringList createdFiles;   // the names of the files this call made
    QList<Status> failures;     // each names the folder or file it is about
};

// Makes documentsFolder/Вермата (documentsFolder too, where missing) and the
// files it lacks. A file that cannot be made does not stop the others.
Setup prepare(const QString &documentsFolder, const QString &sampleTemplate);

// Makes folder the working directory, where relative names resolve from now on.
Status enter(const QString &folder);

// What prepare() made, for the operator; empty when it made nothing, so a
// start that finds everything in place says nothing.
QString notice(const Setup &setup);

} // namespace DesktopFolder
