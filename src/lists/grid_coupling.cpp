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
        connect(grids_[k]->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, k](const QModelIndex& current) { currentMoved(k, current); });
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

void GridCoupling::currentMoved(int source, const QModelIndex& current) {
    if (busy_ || !current.isValid()) {
        return;
    }
    busy_ = true;
    for (int k = 0; k < 3; ++k) {
        if (k != source) {
            const QModelIndex index = current.siblingAtColumn(k);
            grids_[k]->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    }
    // Moving the current row may have scrolled the followers on their own; the grid
    // the user moved in decides the top row.
    const int value = grids_[source]->verticalScrollBar()->value();
    for (int k = 0; k < 3; ++k) {
        if (k != source) {
            grids_[k]->verticalScrollBar()->setValue(value);
        }
    }
    busy_ = false;
}

}  // namespace lp::lists
