#include "word/WordErrors.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace WordErrors {

namespace {

const QString kResave =
    u"Откройте его в Word или LibreOffice и сохраните заново как .docx, .odt или .rtf (имя может остаться прежним, например «Шаблон.doc»)."_s;

QString quoted(const QString &path)
{
    return u"«"_s + QDir::toNativeSeparators(path) + u"»"_s;
}

QString fileReason(const std::error_code &code)
{
    if (code.category() != FileErrors::fileErrorCategory())
        return u"ошибка ввода-вывода %1"_s.arg(code.value());
    switch (code.value()) {
    case FileErrors::FileNotFound:
        return u"не задано имя файла или файл не найден"_s;
    case FileErrors::InvalidFilename:
        return u"папка не существует или имя файла недопустимо"_s;
    case FileErrors::AccessDenied:
        return u"нет доступа к файлу (файл защищён от записи или открыт другой программой)"_s;
    case FileErrors::DiskFull:
        return u"диск заполнен"_s;
    case FileErrors::TooManyOpenFiles:
        return u"открыто слишком много файлов"_s;
    default:
        return u"ошибка ввода-вывода %1"_s.arg(code.value());
    }
}

class WordErrorCategory : public std::error_category
{
public:
    const char *name() const noexcept override { return "vermata.word"; }
    std::string message(int code) const override { return "document engine error " + std::to_string(code); }
};

} // namespace

const std::error_category &wordErrorCategory()
{
    static const WordErrorCategory category;
    return category;
}

Status templateFailure(Code code, const QString &path, const QString &detail)
{
    const QString file = quoted(path);
    QString text;
    switch (code) {
    case TemplateNotFound:
        text = u"Шаблон %1 не найден. Укажите существующий файл шаблона в окне «Директории»."_s.arg(file);
        break;
    case AccessDenied:
        text = u"Шаблон %1 не удалось прочитать: нет доступа к файлу. Проверьте права на файл."_s.arg(file);
        break;
    case NotAFile:
        text = u"%1 — это папка, а не файл шаблона. Укажите файл шаблона в окне «Директории»."_s.arg(file);
        break;
    case LegacyWordFormat:
        text =
            u"Шаблон %1 сохранён в старом двоичном формате Word 97–2003, который программа не читает. "_s.arg(
                file) +
            kResave;
        break;
    case PasswordProtected:
        text =
            u"Шаблон %1 защищён паролем. Снимите пароль в Word или LibreOffice и сохраните шаблон как .docx, .odt или .rtf."_s
                .arg(file);
        break;
    case EmptyFile:
        text =
            u"Файл шаблона %1 пуст. Сохраните шаблон заново из Word или LibreOffice как .docx, .odt или .rtf."_s
                .arg(file);
        break;
    case DamagedArchive:
        text = u"Шаблон %1 повреждён: архив документа не читается (%2). "_s.arg(file, detail) + kResave;
        break;
    case UnsupportedKind:
        text =
            u"Файл %1 не является текстовым документом, который программа умеет заполнять (.docx, .dotx, .docm, .odt, .ott, .rtf). "_s
                .arg(file) +
            kResave;
        break;
    case TooLarge:
        text =
            u"Шаблон %1 отклонён: %2. Возьмите шаблон поменьше или сохраните его заново из Word или LibreOffice."_s
                .arg(file, detail);
        break;
    case DuplicateEntry:
        text = u"Шаблон %1 повреждён: часть «%2» встречается в архиве дважды. "_s.arg(file, detail) + kResave;
        break;
    case BrokenXml:
        text = u"Шаблон %1 повреждён: ошибка XML в части %2. "_s.arg(file, detail) + kResave;
        break;
    case BrokenDocument:
        text = u"Шаблон %1 повреждён: %2. "_s.arg(file, detail) + kResave;
        break;
    case NoOpenDocument:
        text = u"Документ не открыт: сначала откройте шаблон."_s;
        break;
    }
    return Status::failure(text, code);
}

Status saveFailure(const Status &fileFailure, const QString &path)
{
    return Status::failure(
        u"Не удалось сохранить документ %1: %2."_s.arg(quoted(path), fileReason(fileFailure.code())),
        fileFailure.code());
}

Status noOpenDocument()
{
    return templateFailure(NoOpenDocument, {});
}

} // namespace WordErrors
