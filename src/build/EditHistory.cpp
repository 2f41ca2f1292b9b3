#include "build/EditHistory.h"

#include "data/AdGridModel.h"

#include <cstring>

namespace {

constexpr qsizetype kLengthsSize = 3 * sizeof(std::int32_t);

} // namespace

StoredAd StoredAd::of(const AdList &ads, int index)
{
    const QByteArrayView fields[] = {ads.rawField(index, AdList::Runs), ads.rawField(index, AdList::Text),
                                     ads.rawField(index, AdList::Rubric)};
    qsizetype size = 0;
    for (const QByteArrayView field : fields)
        size += field.size();
    StoredAd stored;
    if (size == 0)
        return stored;
    stored.m_block = std::make_unique_for_overwrite<char[]>(size_t(kLengthsSize + size));
    char *lengths = stored.m_block.get();
    char *bytes = lengths + kLengthsSize;
    for (const QByteArrayView field : fields) {
        const auto length = std::int32_t(field.size());
        std::memcpy(lengths, &length, sizeof length);
        lengths += sizeof length;
        if (length > 0)
            std::memcpy(bytes, field.data(), size_t(length));
        bytes += length;
    }
    return stored;
}

std::int32_t StoredAd::length(int column) const
{
    std::int32_t length = 0;
    std::memcpy(&length, m_block.get() + column * sizeof length, sizeof length);
    return length;
}

QByteArrayView StoredAd::field(AdList::Column column) const
{
    if (!m_block)
        return {};
    qsizetype start = kLengthsSize;
    for (int before = 0; before < column; ++before)
        start += length(before);
    return QByteArrayView(m_block.get() + start, length(column));
}

bool StoredAd::operator==(const StoredAd &other) const
{
    for (const AdList::Column column : {AdList::Runs, AdList::Text, AdList::Rubric}) {
        if (field(column) != other.field(column))
            return false;
    }
    return true;
}

qsizetype StoredAd::heapBytes() const
{
    if (!m_block)
        return 0;
    return kLengthsSize + length(AdList::Runs) + length(AdList::Text) + length(AdList::Rubric);
}

void EditHistory::record(Step step)
{
    m_steps.erase(m_steps.begin() + qsizetype(m_standing), m_steps.end());
    m_steps.push_back(std::move(step));
    m_standing = m_steps.size();
    Q_EMIT changed();
}

void EditHistory::recordAdd(int index)
{
    record({Edit::Add, index, {}});
}

void EditHistory::recordChange(int index, StoredAd before)
{
    record({Edit::Change, index, std::move(before)});
}

void EditHistory::recordRemove(int index, StoredAd removed)
{
    record({Edit::Remove, index, std::move(removed)});
}

void EditHistory::clear()
{
    if (m_steps.empty())
        return;
    // Given back at once: a build may follow thousands of edits.
    std::deque<Step>().swap(m_steps);
    m_standing = 0;
    Q_EMIT changed();
}

std::optional<EditHistory::Edit> EditHistory::nextUndo() const
{
    if (m_standing == 0)
        return std::nullopt;
    return m_steps[m_standing - 1].edit;
}

std::optional<EditHistory::Edit> EditHistory::nextRedo() const
{
    if (m_standing == m_steps.size())
        return std::nullopt;
    return m_steps[m_standing].edit;
}

int EditHistory::apply(AdGridModel &ads, size_t at, bool back)
{
    Step &step = m_steps[at];
    const int index = step.index;
    auto write = [&](const StoredAd &ad) {
        for (const AdList::Column column : {AdList::Runs, AdList::Text, AdList::Rubric})
            ads.setRawCell(index, column, ad.field(column));
    };

    if (step.edit == Edit::Change) {
        StoredAd inList = StoredAd::of(ads.ads(), index);
        write(step.ad);
        step.ad = std::move(inList);
    } else if ((step.edit == Edit::Remove) == back) {
        // Taking back a deletion, or making an addition again: the ad goes back in.
        ads.insertAd(index);
        write(step.ad);
        step.ad = StoredAd();
    } else {
        step.ad = StoredAd::of(ads.ads(), index);
        ads.removeAd(index);
    }
    return index;
}

int EditHistory::undo(AdGridModel &ads)
{
    Q_ASSERT(m_standing > 0);
    const int touched = apply(ads, --m_standing, true);
    Q_EMIT changed();
    return touched;
}

int EditHistory::redo(AdGridModel &ads)
{
    Q_ASSERT(m_standing < m_steps.size());
    const int touched = apply(ads, m_standing++, false);
    Q_EMIT changed();
    return touched;
}

qsizetype EditHistory::heapBytes() const
{
    qsizetype bytes = qsizetype(m_steps.size() * sizeof(Step));
    for (const Step &step : m_steps)
        bytes += step.ad.heapBytes();
    return bytes;
}
