#include "build/IssueBuild.h"

#include "data/RubricListFile.h"
#include "files/Cp1251.h"
#include "files/FileErrors.h"
#include "files/FileIdentity.h"
#include "files/TextFile.h"
#include "word/DocumentAssembler.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <map>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace IssueBuild {

namespace {

QString quoted(const QString &name)
{
    return u"«"_s + QDir::toNativeSeparators(name) + u"»"_s;
}

// The program's own files, each with what to call it in a message.
struct ProgramFile
{
    const QString *path;
    QString role;
};

QList<ProgramFile> programFiles(const Files &files)
{
    return {{&files.ads, u"файл объявлений"_s},
            {&files.rubrics, u"список рубрик"_s},
            {&files.templateFile, u"шаблон"_s},
            {&files.target, u"файл выпуска"_s}};
}

// The distinct rubric names among the ads, in order of first use, with each
// ad's index into them.
struct AdRubrics
{
    std::vector<QByteArray> names;
    std::vector<int> ofAd;
};

AdRubrics collectAdRubrics(const AdList &ads)
{
    AdRubrics rubrics;
    rubrics.ofAd.reserve(size_t(ads.count()));
    QHash<QByteArray, int> index;
    for (int i = 0; i < ads.count(); ++i) {
        // Views into the list's pool: no copy for names already seen.
        const QByteArray name = QByteArray::fromRawData(ads.rawField(i, AdList::Rubric).data(),
                                                        ads.rawField(i, AdList::Rubric).size());
        auto found = index.constFind(name);
        if (found == index.cend()) {
            found = index.insert(name, int(rubrics.names.size()));
            rubrics.names.push_back(name);
        }
        rubrics.ofAd.push_back(found.value());
    }
    return rubrics;
}

// Appends each ad's text and CR LF to its rubric's bucket, leaving the
// buckets exactly as appending one ad at a time would: all ads before the
// first one whose bucket cannot be opened are appended, and that failure is
// returned. Each bucket is opened once.
Status fillBuckets(const AdList &ads, const AdRubrics &rubrics)
{
    // Buckets that are one file under two names share one group, so that the
    // file still receives its lines in list order.
    std::vector<int> groupOfRubric(rubrics.names.size(), -1);
    std::map<std::pair<std::uint64_t, std::uint64_t>, int> groupOfFile;
    std::vector<QString> groupPaths;
    int stopAt = ads.count();
    Status failure;
    for (int i = 0; i < ads.count(); ++i) {
        const int rubric = rubrics.ofAd[size_t(i)];
        if (groupOfRubric[size_t(rubric)] >= 0)
            continue;
        const QString path = RubricListFile::bucketPath(Cp1251::decode(rubrics.names[size_t(rubric)]));
        const Result<FileIdentity> file = FileIdentity::checkAppendable(path);
        if (!file) {
            stopAt = i;
            failure = file.status();
            break;
        }
        const auto [found, added] =
            groupOfFile.try_emplace({file->device, file->inode}, int(groupPaths.size()));
        if (added)
            groupPaths.push_back(path);
        groupOfRubric[size_t(rubric)] = found->second;
    }

    // Each bucket's lines are gathered into one reused buffer and written at
    // once, so that memory stays at the largest bucket, not all of them.
    std::vector<std::vector<int>> adsOfGroup(groupPaths.size());
    for (int i = 0; i < stopAt; ++i)
        adsOfGroup[size_t(groupOfRubric[size_t(rubrics.ofAd[size_t(i)])])].push_back(i);
    QByteArray lines;
    for (size_t group = 0; group < groupPaths.size(); ++group) {
        if (adsOfGroup[group].empty())
            continue;
        lines.resize(0);
        for (const int i : adsOfGroup[group]) {
            const QByteArrayView text = ads.rawField(i, AdList::Text);
            lines.append(text.data(), text.size());
            lines.append("\r\n", 2);
        }
        if (Status appended = TextFile::appendToExisting(groupPaths[group], lines); !appended)
            return appended;
    }
    return failure;
}

// Templates opt in to newspaper typesetting by defining paragraph styles of
// these names; without them every paragraph looks like the template's last.
const QString kHeadingStyle = u"Рубрика"_s;
const QString kAdStyle = u"Объявление"_s;

Status layOut(const QList<QByteArray> &rubricLines, DocumentAssembler &engine, Report *report)
{
    QByteArray bucket;
    QString text;
    for (const QByteArray &line : rubricLines) {
        const QString rubric = Cp1251::decode(line);
        if (Status s = engine.AppendParagraph(rubric, kHeadingStyle); !s)
            return s;
        if (Status read = TextFile::readInto(RubricListFile::bucketPath(rubric), bucket); !read)
            return read;
        Status appended;
        int printed = 0;
        TextFile::forEachLine(bucket, [&](QByteArrayView ad) {
            if (!appended)
                return;
            Cp1251::decodeInto(ad, text);
            appended = engine.AppendParagraph(text, kAdStyle);
            ++printed;
        });
        if (report)
            report->printed.append({rubric, printed});
        if (!appended)
            return appended;
    }
    return {};
}

} // namespace

Status checkTarget(const Files &files)
{
    if (files.target.isEmpty())
        return Status::failure(
            u"Не задано имя файла выпуска. Введите его в поле или выберите файл кнопкой «Сохронить»."_s);
    const struct
    {
        const QString &path;
        QString why;
    } guarded[] = {
        {files.templateFile, u"это шаблон: следующие выпуски начинались бы с объявлений этого"_s},
        {files.ads, u"это файл объявлений: объявления были бы потеряны"_s},
        {files.rubrics, u"это список рубрик: он был бы потерян"_s},
    };
    for (const auto &file : guarded) {
        if (isSameFile(files.target, file.path))
            return Status::failure(u"Выпуск нельзя сохранить в %1: %2. Выберите другое имя файла."_s.arg(
                quoted(files.target), file.why));
    }
    return {};
}

Status checkBucketName(const QString &rubric, const Files &files, BucketUse use)
{
    const bool printing = use == BucketUse::Printing;
    const QString bucket = RubricListFile::bucketPath(rubric);
    const QString refused =
        u"Рубрику %1 нельзя %2: "_s.arg(quoted(rubric), printing ? u"напечатать"_s : u"добавить"_s);
    const QString rename = printing ? u"Переименуйте рубрику"_s : u"Выберите другое название"_s;
    if (rubric.contains(u'/') || rubric.contains(QChar(0)))
        return Status::failure(
            refused +
            u"её рабочий файл %1 лежал бы вне рабочей папки (в названии есть «/»). "_s.arg(quoted(bucket)) +
            (printing ? u"Исправьте название в списке рубрик"_s : rename) + u'.');
    for (const ProgramFile &file : programFiles(files)) {
        if (isSameFile(bucket, *file.path))
            return Status::failure(
                refused + u"её рабочий файл %1 — это %2 программы. "_s.arg(quoted(bucket), file.role) +
                rename + u'.');
    }
    if (const std::optional<FileIdentity> existing = FileIdentity::of(bucket); existing && !existing->regular)
        return Status::failure(refused + u"%1 — не обычный файл. "_s.arg(quoted(bucket)) + rename +
                               u" или уберите этот файл из рабочей папки."_s);
    return {};
}

Status typeset(const AdList &ads, const Files &files, DocumentAssembler &engine, Report *report)
{
    if (Status s = checkTarget(files); !s)
        return s;
    const Result<QByteArray> list = TextFile::readBytes(files.rubrics);
    if (!list)
        return list.status();
    const QList<QByteArray> rubricLines = TextFile::splitLines(list.value());
    const AdRubrics adRubrics = collectAdRubrics(ads);

    QSet<QByteArray> checked;
    auto check = [&](const QByteArray &name) {
        if (checked.contains(name))
            return Status();
        checked.insert(name);
        return checkBucketName(Cp1251::decode(name), files);
    };
    for (const QByteArray &line : rubricLines) {
        if (Status s = check(line); !s)
            return s;
    }
    for (const QByteArray &name : adRubrics.names) {
        if (Status s = check(name); !s)
            return s;
    }

    for (const QByteArray &line : rubricLines) {
        if (Status s = TextFile::createEmpty(RubricListFile::bucketPath(Cp1251::decode(line))); !s)
            return s;
    }
    if (Status s = fillBuckets(ads, adRubrics); !s)
        return s;

    Status built = engine.OpenTemplate(files.templateFile);
    if (built)
        built = layOut(rubricLines, engine, report);
    if (built)
        built = engine.SaveDocumentAs(files.target);
    if (built)
        built = engine.CloseDocument();
    if (!built) {
        // Nothing half-built is kept for the next build.
        engine.discard();
        return built;
    }
    engine.ReleaseWord();
    if (report)
        report->rubricList = list.value();
    return {};
}

} // namespace IssueBuild
