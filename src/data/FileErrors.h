#pragma once

#include "data/Status.h"

// The operator-facing messages for file failures, keyed by the classic DOS/Windows
// error codes that the program has always shown:
//   2 "File not found", 3 "Invalid filename", 4 "Too many open files",
//   5 "File access denied", 100 "Read beyond end of file", 101 "Disk full",
//   106 "Invalid numeric input", anything else "I/O error <code>".
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

QString messageForCode(int code);
Status failure(int code);

// Maps an errno value from an operation on path to the failure shown for it.
// ENOENT becomes "Invalid filename" when the folder of path does not exist.
Status fromErrno(int errnoValue, const QString &path);

} // namespace FileErrors
