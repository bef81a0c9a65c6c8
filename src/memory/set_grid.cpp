#include "memory/set_grid.h"

#include <QHeaderView>
#include <QScrollBar>

#include "platform/twips.h"

namespace lp::memory {
namespace {

const QStringList kHeadings{QStringLiteral("SET"), QStringLiteral("   DATE------TIME")};

}  // namespace

SetGrid::SetGrid(QWidget* parent) : QTableWidget(0, 2, parent) {
    setObjectName(QStringLiteral("Grid"));
    setAccessibleName(QStringLiteral("Stored sets"));
    setHorizontalHeaderLabels(kHeadings);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView* columns = horizontalHeader();
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(true);
    setColumnWidth(0, platform::twipsToPx(kSetColumnTwips));
    setColumnWidth(
        1, fontMetrics().horizontalAdvance(kStartSample) + platform::twipsToPx(kStartPaddingTwips));

    // The heading row is row 0, the sets follow from row 1.
    connect(columns, &QHeaderView::sectionClicked, this, [this] { emit rowClicked(0); });
    connect(this, &QTableWidget::cellClicked, this,
            [this](int row, int /*column*/) { emit rowClicked(row + 1); });
}

void SetGrid::setRows(const QList<SetRow>& rows) {
    clearContents();
    setRowCount(static_cast<int>(rows.size()));
    int r = 0;
    for (const SetRow& set : rows) {
        setItem(r, 0, new QTableWidgetItem(QString::number(set.number)));
        setItem(r, 1, new QTableWidgetItem(set.start));
        ++r;
    }
}

QString SetGrid::cellText(int row, int column) const {
    if (row == 0) {
        return kHeadings.value(column);
    }
    const QTableWidgetItem* cell = item(row - 1, column);
    return cell ? cell->text() : QString();
}

int SetGrid::designWidth() const {
    return columnWidth(0) + columnWidth(1) + verticalScrollBar()->sizeHint().width() +
           2 * frameWidth();
}

}  // namespace lp::memory
