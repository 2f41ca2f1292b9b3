#include "build/Workspace.h"

#include "build/IssueBuild.h"
#include "data/RubricListFile.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

Workspace::Workspace()
{
    reset();
}

void Workspace::reset()
{
    adsPath = u"x.txt"_s;
    rubricsPath = u"Рубрики.txt"_s;
    templatePath = u"Шаблон.doc"_s;
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
    outcome.document = IssueBuild::typeset(m_ads.ads(), {adsPath, rubricsPath, templatePath, target}, engine);
    if (!outcome.document)
        return outcome;
    outcome.expiry = m_ads.changeAll([](AdList &ads) { return Expiry::expire(ads); });
    forgetHistory();
    outcome.selection = Expiry::selectionAfter(outcome.expiry, m_ads.ads(), cellRow, currentRow);
    currentRow = outcome.selection.currentRow;
    outcome.saved = saveAds();
    return outcome;
}
