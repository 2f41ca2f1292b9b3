#include "build/IssuePlan.h"

#include "build/RunsCount.h"
#include "data/RubricListFile.h"
#include "files/Cp1251.h"
#include "files/FileIdentity.h"
#include "files/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace IssuePlan {

namespace {

// Which file a bucket is: by identity when it exists, else by its path, as
// the build will create it.
QString bucketKey(const QString &rubric)
{
    const QString path = RubricListFile::bucketPath(rubric);
    if (const std::optional<FileIdentity> id = FileIdentity::of(path))
        return u"#"_s + QString::number(id->device) + u':' + QString::number(id->inode);
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString quoted(const QString &text)
{
    return u"«"_s + text + u"»"_s;
}

} // namespace

int countWords(QStringView text)
{
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (!blank && !inWord)
            ++words;
        inWord = !blank;
    }
    return words;
}

Plan make(const AdList &ads, const IssueBuild::Files &files)
{
    Plan plan;
    plan.lastInsertion.resize(size_t(ads.count()));
    for (int i = 0; i < ads.count(); ++i) {
        if (RunsCount::countedDown(RunsCount::read(ads.rawField(i, AdList::Runs))) == 0) {
            plan.lastInsertion[size_t(i)] = true;
            ++plan.runningOut;
        }
    }

    const Result<QByteArray> list = TextFile::readBytes(files.rubrics);
    if (!list) {
        plan.problems.push_back(
            {Problem::MissingRubricList,
             {},
             -1,
             u"Список рубрик %1 не читается: %2"_s.arg(quoted(files.rubrics), list.status().message())});
    }
    if (!FileIdentity::of(files.templateFile)) {
        plan.problems.push_back(
            {Problem::MissingTemplate, {}, -1, u"Шаблон %1 не найден"_s.arg(quoted(files.templateFile))});
    }

    // The ads of each bucket, in list order; rubrics and buckets are looked
    // up once each, ads by number.
    QHash<QByteArray, int> bucketOfRubric;
    QHash<QString, int> bucketOfKey;
    std::vector<std::vector<int>> adsOfBucket;
    std::vector<int> bucketOfAd(size_t(ads.count()));
    auto bucketFor = [&](const QString &key) {
        auto found = bucketOfKey.constFind(key);
        if (found == bucketOfKey.cend()) {
            found = bucketOfKey.insert(key, int(adsOfBucket.size()));
            adsOfBucket.emplace_back();
        }
        return found.value();
    };
    for (int i = 0; i < ads.count(); ++i) {
        const QByteArray raw = QByteArray::fromRawData(ads.rawField(i, AdList::Rubric).data(),
                                                       ads.rawField(i, AdList::Rubric).size());
        auto known = bucketOfRubric.constFind(raw);
        if (known == bucketOfRubric.cend())
            known = bucketOfRubric.insert(raw, bucketFor(bucketKey(Cp1251::decode(raw))));
        bucketOfAd[size_t(i)] = known.value();
        adsOfBucket[size_t(known.value())].push_back(i);
    }

    std::vector<bool> listedBucket(adsOfBucket.size());
    QSet<QString> seenLines;
    QSet<QString> refused;
    auto refuse = [&](const QString &rubric, int ad) {
        if (refused.contains(rubric))
            return;
        const Status check = IssueBuild::checkBucketName(rubric, files);
        if (!check) {
            refused.insert(rubric);
            plan.problems.push_back({Problem::RefusedBucketName, rubric, ad, check.message()});
        }
    };
    const QList<QByteArray> lines = list ? TextFile::splitLines(list.value()) : QList<QByteArray>();
    for (const QByteArray &line : lines) {
        Section section;
        section.rubric = Cp1251::decode(line);
        refuse(section.rubric, -1);
        if (section.rubric.isEmpty() && !seenLines.contains(section.rubric))
            plan.problems.push_back({Problem::EmptyRubricLine, section.rubric, -1,
                                     u"Пустая строка в списке рубрик: пустой заголовок"_s});
        else if (seenLines.contains(section.rubric))
            plan.problems.push_back({Problem::RubricListedTwice, section.rubric, -1,
                                     u"Рубрика %1 стоит в списке дважды и будет напечатана дважды"_s.arg(
                                         quoted(section.rubric))});
        seenLines.insert(section.rubric);

        const int bucket = bucketFor(bucketKey(section.rubric));
        listedBucket.resize(adsOfBucket.size());
        listedBucket[size_t(bucket)] = true;
        section.ads = adsOfBucket[size_t(bucket)];
        if (section.ads.empty() && !section.rubric.isEmpty())
            plan.problems.push_back({Problem::RubricWithoutAds, section.rubric, -1,
                                     u"В рубрике %1 нет объявлений"_s.arg(quoted(section.rubric))});
        for (const int ad : section.ads) {
            const QString text = ads.field(ad, AdList::Text);
            section.words += countWords(text);
            section.characters += int(text.size());
        }
        plan.adsPrinted += int(section.ads.size());
        plan.words += section.words;
        plan.characters += section.characters;
        plan.sections.push_back(std::move(section));
    }

    // Ads whose bucket no listed rubric shares; each rubric is checked once.
    struct AdRubric
    {
        QString name;
        bool bucketExists = false;
    };
    QHash<QByteArray, AdRubric> adRubrics;
    for (int i = 0; i < ads.count(); ++i) {
        const QByteArray raw = QByteArray::fromRawData(ads.rawField(i, AdList::Rubric).data(),
                                                       ads.rawField(i, AdList::Rubric).size());
        auto known = adRubrics.constFind(raw);
        if (known == adRubrics.cend()) {
            AdRubric rubric{Cp1251::decode(raw)};
            refuse(rubric.name, i);
            rubric.bucketExists = FileIdentity::of(RubricListFile::bucketPath(rubric.name)).has_value();
            known = adRubrics.insert(raw, rubric);
        }
        if (listedBucket[size_t(bucketOfAd[size_t(i)])])
            continue;
        const QString &rubric = known->name;
        if (known->bucketExists)
            plan.problems.push_back({Problem::UnlistedRubricNotPrinted, rubric, i,
                                     u"Рубрики %1 нет в списке рубрик: объявление в строке %2 не будет "
                                     u"напечатано, но потеряет выход"_s.arg(quoted(rubric))
                                         .arg(i + 1)});
        else
            plan.problems.push_back({Problem::UnlistedRubricStops, rubric, i,
                                     u"Рубрики %1 нет в списке рубрик и нет её файла: на объявлении в строке "
                                     u"%2 сборка остановится (File not found)"_s.arg(quoted(rubric))
                                         .arg(i + 1)});
    }
    return plan;
}

QString toText(const Plan &plan, const AdList &ads)
{
    QString text;
    for (const Section &section : plan.sections) {
        text += u"== %1 ==  (объявлений: %2, слов: %3, знаков: %4)\n"_s.arg(section.rubric)
                    .arg(section.ads.size())
                    .arg(section.words)
                    .arg(section.characters);
        for (const int ad : section.ads) {
            text += u"  %1. %2"_s.arg(ad + 1).arg(ads.field(ad, AdList::Text));
            if (plan.lastInsertion[size_t(ad)])
                text += u"  [последний выход]"_s;
            text += u'\n';
        }
    }
    if (!plan.problems.empty()) {
        text += u"\nЗамечания:\n"_s;
        for (const Problem &problem : plan.problems)
            text += (problem.stopsBuild() ? u"  ! "_s : u"  - "_s) + problem.message + u'\n';
    }
    text += u"\nИтого: объявлений в выпуске %1, снимается после выпуска %2, слов %3, знаков %4\n"_s
                .arg(plan.adsPrinted)
                .arg(plan.runningOut)
                .arg(plan.words)
                .arg(plan.characters);
    return text;
}

} // namespace IssuePlan
