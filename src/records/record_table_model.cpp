// The record store as a table model for the column grids.
#include "records/record_table_model.h"

#include <limits>

namespace lp::records {

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

QStringList RecordTableModel::headerTexts() {
    return {QStringLiteral("No.s"), QStringLiteral("Date Time"), QStringLiteral("dB")};
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    // Views count rows in int; a list never comes near that.
    return static_cast<int>(std::min<qsizetype>(store_.count(), std::numeric_limits<int>::max()));
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFieldCount;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= store_.count() ||
        index.column() >= kFieldCount) {
        return {};
    }
    return store_.text(index.row(), static_cast<Field>(index.column()));
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section >= 0 && section < kFieldCount ? headerTexts().at(section) : QVariant();
    }
    return section + 1;
}

bool RecordTableModel::append(QStringView no, QStringView dateTime, QStringView level) {
    const int row = rowCount();
    if (row == std::numeric_limits<int>::max() ||
        !store_.fits(no.size() + dateTime.size() + level.size())) {
        return false;
    }
    beginInsertRows({}, row, row);
    store_.append(no, dateTime, level);
    endInsertRows();
    return true;
}

bool RecordTableModel::append(const RecordStore& chunk) {
    if (chunk.isEmpty()) {
        return store_.append(chunk);  // no rows, but maybe where a run starts
    }
    const int first = rowCount();
    if (store_.count() + chunk.count() > std::numeric_limits<int>::max() ||
        !store_.fits(chunk.textBytes())) {
        return false;
    }
    beginInsertRows({}, first, first + static_cast<int>(chunk.count()) - 1);
    store_.append(chunk);
    endInsertRows();
    return true;
}

void RecordTableModel::clear() {
    beginResetModel();
    store_.clear();
    endResetModel();
}

void RecordTableModel::replace(RecordStore&& records) {
    beginResetModel();
    store_ = std::move(records);
    endResetModel();
}

}  // namespace lp::records
