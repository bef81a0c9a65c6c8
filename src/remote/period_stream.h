// The period figures of a running logger: the periods of each length (1min .. 24h,
// aligned to local midnight) as they close, each as the message published on
// PREFIX/NAME/period/LENGTH.
//
// A period closes when the first record at or after its end is on disk, or, as a
// partial period, when the run stops. Its figures are those `periods --every LENGTH
// --json` gives for the record files: the stream keeps the records the way the survey
// reads them (stats::readSurvey: the files read once when the logger starts, then each
// line as the recorder writes it), from the oldest period not yet closed on, and works
// a period out with the survey's own rule (stats::periodFigures). The sampling interval
// S is counted over every record seen (IntervalCount), as the survey counts it.
//
// The message is the period's row of that command plus
//   "energy"     Σ 10^(L/10)·S over the records in its Leq (null while S is not known),
//   "leq_s"      their count × S, so the Leq of any span of periods is
//                10·lg(Σ energy / Σ leq_s),
//   "file"       the record file of its first record, without its folder,
//   "weighting", "response"  as the run metadata says ("A"/"C", "F"/"S"; null where not
//                known or mixed within the period),
//   "length_s"   the period's length as asked,
//   "partial"    true when the run stopped inside the period.
// A period without a record is not published.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTimeZone>
#include <map>
#include <optional>
#include <vector>

#include "live/recording.h"
#include "records/file_error.h"
#include "records/record_stamp.h"
#include "stats/survey_json.h"
#include "stats/survey_records.h"

namespace lp::remote {

struct PeriodMessage {
    qint64 length = 0;  // seconds
    qint64 start = 0;   // instants: the period is [start, end)
    qint64 end = 0;
    bool partial = false;
    QByteArray payload;  // compact JSON
};

class PeriodStream {
public:
    // `lengths` in seconds, each stats::isPeriodLength.
    explicit PeriodStream(std::vector<qint64> lengths,
                          const QTimeZone& zone = QTimeZone::systemTimeZone());

    // Reads the record files a restarted logger goes on from (those that do not exist
    // are passed over). `from`: for each length, the start of the first period still to
    // publish; a length without one publishes from the period of the run's first
    // record. The periods of the files that are closed already are returned, oldest
    // first for each length; a file that cannot be read is the error.
    [[nodiscard]] std::vector<PeriodMessage> load(const QStringList& files,
                                                  const std::map<qint64, qint64>& from,
                                                  std::optional<records::FileError>& error);
    // A record line on disk: the periods it closes.
    [[nodiscard]] std::vector<PeriodMessage> take(const live::RecordedLine& line);
    // The run stops: each length's period not closed, as partial.
    [[nodiscard]] std::vector<PeriodMessage> stop();

    // The start of the first period of `length` not yet closed (what the stream
    // publishes next); none before the run's first record when nothing says.
    [[nodiscard]] std::optional<qint64> nextStart(qint64 length) const;
    [[nodiscard]] const std::vector<qint64>& lengths() const { return lengths_; }
    // The files that hold the records from `instant` on, in the order they were
    // started.
    [[nodiscard]] QStringList filesFrom(qint64 instant) const;

private:
    struct FileStart {
        qint64 first = 0;  // the instant of its first record kept
        qsizetype file = 0;
    };
    qsizetype fileIndex(const QString& path);
    void takeState(qsizetype file, qint64 line, qint64 instant, const records::MeterState& state);
    void closeUpTo(qint64 length, qint64 instant, bool partial, std::vector<PeriodMessage>& into);
    [[nodiscard]] PeriodMessage message(qint64 length, const stats::PeriodSpan& span,
                                        std::span<const stats::LevelSample> samples, bool partial);
    void dropPublished();

    std::vector<qint64> lengths_;
    std::map<qint64, qint64> next_;     // by length: the start of the first period not closed
    std::map<qint64, qint64> openEnd_;  // by length: the end of the period open now
    // The records as the survey holds them (files, days, samples, states), from the
    // oldest period not closed on.
    stats::SurveyRecords records_;
    stats::IntervalCount intervals_;
    std::optional<qint64> lastDated_;  // the instant of the last dated record
    std::vector<FileStart> fileStarts_;
    records::StampReader stamps_;
    QString stampFile_;
    stats::LocalTimeText times_;
};

}  // namespace lp::remote
