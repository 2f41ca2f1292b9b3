#include "data/RubricListFile.h"

#include "data/AdFields.h"
#include "files/AtomicFile.h"
#include "files/Cp1251.h"
#include "files/TextFile.h"

#include <QFile>

#include <climits>

using namespace Qt::Literals::StringLiterals;

namespace RubricListFile {

Result<QStringList> read(const QString &path)
{
    return TextFile::readLines(path);
}

QString bucketPath(const QString &rubric)
{
    return rubric + u".txt"_s;
}

Status checkNewName(const QString &name)
{
    if (name.isEmpty())
        return Status::failure(
            u"Название рубрики не задано: пустая строка в конце списка рубрик не читается как рубрика"_s);
    if (Status storable = AdFields::checkStorable(name, u"в названии рубрики"_s); !storable)
        return storable;

    const QString bucket = bucketPath(name);
    if (name.contains(u'/'))
        return Status::failure(u"Символ «/» нельзя использовать в названии рубрики: её рабочий файл «%1» "
                               u"лежал бы вне рабочей папки"_s.arg(bucket));
    if (name.contains(QChar(0)))
        return Status::failure(u"Нулевой символ (U+0000) нельзя использовать в названии рубрики: "
                               u"имя файла не может его содержать"_s);
    if (QFile::encodeName(bucket).size() > NAME_MAX)
        return Status::failure(u"Название рубрики слишком длинное: имя её рабочего файла длиннее %1 байт, "
                               u"которые допускает файловая система"_s.arg(NAME_MAX));
    return {};
}

Status AppendRubric(const QString &path, const QString &name)
{
    if (Status acceptable = checkNewName(name); !acceptable)
        return acceptable;
    const auto encodedName = Cp1251::encode(name);

    auto bytes = TextFile::readBytes(path);
    if (!bytes)
        return bytes.status();

    QByteArray out;
    out.reserve(bytes->size() + encodedName->size() + 2);
    TextFile::forEachLine(bytes.value(), [&](QByteArrayView line) {
        out.append(line.data(), line.size());
        out.append("\r\n", 2);
    });
    out.append(*encodedName);
    return AtomicFile::write(path, out);
}

} // namespace RubricListFile
