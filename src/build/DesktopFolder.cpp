#include "build/DesktopFolder.h"

#include "build/Workspace.h"
#include "files/AtomicFile.h"
#include "files/FileErrors.h"
#include "files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace DesktopFolder {

namespace {

bool isFolder(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Makes the folder and its missing parents; 0 or an errno value. *made tells
// whether the folder itself is new.
int makeFolder(const QString &path, bool *made)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0777) == 0) {
        *made = true;
        return 0;
    }
    if (errno == EEXIST)
        return isFolder(native) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const QString parent = QFileInfo(path).absolutePath();
    if (parent == path)
        return ENOENT;
    bool parentMade = false;
    if (const int err = makeFolder(parent, &parentMade))
        return err;
    return makeFolder(path, made);
}

QString describe(const QString &name)
{
    if (name == Workspace::kDefaultTemplatePath)
        return u"образец шаблона «%1»"_s.arg(name);
    if (name == Workspace::kDefaultRubricsPath)
        return u"пустой список рубрик «%1»"_s.arg(name);
    return u"пустой файл объявлений «%1»"_s.arg(name);
}

QString listed(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.first(items.size() - 1).join(u", "_s) + u" и "_s + items.last();
}

} // namespace

Setup prepare(const QString &documentsFolder, const QString &sampleTemplate)
{
    Setup setup;
    const QString folder = QDir::cleanPath(
        QDir(documentsFolder.isEmpty() ? u"/"_s : documentsFolder).absoluteFilePath(kFolderName));
    if (const int err = makeFolder(folder, &setup.folderCreated)) {
        setup.failures.append(Status::failure(u"Не удалось создать рабочую папку «%1»: %2"_s.arg(
            folder, FileErrors::fromErrno(err, folder).message())));
        return setup;
    }
    setup.folder = folder;

    auto createFile = [&](const QString &name, QByteArrayView bytes) {
        const QString path = QDir(folder).filePath(name);
        const Status created = AtomicFile::create(path, bytes);
        if (created)
            setup.createdFiles.append(name);
        else if (created.code() != std::errc::file_exists)
            setup.failures.append(Status::failure(
                u"Не удалось создать «%1»: %2"_s.arg(path, created.message()), created.code()));
    };

    const QString templatePath = QDir(folder).filePath(Workspace::kDefaultTemplatePath);
    if (!QFileInfo::exists(templatePath) && !QFileInfo(templatePath).isSymLink()) {
        const auto sample = TextFile::readBytes(sampleTemplate);
        if (sample)
            createFile(Workspace::kDefaultTemplatePath, sample.value());
        else
            setup.failures.append(Status::failure(u"Не удалось прочитать образец шаблона «%1»: %2"_s.arg(
                                                      sampleTemplate, sample.status().message()),
                                                  sample.status().code()));
    }
    createFile(Workspace::kDefaultRubricsPath, {});
    createFile(Workspace::kDefaultAdsPath, {});
    return setup;
}

Status enter(const QString &folder)
{
    if (::chdir(QFile::encodeName(folder).constData()) == 0)
        return {};
    const Status failure = FileErrors::fromErrno(errno, folder);
    return Status::failure(u"Не удалось перейти в рабочую папку «%1»: %2"_s.arg(folder, failure.message()),
                           failure.code());
}

QString notice(const Setup &setup)
{
    if (!setup.folderCreated && setup.createdFiles.isEmpty())
        return {};
    QStringList items;
    for (const QString &name : setup.createdFiles)
        items.append(describe(name));
    QString text = setup.folderCreated
                       ? u"Создана рабочая папка «%1»."_s.arg(setup.folder)
                       : u"В рабочую папку «%1» добавлено: %2."_s.arg(setup.folder, listed(items));
    if (setup.folderCreated && !items.isEmpty())
        text += u" В ней: %1."_s.arg(listed(items));
    text += u"\n\nЗапущенная из меню, программа работает в этой папке. Рубрики добавляются в меню «Рубрики»; "
            u"шаблон можно заменить своим документом под тем же именем."_s;
    return text;
}

} // namespace DesktopFolder
