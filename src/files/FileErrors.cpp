#include "files/FileErrors.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace FileErrors {

QString messageForCode(int code)
{
    switch (code) {
    case FileNotFound:
        return QStringLiteral("File not found");
    case InvalidFilename:
        return QStringLiteral("Invalid filename");
    case TooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case AccessDenied:
        return QStringLiteral("File access denied");
    case ReadBeyondEnd:
        return QStringLiteral("Read beyond end of file");
    case DiskFull:
        return QStringLiteral("Disk full");
    case InvalidNumericInput:
        return QStringLiteral("Invalid numeric input");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}

namespace {

class FileErrorCategory : public std::error_category
{
public:
    const char *name() const noexcept override { return "vermata.file"; }
    std::string message(int code) const override { return messageForCode(code).toStdString(); }
};

} // namespace

const std::error_category &fileErrorCategory()
{
    static const FileErrorCategory category;
    return category;
}

Status failure(Code code)
{
    return Status::failure(messageForCode(code), code);
}

static bool folderExists(const QString &path)
{
    const QFileInfo info(path);
    return QFileInfo(info.absolutePath()).isDir();
}

Status fromErrno(int errnoValue, const QString &path)
{
    switch (errnoValue) {
    case ENOENT:
        return failure(path.isEmpty() || folderExists(path) ? FileNotFound : InvalidFilename);
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return failure(InvalidFilename);
    case EMFILE:
    case ENFILE:
        return failure(TooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
        return failure(AccessDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return failure(DiskFull);
    default:
        // Not one of the classic codes: shown by its number alone.
        return Status::failure(QStringLiteral("I/O error %1").arg(errnoValue),
                               std::error_code(errnoValue, std::generic_category()));
    }
}

} // namespace FileErrors
