// The Ln table: a heading "Ln", " 0" .. " 9" and one row per ten percent,
// L(00) .. L(90), each with its ten levels.
#pragma once

#include <QList>
#include <QStringList>
#include <QTableWidget>

namespace lp::charts {

class LnTable : public QTableWidget {
    Q_OBJECT
public:
    explicit LnTable(QWidget* parent = nullptr);

    // Replaces the data rows; each row holds the label then ten levels.
    void setRows(const QList<QStringList>& rows);

    // The height that shows the heading and ten rows without scrolling.
    [[nodiscard]] int fullHeight() const;
};

}  // namespace lp::charts
