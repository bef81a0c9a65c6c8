// The figures under the Ln table: how many records carry a level and how many were
// left out, the energy average Leq, the extremes and L10, L50, L90.
#pragma once

#include <QWidget>

#include "stats/ln_result.h"

class QLabel;

namespace lp::charts {

class LevelFiguresPanel : public QWidget {
    Q_OBJECT
public:
    explicit LevelFiguresPanel(QWidget* parent = nullptr);

    void setResult(const stats::LnResult& result);

private:
    QLabel* addFigure(int row, int column, const QString& caption, const QString& name,
                      const QString& tip);

    QLabel* records_ = nullptr;
    QLabel* leftOut_ = nullptr;
    QLabel* leq_ = nullptr;
    QLabel* lmax_ = nullptr;
    QLabel* lmin_ = nullptr;
    QLabel* l10_ = nullptr;
    QLabel* l50_ = nullptr;
    QLabel* l90_ = nullptr;
};

}  // namespace lp::charts
