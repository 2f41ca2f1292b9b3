#pragma once

#include "build/EditHistory.h"
#include "build/Expiry.h"
#include "build/IssueArchive.h"
#include "build/IssueBuild.h"
#include "data/AdFields.h"
#include "data/AdGridModel.h"
#include "data/AdsFile.h"
#include "files/Status.h"

#include <QString>
#include <QStringList>

#include <optional>

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
    // no headings, no edit history, and nothing known about any ads file.
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
    // Whether name may be added as a rubric: refused, touching nothing, when
    // the rubric list cannot take it (RubricListFile::checkNewName) or its
    // bucket file would be another file of the program or is no plain file.
    Status checkNewRubric(const QString &name) const;
    // After checkNewRubric: appends name to the rubric list at rubricsPath,
    // then creates its bucket file empty (or empties it). When the list cannot
    // be written no bucket is made; a bucket that cannot be made is reported
    // with the rubric already in the list.
    Status addRubric(const QString &name);
    // Replaces the ad list with the ads file at adsPath, and forgets the edit
    // history; on failure the list stays as it was.
    Status loadAds();
    // Rewrites the ads file at adsPath from the list.
    Status saveAds();

    // The index (0-based) of the ad currentRow designates, or a failure telling
    // the operator that no ad is selected.
    Result<int> currentAd() const;

    // Each edit is refused, changing nothing, when a field could not be
    // stored (AdFields); otherwise the list changes, the edit history records
    // it (a change that leaves the ad as it was records nothing) and the ads
    // file is rewritten. A failed save keeps the edit in the list and in the
    // history.
    Status addAd(const ComposedAd &ad);
    Status changeCurrentAd(const ComposedAd &ad);
    Status removeCurrentAd();

    const EditHistory &history() const { return m_history; }
    // Takes back the last edit that stands, or makes the last one taken back
    // again, and rewrites the ads file; currentRow then designates the row the
    // step touched (the new last row when it removed the last ad). Does nothing
    // when there is no such step. A failed save puts the list back as it was
    // and leaves the step where it was, so that trying again retries the same
    // step.
    Status undo();
    Status redo();
    // Nothing can be taken back or made again any more; the memory the steps
    // held is given back.
    void forgetHistory() { m_history.clear(); }

    struct BuildOutcome
    {
        // The issue document and its archive record; on failure nothing
        // below happened and no insertion was consumed.
        Status document;
        QString record;        // the archive record's folder
        Expiry::Result expiry; // the ads that ran out
        Expiry::Selection selection;
        Status saved; // the rewrite of the ads file after expiry
    };

    // Typesets the issue into target (see IssueBuild), records it in the
    // issue archive beside the ads file, then charges it to the ads: one
    // insertion off each, the run-out ads removed, currentRow moved as
    // removing them row by row would move it, the edit history forgotten (an
    // issue is taken back through its archive, not edit by edit), and the ads
    // file rewritten.
    // cellRow is the grid's current row (1-based), 0 for none.
    BuildOutcome buildIssue(const QString &target, DocumentAssembler &engine, int cellRow);

    // What taking back the last issue would do.
    struct TakeBack
    {
        IssueArchive::Record record;
        int adsToRestore = 0; // ads in the list as it was before that issue
        int changedSince = 0; // ads added, changed or deleted since (each side of a change counts)
    };
    // The newest issue in the archive not taken back yet; nothing when there
    // is none.
    Result<std::optional<TakeBack>> lastIssue() const;
    // Puts the ad list and the ads file back as they were before that issue
    // was charged, and marks its record as taken back.
    Status takeBack(const IssueArchive::Record &record);

private:
    void writeAd(int index, const ComposedAd &ad);
    IssueBuild::Files files(const QString &target) const;
    Status stepThroughHistory(bool back);

    AdGridModel m_ads;
    AdsFile m_adsFile;
    EditHistory m_history;
};
