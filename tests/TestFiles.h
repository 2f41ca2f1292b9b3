#pragma once

// Small helpers the tests use to lay down and read back files byte for byte.

#include "files/Cp1251.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

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

// Every entry of the folder: a file with its bytes, anything else (a folder,
// a pipe) as "<not a file>". Two snapshots compare equal when nothing was
// touched.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    const QDir dir(folder);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        entries.insert(entry.fileName(),
                       entry.isFile() ? read(entry.filePath()) : QByteArray("<not a file>"));
    return entries;
}

// A temporary folder that is the working folder while this object lives.
class ScratchWorkingFolder
{
public:
    ScratchWorkingFolder() : m_previous(QDir::currentPath()) { m_entered = QDir::setCurrent(m_dir.path()); }
    ~ScratchWorkingFolder() { QDir::setCurrent(m_previous); }
    ScratchWorkingFolder(const ScratchWorkingFolder &) = delete;
    ScratchWorkingFolder &operator=(const ScratchWorkingFolder &) = delete;

    bool isValid() const { return m_dir.isValid() && m_entered; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_entered = false;
};

} // namespace TestFiles
