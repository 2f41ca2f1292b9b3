#pragma once

#include "files/Status.h"

#include <QString>

#include <functional>

// A PDF of the issue document, made by LibreOffice run headless with a
// private profile (so that an open LibreOffice window does not take the job
// over). The PDF goes beside the document, under its name with ".pdf", and
// replaces an earlier one atomically: a failed conversion leaves it whole.
namespace PdfExport {

inline constexpr int kDefaultTimeLimitMs = 180000;

// The LibreOffice program on PATH (soffice or libreoffice), or empty.
QString findOffice();

// Why the PDF command cannot be used on this machine, or empty when it can.
QString unavailableReason(const QString &office);

// The issue document last built beside the ads file at adsPath: the target of
// the newest record of the issue archive.
Result<QString> lastIssueDocument(const QString &adsPath);

// The PDF's path for a document: its folder and base name, ".pdf".
QString pdfPathFor(const QString &document);

struct Options
{
    QString office = findOffice();
    int timeLimitMs = kDefaultTimeLimitMs;
    // Called every few tenths of a second while LibreOffice runs, for a
    // progress indication; returning false stops the conversion.
    std::function<bool()> whileWaiting;
};

// Converts document into pdfPathFor(document). Returns the PDF's path.
Result<QString> convert(const QString &document, const Options &options = {});

} // namespace PdfExport
