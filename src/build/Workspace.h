#pragma once

#include "build/EditHistory.h"
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
        Status document;       // the issue document; on failure nothing below happened
        Expiry::Result expiry; // the ads that ran out
        Expiry::Selection selection;
        Status saved; // the rewrite of the ads file after expiry
    };

    // Typesets the issue into target (see IssueBuild), then charges it to the
    // ads: one insertion off each, the run-out ads removed, currentRow moved as
    // removing them row by row would move it, the edit history forgotten (an
    // issue is taken back through its archive, not edit by edit), and the ads
    // file rewritten.
    // cellRow is the grid's current row (1-based), 0 for none.
    BuildOutcome buildIssue(const QString &target, DocumentAssembler &engine, int cellRow);

private:
    void writeAd(int index, const ComposedAd &ad);
    Status stepThroughHistory(bool back);

    AdGridModel m_ads;
    AdsFile m_adsFile;
    EditHistory m_history;
};
