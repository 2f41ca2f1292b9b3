#pragma once

#include "files/Status.h"

#include <system_error>

// The operator-facing messages for file failures, keyed by the classic DOS/Windows
// error codes that the program has always shown:
//   2 "File not found", 3 "Invalid filename", 4 "Too many open files",
//   5 "File access denied", 100 "Read beyond end of file", 101 "Disk full",
//   106 "Invalid numeric input", anything else "I/O error <code>".
// These codes form their own error domain (fileErrorCategory()); an errno value
// that has no classic code keeps its own domain, std::generic_category().
namespace FileErrors {

enum Code
{
    FileNotFound = 2,
    InvalidFilename = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    ReadBeyondEnd = 100,
    DiskFull = 101,
    InvalidNumericInput = 106,
};

const std::error_category &fileErrorCategory();
inline std::error_code make_error_code(Code code)
{
    return {int(code), fileErrorCategory()};
}

QString messageForCode(int code);
Status failure(Code code);

// Maps an errno value from an operation on path to the failure shown for it.
// ENOENT becomes "Invalid filename" when the folder of path does not exist.
// An errno without a classic code is shown as "I/O error <errno>" and keeps
// its errno in the generic domain.
Status fromErrno(int errnoValue, const QString &path);

} // namespace FileErrors

template <> struct std::is_error_code_enum<FileErrors::Code> : std::true_type
{
};
