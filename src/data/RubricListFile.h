#pragma once

#include "files/Status.h"

#include <QString>
#include <QStringList>

// The rubric list file: one rubric name per line, in print order. Names are
// whole lines, blanks and case included; empty and repeated names may be read.
// Each rubric also has a bucket file, where a build gathers its ads.
namespace RubricListFile {

Result<QStringList> read(const QString &path);

// The rubric's bucket file: its name followed by ".txt", in the working folder.
QString bucketPath(const QString &rubric);

// Whether name may become a new rubric. Refused, with the reason: an empty name
// (an empty last line reads back as no rubric at all); a name an ad could not
// carry in its rubric field (AdFields: "|", a line break, a character
// Windows-1251 lacks); and a name whose bucket file the working folder cannot
// hold ("/" or NUL in it, or longer than a file name may be).
Status checkNewName(const QString &name);

// Rewrites the file atomically as its existing lines, each ended by CR LF,
// followed by name with no line end. The file must exist; it is never created.
// A name checkNewName refuses is refused before the file is touched.
Status AppendRubric(const QString &path, const QString &name);

} // namespace RubricListFile
