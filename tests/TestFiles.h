#pragma once

// Small helpers the tests use to lay down and read back files byte for byte.

#include "files/Cp1251.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace TestFiles {

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Test text in Windows-1251; the text must be representable.
inline QByteArray cp1251(const QString &text)
{
    const auto bytes = Cp1251::encode(text);
    Q_ASSERT(bytes);
    return bytes.value_or(QByteArray());
}

// An ads file as the program writes it: each "Runs|Text|Rubric|" line ended by
// CR LF.
inline QByteArray adsFileBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += cp1251(line) + "\r\n";
    return bytes;
}

inline bool writeCp1251(const QString &path, const QString &text)
{
    return write(path, cp1251(text));
}

} // namespace TestFiles
