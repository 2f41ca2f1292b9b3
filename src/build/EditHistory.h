#pragma once

#include "data/AdList.h"

#include <QObject>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

class AdGridModel;

// One ad's three fields as the list stores them (Windows-1251), in one heap
// block: the three lengths, then the bytes back to back. An ad whose fields
// are all empty takes no block.
class StoredAd
{
public:
    StoredAd() = default;
    static StoredAd of(const AdList &ads, int index);

    QByteArrayView field(AdList::Column column) const;
    bool operator==(const StoredAd &other) const;
    // The size of the block.
    qsizetype heapBytes() const;

private:
    std::int32_t length(int column) const;

    std::unique_ptr<char[]> m_block;
};

// The edits of the ad list that can be taken back, and those taken back that
// can be made again, for as long as the program runs.
//
// A step keeps only what its edit changed: the row and the one version of the
// ad that is not in the list now (the ad before a change while the change
// stands, the ad after it once it is taken back; the ad a deletion removed;
// nothing for an addition that stands). Taking a step back or making it again
// swaps that version with the list's, so a step holds one ad however often it
// goes back and forth, and nothing else of the list.
class EditHistory : public QObject
{
    Q_OBJECT

public:
    enum class Edit
    {
        Add,
        Change,
        Remove
    };

    using QObject::QObject;

    // Each of these follows its edit of the list, and drops the steps that
    // were taken back: they can no longer be made again.
    void recordAdd(int index);
    void recordChange(int index, StoredAd before);
    void recordRemove(int index, StoredAd removed);
    void clear();

    // The edit that undo() would take back, and the one redo() would make again.
    std::optional<Edit> nextUndo() const;
    std::optional<Edit> nextRedo() const;

    // Takes back the last edit that stands (or makes again the last one taken
    // back) on ads and returns the row (0-based) it touched; that row may lie
    // past the end when the step removed the last ad. There must be such a
    // step. undo() then redo(), or redo() then undo(), leaves the list and the
    // history as they were.
    int undo(AdGridModel &ads);
    int redo(AdGridModel &ads);

    // The memory the steps take: the stored ads and the steps themselves
    // (without the allocator's own share).
    qsizetype heapBytes() const;

Q_SIGNALS:
    // What nextUndo() or nextRedo() say may have changed.
    void changed();

private:
    struct Step
    {
        Edit edit;
        int index;
        StoredAd ad; // the version of the ad that is not in the list
    };

    void record(Step step);
    // Applies steps[at] in the given direction: the list gets the stored
    // version, the step the list's.
    int apply(AdGridModel &ads, size_t at, bool back);

    std::deque<Step> m_steps; // grows in small blocks, not by doubling
    size_t m_standing = 0;    // m_steps[0, m_standing) stand; the rest were taken back
};
