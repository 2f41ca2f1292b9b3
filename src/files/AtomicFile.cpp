#include "files/AtomicFile.h"

#include "files/FileErrors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
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

// Writes everything, honouring an injected failure. Returns 0 or an errno value.
int writeAll(int fd, QByteArrayView bytes)
{
    InjectedFailure injected = g_injected;
    g_injected.armed = false;

    const char *p = bytes.data();
    qint64 left = bytes.size();
    qint64 written = 0;
    while (left > 0) {
        qint64 chunk = left;
        if (injected.armed) {
            if (written >= injected.afterBytes)
                return injected.errnoValue;
            chunk = std::min(chunk, injected.afterBytes - written);
        }
        const ssize_t n = ::write(fd, p, size_t(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= n;
        written += n;
    }
    if (injected.armed && written >= injected.afterBytes)
        return injected.errnoValue;
    return 0;
}

} // namespace

void injectWriteFailureForTests(qint64 afterBytes, int errnoValue)
{
    g_injected = {true, afterBytes, errnoValue};
}

Status write(const QString &path, QByteArrayView bytes)
{
    if (path.isEmpty())
        return FileErrors::failure(FileErrors::FileNotFound);

    QFileInfo info(path);
    // Write through a symbolic link to the file it names, keeping the link.
    if (info.isSymLink() && info.exists())
        info = QFileInfo(info.canonicalFilePath());
    const QString target = info.absoluteFilePath();
    if (!QFileInfo(info.absolutePath()).isDir())
        return FileErrors::failure(FileErrors::InvalidFilename);

    const QByteArray nativeTarget = QFile::encodeName(target);
    mode_t mode = 0666 & ~currentUmask();
    struct stat st
    {
    };
    if (::stat(nativeTarget.constData(), &st) == 0) {
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
    if (const int err = writeAll(fd, bytes))
        return discard(err);
    if (::fsync(fd) != 0)
        return discard(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        return FileErrors::fromErrno(err, target);
    }
    if (::rename(tempName.constData(), nativeTarget.constData()) != 0) {
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

} // namespace AtomicFile
