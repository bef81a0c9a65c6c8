// Reading the records of a span of time from the survey's files.
#include "survey/span_records.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "records/record_file_reader.h"
#include "records/record_sink.h"
#include "records/record_stamp.h"
#include "records/record_store_reader.h"

namespace lp::survey {
namespace {

constexpr qsizetype kPieceItems = 16384;

// Keeps the records whose stamps lie in the span, with their instants, and the earliest
// instant of the file.
class SpanSink final : public records::RecordSink {
public:
    SpanSink(const stats::LocalDays& days, const stats::TimeRange& span, records::RecordStore& into,
             std::vector<qint64>& instants)
        : stamps_(days.zone()), span_(span), into_(into), instants_(instants) {}

    bool take(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) override {
        const std::optional<records::StampTime> stamp = stamps_.next(dateTime);
        if (!stamp) {
            return true;
        }
        const qint64 instant = stamp->instant;
        earliest_ = std::min(earliest_.value_or(instant), instant);
        if (instant < span_.from || instant >= span_.to) {
            return true;
        }
        instants_.push_back(instant);
        return into_.append(no, dateTime, level);
    }
    [[nodiscard]] std::optional<qint64> earliest() const { return earliest_; }

private:
    records::StampReader stamps_;
    stats::TimeRange span_;
    records::RecordStore& into_;
    std::vector<qint64>& instants_;
    std::optional<qint64> earliest_;
};

struct FileSpan {
    qint64 first = 0;  // the file's earliest record, as the survey orders its files
    records::RecordStore store;
    std::vector<qint64> instants;
};

// The span's records of `files`, read with the readers `readerOf` makes.
template <class MakeReader>
SpanRecords spanOf(const QStringList& files, const stats::LocalDays& days,
                   const stats::TimeRange& span, const MakeReader& readerOf) {
    SpanRecords result;
    std::vector<FileSpan> pieces;
    for (const QString& file : files) {
        FileSpan piece;
        SpanSink sink(days, span, piece.store, piece.instants);
        auto reader = readerOf(file);
        if (reader.open()) {
            while (reader.read(sink, kPieceItems) == records::RecordFileReader::Status::More) {
            }
        }
        if (reader.error()) {
            result.error = reader.error();
            return result;
        }
        if (!piece.instants.empty()) {
            piece.first = *sink.earliest();
            pieces.push_back(std::move(piece));
        }
    }
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const FileSpan& a, const FileSpan& b) { return a.first < b.first; });
    // One record per instant, the first in the survey's order, as readSurvey keeps it.
    std::unordered_set<qint64> seen;
    for (const FileSpan& piece : pieces) {
        for (size_t i = 0; i < piece.instants.size(); ++i) {
            if (seen.insert(piece.instants[i]).second) {
                const auto field = [&](records::Field f) {
                    return piece.store.bytes(qsizetype(i), f);
                };
                result.store.append(field(records::Field::No), field(records::Field::DateTime),
                                    field(records::Field::Level));
            }
        }
    }
    return result;
}

}  // namespace

SpanRecords spanRecords(const QStringList& files, const stats::LocalDays& days,
                        const stats::TimeRange& span) {
    return spanOf(files, days, span,
                  [](const QString& file) { return records::RecordFileReader(file); });
}

SpanRecords spanRecords(const stats::SurveyRecords& survey, const stats::TimeRange& span) {
    if (!survey.held) {
        return spanRecords(survey.files, survey.days, span);
    }
    return spanOf(survey.files, survey.days, span,
                  [&survey](const QString&) { return records::RecordStoreReader(*survey.held); });
}

}  // namespace lp::survey
