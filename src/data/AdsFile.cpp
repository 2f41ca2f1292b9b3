#include "data/AdsFile.h"

#include "files/AtomicFile.h"
#include "files/FileErrors.h"
#include "files/TextFile.h"

#include <QFileInfo>

QString AdsFile::identity(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

Result<AdList> AdsFile::load(const QString &path)
{
    auto bytes = TextFile::readBytes(path);
    if (!bytes)
        return bytes.status();
    m_known.insert(identity(path));
    return AdList::fromFileBytes(std::move(bytes.value()));
}

Status AdsFile::save(const QString &path, const AdList &list)
{
    const QString id = path.isEmpty() ? QString() : identity(path);
    const bool known = m_known.contains(id);
    if (!path.isEmpty() && !known && QFileInfo(path).isFile()) {
        auto old = TextFile::readBytes(path);
        if (!old)
            return old.status();
        if (Status kept = AtomicFile::write(backupPathFor(path), old.value()); !kept)
            return kept;
    }
    const Status written = writeFile(path, list);
    if (!written)
        return written;
    m_known.insert(identity(path));
    return {};
}

Status AdsFile::writeFile(const QString &path, const AdList &list)
{
    // Streamed through one small buffer: a million ads need no second copy.
    constexpr qsizetype kChunk = 1 << 20;
    QByteArray chunk;
    chunk.reserve(kChunk + 4096);
    int next = 0;
    return AtomicFile::write(path, [&] {
        chunk.resize(0);
        next = list.appendFileLines(next, chunk, kChunk);
        return QByteArrayView(chunk);
    });
}
