#pragma once

#include "data/AdList.h"
#include "files/Status.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// The record of every issue built: a folder "Выпуски" beside the ads file
// holds one folder per issue with the ads file as it was before the issue was
// charged to the ads, the rubric list as the build read it, and a manifest.
// Records are written whole or not at all and never overwritten; taking an
// issue back marks its record.
namespace IssueArchive {

inline constexpr const char16_t *kFolderName = u"Выпуски";

// "Выпуски" in the folder of the ads file at adsPath.
QString folderFor(const QString &adsPath);

struct Record
{
    QString folder; // the record's own folder
    QDateTime builtAt;
    QString target; // the issue document, as an absolute path
    QString format; // "docx", "odt", "rtf"
    int adsBefore = 0;
    QList<int> removedRows;          // 1-based rows of the list before expiry
    QMap<QString, int> adsPerRubric; // printed ads per rubric line (a rubric listed twice, twice)
    QStringList rubricOrder;
    std::optional<QDateTime> takenBackAt;
};

// What a new record holds besides its manifest.
struct Content
{
    const AdList &adsBeforeExpiry; // written as the ads file holds them
    QByteArray rubricList;         // the rubric list's bytes as read
};

// Writes a new record into the archive beside adsPath: into a hidden folder
// first, flushed, then renamed into place, so a failure leaves no record.
// Returns the record's folder.
Result<QString> write(const QString &adsPath, const Record &record, const Content &content);

// The records beside adsPath, oldest first. A missing archive has none.
Result<QList<Record>> list(const QString &adsPath);

// The newest record not taken back yet, if any.
Result<std::optional<Record>> lastStanding(const QString &adsPath);

// The ads file's bytes before the recorded issue was charged.
Result<QByteArray> adsBeforeExpiry(const Record &record);

// Marks the record as taken back at the given time (its manifest is rewritten
// atomically).
Status markTakenBack(const Record &record, const QDateTime &when);

// The format of the document at path, by its content: "docx", "odt", "rtf",
// or empty when unknown.
QString documentFormat(const QString &path);

} // namespace IssueArchive
