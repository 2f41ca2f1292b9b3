#include "build/Workspace.h"

#include "data/RubricListFile.h"
#include "files/TextFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

Workspace::Workspace()
{
    reset();
}

void Workspace::reset()
{
    adsPath = kDefaultAdsPath;
    rubricsPath = kDefaultRubricsPath;
    templatePath = kDefaultTemplatePath;
    currentRow = 1;
    m_ads.replaceAll(AdList());
    m_ads.setHeadings({});
    m_adsFile = AdsFile();
    m_history.clear();
}

Result<QStringList> Workspace::readRubricList() const
{
    return RubricListFile::read(rubricsPath);
}

Status Workspace::checkNewRubric(const QString &name) const
{
    if (Status acceptable = RubricListFile::checkNewName(name); !acceptable)
        return acceptable;
    return IssueBuild::checkBucketName(name, files({}), IssueBuild::BucketUse::Adding);
}

Status Workspace::addRubric(const QString &name)
{
    if (Status acceptable = checkNewRubric(name); !acceptable)
        return acceptable;
    if (Status appended = RubricListFile::AppendRubric(rubricsPath, name); !appended)
        return appended;
    const QString bucket = RubricListFile::bucketPath(name);
    if (Status created = TextFile::createEmpty(bucket); !created)
        return Status::failure(
            u"Рубрика «%1» добавлена в список рубрик, но её рабочий файл «%2» "
            u"создать не удалось: %3"_s.arg(name, bucket, messageForDisplay(created.message())),
            created.code());
    return {};
}

IssueBuild::Files Workspace::files(const QString &target) const
{
    return {adsPath, rubricsPath, templatePath, target};
}

Status Workspace::loadAds()
{
    auto ads = m_adsFile.load(adsPath);
    if (!ads)
        return ads.status();
    m_ads.replaceAll(std::move(ads.value()));
    m_history.clear();
    return {};
}

Status Workspace::saveAds()
{
    return m_adsFile.save(adsPath, m_ads.ads());
}

Result<int> Workspace::currentAd() const
{
    if (currentRow < 1 || currentRow > m_ads.adCount())
        return Status::failure(u"Не выбрано объявление: выделите строку в таблице"_s);
    return currentRow - 1;
}

void Workspace::writeAd(int index, const ComposedAd &ad)
{
    if (ad.runs)
        m_ads.setCell(index, AdList::Runs, *ad.runs);
    m_ads.setCell(index, AdList::Text, ad.text);
    m_ads.setCell(index, AdList::Rubric, ad.rubric);
}

Status Workspace::addAd(const ComposedAd &ad)
{
    if (Status storable = AdFields::checkStorable(ad); !storable)
        return storable;
    m_ads.appendAd();
    writeAd(m_ads.adCount() - 1, ad);
    m_history.recordAdd(m_ads.adCount() - 1);
    return saveAds();
}

Status Workspace::changeCurrentAd(const ComposedAd &ad)
{
    const Result<int> index = currentAd();
    if (!index)
        return index.status();
    if (Status storable = AdFields::checkStorable(ad); !storable)
        return storable;
    StoredAd before = StoredAd::of(m_ads.ads(), index.value());
    writeAd(index.value(), ad);
    if (StoredAd::of(m_ads.ads(), index.value()) != before)
        m_history.recordChange(index.value(), std::move(before));
    return saveAds();
}

Status Workspace::removeCurrentAd()
{
    const Result<int> index = currentAd();
    if (!index)
        return index.status();
    StoredAd removed = StoredAd::of(m_ads.ads(), index.value());
    m_ads.removeAd(index.value());
    m_history.recordRemove(index.value(), std::move(removed));
    return saveAds();
}

Status Workspace::undo()
{
    return stepThroughHistory(true);
}

Status Workspace::redo()
{
    return stepThroughHistory(false);
}

Status Workspace::stepThroughHistory(bool back)
{
    if (!(back ? m_history.nextUndo() : m_history.nextRedo()))
        return {};
    const int touched = back ? m_history.undo(m_ads) : m_history.redo(m_ads);
    if (Status saved = saveAds(); !saved) {
        // The same step in the other direction restores the list exactly.
        if (back)
            m_history.redo(m_ads);
        else
            m_history.undo(m_ads);
        return saved;
    }
    currentRow = std::clamp(touched + 1, 1, std::max(1, m_ads.adCount()));
    return {};
}

Workspace::BuildOutcome Workspace::buildIssue(const QString &target, DocumentAssembler &engine, int cellRow)
{
    BuildOutcome outcome;
    IssueBuild::Report report;
    outcome.document = IssueBuild::typeset(m_ads.ads(), files(target), engine, &report);
    if (!outcome.document)
        return outcome;

    IssueArchive::Record record;
    record.builtAt = QDateTime::currentDateTime();
    record.target = QFileInfo(target).absoluteFilePath();
    record.format = IssueArchive::documentFormat(target);
    record.adsBefore = m_ads.adCount();
    for (const int row : Expiry::runningOut(m_ads.ads()))
        record.removedRows.append(row + 1);
    for (const auto &[rubric, printed] : report.printed) {
        if (!record.adsPerRubric.contains(rubric))
            record.rubricOrder.append(rubric);
        record.adsPerRubric[rubric] += printed;
    }
    const Result<QString> written = IssueArchive::write(adsPath, record, {m_ads.ads(), report.rubricList});
    if (!written) {
        outcome.document = Status::failure(
            u"Выпуск сохранён, но запись о нём в папке «%1» не удалась: %2. "
            u"Объявления не изменены; повторите сборку."_s.arg(QString::fromUtf16(IssueArchive::kFolderName),
                                                               messageForDisplay(written.status().message())),
            written.status().code());
        return outcome;
    }
    outcome.record = written.value();

    outcome.expiry = m_ads.changeAll([](AdList &ads) { return Expiry::expire(ads); });
    forgetHistory();
    outcome.selection = Expiry::selectionAfter(outcome.expiry, m_ads.ads(), cellRow, currentRow);
    currentRow = outcome.selection.currentRow;
    outcome.saved = saveAds();
    return outcome;
}

namespace {

// How many ads differ between two lists: each ad of one that the other lacks
// (as a whole line, counted with repeats).
int differingAds(const AdList &a, const AdList &b)
{
    QHash<QByteArray, int> counts;
    QByteArray line;
    for (int i = 0; i < a.count(); ++i) {
        line.resize(0);
        a.appendFileLine(i, line);
        ++counts[line];
    }
    int differing = 0;
    for (int i = 0; i < b.count(); ++i) {
        line.resize(0);
        b.appendFileLine(i, line);
        auto found = counts.find(line);
        if (found != counts.end() && found.value() > 0)
            --found.value();
        else
            ++differing;
    }
    for (const int left : std::as_const(counts))
        differing += left;
    return differing;
}

} // namespace

Result<std::optional<Workspace::TakeBack>> Workspace::lastIssue() const
{
    const Result<std::optional<IssueArchive::Record>> last = IssueArchive::lastStanding(adsPath);
    if (!last)
        return last.status();
    if (!last.value())
        return std::optional<TakeBack>();
    const Result<QByteArray> before = IssueArchive::adsBeforeExpiry(*last.value());
    if (!before)
        return before.status();
    TakeBack takeBack{*last.value(), 0, 0};
    const AdList restored = AdList::fromFileBytes(before.value());
    takeBack.adsToRestore = restored.count();
    // What the list was right after that issue: the same count-down again.
    AdList afterIssue = restored;
    Expiry::expire(afterIssue);
    takeBack.changedSince = differingAds(afterIssue, m_ads.ads());
    return std::optional<TakeBack>(takeBack);
}

Status Workspace::takeBack(const IssueArchive::Record &record)
{
    const Result<QByteArray> before = IssueArchive::adsBeforeExpiry(record);
    if (!before)
        return before.status();
    AdList restored = AdList::fromFileBytes(before.value());
    // The file first: if it cannot be written, nothing changes.
    if (Status saved = m_adsFile.save(adsPath, restored); !saved)
        return saved;
    m_ads.replaceAll(std::move(restored));
    // The steps of the edit history were taken on a list that is gone.
    forgetHistory();
    return IssueArchive::markTakenBack(record, QDateTime::currentDateTime());
}
