#include "build/EditHistory.h"

#include "data/AdGridModel.h"

#include <cstring>

StoredAd StoredAd::of(const AdList &ads, int index)
{
    const QByteArrayView runs = ads.rawField(index, AdList::Runs);
    const QByteArrayView text = ads.rawField(index, AdList::Text);
    const QByteArrayView rubric = ads.rawField(index, AdList::Rubric);
    StoredAd stored;
    stored.m_textStart = int(runs.size());
    stored.m_rubricStart = int(runs.size() + text.size());
    const qsizetype size = runs.size() + text.size() + rubric.size();
    if (size == 0)
        return stored;
    stored.m_bytes = QByteArray(size, Qt::Uninitialized);
    char *out = stored.m_bytes.data();
    for (const QByteArrayView field : {runs, text, rubric}) {
        if (!field.isEmpty())
            std::memcpy(out, field.data(), size_t(field.size()));
        out += field.size();
    }
    return stored;
}

QByteArrayView StoredAd::field(AdList::Column column) const
{
    const QByteArrayView all(m_bytes);
    switch (column) {
    case AdList::Runs:
        return all.first(m_textStart);
    case AdList::Text:
        return all.sliced(m_textStart, m_rubricStart - m_textStart);
    default:
        return all.sliced(m_rubricStart);
    }
}

qsizetype StoredAd::heapBytes() const
{
    return m_bytes.isNull() ? 0 : m_bytes.capacity() + 1 + qsizetype(sizeof(QArrayData));
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
    std::vector<Step>().swap(m_steps);
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
    qsizetype bytes = qsizetype(m_steps.capacity() * sizeof(Step));
    for (const Step &step : m_steps)
        bytes += step.ad.heapBytes();
    return bytes;
}
