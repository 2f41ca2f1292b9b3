#include "data/RubricListFile.h"

#include "data/AdFields.h"
#include "files/AtomicFile.h"
#include "files/Cp1251.h"
#include "files/TextFile.h"

namespace RubricListFile {

Result<QStringList> read(const QString &path)
{
    return TextFile::readLines(path);
}

Status AppendRubric(const QString &path, const QString &name)
{
    if (Status storable = AdFields::checkRubricName(name); !storable)
        return storable;
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
