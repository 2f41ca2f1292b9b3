#pragma once

#include "files/Status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <ctime>

// Reading a document package into memory and writing one back, with limits that
// keep a hostile template from exhausting memory or time.
namespace ZipArchive {

struct Limits
{
    qint64 maxEntries = 10000;
    qint64 maxEntrySize = qint64(256) << 20;
    qint64 maxTotalSize = qint64(512) << 20;
};

struct Entry
{
    QByteArray name; // as stored, forward slashes
    QByteArray data; // uncompressed
    time_t mtime = 0;
};

// Inflates every entry of archive. Sizes are checked against limits before and
// while inflating; duplicate names, encrypted entries and CRC errors are refused.
// templatePath only names the file in failure messages.
Result<QList<Entry>> read(const QByteArray &archive, const QString &templatePath, const Limits &limits = {});

struct OutputEntry
{
    QByteArray name;
    QList<QByteArrayView> pieces; // concatenated to form the entry's content
    bool stored = false;          // STORED instead of deflated
    int level = 6;                // deflate level
    time_t mtime = 0;             // 0: now
};

// The memory entries take, reserved or used.
qsizetype heldBytes(const QList<Entry> &entries);

// Writes entries in the given order to a new archive in memory: deflated or
// stored, no data descriptors, no zip64 unless the sizes need it.
Result<QByteArray> write(const QList<OutputEntry> &entries);

// The entries of a template package rewritten as a document: entry `first`
// leads, then the others in their order, less those marked in `dropped` (which
// may be empty). Entry `edited` takes `editedContent` in place of its data and
// is deflated at level 1 once large, which keeps a big issue quick to save at
// little cost in size on markup this repetitive.
QList<OutputEntry> rewrittenPackage(const QList<Entry> &entries, qsizetype first, const QList<bool> &dropped,
                                    qsizetype edited, const QList<QByteArrayView> &editedContent);

} // namespace ZipArchive
