#pragma once

// Helpers shared by the document engine tests: fixtures, independent readers
// and a raw view of zip archives.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <zlib.h>

namespace WordTest {

inline QString fixture(const QString &name)
{
    return QStringLiteral(VERMATA_FIXTURES "/word/") + name;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Runs one of the reader scripts beside these tests on file; its JSON output.
inline bool runReader(const char *script, const QString &kind, const QString &file, QJsonArray &out,
                      QString &error)
{
    QProcess process;
    process.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(VERMATA_SOURCE_DIR "/tests/word/") + QLatin1StringView(script), kind, file});
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        error = QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    out = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    return true;
}

// The paragraphs of file as python-docx ("docx"), odfpy ("odt") or unrtf
// ("rtf") read them. Returns false and the reader's complaint on failure.
inline bool readParagraphs(const QString &kind, const QString &file, QStringList &paragraphs, QString &error)
{
    QJsonArray json;
    if (!runReader("read_paragraphs.py", kind, file, json, error))
        return false;
    paragraphs.clear();
    for (const QJsonValue &value : json)
        paragraphs.append(value.toString());
    return true;
}

// [style in lower case, text] per paragraph, as read_styles.py reads them
// (python-docx, odfpy, or LibreOffice for RTF).
inline bool readStyles(const QString &kind, const QString &file, QList<QStringList> &paragraphs,
                       QString &error)
{
    QJsonArray json;
    if (!runReader("read_styles.py", kind, file, json, error))
        return false;
    paragraphs.clear();
    for (const QJsonValue &pair : json)
        paragraphs.append({pair[0].toString(), pair[1].toString()});
    return true;
}

// A zip archive written byte by byte, so that tests can make archives that a
// zip library would refuse to write: lying sizes, duplicate names.
struct RawEntry
{
    QByteArray name;
    QByteArray data;
    bool deflate = false;
    qint64 declaredSize = -1; // -1: the real size
};

inline QByteArray deflateRaw(const QByteArray &data)
{
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

inline void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

inline void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

inline QByteArray rawZip(const QList<RawEntry> &entries)
{
    QByteArray out, directory;
    for (const RawEntry &entry : entries) {
        const QByteArray stored = entry.deflate ? deflateRaw(entry.data) : entry.data;
        const quint32 crc = quint32(
            crc32(0, reinterpret_cast<const Bytef *>(entry.data.constData()), uInt(entry.data.size())));
        const quint32 size = quint32(entry.declaredSize < 0 ? entry.data.size() : entry.declaredSize);
        const quint32 offset = quint32(out.size());
        auto header = [&](QByteArray &h, bool central) {
            put32(h, central ? 0x02014b50 : 0x04034b50);
            if (central)
                put16(h, 20);
            put16(h, 20);
            put16(h, 0);
            put16(h, entry.deflate ? 8 : 0);
            put32(h, 0x00210000); // 1980-01-01 00:00
            put32(h, crc);
            put32(h, quint32(stored.size()));
            put32(h, size);
            put16(h, quint16(entry.name.size()));
            put16(h, 0);
            if (central) {
                put16(h, 0);
                put16(h, 0);
                put16(h, 0);
                put32(h, 0);
                put32(h, offset);
            }
            h.append(entry.name);
        };
        header(out, false);
        out.append(stored);
        header(directory, true);
    }
    const quint32 directoryOffset = quint32(out.size());
    out.append(directory);
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint16(entries.size()));
    put16(out, quint16(entries.size()));
    put32(out, quint32(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

// One entry as the central directory and its local header describe it.
struct ZipRecord
{
    QByteArray name;
    quint16 versionNeeded = 0;
    quint16 flags = 0;
    quint16 method = 0;
    quint16 localExtraLength = 0;
    quint16 centralExtraLength = 0;
    quint32 crc = 0;
    quint32 compressedSize = 0;
    quint32 size = 0;
    quint32 localOffset = 0;
};

inline QList<ZipRecord> centralDirectory(const QByteArray &zip)
{
    QList<ZipRecord> records;
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size())
        return records;
    const uchar *p = reinterpret_cast<const uchar *>(zip.constData());
    const quint16 count = qFromLittleEndian<quint16>(p + end + 10);
    qsizetype at = qFromLittleEndian<quint32>(p + end + 16);
    for (int i = 0; i < count && at + 46 <= zip.size(); ++i) {
        ZipRecord r;
        r.versionNeeded = qFromLittleEndian<quint16>(p + at + 6);
        r.flags = qFromLittleEndian<quint16>(p + at + 8);
        r.method = qFromLittleEndian<quint16>(p + at + 10);
        r.crc = qFromLittleEndian<quint32>(p + at + 16);
        r.compressedSize = qFromLittleEndian<quint32>(p + at + 20);
        r.size = qFromLittleEndian<quint32>(p + at + 24);
        const quint16 nameLength = qFromLittleEndian<quint16>(p + at + 28);
        r.centralExtraLength = qFromLittleEndian<quint16>(p + at + 30);
        const quint16 commentLength = qFromLittleEndian<quint16>(p + at + 32);
        r.localOffset = qFromLittleEndian<quint32>(p + at + 42);
        r.name = zip.mid(at + 46, nameLength);
        if (r.localOffset + 30 <= zip.size())
            r.localExtraLength = qFromLittleEndian<quint16>(p + r.localOffset + 28);
        records.append(r);
        at += 46 + nameLength + r.centralExtraLength + commentLength;
    }
    return records;
}

// The uncompressed content of the named entry; empty if absent.
inline QByteArray entryData(const QByteArray &zip, const QByteArray &name)
{
    for (const ZipRecord &r : centralDirectory(zip)) {
        if (r.name != name)
            continue;
        const uchar *p = reinterpret_cast<const uchar *>(zip.constData());
        const quint16 localName = qFromLittleEndian<quint16>(p + r.localOffset + 26);
        const QByteArray stored =
            zip.mid(r.localOffset + 30 + localName + r.localExtraLength, r.compressedSize);
        if (r.method == 0)
            return stored;
        QByteArray out(qsizetype(r.size), '\0');
        z_stream z{};
        inflateInit2(&z, -15);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stored.constData()));
        z.avail_in = uInt(stored.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return out;
    }
    return {};
}

} // namespace WordTest
