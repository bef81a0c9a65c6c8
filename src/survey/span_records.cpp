// Reading the records of a span of time from the survey's files.
#include "survey/span_records.h"

#include <algorithm>
#include <vector>

#include "records/record_file_reader.h"
#include "records/record_sink.h"
#include "records/record_stamp.h"

namespace lp::survey {
namespace {

constexpr qsizetype kPieceItems = 16384;

// Keeps the records whose stamps lie in the span.
class SpanSink final : public records::RecordSink {
public:
    SpanSink(const stats::LocalDays& days, const stats::TimeRange& span, records::RecordStore& into)
        : stamps_(days.zone()), span_(span), into_(into) {}

    bool take(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) override {
        const std::optional<records::StampTime> stamp = stamps_.next(dateTime);
        if (!stamp) {
            return true;
        }
        const qint64 instant = stamp->instant;
        if (instant < span_.from || instant >= span_.to) {
            return true;
        }
        if (!first_) {
            first_ = instant;
        }
        return into_.append(no, dateTime, level);
    }
    [[nodiscard]] std::optional<qint64> first() const { return first_; }

private:
    records::StampReader stamps_;
    stats::TimeRange span_;
    records::RecordStore& into_;
    std::optional<qint64> first_;
};

struct FileSpan {
    qint64 first = 0;
    records::RecordStore store;
};

}  // namespace

SpanRecords spanRecords(const QStringList& files, const stats::LocalDays& days,
                        const stats::TimeRange& span) {
    SpanRecords result;
    std::vector<FileSpan> pieces;
    for (const QString& file : files) {
        FileSpan piece;
        SpanSink sink(days, span, piece.store);
        records::RecordFileReader reader(file);
        if (reader.open()) {
            while (reader.read(sink, kPieceItems) == records::RecordFileReader::Status::More) {
            }
        }
        if (reader.error()) {
            result.error = reader.error();
            return result;
        }
        if (sink.first()) {
            piece.first = *sink.first();
            pieces.push_back(std::move(piece));
        }
    }
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const FileSpan& a, const FileSpan& b) { return a.first < b.first; });
    for (const FileSpan& piece : pieces) {
        result.store.append(piece.store);
    }
    return result;
}

}  // namespace lp::survey
