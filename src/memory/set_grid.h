// The set grid "Grid" of the memory window: a heading row ("SET", "   DATE------TIME")
// and one row per stored set. Rows are counted as the user sees them: row 0 is the
// heading, row r is set r. The column widths are designed in twips: 750 for the set
// number, and for the start the width of "00-00-00----00:00:00" plus 150.
#pragma once

#include <QList>
#include <QTableWidget>

#include "memory/set_table.h"

namespace lp::memory {

class SetGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kSetColumnTwips = 750;
    static constexpr int kStartPaddingTwips = 150;
    inline static const QString kStartSample = QStringLiteral("00-00-00----00:00:00");

    explicit SetGrid(QWidget* parent = nullptr);

    // Lists the sets (replacing any listed before).
    void setRows(const QList<SetRow>& rows);
    // Number of sets listed (the heading row not counted).
    [[nodiscard]] int listedSets() const { return rowCount(); }
    // Texts of row `row` (1 = the first set), column 0 or 1; the heading for row 0.
    [[nodiscard]] QString cellText(int row, int column) const;
    // The width the grid needs to show both columns and a scroll bar, in pixels.
    [[nodiscard]] int designWidth() const;

signals:
    // A click on row `row` (0 = the heading row).
    void rowClicked(int row);
};

}  // namespace lp::memory
