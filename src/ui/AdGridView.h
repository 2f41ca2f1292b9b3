#pragma once

#include <QTableView>

// The ads grid: a table view that, like the classic string grid it replaces,
// reports a click on the cell that is already current, and lets Shift+click
// extend the highlighted range without moving the current cell.
class AdGridView : public QTableView
{
    Q_OBJECT

public:
    explicit AdGridView(QWidget *parent = nullptr);

Q_SIGNALS:
    void currentCellClickedAgain(const QModelIndex &index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
