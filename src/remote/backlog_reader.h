// The records of one record file after a given line, read back a chunk at a time with
// their line numbers, for publishing what the broker has not yet acknowledged.
//
// A file can hold several runs: each starts with the header line, and its record
// numbers start again at 1. Lines are counted as the recorder counts them, header lines
// included, so (file, line) names one record for good. The header lines themselves are
// no records and are passed over. A file of this program holds one item per line (no
// commas, no quotes), so the reader's item count is the line number. Every stamp of the
// file, also before `afterLine`, goes through one records::StampReader in file order,
// so a record of the hour shown twice in autumn gets the offset of its own pass.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "records/file_error.h"
#include "records/record_stamp.h"
#include "remote/messages.h"

namespace lp::records {
class RecordFileReader;
}

namespace lp::remote {

class BacklogReader {
public:
    enum class Status { More, End, Failed };

    BacklogReader(const QString& path, qint64 afterLine);
    ~BacklogReader();

    // Reads up to `maxLines` more lines, appending the records among them after
    // `afterLine` to `into`. Opens the file on the first call.
    Status read(std::vector<WrittenRecord>& into, qsizetype maxLines);
    // Why the file cannot be read on, for Failed: the file, the line, the reason.
    [[nodiscard]] const std::optional<records::FileError>& error() const { return error_; }
    [[nodiscard]] const QString& path() const { return path_; }

private:
    class Sink;
    QString path_;
    qint64 afterLine_;
    std::unique_ptr<records::RecordFileReader> reader_;
    records::StampReader stamps_;
    std::optional<records::FileError> error_;
};

}  // namespace lp::remote
