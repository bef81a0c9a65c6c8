#include "records/record_store_reader.h"

namespace lp::records {

RecordStoreReader::Status RecordStoreReader::read(RecordSink& into, qsizetype maxItems) {
    if (error_) {
        return Status::Failed;
    }
    const std::vector<qsizetype>& runs = store_.runStarts();
    const qsizetype end = std::min(store_.count(), next_ + maxItems);
    for (; next_ < end; ++next_) {
        for (; run_ < runs.size() && runs[run_] == next_; ++run_) {
            into.startRun();
            ++line_;  // the run's header line
        }
        ++line_;
        if (!into.take(store_.bytes(next_, Field::No), store_.bytes(next_, Field::DateTime),
                       store_.bytes(next_, Field::Level))) {
            error_ = FileError{QString(), line_, QStringLiteral("the record cannot be taken")};
            return Status::Failed;
        }
    }
    return next_ < store_.count() ? Status::More : Status::End;
}

}  // namespace lp::records
