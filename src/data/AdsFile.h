#pragma once

#include "data/AdList.h"
#include "files/Status.h"

#include <QSet>
#include <QString>

// Reads and writes the ads file, and keeps the program from silently replacing
// an ads file it never saw: before the first save replaces a file that this run
// neither loaded whole nor wrote itself, the old content is kept as <name>.bak.
class AdsFile
{
public:
    // Reads the file at path. On failure nothing is returned and nothing is
    // remembered about the path.
    Result<AdList> load(const QString &path);

    // Rewrites the file at path atomically from list.
    Status save(const QString &path, const AdList &list);

    // Writes list atomically to path as the ads file holds it, with no backup.
    static Status writeFile(const QString &path, const AdList &list);

    static QString backupPathFor(const QString &path) { return path + QStringLiteral(".bak"); }

private:
    static QString identity(const QString &path);

    QSet<QString> m_known; // files this run loaded whole or wrote
};
