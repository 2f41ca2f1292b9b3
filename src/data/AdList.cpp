#include "data/AdList.h"

#include "files/Cp1251.h"
#include "files/TextFile.h"

QByteArrayView AdList::rawField(int index, Column column) const
{
    const FieldRef &ref = m_slots[size_t(index)].field[column];
    return QByteArrayView(m_pool.constData() + ref.offset, ref.length);
}

QString AdList::field(int index, Column column) const
{
    return Cp1251::decode(rawField(index, column));
}

AdList::FieldRef AdList::store(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    FieldRef ref{m_pool.size(), bytes.size()};
    m_pool.append(bytes.data(), bytes.size());
    return ref;
}

bool AdList::setField(int index, Column column, QStringView value)
{
    const auto encoded = Cp1251::encode(value);
    if (!encoded)
        return false;
    setRawField(index, column, *encoded);
    return true;
}

void AdList::setRawField(int index, Column column, QByteArrayView bytes)
{
    FieldRef &ref = m_slots[size_t(index)].field[column];
    release(ref);
    ref = store(bytes);
    compactIfWasteful();
}

void AdList::appendEmpty()
{
    m_slots.push_back(Slot{});
}

void AdList::insertEmpty(int index)
{
    m_slots.insert(m_slots.begin() + index, Slot{});
}

void AdList::removeLast()
{
    removeAt(count() - 1);
}

void AdList::copyAd(int from, int to)
{
    if (from == to)
        return;
    for (const FieldRef &ref : m_slots[size_t(to)].field)
        release(ref);
    m_slots[size_t(to)] = m_slots[size_t(from)];
    compactIfWasteful();
}

void AdList::removeAt(int index)
{
    for (const FieldRef &ref : m_slots[size_t(index)].field)
        release(ref);
    m_slots.erase(m_slots.begin() + index);
    compactIfWasteful();
}

void AdList::removeAds(const std::vector<int> &ascendingIndices)
{
    if (ascendingIndices.empty())
        return;
    size_t kept = size_t(ascendingIndices.front());
    size_t next = 0;
    for (size_t from = kept; from < m_slots.size(); ++from) {
        if (next < ascendingIndices.size() && size_t(ascendingIndices[next]) == from) {
            for (const FieldRef &ref : m_slots[from].field)
                release(ref);
            ++next;
            continue;
        }
        m_slots[kept++] = m_slots[from];
    }
    m_slots.resize(kept);
    compactIfWasteful();
}

void AdList::clear()
{
    m_slots.clear();
    m_pool.clear();
    m_releasedBytes = 0;
}

qsizetype AdList::liveBytes() const
{
    qsizetype live = 0;
    for (const Slot &slot : m_slots) {
        for (const FieldRef &ref : slot.field)
            live += ref.length;
    }
    return live;
}

void AdList::compactIfWasteful()
{
    if (m_releasedBytes < (1 << 20) || m_releasedBytes * 2 < m_pool.size())
        return;
    const qsizetype live = liveBytes();
    if ((m_pool.size() - live) * 2 < m_pool.size()) {
        m_releasedBytes = m_pool.size() - live;
        return;
    }
    QByteArray pool;
    pool.reserve(live);
    for (Slot &slot : m_slots) {
        for (FieldRef &ref : slot.field) {
            if (ref.length == 0)
                continue;
            const qsizetype offset = pool.size();
            pool.append(m_pool.constData() + ref.offset, ref.length);
            ref.offset = offset;
        }
    }
    m_pool = std::move(pool);
    m_releasedBytes = 0;
}

AdList AdList::fromFileBytes(QByteArray bytes)
{
    AdList list;
    list.m_pool = std::move(bytes);
    const char *base = list.m_pool.constData();
    list.m_slots.reserve(size_t(list.m_pool.count('\n') + 1));

    // Lines that held a lone CR arrive as copies; their fields are appended to
    // the pool afterwards so that the views into the pool stay valid meanwhile.
    QByteArray extra;
    const qsizetype poolSize = list.m_pool.size();

    TextFile::forEachLine(QByteArrayView(list.m_pool), [&](QByteArrayView line) {
        const bool inPool = line.data() >= base && line.data() <= base + poolSize;
        const qsizetype lineOffset = inPool ? line.data() - base : poolSize + extra.size();
        if (!inPool)
            extra.append(line.data(), line.size());

        Slot slot;
        int column = 0;
        qsizetype fieldStart = 0;
        for (qsizetype i = 0; i < line.size() && column < ColumnCount; ++i) {
            if (line[i] != '|')
                continue;
            slot.field[column] = {lineOffset + fieldStart, i - fieldStart};
            ++column;
            fieldStart = i + 1;
        }
        if (column < ColumnCount)
            slot.field[column] = {lineOffset + fieldStart, line.size() - fieldStart};
        for (FieldRef &ref : slot.field) {
            if (ref.length == 0)
                ref.offset = 0;
        }
        list.m_slots.push_back(slot);
    });
    list.m_pool.append(extra);
    list.m_releasedBytes = list.m_pool.size() - list.liveBytes();
    return list;
}

QByteArray AdList::toFileBytes() const
{
    qsizetype size = 0;
    for (const Slot &slot : m_slots)
        size += slot.field[0].length + slot.field[1].length + slot.field[2].length + 5;
    QByteArray out(size, Qt::Uninitialized);
    char *dst = out.data();
    const char *pool = m_pool.constData();
    for (const Slot &slot : m_slots) {
        for (const FieldRef &ref : slot.field) {
            memcpy(dst, pool + ref.offset, size_t(ref.length));
            dst += ref.length;
            *dst++ = '|';
        }
        *dst++ = '\r';
        *dst++ = '\n';
    }
    return out;
}

int AdList::appendFileLines(int from, QByteArray &out, qsizetype bytes) const
{
    int next = from;
    for (; next < count() && out.size() < bytes; ++next)
        appendFileLine(next, out);
    return next;
}

void AdList::appendFileLine(int index, QByteArray &out) const
{
    for (const FieldRef &ref : m_slots[size_t(index)].field) {
        out.append(m_pool.constData() + ref.offset, ref.length);
        out.append('|');
    }
    out.append("\r\n", 2);
}
