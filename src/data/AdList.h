#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

// The ads in memory, held compactly: every field is a slice of one Windows-1251
// byte pool, so a million ads cost little more than their file. Loading keeps the
// file's bytes as the pool; edits append to it, and dead bytes are compacted away
// once they outweigh the live ones.
class AdList
{
public:
    enum Column
    {
        Runs,
        Text,
        Rubric,
        ColumnCount
    };

    int count() const { return int(m_slots.size()); }
    bool isEmpty() const { return m_slots.empty(); }

    QByteArrayView rawField(int index, Column column) const;
    QString field(int index, Column column) const;

    // Sets a field. Returns false, changing nothing, if a character has no
    // Windows-1251 byte; callers check that beforehand.
    bool setField(int index, Column column, QStringView value);
    void setRawField(int index, Column column, QByteArrayView bytes);

    // Makes room for bytes more of field text, so that many setField calls in a
    // row grow the pool once.
    void reserveFieldBytes(qsizetype bytes) { m_pool.reserve(m_pool.size() + bytes); }

    void appendEmpty();
    // Inserts an ad with empty fields before index; the ads from index on move
    // down by one.
    void insertEmpty(int index);
    void removeLast();
    // Overwrites ad `to` with the fields of ad `from`.
    void copyAd(int from, int to);
    // Removes one ad; the ads after it move up by one.
    void removeAt(int index);
    // Removes the ads at the given indices (ascending, each once) in one pass;
    // the others keep their order.
    void removeAds(const std::vector<int> &ascendingIndices);
    void clear();

    // Parses an ads file. Each line is one ad: up to three fields, each ended by
    // "|"; what follows the third "|" is ignored, and a line with fewer "|" leaves
    // the missing fields empty.
    static AdList fromFileBytes(QByteArray bytes);

    // The ads file image: for each ad "Runs|Text|Rubric|" and CR LF.
    QByteArray toFileBytes() const;
    // Appends ad index's file line, CR LF included, to out.
    void appendFileLine(int index, QByteArray &out) const;
    // Appends the file lines of ads from, from + 1, ... to out until out holds
    // at least bytes bytes or the list ends; returns the index of the next ad.
    int appendFileLines(int from, QByteArray &out, qsizetype bytes) const;

private:
    struct FieldRef
    {
        qsizetype offset = 0;
        qsizetype length = 0;
    };
    struct Slot
    {
        FieldRef field[ColumnCount];
    };

    FieldRef store(QByteArrayView bytes);
    // Copies share bytes, so released bytes are only an upper bound on the
    // dead ones; compactIfWasteful() counts exactly before it compacts.
    void release(const FieldRef &ref) { m_releasedBytes += ref.length; }
    void compactIfWasteful();
    qsizetype liveBytes() const;

    QByteArray m_pool;
    qsizetype m_releasedBytes = 0;
    std::vector<Slot> m_slots;
};
