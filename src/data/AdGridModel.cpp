#include "data/AdGridModel.h"

#include "files/Cp1251.h"

int AdGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_ads.count();
}

int AdGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : AdList::ColumnCount;
}

QVariant AdGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == AdList::Text))
        return m_ads.field(index.row(), AdList::Column(index.column()));
    return {};
}

QVariant AdGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section < m_headings.size() ? m_headings[section] : QString();
}

void AdGridModel::setHeadings(const QStringList &headings)
{
    m_headings = headings;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, AdList::ColumnCount - 1);
}

void AdGridModel::replaceAll(AdList ads)
{
    beginResetModel();
    m_ads = std::move(ads);
    endResetModel();
}

void AdGridModel::appendAd()
{
    const int row = m_ads.count();
    beginInsertRows({}, row, row);
    m_ads.appendEmpty();
    endInsertRows();
}

void AdGridModel::insertAd(int ad)
{
    beginInsertRows({}, ad, ad);
    m_ads.insertEmpty(ad);
    endInsertRows();
}

bool AdGridModel::setCell(int ad, AdList::Column column, const QString &text)
{
    const auto encoded = Cp1251::encode(text);
    if (!encoded)
        return false;
    setRawCell(ad, column, *encoded);
    return true;
}

void AdGridModel::setRawCell(int ad, AdList::Column column, QByteArrayView bytes)
{
    m_ads.setRawField(ad, column, bytes);
    const QModelIndex changed = index(ad, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

void AdGridModel::removeAd(int ad)
{
    const int last = m_ads.count() - 1;
    for (int row = ad; row < last; ++row)
        m_ads.copyAd(row + 1, row);
    if (ad < last)
        Q_EMIT dataChanged(index(ad, 0), index(last - 1, AdList::ColumnCount - 1), {Qt::DisplayRole});
    beginRemoveRows({}, last, last);
    m_ads.removeLast();
    endRemoveRows();
}
