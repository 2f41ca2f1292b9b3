#include "files/FileIdentity.h"

#include "files/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileIdentity fromStat(const struct stat &st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), S_ISREG(st.st_mode)};
}

} // namespace

std::optional<FileIdentity> FileIdentity::of(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return fromStat(st);
}

Result<FileIdentity> FileIdentity::checkAppendable(const QString &path)
{
    if (path.isEmpty())
        return FileErrors::failure(FileErrors::FileNotFound);
    int fd;
    do {
        // Non-blocking, so that a pipe with no reader cannot hang the caller.
        fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return FileErrors::fromErrno(errno, path);
    struct stat st
    {
    };
    const bool known = ::fstat(fd, &st) == 0;
    const int statErrno = errno;
    ::close(fd);
    if (!known)
        return FileErrors::fromErrno(statErrno, path);
    return fromStat(st);
}

bool isSameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const std::optional<FileIdentity> first = FileIdentity::of(a);
    const std::optional<FileIdentity> second = FileIdentity::of(b);
    if (first && second)
        return first->sameFileAs(*second);
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}
