// Tables in aligned columns or as CSV, a row at a time.
#include "cli/kit/text_table.h"

#include <QIODevice>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <span>
#include <vector>

#include "platform/large_array.h"
#include "platform/numeric_text.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

constexpr qsizetype kPieceBytes = 64 * 1024;

// The no-value mark as the aligned table shows it, and its width in characters.
const QByteArray kNoValueBytes = stats::kNoValue.toUtf8();
const qsizetype kNoValueWidth = stats::kNoValue.size();

// The width of a UTF-8 text in characters (UTF-16 units for the texts of a table,
// which all lie in the Basic Multilingual Plane): every byte that starts a character.
qsizetype widthOf(QByteArrayView text) {
    return std::count_if(text.begin(), text.end(),
                         [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

// The blanks are written in runs of 32 (a short fixed copy, no call), so the room
// needs kBlankRun bytes more than the blanks.
constexpr qsizetype kBlankRun = 32;

char* blanks(char* out, qsizetype count) {
    static constexpr char kBlanks[kBlankRun + 1] = "                                ";
    for (qsizetype done = 0; done < count; done += kBlankRun) {
        std::memcpy(out + done, kBlanks, kBlankRun);
    }
    return out + std::max<qsizetype>(count, 0);
}

char* copied(char* out, QByteArrayView bytes) {
    if (!bytes.isEmpty()) {
        std::memcpy(out, bytes.data(), size_t(bytes.size()));
    }
    return out + bytes.size();
}

bool isAscii(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One line of the aligned form; `ascii`: every cell is ASCII.
void alignedLine(ByteBuffer& out, std::span<const QByteArrayView> cells,
                 const std::vector<qsizetype>& widths, bool ascii) {
    // The line end, and each cell at its widest with its blanks.
    qsizetype most = 1 + kBlankRun;
    for (size_t c = 0; c < cells.size(); ++c) {
        most += 2 + widths[c] + std::max(cells[c].size(), kNoValueBytes.size());
    }
    char* p = out.room(most);
    for (size_t c = 0; c < cells.size(); ++c) {
        QByteArrayView cell = cells[c];
        qsizetype width = ascii ? cell.size() : widthOf(cell);
        if (cell.isEmpty()) {
            cell = kNoValueBytes;
            width = kNoValueWidth;
        }
        if (c == 0) {
            p = blanks(copied(p, cell), widths[0] - width);
        } else {
            p = copied(blanks(p, 2 + widths[c] - width), cell);
        }
    }
    *p++ = '\n';
    out.used(p);
}

void csvLine(ByteBuffer& out, std::span<const QByteArrayView> cells) {
    for (size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) {
            out.append(',');
        }
        out.append(cells[c]);
    }
    out.append('\n');
}

}  // namespace

void OutputBytes::pieceDone() {
    if (bytes_.size() >= kPieceBytes) {
        flush();
    }
}

void OutputBytes::flush() {
    if (bytes_.size() == 0) {
        return;
    }
    // On a device the bytes go straight to it, after what the stream holds; a stream
    // on a string (no device) takes them as text.
    const QByteArrayView bytes = bytes_.view();
    if (QIODevice* device = out_.device()) {
        out_.flush();
        device->write(bytes.data(), bytes.size());
    } else {
        out_ << QString::fromUtf8(bytes);
    }
    bytes_.clear();
}

void TableRow::cell(QByteArrayView text) {
    ascii_ = ascii_ && isAscii(text);
    bytes_.append(text);
    markCellEnd();
}

void TableRow::number(qint64 value) {
    constexpr qsizetype kMostDigits = 24;
    char* at = room(kMostDigits);
    endCell(std::to_chars(at, at + kMostDigits, value).ptr);
}

void TableRow::figure(const std::optional<double>& value, int decimals) {
    char* at = room(platform::kMostFixedBytes);
    endCell(value ? platform::putFixed(at, *value, decimals) : at);
}

QByteArrayView TableRow::at(int cell) const {
    const qsizetype begin = cell == 0 ? 0 : ends_[size_t(cell - 1)];
    return bytes_.view().sliced(begin, ends_[size_t(cell)] - begin);
}

void TableRow::clear() {
    bytes_.clear();
    cells_ = 0;
    ascii_ = true;
}

void writeTable(OutputBytes& out, TableForm form, const QList<QByteArrayView>& header,
                qsizetype rows, const RowWriter& row) {
    TableRow cells;
    if (form == TableForm::Csv) {
        csvLine(out.bytes(), std::span(header.constData(), size_t(header.size())));
        std::vector<QByteArrayView> line;
        for (qsizetype r = 0; r < rows; ++r) {
            cells.clear();
            row(r, cells);
            line.clear();
            for (int c = 0; c < cells.cells(); ++c) {
                line.push_back(cells.at(c));
            }
            csvLine(out.bytes(), line);
            out.pieceDone();
        }
        return;
    }
    // Each row is made once; its cells are kept until the widths are known.
    const auto columns = size_t(header.size());
    std::vector<qsizetype> widths;
    for (const QByteArrayView caption : header) {
        widths.push_back(widthOf(caption));
    }
    constexpr qsizetype kTypicalCellBytes = 12;
    ByteBuffer text;
    text.reserve(rows * qsizetype(columns) * kTypicalCellBytes);
    platform::LargeVector<qsizetype> ends;  // where each cell ends in `text`
    ends.reserve(size_t(rows) * columns);
    bool ascii = true;  // then a cell is as wide as it has bytes
    for (qsizetype r = 0; r < rows; ++r) {
        cells.clear();
        row(r, cells);
        Q_ASSERT(size_t(cells.cells()) == columns);
        ascii = ascii && cells.ascii();
        for (size_t c = 0; c < columns; ++c) {
            const QByteArrayView cell = cells.at(int(c));
            const qsizetype width = cells.ascii() ? cell.size() : widthOf(cell);
            widths[c] = std::max({widths[c], width, kNoValueWidth});
            text.append(cell);
            ends.push_back(text.size());
        }
    }
    alignedLine(out.bytes(), std::span(header.constData(), size_t(header.size())), widths, true);
    std::vector<QByteArrayView> line(columns);
    qsizetype begin = 0;
    for (size_t cell = 0; cell < ends.size();) {
        for (size_t c = 0; c < columns; ++c, ++cell) {
            line[c] = text.view().sliced(begin, ends[cell] - begin);
            begin = ends[cell];
        }
        alignedLine(out.bytes(), line, widths, ascii);
        out.pieceDone();
    }
}

}  // namespace lp::cli
