#include "build/Expiry.h"

#include "build/RunsCount.h"

namespace Expiry {

std::vector<int> runningOut(const AdList &ads)
{
    std::vector<int> rows;
    for (int i = 0; i < ads.count(); ++i) {
        if (RunsCount::countedDown(RunsCount::read(ads.rawField(i, AdList::Runs))) == 0)
            rows.push_back(i);
    }
    return rows;
}

Result expire(AdList &ads)
{
    Result result;
    result.adsBefore = ads.count();
    // A count down needs at most 11 bytes ("-2147483648").
    ads.reserveFieldBytes(qsizetype(ads.count()) * 11);
    RunsCount::DecimalBuffer digits;
    for (int i = 0; i < ads.count(); ++i) {
        const std::int32_t next = RunsCount::countedDown(RunsCount::read(ads.rawField(i, AdList::Runs)));
        if (next == 0)
            result.removed.push_back(i);
        else
            ads.setRawField(i, AdList::Runs, RunsCount::decimal(next, digits));
    }
    if (!result.removed.empty())
        result.lastRemovedText = ads.field(result.removed.back(), AdList::Text);
    ads.removeAds(result.removed);
    return result;
}

Selection selectionAfter(const Result &expiry, const AdList &after, int cellRow, int currentRow)
{
    Selection selection{currentRow, cellRow, std::nullopt};
    if (expiry.removed.empty())
        return selection;

    const int removedCount = int(expiry.removed.size());
    const int remaining = expiry.adsBefore - removedCount;
    // The row of the last removal, counted after the removals before it.
    selection.currentRow = expiry.removed.back() - (removedCount - 1) + 1;

    if (cellRow < 1 || cellRow <= remaining)
        return selection; // the current cell never lay past the end

    if (remaining >= 1) {
        // The last removal moved the cell: it now selects the last row.
        selection.cellRow = remaining;
        selection.currentRow = remaining;
        selection.memoText = after.field(remaining - 1, AdList::Text);
        return selection;
    }
    // No row left, so no cell. Before the last removal the cell had moved to
    // row 1 if it lay below it, showing the ad that then went last.
    selection.cellRow = 0;
    if (expiry.adsBefore >= 2 && cellRow >= 2)
        selection.memoText = expiry.lastRemovedText;
    return selection;
}

} // namespace Expiry
