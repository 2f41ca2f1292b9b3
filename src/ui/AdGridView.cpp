#include "ui/AdGridView.h"

#include <QHeaderView>
#include <QMouseEvent>

AdGridView::AdGridView(QWidget *parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setShowGrid(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(20);

    QHeaderView *headings = horizontalHeader();
    headings->setSectionsClickable(false);
    headings->setHighlightSections(false);
    headings->setSectionsMovable(false);
    headings->setSectionResizeMode(QHeaderView::Interactive);
    headings->setStretchLastSection(false);
    headings->setFixedHeight(20);
    headings->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void AdGridView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton) {
        if (event->modifiers() & Qt::ShiftModifier) {
            const QModelIndex current = currentIndex();
            if (current.isValid()) {
                selectionModel()->select(QItemSelection(current, index), QItemSelectionModel::ClearAndSelect);
                event->accept();
                return;
            }
        } else if (index == currentIndex()) {
            QTableView::mousePressEvent(event);
            Q_EMIT currentCellClickedAgain(index);
            return;
        }
    }
    QTableView::mousePressEvent(event);
}
