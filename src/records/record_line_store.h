// The hidden record grid of a list window: a header text and an ordered list of
// (number, text line) rows, read row by row by the list printout.
#pragma once

#include <QString>
#include <vector>

namespace lp::records {

class RecordLineStore {
public:
    struct Row {
        QString number;
        QString line;
    };

    explicit RecordLineStore(QString header = {}) : header_(std::move(header)) {}

    [[nodiscard]] const QString& header() const { return header_; }
    void setHeader(QString header) { header_ = std::move(header); }

    void append(QString number, QString line) {
        rows_.push_back({std::move(number), std::move(line)});
    }
    [[nodiscard]] qsizetype count() const { return static_cast<qsizetype>(rows_.size()); }
    [[nodiscard]] const Row& row(qsizetype index) const {
        return rows_[static_cast<size_t>(index)];
    }
    // Empties the rows; the header stays.
    void clear() { rows_.clear(); }

private:
    QString header_;
    std::vector<Row> rows_;
};

}  // namespace lp::records
