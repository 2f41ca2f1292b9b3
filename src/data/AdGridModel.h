#pragma once

#include "data/AdList.h"

#include <QAbstractTableModel>
#include <QStringList>

// The ad list as the main window's grid shows it: one row per ad, the three
// columns Runs, Text and Rubric, and the headings above them once written.
// Every change goes through here so that views stay in step.
class AdGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const AdList &ads() const { return m_ads; }
    int adCount() const { return m_ads.count(); }
    QString cell(int ad, AdList::Column column) const { return m_ads.field(ad, column); }

    void setHeadings(const QStringList &headings);
    void replaceAll(AdList ads);

    // Adds an empty ad at the end.
    void appendAd();
    // Adds an empty ad before ad; the ads from there on move down a row.
    void insertAd(int ad);
    // Sets one field; false if a character has no Windows-1251 byte.
    bool setCell(int ad, AdList::Column column, const QString &text);
    // Sets one field to bytes as the list stores them (Windows-1251).
    void setRawCell(int ad, AdList::Column column, QByteArrayView bytes);
    // Removes an ad the way the grid always has: the ads below it move up a
    // row, then the last row goes. A view's current cell on the last row moves
    // up to the new last row; one elsewhere stays on its row.
    void removeAd(int ad);

    // Applies a change that touches many ads at once (run expiry) and tells
    // views in one reset; returns what change returns.
    template <typename F> auto changeAll(F &&change)
    {
        beginResetModel();
        auto result = change(m_ads);
        endResetModel();
        return result;
    }

private:
    AdList m_ads;
    QStringList m_headings;
};
