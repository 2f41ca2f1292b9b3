#pragma once

#include "files/Status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The one text-file layer. Files are Windows-1251. Reading splits at LF or CR LF;
// a CR not followed by LF is dropped; the end of the file ends the last line, so a
// final line end adds no empty line; a Ctrl+Z (1Ah) where a line would begin ends
// the file. Every written line ends in CR LF. Relative names resolve against the
// working directory at the moment of the call. Each call opens, uses and closes
// its file.
namespace TextFile {

// The whole content of the file at path.
Result<QByteArray> readBytes(const QString &path);
// The same into data, reusing its storage (for reading many files in a row).
Status readInto(const QString &path, QByteArray &data);

// Calls onLine(QByteArrayView line) for each line of data by the reading rule.
// A line holding a lone CR is handed over with that CR removed.
template <typename F> void forEachLine(QByteArrayView data, F &&onLine);

QList<QByteArray> splitLines(QByteArrayView data);

// The file's lines, decoded.
Result<QStringList> readLines(const QString &path);

// Creates the file empty, or empties it (not atomic: used for work files only).
Status createEmpty(const QString &path);

// Appends bytes to an existing file; fails with "File not found" if it is missing.
Status appendToExisting(const QString &path, QByteArrayView bytes);

// Encodes text into out followed by CR LF; false if a character has no byte.
bool appendLine(QByteArray &out, QStringView text);

// --- implementation of the template ---

namespace detail {
QByteArray withoutLoneCr(QByteArrayView line);
}

template <typename F> void forEachLine(QByteArrayView data, F &&onLine)
{
    const char *p = data.data();
    const char *end = p + data.size();
    while (p < end) {
        if (*p == '\x1a')
            return;
        const char *nl = static_cast<const char *>(memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = nl ? nl : end;
        QByteArrayView line(p, lineEnd - p);
        if (!line.isEmpty() && line.back() == '\r')
            line.chop(1);
        if (line.contains('\r'))
            onLine(QByteArrayView(detail::withoutLoneCr(line)));
        else
            onLine(line);
        p = nl ? nl + 1 : end;
    }
}

} // namespace TextFile
