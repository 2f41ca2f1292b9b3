#include "build/Workspace.h"

#include "build/IssueBuild.h"
#include "data/RubricListFile.h"

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
    return saveAds();
}

Status Workspace::changeCurrentAd(const ComposedAd &ad)
{
    const Result<int> index = currentAd();
    if (!index)
        return index.status();
    if (Status storable = AdFields::checkStorable(ad); !storable)
        return storable;
    writeAd(index.value(), ad);
    return saveAds();
}

Status Workspace::removeCurrentAd()
{
    const Result<int> index = currentAd();
    if (!index)
        return index.status();
    m_ads.removeAd(index.value());
    return saveAds();
}

Workspace::BuildOutcome Workspace::buildIssue(const QString &target, DocumentAssembler &engine, int cellRow)
{
    BuildOutcome outcome;
    outcome.document = IssueBuild::typeset(m_ads.ads(), {adsPath, rubricsPath, templatePath, target}, engine);
    if (!outcome.document)
        return outcome;
    outcome.expiry = m_ads.changeAll([](AdList &ads) { return Expiry::expire(ads); });
    outcome.selection = Expiry::selectionAfter(outcome.expiry, m_ads.ads(), cellRow, currentRow);
    currentRow = outcome.selection.currentRow;
    outcome.saved = saveAds();
    return outcome;
}
