#include "data/AdSearch.h"

#include "files/Cp1251.h"

namespace {

struct ByteTables
{
    std::array<unsigned char, 256> fold{};
    std::array<bool, 256> separator{};
};

// Folding, byte for byte: each letter to its lower case, and "ё" to "е".
const ByteTables &tables()
{
    static const ByteTables built = [] {
        ByteTables t;
        for (int b = 0; b < 256; ++b) {
            QChar lower = QChar(Cp1251::toUnicode(static_cast<unsigned char>(b))).toLower();
            if (lower == u'ё')
                lower = u'е';
            const auto encoded = Cp1251::encode(QStringView(&lower, 1));
            t.fold[size_t(b)] =
                encoded ? static_cast<unsigned char>(encoded->at(0)) : static_cast<unsigned char>(b);
        }
        // What a phone number is written with between its digits: spaces (also
        // the no-break one), hyphens and dashes, round brackets.
        for (char16_t c : {u' ', u'\u00A0', u'-', u'\u2013', u'\u2014', u'(', u')'}) {
            const QChar ch(c);
            t.separator[static_cast<unsigned char>(Cp1251::encode(QStringView(&ch, 1))->at(0))] = true;
        }
        return t;
    }();
    return built;
}

bool isDigit(unsigned char b)
{
    return b >= '0' && b <= '9';
}

} // namespace

AdSearch::AdSearch(QStringView query) : m_empty(query.isEmpty())
{
    const auto encoded = Cp1251::encode(query);
    if (!encoded) {
        m_representable = false;
        return;
    }
    const ByteTables &t = tables();
    const QByteArray &bytes = *encoded;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (t.separator[b] && !m_pattern.isEmpty() && isDigit(static_cast<unsigned char>(m_pattern.back()))) {
            // Separators between two digits of the query are skipped like the ad's.
            qsizetype next = i;
            while (next < bytes.size() && t.separator[static_cast<unsigned char>(bytes[next])])
                ++next;
            if (next < bytes.size() && isDigit(static_cast<unsigned char>(bytes[next]))) {
                i = next - 1;
                continue;
            }
        }
        const bool join =
            !m_pattern.isEmpty() && isDigit(b) && isDigit(static_cast<unsigned char>(m_pattern.back()));
        m_pattern.append(static_cast<char>(t.fold[b]));
        m_digitJoin.push_back(join);
    }
    if (!m_pattern.isEmpty()) {
        for (int b = 0; b < 256; ++b)
            m_first[size_t(b)] = t.fold[size_t(b)] == static_cast<unsigned char>(m_pattern[0]);
    }
}

bool AdSearch::matchesAt(QByteArrayView field, qsizetype start) const
{
    const ByteTables &t = tables();
    const auto *data = reinterpret_cast<const unsigned char *>(field.data());
    const qsizetype size = field.size();
    qsizetype at = start;
    for (qsizetype i = 0; i < m_pattern.size(); ++i) {
        if (m_digitJoin[size_t(i)]) {
            while (at < size && t.separator[data[at]])
                ++at;
        }
        if (at >= size || t.fold[data[at]] != static_cast<unsigned char>(m_pattern[i]))
            return false;
        ++at;
    }
    return true;
}

bool AdSearch::matches(QByteArrayView field) const
{
    if (m_empty || !m_representable || m_pattern.isEmpty())
        return false;
    const auto *data = reinterpret_cast<const unsigned char *>(field.data());
    for (qsizetype start = 0; start < field.size(); ++start) {
        if (m_first[data[start]] && matchesAt(field, start))
            return true;
    }
    return false;
}

AdList::Column AdSearch::matchIn(const AdList &ads, int index) const
{
    if (matches(ads.rawField(index, AdList::Text)))
        return AdList::Text;
    if (matches(ads.rawField(index, AdList::Rubric)))
        return AdList::Rubric;
    return AdList::ColumnCount;
}

AdSearch::Match AdSearch::find(const AdList &ads, int current, Direction direction) const
{
    Match found;
    if (m_empty || !m_representable || m_pattern.isEmpty())
        return found;
    const int count = ads.count();
    if (direction == Backward && current < 0)
        current = count;

    // One pass in list order: the first match after current and the first of
    // all going forward; the last before current and the last of all going
    // backward.
    int beyond = -1;
    int anywhere = -1;
    for (int i = 0; i < count; ++i) {
        if (matchIn(ads, i) == AdList::ColumnCount)
            continue;
        ++found.count;
        if (direction == Forward) {
            if (anywhere < 0)
                anywhere = i;
            if (beyond < 0 && i > current)
                beyond = i;
        } else {
            anywhere = i;
            if (i < current)
                beyond = i;
        }
    }
    if (anywhere < 0)
        return found;
    found.wrapped = beyond < 0;
    found.index = found.wrapped ? anywhere : beyond;
    found.column = matchIn(ads, found.index);
    return found;
}
