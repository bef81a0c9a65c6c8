// The tables the survey commands print: in aligned columns or as CSV, each row made
// into bytes and written out in pieces, so a table of a hundred thousand events costs
// no string per cell.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QTextStream>
#include <array>
#include <functional>
#include <optional>

#include "cli/kit/byte_buffer.h"

namespace lp::cli {

// What a command writes on stdout, handed on whenever a piece has gathered.
class OutputBytes {
public:
    explicit OutputBytes(QTextStream& out) : out_(out) {}
    OutputBytes(const OutputBytes&) = delete;
    OutputBytes& operator=(const OutputBytes&) = delete;
    ~OutputBytes() { flush(); }

    [[nodiscard]] ByteBuffer& bytes() { return bytes_; }
    // Hands the bytes on once a piece has gathered.
    void pieceDone();
    void flush();

private:
    QTextStream& out_;
    ByteBuffer bytes_;
};

// The cells of one row, in the order of the columns; an empty cell has no value.
class TableRow {
public:
    static constexpr int kMostColumns = 16;

    // Room for a cell of up to `n` bytes of ASCII; endCell() is told where it ends.
    [[nodiscard]] char* room(qsizetype n) { return bytes_.room(n); }
    void endCell(const char* end) {
        bytes_.used(end);
        markCellEnd();
    }

    void cell(QByteArrayView text);
    void number(qint64 value);
    // With `decimals` decimals as QString::number writes it; empty for none.
    void figure(const std::optional<double>& value, int decimals);

    [[nodiscard]] int cells() const { return cells_; }
    // Whether every cell is ASCII, one character a byte.
    [[nodiscard]] bool ascii() const { return ascii_; }
    [[nodiscard]] QByteArrayView at(int cell) const;
    void clear();

private:
    void markCellEnd() {
        Q_ASSERT(cells_ < kMostColumns);
        ends_[size_t(cells_++)] = bytes_.size();
    }

    ByteBuffer bytes_;
    std::array<qsizetype, kMostColumns> ends_{};
    int cells_ = 0;
    bool ascii_ = true;
};

enum class TableForm {
    // Every column as wide as its widest cell, the first left-aligned and the others
    // right-aligned after two blanks; an empty cell shows the no-value mark.
    Aligned,
    // The header line, then one line per row, cells between commas, empty ones empty.
    // The cells are times, numbers and words without commas or quotes.
    Csv,
};

// Fills `cells` with the cells of row `row`.
using RowWriter = std::function<void(qsizetype row, TableRow& cells)>;

// Writes a table of `rows` rows under `header` (ASCII captions), each row with a cell
// for every column; each row is asked for once. The aligned form keeps the cells until
// the widths of the columns are known; CSV writes each row as it comes.
void writeTable(OutputBytes& out, TableForm form, const QList<QByteArrayView>& header,
                qsizetype rows, const RowWriter& row);

}  // namespace lp::cli
