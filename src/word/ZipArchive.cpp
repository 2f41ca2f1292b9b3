#include "word/ZipArchive.h"

#include "word/WordErrors.h"

#include <QScopeGuard>
#include <QSet>

#include <cstring>

#include <zip.h>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

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

// Big parts are deflated in independent chunks on all cores, the way pigz does
// it: each chunk starts with the 32 KiB before it as its dictionary and ends
// with a sync flush, so the chunks join into one ordinary deflate stream.
constexpr qsizetype kChunk = qsizetype(1) << 20;
constexpr qsizetype kWindow = qsizetype(32) << 10;

struct Deflated
{
    QByteArray data;
    uLong crc = 0;
    qint64 size = 0;
    QString error;
};

// Calls visit(pointer, length) for the bytes [from, to) of the concatenated pieces.
template <typename Visit>
void forEachSpan(const QList<QByteArrayView> &pieces, qint64 from, qint64 to, Visit visit)
{
    qint64 offset = 0;
    for (QByteArrayView piece : pieces) {
        const qint64 begin = std::max(from, offset), end = std::min(to, offset + piece.size());
        if (begin < end)
            visit(piece.data() + (begin - offset), end - begin);
        offset += piece.size();
    }
}

Deflated deflateInParallel(const QList<QByteArrayView> &pieces, int level)
{
    qint64 total = 0;
    for (QByteArrayView piece : pieces)
        total += piece.size();
    const qsizetype chunks = qsizetype((total + kChunk - 1) / kChunk);
    QList<QByteArray> outputs(chunks);
    QList<uLong> crcs(chunks);
    std::atomic<qsizetype> next{0};
    std::atomic<bool> failed{false};

    auto work = [&] {
        for (qsizetype c = next++; c < chunks && !failed; c = next++) {
            const qint64 from = c * kChunk, to = std::min<qint64>(total, from + kChunk);
            z_stream z{};
            if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
                failed = true;
                return;
            }
            if (from > 0) {
                QByteArray dictionary;
                forEachSpan(pieces, std::max<qint64>(0, from - kWindow), from,
                            [&](const char *p, qint64 n) { dictionary.append(p, qsizetype(n)); });
                deflateSetDictionary(&z, reinterpret_cast<const Bytef *>(dictionary.constData()),
                                     uInt(dictionary.size()));
            }
            QByteArray &out = outputs[c];
            out.resize(qsizetype(deflateBound(&z, uLong(to - from))) + 16);
            z.next_out = reinterpret_cast<Bytef *>(out.data());
            z.avail_out = uInt(out.size());
            uLong crc = crc32(0, nullptr, 0);
            forEachSpan(pieces, from, to, [&](const char *p, qint64 n) {
                crc = crc32(crc, reinterpret_cast<const Bytef *>(p), uInt(n));
                z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(p));
                z.avail_in = uInt(n);
                while (z.avail_in > 0 && deflate(&z, Z_NO_FLUSH) == Z_OK) {
                }
            });
            const int status = deflate(&z, c + 1 == chunks ? Z_FINISH : Z_SYNC_FLUSH);
            if (status != (c + 1 == chunks ? Z_STREAM_END : Z_OK))
                failed = true;
            out.resize(qsizetype(z.total_out));
            deflateEnd(&z);
            crcs[c] = crc;
        }
    };
    const int threads =
        int(std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, std::min<qsizetype>(chunks, 8)));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &thread : pool)
        thread.join();

    Deflated result;
    if (failed) {
        result.error = u"ошибка сжатия"_s;
        return result;
    }
    qsizetype compressed = 0;
    for (const QByteArray &out : std::as_const(outputs))
        compressed += out.size();
    result.data.reserve(compressed);
    result.crc = crc32(0, nullptr, 0);
    for (qsizetype c = 0; c < chunks; ++c) {
        result.data += outputs[c];
        const qint64 length = std::min<qint64>(total, (c + 1) * kChunk) - c * kChunk;
        result.crc = crc32_combine(result.crc, crcs[c], z_off_t(length));
    }
    result.size = total;
    return result;
}

// A libzip source holding data that is already deflated: libzip takes the
// size, CRC and method from its stat and copies the bytes unchanged.
zip_int64_t deflatedSourceCallback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    struct State
    {
        Deflated deflated;
        qint64 offset;
        zip_error_t error;
    };
    auto *s = static_cast<State *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        s->offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = std::min<qint64>(qint64(length), s->deflated.data.size() - s->offset);
        std::memcpy(data, s->deflated.data.constData() + s->offset, size_t(n));
        s->offset += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto *st = static_cast<zip_stat_t *>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                    ZIP_STAT_ENCRYPTION_METHOD;
        st->size = zip_uint64_t(s->deflated.size);
        st->comp_size = zip_uint64_t(s->deflated.data.size());
        st->comp_method = ZIP_CM_DEFLATE;
        st->crc = zip_uint32_t(s->deflated.crc);
        st->encryption_method = ZIP_EM_NONE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&s->error);
        delete s;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&s->error, ZIP_ER_INVAL, 0);
        return -1;
    }
}

zip_source_t *deflatedSource(zip_t *zip, Deflated deflated)
{
    struct State
    {
        Deflated deflated;
        qint64 offset;
        zip_error_t error;
    };
    auto *state = new State{std::move(deflated), 0, {}};
    zip_error_init(&state->error);
    zip_source_t *source = zip_source_function(zip, deflatedSourceCallback, state);
    if (!source) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

} // namespace

Result<QList<Entry>> read(const QByteArray &archive, const QString &templatePath, const Limits &limits)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
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
        if (zip_stat_index(zip.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE))
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
            return WordErrors::templateFailure(
                WordErrors::TooLarge, templatePath,
                u"часть «%1» больше %2"_s.arg(shownName, megabytes(limits.maxEntrySize)));
        declaredSizes[i] = qint64(st.size);
        total += declaredSizes[i];
        if (total > limits.maxTotalSize)
            return WordErrors::templateFailure(
                WordErrors::TooLarge, templatePath,
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
            return WordErrors::templateFailure(
                WordErrors::DamagedArchive, templatePath,
                u"часть «%1»: %2"_s.arg(shownName, libzipMessage(zip_get_error(zip.get()))));
        // Read up to one byte more than declared, so that an entry inflating
        // beyond its header is caught there instead of being read to its end.
        // The buffer grows with what actually arrives, not with the header.
        qint64 got = 0;
        entry.data.resize(std::min<qint64>(declared + 1, qint64(1) << 20));
        while (got <= declared) {
            if (got == entry.data.size())
                entry.data.resize(std::min<qint64>(declared + 1, entry.data.size() * 2));
            const zip_int64_t n =
                zip_fread(file.get(), entry.data.data() + got, zip_uint64_t(entry.data.size() - got));
            if (n < 0)
                return WordErrors::templateFailure(
                    WordErrors::DamagedArchive, templatePath,
                    u"часть «%1»: %2"_s.arg(shownName, libzipMessage(zip_file_get_error(file.get()))));
            if (n == 0)
                break;
            got += n;
        }
        if (got != declared)
            return WordErrors::templateFailure(
                WordErrors::DamagedArchive, templatePath,
                u"размер части «%1» не совпадает с заголовком"_s.arg(shownName));
        entry.data.resize(got);
        entry.data.squeeze();
    }
    return entries;
}

qsizetype heldBytes(const QList<Entry> &entries)
{
    qsizetype total = 0;
    for (const Entry &entry : entries)
        total += entry.name.capacity() + entry.data.capacity();
    return total;
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
        qint64 size = 0;
        QList<zip_buffer_fragment_t> fragments;
        for (QByteArrayView piece : entry.pieces) {
            size += piece.size();
            if (!piece.isEmpty())
                fragments.append({reinterpret_cast<zip_uint8_t *>(const_cast<char *>(piece.data())),
                                  zip_uint64_t(piece.size())});
        }
        zip_source_t *source = nullptr;
        if (!entry.stored && size > 4 * kChunk) {
            Deflated deflated = deflateInParallel(entry.pieces, entry.level);
            if (!deflated.error.isEmpty()) {
                zip_discard(zip);
                return failure(deflated.error);
            }
            source = deflatedSource(zip, std::move(deflated));
        } else {
            source =
                zip_source_buffer_fragment(zip, fragments.constData(), zip_uint64_t(fragments.size()), 0);
        }
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
        const bool ok =
            zip_set_file_compression(zip, zip_uint64_t(index), entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                     entry.stored ? 0 : zip_uint32_t(entry.level)) == 0 &&
            (entry.mtime <= 0 || zip_file_set_mtime(zip, zip_uint64_t(index), entry.mtime, 0) == 0);
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

QList<OutputEntry> rewrittenPackage(const QList<Entry> &entries, qsizetype first, const QList<bool> &dropped,
                                    qsizetype edited, const QList<QByteArrayView> &editedContent)
{
    QList<qsizetype> order{first};
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i != first && !(i < dropped.size() && dropped[i]))
            order.append(i);
    }
    QList<OutputEntry> out;
    out.reserve(order.size());
    for (const qsizetype i : std::as_const(order)) {
        OutputEntry entry;
        entry.name = entries[i].name;
        entry.mtime = entries[i].mtime;
        if (i == edited) {
            qint64 size = 0;
            for (QByteArrayView piece : editedContent)
                size += piece.size();
            entry.pieces = editedContent;
            entry.mtime = 0;
            entry.level = size > (1 << 20) ? 1 : 6;
        } else {
            entry.pieces = {entries[i].data};
        }
        out.append(std::move(entry));
    }
    return out;
}

} // namespace ZipArchive
