#pragma once

#include "files/Status.h"

#include <QString>
#include <QStringList>

// The rubric list file: one rubric name per line, in print order. Names are
// whole lines, blanks and case included; empty and repeated names are allowed.
namespace RubricListFile {

Result<QStringList> read(const QString &path);

// Rewrites the file atomically as its existing lines, each ended by CR LF,
// followed by name with no line end. The file must exist; it is never created.
// A name with a line break or a character Windows-1251 lacks is refused before
// the file is touched (it would come back as other names, or not at all).
Status AppendRubric(const QString &path, const QString &name);

} // namespace RubricListFile
