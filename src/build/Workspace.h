#pragma once

#include "build/Expiry.h"
#include "data/AdFields.h"
#include "data/AdGridModel.h"
#include "data/AdsFile.h"
#include "files/Status.h"

#include <QString>
#include <QStringList>

class DocumentAssembler;

// The program's state and the operations on it: the paths of the ads file,
// the rubric list and the template; the ad list (the grid's model, the one
// copy of the ads while the program runs); the row that changing and deleting
// act on; and the ads file with its guard against replacing a file the run
// never saw. The windows are handed one workspace and work through it.
class Workspace
{
public:
    Workspace();

    // The names a new run starts with, relative to the working folder.
    static inline const QString kDefaultAdsPath = QStringLiteral("x.txt");
    static inline const QString kDefaultRubricsPath = QStringLiteral("Рубрики.txt");
    static inline const QString kDefaultTemplatePath = QStringLiteral("Шаблон.doc");

    // Back to the state of a new run: default paths, CurrentRow 1, no ads,
    // no headings, and nothing known about any ads file.
    void reset();

    QString adsPath;
    QString rubricsPath;
    QString templatePath;
    // The row (1 is the first ad) that changing and deleting act on. It may
    // designate no ad after deletions or expiry.
    int currentRow = 1;

    AdGridModel &ads() { return m_ads; }
    const AdGridModel &ads() const { return m_ads; }

    // The names of the rubric list file at rubricsPath.
    Result<QStringList> readRubricList() const;
    // Replaces the ad list with the ads file at adsPath; on failure the list
    // stays as it was.
    Status loadAds();
    // Rewrites the ads file at adsPath from the list.
    Status saveAds();

    // The index (0-based) of the ad currentRow designates, or a failure telling
    // the operator that no ad is selected.
    Result<int> currentAd() const;

    // Each edit is refused, changing nothing, when a field could not be
    // stored (AdFields); otherwise the list changes and the ads file is
    // rewritten. A failed save keeps the edit in the list.
    Status addAd(const ComposedAd &ad);
    Status changeCurrentAd(const ComposedAd &ad);
    Status removeCurrentAd();

    struct BuildOutcome
    {
        Status document;       // the issue document; on failure nothing below happened
        Expiry::Result expiry; // the ads that ran out
        Expiry::Selection selection;
        Status saved; // the rewrite of the ads file after expiry
    };

    // Typesets the issue into target (see IssueBuild), then charges it to the
    // ads: one insertion off each, the run-out ads removed, currentRow moved as
    // removing them row by row would move it, and the ads file rewritten.
    // cellRow is the grid's current row (1-based), 0 for none.
    BuildOutcome buildIssue(const QString &target, DocumentAssembler &engine, int cellRow);

private:
    void writeAd(int index, const ComposedAd &ad);

    AdGridModel m_ads;
    AdsFile m_adsFile;
};
