// Records as CSV for spreadsheets: a header "no,time,level", one line per record
// with CR LF, UTF-8, ISO 8601 local time stamps and a dot as the decimal mark. A level
// text that carries a plain level gives its number; any other text (a marked, under-
// or over-range level, no level at all) is kept as it stands. A field is quoted
// (inner quotes doubled) when it holds a comma, a quote, a line break or leading or
// trailing blanks. A text field that a spreadsheet would run as a formula (it starts
// with "=", "+", "-", "@", a TAB or a CR, as a hostile or damaged record file may hold)
// is quoted with a single quote in front, so it stays text; a number such as -30.0 or
// +65.35, and a mark of dashes alone ("-"), stay as they are.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <optional>
#include <span>

#include "records/file_error.h"
#include "records/record_file_reader.h"
#include "records/record_store.h"

namespace lp::records {

inline constexpr QByteArrayView kCsvHeader("no,time,level\r\n");

// Appends the CSV line of one record, its fields given as a store holds them
// (single-byte Latin-1 text). Every CSV the program writes is built here.
void appendCsvLine(QByteArray& out, QByteArrayView no, QByteArrayView dateTime,
                   QByteArrayView level);

// Appends one field of Latin-1 text by the same rules (quoted where it must be, a
// formula kept text), for the program's other CSV files.
void appendCsvField(QByteArray& out, QByteArrayView latin1);
// A whole line of such fields, comma-separated, ended by CR LF.
[[nodiscard]] QByteArray csvRow(std::span<const QByteArray> fields);

// The whole CSV of a list.
[[nodiscard]] QByteArray csvOf(const RecordStore& records);

// Writes the CSV of a list to `path`, replacing the file only once it is whole (as a
// record file is saved), but never over `source`, the file the list was read from.
// The failure names the file and the reason.
[[nodiscard]] std::optional<FileError> writeCsvFile(const QString& path, const RecordStore& records,
                                                    const QString& source = {});

// The times of an export: local (for spreadsheets), or ISO 8601 with the UTC offset of
// the system's local time then ("2009-06-01T14:05:09+02:00").
enum class CsvTimes { Local, WithOffset };

// A record file exported as CSV: what was read, and why the CSV was not written.
struct CsvExport {
    LoadResult load;                   // the records read; the error where reading stopped
    std::optional<FileError> written;  // the CSV file could not be written
};

// Reads the record file and writes its CSV record by record, in little memory
// whatever the file's size, through the same whole-file replace as writeCsvFile: a
// load or write that fails leaves no CSV and an old one as it was. A CSV path that is
// the record file itself is refused.
[[nodiscard]] CsvExport exportRecordFile(const QString& recordFile, const QString& csvPath,
                                         CsvTimes times = CsvTimes::Local);
// The same into an open stream (standard output), as it is read: a load that fails
// leaves the lines before it written.
[[nodiscard]] CsvExport exportRecordFileTo(const QString& recordFile, QIODevice& out,
                                           CsvTimes times = CsvTimes::Local);

}  // namespace lp::records
