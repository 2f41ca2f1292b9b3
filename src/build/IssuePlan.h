#pragma once

#include "build/IssueBuild.h"
#include "data/AdList.h"

#include <QString>

#include <vector>

// What the next build would print, worked out without writing any file: the
// same rubric list, the same bucket files (a rubric's ads are those whose
// bucket is the same file) and the same count-down as the build itself.
namespace IssuePlan {

struct Section
{
    QString rubric;
    std::vector<int> ads; // indices into the list, in print order
    int words = 0;
    int characters = 0;
};

struct Problem
{
    enum Kind
    {
        MissingRubricList,        // the build stops at once
        MissingTemplate,          // the build stops at the template
        RefusedBucketName,        // the build is refused
        UnlistedRubricStops,      // no bucket: the build stops at this ad
        UnlistedRubricNotPrinted, // a bucket left from before: written, not printed
        RubricListedTwice,
        EmptyRubricLine,
        RubricWithoutAds,
    };
    Kind kind;
    QString rubric;
    int ad = -1; // index into the list, where the problem is an ad's
    QString message;

    // True for the problems that stop the build.
    bool stopsBuild() const
    {
        return kind == MissingRubricList || kind == MissingTemplate || kind == RefusedBucketName ||
               kind == UnlistedRubricStops;
    }
};

struct Plan
{
    std::vector<Section> sections; // one per line of the rubric list
    std::vector<Problem> problems;
    std::vector<bool> lastInsertion; // per ad: removed after this issue
    int adsPrinted = 0;              // paragraphs of ads (an ad listed twice counts twice)
    int runningOut = 0;
    int words = 0;
    int characters = 0;
};

// files.target may be empty: the plan does not depend on it beyond the
// bucket-name check.
Plan make(const AdList &ads, const IssueBuild::Files &files);

// The plan as plain text, one line per heading, ad, problem and total.
QString toText(const Plan &plan, const AdList &ads);

// Words as the preview counts them: runs of characters between blanks.
int countWords(QStringView text);

} // namespace IssuePlan
