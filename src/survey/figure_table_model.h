// A read-only table of texts made on demand, row by row: the Survey window's period,
// day/evening/night and event tables. The first `textColumns` columns are left-aligned
// (times, names), the others right-aligned (figures).
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>

namespace lp::survey {

class FigureTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Cells = std::function<QStringList(int row)>;

    FigureTableModel(QStringList headers, int textColumns, QObject* parent = nullptr);

    // Replaces the column headings (as many as before), when they differ.
    void setHeaders(const QStringList& headers);
    // Replaces every row; `cells` is asked for a row's texts when they are shown.
    void setRows(int count, Cells cells);
    // The texts of one row (empty for a row that is not there).
    [[nodiscard]] QStringList rowTexts(int row) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

private:
    QStringList headers_;
    int textColumns_;
    int count_ = 0;
    Cells cells_;
    // The row asked for last: a view asks for each of its cells in turn.
    mutable int cachedRow_ = -1;
    mutable QStringList cached_;
};

}  // namespace lp::survey
