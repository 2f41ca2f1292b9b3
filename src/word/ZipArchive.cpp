#include "word/ZipArchive.h"

#include "word/WordErrors.h"

#include <QScopeGuard>
#include <QSet>

#include <zip.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace ZipArchive {

namespace {

QString libzipMessage(zip_error_t *error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

QString megabytes(qint64 bytes)
{
    return u"%1 МБ"_s.arg(bytes >> 20);
}

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct FileCloser
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

} // namespace

Result<QList<Entry>> read(const QByteArray &archive, const QString &templatePath, const Limits &limits)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
    if (!source) {
        const QString message = libzipMessage(&error);
        zip_error_fini(&error);
        return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath, message);
    }
    std::unique_ptr<zip_t, ArchiveCloser> zip(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!zip) {
        zip_source_free(source);
        const QString message = libzipMessage(&error);
        zip_error_fini(&error);
        return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath, message);
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    if (count < 0)
        return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath, u"нет оглавления"_s);
    if (count > limits.maxEntries)
        return WordErrors::templateFailure(WordErrors::TooLarge, templatePath,
                                           u"в архиве больше %1 частей"_s.arg(limits.maxEntries));

    // First the directory alone: names and declared sizes, so that a hostile
    // archive is refused before anything is inflated.
    QList<Entry> entries(count);
    QList<qint64> declaredSizes(count);
    QSet<QByteArray> names;
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW, &st) != 0 || !(st.valid & ZIP_STAT_NAME)
            || !(st.valid & ZIP_STAT_SIZE))
            return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath,
                                               libzipMessage(zip_get_error(zip.get())));
        Entry &entry = entries[i];
        entry.name = QByteArray(st.name);
        const QString shownName = QString::fromUtf8(entry.name);
        if (entry.name.isEmpty() || entry.name.startsWith('/') || entry.name.contains('\\'))
            return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath,
                                               u"недопустимое имя части «%1»"_s.arg(shownName));
        if (names.contains(entry.name))
            return WordErrors::templateFailure(WordErrors::DuplicateEntry, templatePath, shownName);
        names.insert(entry.name);
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return WordErrors::templateFailure(WordErrors::PasswordProtected, templatePath);
        if (st.size > zip_uint64_t(limits.maxEntrySize))
            return WordErrors::templateFailure(WordErrors::TooLarge, templatePath,
                                               u"часть «%1» больше %2"_s.arg(shownName, megabytes(limits.maxEntrySize)));
        declaredSizes[i] = qint64(st.size);
        total += declaredSizes[i];
        if (total > limits.maxTotalSize)
            return WordErrors::templateFailure(WordErrors::TooLarge, templatePath,
                                               u"содержимое архива больше %1"_s.arg(megabytes(limits.maxTotalSize)));
        if (st.valid & ZIP_STAT_MTIME)
            entry.mtime = st.mtime;
    }

    for (zip_int64_t i = 0; i < count; ++i) {
        Entry &entry = entries[i];
        const qint64 declared = declaredSizes[i];
        const QString shownName = QString::fromUtf8(entry.name);
        std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(zip.get(), zip_uint64_t(i), 0));
        if (!file)
            return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath,
                                               u"часть «%1»: %2"_s.arg(shownName, libzipMessage(zip_get_error(zip.get()))));
        // Read up to one byte more than declared, so that an entry inflating
        // beyond its header is caught there instead of being read to its end.
        // The buffer grows with what actually arrives, not with the header.
        qint64 got = 0;
        entry.data.resize(std::min<qint64>(declared + 1, qint64(1) << 20));
        while (got <= declared) {
            if (got == entry.data.size())
                entry.data.resize(std::min<qint64>(declared + 1, entry.data.size() * 2));
            const zip_int64_t n = zip_fread(file.get(), entry.data.data() + got, zip_uint64_t(entry.data.size() - got));
            if (n < 0)
                return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath,
                                                   u"часть «%1»: %2"_s.arg(shownName, libzipMessage(zip_file_get_error(file.get()))));
            if (n == 0)
                break;
            got += n;
        }
        if (got != declared)
            return WordErrors::templateFailure(WordErrors::DamagedArchive, templatePath,
                                               u"размер части «%1» не совпадает с заголовком"_s.arg(shownName));
        entry.data.resize(got);
        entry.data.squeeze();
    }
    return entries;
}

Result<QByteArray> write(const QList<OutputEntry> &entries)
{
    auto failure = [](const QString &what) {
        return Status::failure(u"Не удалось собрать архив документа: %1."_s.arg(what));
    };

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *output = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!output) {
        zip_error_fini(&error);
        return failure(u"нет памяти"_s);
    }
    zip_source_keep(output);
    auto releaseOutput = qScopeGuard([output] { zip_source_free(output); });

    zip_t *zip = zip_open_from_source(output, ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) {
        const QString message = libzipMessage(&error);
        zip_error_fini(&error);
        return failure(message);
    }
    zip_error_fini(&error);

    for (const OutputEntry &entry : entries) {
        QList<zip_buffer_fragment_t> fragments;
        for (QByteArrayView piece : entry.pieces) {
            if (!piece.isEmpty())
                fragments.append({reinterpret_cast<zip_uint8_t *>(const_cast<char *>(piece.data())), zip_uint64_t(piece.size())});
        }
        zip_source_t *source = zip_source_buffer_fragment(zip, fragments.constData(), zip_uint64_t(fragments.size()), 0);
        if (!source) {
            const QString message = libzipMessage(zip_get_error(zip));
            zip_discard(zip);
            return failure(message);
        }
        const zip_int64_t index = zip_file_add(zip, entry.name.constData(), source, ZIP_FL_ENC_GUESS);
        if (index < 0) {
            zip_source_free(source);
            const QString message = libzipMessage(zip_get_error(zip));
            zip_discard(zip);
            return failure(message);
        }
        const bool ok = zip_set_file_compression(zip, zip_uint64_t(index), entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                                 entry.stored ? 0 : zip_uint32_t(entry.level))
                == 0
            && (entry.mtime <= 0 || zip_file_set_mtime(zip, zip_uint64_t(index), entry.mtime, 0) == 0);
        if (!ok) {
            const QString message = libzipMessage(zip_get_error(zip));
            zip_discard(zip);
            return failure(message);
        }
    }
    if (zip_close(zip) != 0) {
        const QString message = libzipMessage(zip_get_error(zip));
        zip_discard(zip);
        return failure(message);
    }

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(output, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || zip_source_open(output) != 0)
        return failure(libzipMessage(zip_source_error(output)));
    QByteArray bytes;
    bytes.resize(qsizetype(st.size));
    qint64 got = 0;
    while (got < bytes.size()) {
        const zip_int64_t n = zip_source_read(output, bytes.data() + got, zip_uint64_t(bytes.size() - got));
        if (n <= 0)
            break;
        got += n;
    }
    zip_source_close(output);
    if (got != bytes.size())
        return failure(libzipMessage(zip_source_error(output)));
    return bytes;
}

} // namespace ZipArchive
