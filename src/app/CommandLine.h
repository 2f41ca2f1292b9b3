#pragma once

#include <QStringList>

class QTextStream;

// Building an issue without a window, for scripts and scheduled jobs:
//   vermata --build TARGET [--ads PATH] [--rubrics PATH] [--template PATH]
//   vermata --preview [--ads PATH] [--rubrics PATH] [--template PATH]
//   vermata --pdf [--ads PATH], or --pdf beside --build: a PDF of the issue
//   document last built (through LibreOffice)
//   vermata --help
// It works in the current folder with the editor's default paths, applies the
// same checks, writes the same archive record and shows the same messages
// (on standard error) as "&Создать".
namespace CommandLine {

enum ExitStatus
{
    Success = 0,
    Failed = 1, // nothing was charged to the ads
    UsageError = 2,
    AdsFileNotSaved = 3, // the issue was built and recorded, the ads file not rewritten
    PdfNotSaved = 4,     // --build --pdf: the issue was built and charged, its PDF not made
};

// True when arguments (without the program name) ask for the command line
// rather than the window.
bool wanted(const QStringList &arguments);

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace CommandLine
