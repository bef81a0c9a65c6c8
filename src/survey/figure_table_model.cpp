#include "survey/figure_table_model.h"

namespace lp::survey {

FigureTableModel::FigureTableModel(QStringList headers, int textColumns, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), textColumns_(textColumns) {}

void FigureTableModel::setHeaders(const QStringList& headers) {
    Q_ASSERT(headers.size() == headers_.size());
    if (headers == headers_) {
        return;
    }
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(headers_.size()) - 1);
}

void FigureTableModel::setRows(int count, Cells cells) {
    beginResetModel();
    count_ = count;
    cells_ = std::move(cells);
    cachedRow_ = -1;
    cached_.clear();
    endResetModel();
}

QStringList FigureTableModel::rowTexts(int row) const {
    if (row < 0 || row >= count_) {
        return {};
    }
    if (row != cachedRow_) {
        cached_ = cells_(row);
        cachedRow_ = row;
    }
    return cached_;
}

int FigureTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

int FigureTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant FigureTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(
            (index.column() < textColumns_ ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    const QStringList texts = rowTexts(index.row());
    return index.column() < texts.size() ? texts[index.column()] : QString();
}

QVariant FigureTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= headers_.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return headers_[section];
}

}  // namespace lp::survey
