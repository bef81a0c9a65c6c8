#include "remote/backlog_reader.h"

#include "records/record_file_reader.h"
#include "records/record_format.h"

namespace lp::remote {

// Turns the records after the cursor into WrittenRecords, numbered by their line.
class BacklogReader::Sink final : public records::RecordSink {
public:
    Sink(BacklogReader& owner, std::vector<WrittenRecord>& into) : owner_(owner), into_(into) {}
    bool take(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) override {
        // The reader has counted this record's line as an item already.
        const qint64 line = owner_.reader_->itemCount();
        const std::optional<records::StampTime> time = owner_.stamps_.next(dateTime);
        if (line <= owner_.afterLine_ || isHeader(no, dateTime, level)) {
            return true;
        }
        into_.push_back(WrittenRecord{owner_.path_, line, QString::fromLatin1(no),
                                      QString::fromLatin1(dateTime), QString::fromLatin1(level),
                                      std::nullopt,
                                      time ? std::optional(time->offset) : std::nullopt});
        return true;
    }

private:
    // The header line that starts a later run of the same file.
    static bool isHeader(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) {
        if (no.isEmpty() || no.front() != records::kHeaderLine.front()) {
            return false;  // a record number: no need to build the line
        }
        QByteArray line;
        records::appendRecordLine(line, no, dateTime, level);
        return line == records::kHeaderLine;
    }
    BacklogReader& owner_;
    std::vector<WrittenRecord>& into_;
};

BacklogReader::BacklogReader(const QString& path, qint64 afterLine)
    : path_(path), afterLine_(afterLine) {}

BacklogReader::~BacklogReader() = default;

BacklogReader::Status BacklogReader::read(std::vector<WrittenRecord>& into, qsizetype maxLines) {
    if (error_) {
        return Status::Failed;
    }
    if (!reader_) {
        reader_ = std::make_unique<records::RecordFileReader>(path_);
        if (!reader_->open()) {
            error_ = reader_->error();
            return Status::Failed;
        }
    }
    Sink sink(*this, into);
    switch (reader_->read(sink, maxLines)) {
        case records::RecordFileReader::Status::More:
            return Status::More;
        case records::RecordFileReader::Status::End:
            return Status::End;
        case records::RecordFileReader::Status::Failed:
            break;
    }
    error_ = reader_->error();
    return Status::Failed;
}

}  // namespace lp::remote
