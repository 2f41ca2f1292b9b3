#include "build/IssueArchive.h"

#include "data/AdsFile.h"
#include "files/AtomicFile.h"
#include "files/FileErrors.h"
#include "files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace IssueArchive {

namespace {

const QString kManifest = u"manifest.json"_s;
const QString kAds = u"Объявления.txt"_s;
const QString kRubrics = u"Рубрики.txt"_s;

QJsonObject toJson(const Record &record)
{
    QJsonObject o;
    o[u"builtAt"_s] = record.builtAt.toString(Qt::ISODateWithMs);
    o[u"target"_s] = record.target;
    o[u"format"_s] = record.format;
    o[u"adsBefore"_s] = record.adsBefore;
    QJsonArray removed;
    for (const int row : record.removedRows)
        removed.append(row);
    o[u"removedRows"_s] = removed;
    QJsonArray rubrics;
    for (const QString &rubric : record.rubricOrder)
        rubrics.append(QJsonObject{{u"rubric"_s, rubric}, {u"ads"_s, record.adsPerRubric.value(rubric)}});
    o[u"rubrics"_s] = rubrics;
    if (record.takenBackAt)
        o[u"takenBackAt"_s] = record.takenBackAt->toString(Qt::ISODateWithMs);
    return o;
}

std::optional<Record> fromJson(const QByteArray &bytes, const QString &folder)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    Record record;
    record.folder = folder;
    record.builtAt = QDateTime::fromString(o[u"builtAt"_s].toString(), Qt::ISODateWithMs);
    record.target = o[u"target"_s].toString();
    record.format = o[u"format"_s].toString();
    record.adsBefore = o[u"adsBefore"_s].toInt();
    for (const QJsonValue &row : o[u"removedRows"_s].toArray())
        record.removedRows.append(row.toInt());
    for (const QJsonValue &entry : o[u"rubrics"_s].toArray()) {
        const QString rubric = entry[u"rubric"_s].toString();
        if (!record.adsPerRubric.contains(rubric))
            record.rubricOrder.append(rubric);
        record.adsPerRubric[rubric] = entry[u"ads"_s].toInt();
    }
    if (o.contains(u"takenBackAt"_s))
        record.takenBackAt = QDateTime::fromString(o[u"takenBackAt"_s].toString(), Qt::ISODateWithMs);
    if (!record.builtAt.isValid())
        return std::nullopt;
    return record;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

Status mkdirFailure(const QString &path)
{
    return FileErrors::fromErrno(errno, path);
}

} // namespace

QString folderFor(const QString &adsPath)
{
    return QDir(QFileInfo(adsPath).absolutePath()).filePath(QString::fromUtf16(kFolderName));
}

Result<QString> write(const QString &adsPath, const Record &record, const Content &content)
{
    const QString archive = folderFor(adsPath);
    if (::mkdir(QFile::encodeName(archive).constData(), 0777) != 0 && errno != EEXIST)
        return mkdirFailure(archive);

    // A hidden folder of our own, filled and then renamed into place.
    QByteArray pending = QFile::encodeName(archive + u"/.запись-"_s) + "XXXXXX";
    if (!::mkdtemp(pending.data()))
        return mkdirFailure(archive);
    const QString pendingPath = QFile::decodeName(pending);
    auto discard = [&](Status failure) {
        QDir(pendingPath).removeRecursively();
        return failure;
    };
    const QDir dir(pendingPath);
    if (Status s = AdsFile::writeFile(dir.filePath(kAds), content.adsBeforeExpiry); !s)
        return discard(s);
    if (Status s = AtomicFile::write(dir.filePath(kRubrics), content.rubricList); !s)
        return discard(s);
    if (Status s = AtomicFile::write(dir.filePath(kManifest), QJsonDocument(toJson(record)).toJson()); !s)
        return discard(s);

    // Named by the time of the build; a second build in the same second gets
    // a number, and no record is ever replaced.
    const QString base = record.builtAt.toString(u"yyyy-MM-dd HH-mm-ss"_s);
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? base : base + u" (%1)"_s.arg(n);
        const QString final = QDir(archive).filePath(name);
        // renameat2 with RENAME_NOREPLACE would be exact; a folder that
        // exists is refused by rename unless empty, and ours never are.
        if (QFileInfo::exists(final))
            continue;
        if (::rename(pending.constData(), QFile::encodeName(final).constData()) == 0) {
            syncFolder(archive);
            return final;
        }
        if (errno != EEXIST && errno != ENOTEMPTY)
            return discard(FileErrors::fromErrno(errno, final));
    }
    return discard(FileErrors::failure(FileErrors::AccessDenied));
}

Result<QList<Record>> list(const QString &adsPath)
{
    QList<Record> records;
    const QDir archive(folderFor(adsPath));
    if (!archive.exists())
        return records;
    for (const QString &name : archive.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = archive.filePath(name);
        const Result<QByteArray> manifest = TextFile::readBytes(QDir(folder).filePath(kManifest));
        if (!manifest)
            continue; // not one of ours, or unreadable: never taken back
        if (std::optional<Record> record = fromJson(manifest.value(), folder))
            records.append(std::move(*record));
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const Record &a, const Record &b) { return a.builtAt < b.builtAt; });
    return records;
}

Result<std::optional<Record>> lastStanding(const QString &adsPath)
{
    const Result<QList<Record>> records = list(adsPath);
    if (!records)
        return records.status();
    for (auto it = records->crbegin(); it != records->crend(); ++it) {
        if (!it->takenBackAt)
            return std::optional<Record>(*it);
    }
    return std::optional<Record>();
}

Result<QByteArray> adsBeforeExpiry(const Record &record)
{
    return TextFile::readBytes(QDir(record.folder).filePath(kAds));
}

Status markTakenBack(const Record &record, const QDateTime &when)
{
    Record marked = record;
    marked.takenBackAt = when;
    return AtomicFile::write(QDir(record.folder).filePath(kManifest), QJsonDocument(toJson(marked)).toJson());
}

QString documentFormat(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(4096);
    if (head.startsWith("{\\rtf"))
        return u"rtf"_s;
    if (head.startsWith("PK\x03\x04")) {
        if (head.contains("mimetypeapplication/vnd.oasis.opendocument"))
            return u"odt"_s;
        return u"docx"_s;
    }
    return {};
}

} // namespace IssueArchive
