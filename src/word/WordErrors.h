#pragma once

#include "data/FileErrors.h"
#include "data/Status.h"

#include <QString>

// The failures of the document engine. Every message is in Russian, names the
// file it is about and says what the operator can do about it.
namespace WordErrors {

enum Code {
    TemplateNotFound = FileErrors::FileNotFound,
    AccessDenied = FileErrors::AccessDenied,
    LegacyWordFormat = 1001, // binary Word 97-2003
    PasswordProtected,
    EmptyFile,
    DamagedArchive,
    UnsupportedKind,   // neither OOXML text, OpenDocument text nor RTF
    TooLarge,          // the template exceeds the engine's size or entry limits
    DuplicateEntry,
    BrokenXml,
    BrokenDocument,    // parses, but lacks the parts a text document must have
    NoOpenDocument,
    NotAFile,
};

// A template that cannot be used. detail is appended where the code needs one
// (the archive error, the part name, the XML position).
Status templateFailure(Code code, const QString &path, const QString &detail = {});

// Wraps a failure of the file layer while saving as the issue document.
Status saveFailure(const Status &fileFailure, const QString &path);

Status noOpenDocument();

} // namespace WordErrors
