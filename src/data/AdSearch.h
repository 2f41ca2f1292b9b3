#pragma once

#include "data/AdList.h"

#include <QByteArray>
#include <QStringView>

#include <array>
#include <vector>

// Looking ads up by a piece of their text or rubric, the way an operator looks
// for the ad a caller phones about: letter case does not matter, "ё" is "е",
// and digits match across the spaces, hyphens and brackets a phone number is
// written with ("234567" finds "2-34-56-7", and "2-34-56-7" finds "234567").
// The Runs field is not searched, and a match never spans two fields.
//
// It works on the list's Windows-1251 bytes, without decoding them, so one
// pass over 100,000 ads stays well inside the time of a key press.
class AdSearch
{
public:
    enum Direction
    {
        Forward,
        Backward
    };

    struct Match
    {
        int index = -1;                       // the ad found (0-based), -1 for none
        AdList::Column column = AdList::Text; // the field it matched in, Text before Rubric
        bool wrapped = false;                 // the search went past the end (or the start) of the list
        int count = 0;                        // how many ads match in all

        bool found() const { return index >= 0; }
    };

    explicit AdSearch(QStringView query);

    // Nothing to look for: the query is empty.
    bool isEmpty() const { return m_empty; }

    // The field of ad index the query matches in, Text before Rubric; ColumnCount
    // when neither does.
    AdList::Column matchIn(const AdList &ads, int index) const;
    bool matches(QByteArrayView field) const;

    // The next matching ad after current (Forward) or before it (Backward),
    // going round the end of the list to the other end; current itself is found
    // last. current -1 (no ad is current) starts at the first ad, or at the
    // last one going backward, and never wraps. Counts the matches on the way:
    // the whole search is one pass over the list.
    Match find(const AdList &ads, int current, Direction direction) const;

private:
    bool matchesAt(QByteArrayView field, qsizetype start) const;

    bool m_empty = true;
    bool m_representable = true; // every character of the query has a Windows-1251 byte
    QByteArray m_pattern;        // the query folded: lower case, "е" for "ё"
    // Where a digit follows a digit in the pattern: there the ad may have
    // separators between the two.
    std::vector<bool> m_digitJoin;
    std::array<bool, 256> m_first{}; // the bytes an occurrence can start with
};
