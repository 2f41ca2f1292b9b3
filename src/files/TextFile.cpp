#include "files/TextFile.h"

#include "files/Cp1251.h"
#include "files/FileErrors.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {

namespace detail {
QByteArray withoutLoneCr(QByteArrayView line)
{
    QByteArray out;
    out.reserve(line.size());
    for (char c : line) {
        if (c != '\r')
            out.append(c);
    }
    return out;
}
} // namespace detail

namespace {

struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

Result<int> openFile(const QString &path, int flags, mode_t mode = 0666)
{
    if (path.isEmpty())
        return FileErrors::failure(FileErrors::FileNotFound);
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(native.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return FileErrors::fromErrno(errno, path);
    return fd;
}

Status writeAll(int fd, QByteArrayView bytes, const QString &path)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return FileErrors::fromErrno(errno, path);
        }
        p += n;
        left -= n;
    }
    return {};
}

} // namespace

Result<QByteArray> readBytes(const QString &path)
{
    QByteArray data;
    if (Status read = readInto(path, data); !read)
        return read;
    return data;
}

Status readInto(const QString &path, QByteArray &data)
{
    data.resize(0); // keeps the capacity
    auto opened = openFile(path, O_RDONLY);
    if (!opened)
        return opened.status();
    Fd file{opened.value()};

    struct stat st
    {
    };
    if (::fstat(file.fd, &st) != 0)
        return FileErrors::fromErrno(errno, path);
    if (S_ISDIR(st.st_mode))
        return FileErrors::failure(FileErrors::AccessDenied);

    if (st.st_size > 0)
        data.reserve(qsizetype(st.st_size));
    char chunk[1 << 16];
    for (;;) {
        // Read straight into the reserved buffer while it has room.
        const qsizetype room = data.capacity() - data.size();
        char *dst = room > 0 ? data.data() + data.size() : chunk;
        const size_t want = room > 0 ? size_t(room) : sizeof chunk;
        const ssize_t n = ::read(file.fd, dst, want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return FileErrors::fromErrno(errno, path);
        }
        if (n == 0)
            break;
        if (room > 0)
            data.resize(data.size() + n);
        else
            data.append(chunk, n);
    }
    return {};
}

QList<QByteArray> splitLines(QByteArrayView data)
{
    QList<QByteArray> lines;
    forEachLine(data, [&](QByteArrayView line) { lines.append(line.toByteArray()); });
    return lines;
}

Result<QStringList> readLines(const QString &path)
{
    auto bytes = readBytes(path);
    if (!bytes)
        return bytes.status();
    QStringList lines;
    forEachLine(bytes.value(), [&](QByteArrayView line) { lines.append(Cp1251::decode(line)); });
    return lines;
}

Status createEmpty(const QString &path)
{
    auto opened = openFile(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (!opened)
        return opened.status();
    if (::close(opened.value()) != 0)
        return FileErrors::fromErrno(errno, path);
    return {};
}

Status appendToExisting(const QString &path, QByteArrayView bytes)
{
    auto opened = openFile(path, O_WRONLY | O_APPEND);
    if (!opened)
        return opened.status();
    Fd file{opened.value()};
    Status written = writeAll(file.fd, bytes, path);
    const int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0 && written)
        return FileErrors::fromErrno(errno, path);
    return written;
}

bool appendLine(QByteArray &out, QStringView text)
{
    if (!Cp1251::encodeAppend(text, out))
        return false;
    out.append("\r\n", 2);
    return true;
}

} // namespace TextFile
