#include "word/DocumentAssembler.h"

#include "files/AtomicFile.h"
#include "word/EditableDocument.h"
#include "word/Formats.h"
#include "word/WordErrors.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

// Far above any real template; keeps a hostile file from being read whole.
constexpr qint64 kMaxTemplateFileSize = qint64(256) << 20;

bool hasEntry(const QList<ZipArchive::Entry> &entries, const QByteArray &name)
{
    for (const ZipArchive::Entry &entry : entries) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// OLE2 holds binary Word files and also password-protected OOXML packages.
bool isEncryptedPackage(const QByteArray &bytes)
{
    static const QByteArray name = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    return bytes.contains(name);
}

} // namespace

Result<DocumentPtr> loadTemplate(const QString &path)
{
    const QFileInfo info(path);
    const QString shown = path.isEmpty() ? path : info.absoluteFilePath();
    if (path.isEmpty() || !info.exists())
        return WordErrors::templateFailure(WordErrors::TemplateNotFound, shown);
    if (info.isDir())
        return WordErrors::templateFailure(WordErrors::NotAFile, shown);
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        return WordErrors::templateFailure(file.error() == QFileDevice::OpenError && !info.exists()
                                               ? WordErrors::TemplateNotFound
                                               : WordErrors::AccessDenied,
                                           shown);
    }
    const qint64 size = file.size();
    if (size > kMaxTemplateFileSize)
        return WordErrors::templateFailure(WordErrors::TooLarge, shown,
                                           u"файл больше %1 МБ"_s.arg(kMaxTemplateFileSize >> 20));
    // QIODevice::read() reserves all it is asked for, and an RTF document keeps
    // this buffer while it is open: ask for the file's own size.
    QByteArray bytes = file.read(size);
    if (file.error() != QFileDevice::NoError)
        return WordErrors::templateFailure(WordErrors::AccessDenied, shown);
    file.close();

    if (bytes.isEmpty())
        return WordErrors::templateFailure(WordErrors::EmptyFile, shown);
    const QByteArray content = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3, 16) : bytes.left(16);
    if (content.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return WordErrors::templateFailure(
            isEncryptedPackage(bytes) ? WordErrors::PasswordProtected : WordErrors::LegacyWordFormat, shown);
    if (content.startsWith("{\\rtf"))
        return loadRtf(std::move(bytes), shown);
    if (!content.startsWith("PK\x03\x04"))
        return WordErrors::templateFailure(WordErrors::UnsupportedKind, shown);

    Result<QList<ZipArchive::Entry>> entries = ZipArchive::read(bytes, shown);
    if (!entries.ok())
        return entries.status();
    bytes.clear();
    if (hasEntry(entries.value(), "[Content_Types].xml"))
        return loadDocx(std::move(entries.value()), shown);
    if (hasEntry(entries.value(), "mimetype"))
        return loadOdt(std::move(entries.value()), shown);
    return WordErrors::templateFailure(WordErrors::UnsupportedKind, shown);
}

DocumentAssembler::DocumentAssembler() = default;
DocumentAssembler::~DocumentAssembler() = default;

Status DocumentAssembler::OpenTemplate(const QString &path)
{
    discard();
    Result<DocumentPtr> document = loadTemplate(path);
    if (!document.ok())
        return document.status();
    m_document = std::move(document.value());
    return {};
}

Status DocumentAssembler::AppendParagraph(const QString &text, const QString &styleName)
{
    if (!m_document)
        return WordErrors::noOpenDocument();
    m_document->appendParagraph(text, styleName);
    return {};
}

Status DocumentAssembler::SaveDocumentAs(const QString &name)
{
    if (!m_document)
        return WordErrors::noOpenDocument();
    if (name.isEmpty())
        return WordErrors::saveFailure(FileErrors::failure(FileErrors::FileNotFound), name);
    const QString target = QFileInfo(name).absoluteFilePath();
    Result<QByteArray> bytes = m_document->render();
    if (!bytes.ok())
        return Status::failure(
            u"Не удалось сохранить документ «%1»: %2"_s.arg(target, bytes.status().message()));
    const Status written = AtomicFile::write(target, bytes.value());
    if (!written.ok())
        return WordErrors::saveFailure(written, target);
    return {};
}

Status DocumentAssembler::CloseDocument()
{
    m_document.reset();
    return {};
}

void DocumentAssembler::ReleaseWord()
{
    m_document.reset();
}

void DocumentAssembler::discard()
{
    m_document.reset();
}

bool DocumentAssembler::isOpen() const
{
    return m_document != nullptr;
}
