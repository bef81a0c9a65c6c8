// The Ln table widget: fixed column widths sized for the longest level.
#include "charts/ln_table.h"

#include <QHeaderView>

namespace lp::charts {
namespace {

constexpr int kColumns = 11;

}  // namespace

LnTable::LnTable(QWidget* parent) : QTableWidget(0, kColumns, parent) {
    QStringList headings{QStringLiteral("Ln")};
    for (int c = 0; c < 10; ++c) {
        headings << QStringLiteral(" %1").arg(c);
    }
    setHorizontalHeaderLabels(headings);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Wide enough for the label and for any level up to "145.0" in the window's font.
    const QFontMetrics metrics(font());
    setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("ABCDEFAA1")));
    for (int c = 1; c < kColumns; ++c) {
        setColumnWidth(c, metrics.horizontalAdvance(QStringLiteral("ABCDEFAA")));
    }
    verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    int width = 2 * frameWidth();
    for (int c = 0; c < kColumns; ++c) {
        width += columnWidth(c);
    }
    setFixedWidth(width);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
}

void LnTable::setRows(const QList<QStringList>& rows) {
    setRowCount(0);
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < kColumns && c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
            setItem(r, c, item);
        }
    }
}

int LnTable::fullHeight() const {
    int rows = 0;
    for (int r = 0; r < 10; ++r) {
        rows += rowCount() > r ? rowHeight(r) : verticalHeader()->defaultSectionSize();
    }
    return horizontalHeader()->sizeHint().height() + rows + 2 * frameWidth();
}

}  // namespace lp::charts
