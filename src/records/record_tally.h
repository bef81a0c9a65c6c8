// What a record file already holds, for a recording that appends to it: its records and
// its runs (the first header line and each later one start a run).
#pragma once

#include <QString>
#include <optional>

#include "records/file_error.h"

namespace lp::records {

struct RecordTally {
    qint64 records = 0;
    qint64 runs = 0;
    // Where the file stopped reading as a record file; the counts are those before it.
    std::optional<FileError> error;
};

// The tally of the regular file at `path`; none when there is no such file, it is
// empty (a recording into it starts the file) or it is no regular file.
[[nodiscard]] std::optional<RecordTally> tallyRecordFile(const QString& path);

// What a recording says as it starts: "recording to X" into a new or empty file,
// "appending to X (N records in K runs)" into a file that holds some, and where the
// file stopped reading as a record file when it did.
[[nodiscard]] QString recordingStartText(const QString& path,
                                         const std::optional<RecordTally>& tally);

}  // namespace lp::records
