#pragma once

#include "files/FileErrors.h"
#include "files/Status.h"

#include <system_error>

#include <QString>

// The failures of the document engine. Every message is in Russian, names the
// file it is about and says what the operator can do about it.
namespace WordErrors {

// The engine's own error domain (wordErrorCategory()): these numbers never
// meet the file codes or errno values in a comparison.
enum Code
{
    TemplateNotFound = 1,
    AccessDenied,
    LegacyWordFormat, // binary Word 97-2003
    PasswordProtected,
    EmptyFile,
    DamagedArchive,
    UnsupportedKind, // neither OOXML text, OpenDocument text nor RTF
    TooLarge,        // the template exceeds the engine's size or entry limits
    DuplicateEntry,
    BrokenXml,
    BrokenDocument, // parses, but lacks the parts a text document must have
    NoOpenDocument,
    NotAFile,
};

const std::error_category &wordErrorCategory();
inline std::error_code make_error_code(Code code)
{
    return {int(code), wordErrorCategory()};
}

// A template that cannot be used. detail is appended where the code needs one
// (the archive error, the part name, the XML position).
Status templateFailure(Code code, const QString &path, const QString &detail = {});

// Wraps a failure of the file layer while saving as the issue document; the
// file layer's code (a file code or an errno) is kept.
Status saveFailure(const Status &fileFailure, const QString &path);

Status noOpenDocument();

} // namespace WordErrors

template <> struct std::is_error_code_enum<WordErrors::Code> : std::true_type
{
};
