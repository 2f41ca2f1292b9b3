#include "files/AtomicFile.h"

#include "files/FileErrors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

struct InjectedFailure
{
    bool armed = false;
    qint64 afterBytes = 0;
    int errnoValue = 0;
};
InjectedFailure g_injected;

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Writes chunks one after another, honouring an injected failure counted over
// all of them.
class Writer
{
public:
    explicit Writer(int fd) : m_fd(fd), m_injected(g_injected) { g_injected.armed = false; }

    // Returns 0 or an errno value.
    int write(QByteArrayView bytes)
    {
        const char *p = bytes.data();
        qint64 left = bytes.size();
        while (left > 0) {
            qint64 chunk = left;
            if (m_injected.armed) {
                if (m_written >= m_injected.afterBytes)
                    return m_injected.errnoValue;
                chunk = std::min(chunk, m_injected.afterBytes - m_written);
            }
            const ssize_t n = ::write(m_fd, p, size_t(chunk));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            p += n;
            left -= n;
            m_written += n;
        }
        return 0;
    }

    // The injected failure of a write that reached its point exactly at the end.
    int finish() const
    {
        return m_injected.armed && m_written >= m_injected.afterBytes ? m_injected.errnoValue : 0;
    }

private:
    int m_fd;
    InjectedFailure m_injected;
    qint64 m_written = 0;
};

enum class Commit
{
    Replace,      // rename over whatever is there
    OnlyIfAbsent, // never touch an existing name
};

Status writeThroughTemporary(const QString &path, const ChunkSource &nextChunk, Commit commit)
{
    if (path.isEmpty())
        return FileErrors::failure(FileErrors::FileNotFound);

    QFileInfo info(path);
    // Write through a symbolic link to the file it names, keeping the link.
    if (commit == Commit::Replace && info.isSymLink() && info.exists())
        info = QFileInfo(info.canonicalFilePath());
    const QString target = info.absoluteFilePath();
    if (!QFileInfo(info.absolutePath()).isDir())
        return FileErrors::failure(FileErrors::InvalidFilename);

    const QByteArray nativeTarget = QFile::encodeName(target);
    mode_t mode = 0666 & ~currentUmask();
    struct stat st
    {
    };
    if (commit == Commit::OnlyIfAbsent) {
        // Any entry of that name counts, a dangling symbolic link too.
        if (::lstat(nativeTarget.constData(), &st) == 0)
            return FileErrors::fromErrno(EEXIST, target);
    } else if (::stat(nativeTarget.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0)
            return FileErrors::failure(FileErrors::AccessDenied);
        mode = st.st_mode & 07777;
    }

    QByteArray tempName =
        QFile::encodeName(info.absolutePath() + QLatin1String("/.") + info.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0)
        return FileErrors::fromErrno(errno, target);

    auto discard = [&](int err) {
        ::close(fd);
        ::unlink(tempName.constData());
        return FileErrors::fromErrno(err, target);
    };

    if (::fchmod(fd, mode) != 0)
        return discard(errno);
    Writer writer(fd);
    for (QByteArrayView chunk = nextChunk(); !chunk.isEmpty(); chunk = nextChunk()) {
        if (const int err = writer.write(chunk))
            return discard(err);
    }
    if (const int err = writer.finish())
        return discard(err);
    if (::fsync(fd) != 0)
        return discard(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        return FileErrors::fromErrno(err, target);
    }
    int renamed = 0;
    if (commit == Commit::Replace) {
        renamed = ::rename(tempName.constData(), nativeTarget.constData());
    } else {
        renamed =
            ::renameat2(AT_FDCWD, tempName.constData(), AT_FDCWD, nativeTarget.constData(), RENAME_NOREPLACE);
        // File systems without that flag still refuse a hard link to a taken name.
        if (renamed != 0 && errno == EINVAL) {
            renamed = ::link(tempName.constData(), nativeTarget.constData());
            if (renamed == 0)
                ::unlink(tempName.constData());
        }
    }
    if (renamed != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        return FileErrors::fromErrno(err, target);
    }

    // Make the rename itself durable; a failure here loses nothing.
    const int dirFd =
        ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

ChunkSource once(QByteArrayView bytes)
{
    return [bytes, given = false]() mutable {
        if (given)
            return QByteArrayView();
        given = true;
        return bytes;
    };
}

} // namespace

void injectWriteFailureForTests(qint64 afterBytes, int errnoValue)
{
    g_injected = {true, afterBytes, errnoValue};
}

Status write(const QString &path, QByteArrayView bytes)
{
    return write(path, once(bytes));
}

Status write(const QString &path, const ChunkSource &nextChunk)
{
    return writeThroughTemporary(path, nextChunk, Commit::Replace);
}

Status create(const QString &path, QByteArrayView bytes)
{
    return writeThroughTemporary(path, once(bytes), Commit::OnlyIfAbsent);
}

} // namespace AtomicFile
