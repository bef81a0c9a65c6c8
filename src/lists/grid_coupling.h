// Keeps the three column grids of a record list showing the same rows side by side:
// whichever grid scrolls, by its scroll bar, the wheel or the keyboard, the other two
// follow to the same top row, and the current and selected row are the same in all
// three.
#pragma once

#include <QObject>
#include <array>

class QTableView;

namespace lp::lists {

class GridCoupling : public QObject {
    Q_OBJECT
public:
    // The grids must already show their (shared) model.
    GridCoupling(std::array<QTableView*, 3> grids, QObject* parent);

private:
    void scrolled(int source, int value);
    void rowMoved(int source);
    void alignTo(int source);

    std::array<QTableView*, 3> grids_;
    bool busy_ = false;
};

}  // namespace lp::lists
