// The coupling of the three column grids of a record list.
#include "lists/grid_coupling.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

namespace lp::lists {

GridCoupling::GridCoupling(std::array<QTableView*, 3> grids, QObject* parent)
    : QObject(parent), grids_(grids) {
    for (int k = 0; k < 3; ++k) {
        connect(grids_[k]->verticalScrollBar(), &QScrollBar::valueChanged, this,
                [this, k](int value) { scrolled(k, value); });
        QItemSelectionModel* selection = grids_[k]->selectionModel();
        connect(selection, &QItemSelectionModel::currentRowChanged, this,
                [this, k] { rowMoved(k); });
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                [this, k] { rowMoved(k); });
    }
}

void GridCoupling::scrolled(int source, int value) {
    if (busy_) {
        return;
    }
    busy_ = true;
    for (int k = 0; k < 3; ++k) {
        if (k != source) {
            grids_[k]->verticalScrollBar()->setValue(value);
        }
    }
    busy_ = false;
}

void GridCoupling::rowMoved(int source) {
    if (busy_) {
        return;
    }
    busy_ = true;
    const QItemSelectionModel* from = grids_[source]->selectionModel();
    const QAbstractItemModel* model = from->model();
    // Whole rows, range by range: a selection of every row of a long list stays one
    // range instead of one entry per cell.
    QItemSelection rows;
    for (const QItemSelectionRange& range : from->selection()) {
        rows.select(model->index(range.top(), 0),
                    model->index(range.bottom(), model->columnCount() - 1));
    }
    const QModelIndex current = from->currentIndex();
    for (int k = 0; k < 3; ++k) {
        if (k == source) {
            continue;
        }
        QItemSelectionModel* to = grids_[k]->selectionModel();
        if (current.isValid()) {
            to->setCurrentIndex(current.siblingAtColumn(k), QItemSelectionModel::NoUpdate);
        }
        to->select(rows, QItemSelectionModel::ClearAndSelect);
    }
    busy_ = false;
    // Moving the current row may have scrolled the followers on their own; the grid
    // the user moved in decides the top row.
    alignTo(source);
}

void GridCoupling::alignTo(int source) {
    scrolled(source, grids_[source]->verticalScrollBar()->value());
}

}  // namespace lp::lists
