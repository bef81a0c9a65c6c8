// Records held in a store, handed to a sink a piece at a time as RecordFileReader hands
// those of the file a save of the store writes (record_file_writer.h): the same fields
// in the same order, each with the line it stands on there (the header line is line 1,
// and a later run's header line comes before its first record). What reads record
// files thus reads records held in memory alike, such as a set downloaded and not saved.
#pragma once

#include <optional>

#include "records/file_error.h"
#include "records/record_file_reader.h"
#include "records/record_sink.h"
#include "records/record_store.h"

namespace lp::records {

class RecordStoreReader {
public:
    using Status = RecordFileReader::Status;

    // The store outlives the reader and does not change while it reads.
    explicit RecordStoreReader(const RecordStore& store) : store_(store) {}

    // Records in memory are always there to read.
    [[nodiscard]] bool open() { return true; }
    // Hands up to `maxItems` records to `into`, with startRun() before each later run.
    // More: records remain; End: all are handed; Failed: the sink refused one.
    Status read(RecordSink& into, qsizetype maxItems);

    // Why the sink refused a record; none otherwise.
    [[nodiscard]] const std::optional<FileError>& error() const { return error_; }
    // The line of the record handed to the sink last, as the saved file numbers it.
    [[nodiscard]] qint64 itemLine() const { return line_; }

private:
    const RecordStore& store_;
    qsizetype next_ = 0;  // the next record to hand
    size_t run_ = 0;      // the next of the store's later runs
    qint64 line_ = 1;     // the header line until a record is handed
    std::optional<FileError> error_;
};

}  // namespace lp::records
