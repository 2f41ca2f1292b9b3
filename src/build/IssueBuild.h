#pragma once

#include "data/AdList.h"
#include "files/Status.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class DocumentAssembler;

// Typesetting one issue: the rubric work files ("buckets", one per rubric,
// named after it with ".txt" in the working folder) are emptied and refilled
// from the ads, and the document is built from the template through the
// engine: for each line of the rubric list its heading, then the lines of its
// bucket, i.e. the ads of that rubric in list order. Charging the issue to the
// ads is Expiry's part and comes after a build that succeeded.
namespace IssueBuild {

// The files the build reads and writes besides the buckets, as the program's
// paths give them (relative paths resolve against the working folder).
struct Files
{
    QString ads;
    QString rubrics;
    QString templateFile;
    QString target; // the issue document
};

// Refuses a target name that is empty or names the template, the ads file or
// the rubric list file.
Status checkTarget(const Files &files);

// What a rubric's bucket is checked for: a build that is to print the rubric,
// or the addition of the rubric to the list.
enum class BucketUse
{
    Printing,
    Adding,
};

// Refuses a rubric whose bucket would be another file of the program (the ads
// file, the rubric list, the template, the target), or not a plain file of
// the working folder (a name holding "/", or a folder, pipe or device of that
// name). The message names the rubric and says what cannot be done with it.
Status checkBucketName(const QString &rubric, const Files &files, BucketUse use = BucketUse::Printing);

// Builds the issue document and saves it under files.target. In order: the
// target and every bucket name (of the list's rubrics and of the ads') are
// checked before any file is touched; the rubric list is read; every listed
// rubric's bucket is emptied; each ad's text is appended to its rubric's
// bucket, which must exist; the template is opened, the headings and the
// buckets' lines appended, the document saved, closed and let go. The first
// failure ends the build with its message, leaving the earlier effects in
// place (buckets as far as they got) and the engine holding nothing.
// When report is given, it receives the rubric list as read and the number
// of ads printed under each of its lines.
struct Report
{
    QByteArray rubricList;
    QList<QPair<QString, int>> printed;
};
Status typeset(const AdList &ads, const Files &files, DocumentAssembler &engine, Report *report = nullptr);

} // namespace IssueBuild
