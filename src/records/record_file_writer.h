// Writing a whole list to a record file: the header line, then every record in list
// order, with a header line again before each later run the list was read with
// (RecordStore::runStarts). The file is replaced as a whole: the new content goes to a temporary
// file beside it that takes the file's place only once everything is written, so a save that fails
// (disk full, no permission) never leaves a cut-off or emptied file.
#pragma once

#include <QIODevice>
#include <functional>
#include <optional>

#include "records/file_error.h"
#include "records/record_store.h"

namespace lp::records {

// Called now and then with the index of the last line written (0 is the header line),
// and always after the last line.
using SaveProgress = std::function<void(qsizetype lineIndex)>;

// Writes the header line and the records to an open device. Returns the reason when a
// write fails.
[[nodiscard]] std::optional<QString> writeRecords(QIODevice& out, const RecordStore& records,
                                                  const SaveProgress& progress = {});

// Writes the new content of a file to the device it is given; returns the reason when
// a write fails.
using WriteContent = std::function<std::optional<QString>(QIODevice& out)>;

// The reason a write to `path` is refused when it is `source`, the file its content is
// read from (a record file, the meter's port), under any name; nothing when `path` is
// another file or `source` is empty. Every writer of one file from another asks here.
[[nodiscard]] std::optional<FileError> refuseWritingOverSource(const QString& path,
                                                               const QString& source);

// Creates (or replaces) the file at `path` as a whole with what `write` writes, judged
// and opened as platform::OutputFile does (a pipe or a device is written directly; a
// folder, a file that a running recording holds, or `source`, the file the content is
// read from, is refused). Used by every writer of a whole file of records.
[[nodiscard]] std::optional<FileError> replaceFile(const QString& path, const WriteContent& write,
                                                   const QString& source = {});

// Creates (or replaces) the file at `path` with the header line and the records,
// through replaceFile: never over `source`, the file or port the records come from.
[[nodiscard]] std::optional<FileError> saveRecordFile(const QString& path,
                                                      const RecordStore& records,
                                                      const SaveProgress& progress = {},
                                                      const QString& source = {});

}  // namespace lp::records
