#pragma once

#include "word/EditableDocument.h"
#include "word/ZipArchive.h"

// The format readers behind loadTemplate(). templatePath only names the file
// in failure messages.
Result<DocumentPtr> loadDocx(QList<ZipArchive::Entry> entries, const QString &templatePath);
Result<DocumentPtr> loadOdt(QList<ZipArchive::Entry> entries, const QString &templatePath);
Result<DocumentPtr> loadRtf(QByteArray bytes, const QString &templatePath);
