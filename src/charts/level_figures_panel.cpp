// The level figures panel: one bold, selectable value label per figure.
#include "charts/level_figures_panel.h"

#include <QGridLayout>
#include <QLabel>

#include "platform/accessible_value.h"
#include "stats/figure_text.h"

namespace lp::charts {
namespace {

using stats::decibelsText;
using stats::kNoValue;

// A screen reader would read the dash as a punctuation mark; it hears words instead.
void showFigure(QLabel* label, const QString& text) {
    platform::showValue(label, text, text == kNoValue ? QStringLiteral("no value") : QString());
}

}  // namespace

LevelFiguresPanel::LevelFiguresPanel(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    records_ = addFigure(0, 0, QStringLiteral("Records"), QStringLiteral("LblRecords"),
                         QStringLiteral("Records that carry a level"));
    leftOut_ = addFigure(1, 0, QStringLiteral("Left out"), QStringLiteral("LblLeftOut"),
                         QStringLiteral("Records marked \"*\", \"-\" or \"L\", or without a "
                                        "number: not in Leq, Lmax and Lmin"));
    leq_ = addFigure(0, 1, QStringLiteral("Leq"), QStringLiteral("LblLeq"),
                     QStringLiteral("Equivalent continuous level (energy average)"));
    lmax_ = addFigure(0, 2, QStringLiteral("Lmax"), QStringLiteral("LblLmax"),
                      QStringLiteral("Highest level"));
    lmin_ = addFigure(0, 3, QStringLiteral("Lmin"), QStringLiteral("LblLmin"),
                      QStringLiteral("Lowest level"));
    l10_ =
        addFigure(1, 1, QStringLiteral("L10"), QStringLiteral("LblL10"),
                  QStringLiteral("L(10) of the Ln table: the highest class with at least 10.5 % of "
                                 "the records at or above it"));
    l50_ =
        addFigure(1, 2, QStringLiteral("L50"), QStringLiteral("LblL50"),
                  QStringLiteral("L(50) of the Ln table: the highest class with at least 50.5 % of "
                                 "the records at or above it"));
    l90_ =
        addFigure(1, 3, QStringLiteral("L90"), QStringLiteral("LblL90"),
                  QStringLiteral("L(90) of the Ln table: the highest class with at least 90.5 % of "
                                 "the records at or above it"));
    grid->setColumnStretch(8, 1);
}

QLabel* LevelFiguresPanel::addFigure(int row, int column, const QString& caption,
                                     const QString& name, const QString& tip) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* title = new QLabel(caption + u':', this);
    auto* value = new QLabel(this);
    value->setObjectName(name);
    value->setAccessibleName(caption);
    showFigure(value, kNoValue);
    value->setToolTip(tip);
    title->setToolTip(tip);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    grid->addWidget(title, row, 2 * column);
    grid->addWidget(value, row, 2 * column + 1);
    return value;
}

void LevelFiguresPanel::setResult(const stats::LnResult& result) {
    showFigure(records_, QString::number(result.figures.withLevel));
    showFigure(leftOut_, QString::number(result.figures.leftOut));
    showFigure(leq_, decibelsText(result.figures.leq));
    showFigure(lmax_, decibelsText(result.figures.lmax));
    showFigure(lmin_, decibelsText(result.figures.lmin));
    showFigure(l10_, decibelsText(result.levels.value(10)));
    showFigure(l50_, decibelsText(result.levels.value(50)));
    showFigure(l90_, decibelsText(result.levels.value(90)));
}

}  // namespace lp::charts
