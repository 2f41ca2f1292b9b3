#pragma once

#include "data/AdList.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Charging an issue to the ads: every ad loses one insertion, and the ads that
// have none left go.
namespace Expiry {

struct Result
{
    int adsBefore = 0;
    // The ads that ran out, as indices (0-based) into the list before expiry,
    // ascending.
    std::vector<int> removed;
    // The text of the last ad removed, for the memo (see Selection).
    QString lastRemovedText;
};

// The ads (indices, ascending) that expire() would remove, without changing
// anything.
std::vector<int> runningOut(const AdList &ads);

// Counts every ad's Runs down by one (RunsCount) and removes the ads whose new
// count is 0, all in one pass; the others keep their order.
Result expire(AdList &ads);

// Where the grid's selection stands after expiry, as if the ads had been
// removed one at a time from the top, each removal moving the ads below it up
// a row and then dropping the grid's last row:
//  - each removal sets CurrentRow to the row it removed;
//  - when the grid's current cell lies past the new last row, the grid moves it
//    to the new last row, which counts as selecting that row: the memo shows
//    its text and CurrentRow becomes that row;
//  - with no row left, no cell is current.
struct Selection
{
    int currentRow = 1;
    int cellRow = 0;                 // the grid's current row (1-based); 0 for none
    std::optional<QString> memoText; // what the memo shows now, when a selection changed it
};

// cellRow is the grid's current row (1-based) before expiry, 0 for none; after
// is the list as expiry left it.
Selection selectionAfter(const Result &expiry, const AdList &after, int cellRow, int currentRow);

} // namespace Expiry
