// The records of a survey: one or more record files read as one stream in time-stamp
// order, whatever order the files are given in. Only what the figures need is kept of
// each record (its instant and level): as samples, a week of 1 s records in about 15 MB,
// or compactly (SampleStore), a year of them in about 65 MB.
#pragma once

#include <QStringList>
#include <QTimeZone>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/large_array.h"
#include "records/file_error.h"
#include "records/record_store.h"
#include "records/run_metadata.h"
#include "stats/level_sample.h"
#include "stats/local_days.h"
#include "stats/sample_store.h"

namespace lp::stats {

// The longest stretch of time a survey may span, first record to last: every table of
// it (the days, the periods) then has a size that can be shown and printed. Records
// further apart are a wrong date (a digit flipped), named in the error.
inline constexpr qint64 kMostSurveyDays = 1000;

// A stretch of one file's records taken under one state of the meter: from the file's
// metadata (FILE.meta) where it has some, else the whole file with the state not told.
// Only stretches that hold a record with a level are kept.
struct StateStretch {
    qsizetype file = 0;      // its index in SurveyRecords::files
    qint64 fromLine = 1;     // the line the state holds from (a run's header line)
    qint64 toLine = 0;       // the line before the next stretch of the file; 0: to its end
    bool described = false;  // the file has metadata
    records::MeterState state;
    // The instants of its first and last record with a level, in the file's order.
    qint64 first = 0;
    qint64 last = 0;
};

struct SurveyRecords {
    QStringList files;
    LocalDays days;
    // The records that the Ln tally counts in a class, in time order, one per instant:
    // the levels, and "-", "L" and numbers of 145 dB up as readings out of range. Held
    // in `samples` or in `store` (SampleForm), the other one empty; forEachSamplePiece
    // walks either.
    platform::LargeVector<LevelSample> samples;
    SampleStore store;
    qint64 records = 0;  // every record read
    qint64 undated = 0;  // without a readable time stamp "YYYY/MM/DD hh:nn:ss"
    qint64 leftOut = 0;  // dated, but in no class ("*", no number)
    // The instants of those records, in time order: an exclusion that holds one makes
    // it excluded rather than left out.
    std::vector<qint64> leftOutTimes;
    // One record counts for each instant: the first in the order of the files (by their
    // first record) and within a file. A later one at the same instant is `repeated`
    // when it reads the same level, else `conflicting`; neither counts anywhere else.
    qint64 repeated = 0;
    qint64 conflicting = 0;
    // The instants of the first and the last dated record.
    std::optional<qint64> first;
    std::optional<qint64> last;
    // The sampling interval S in seconds; none when no two records differ in time.
    std::optional<qint64> interval;
    // Why a file could not be read to its end (file and line), or, with `misdated`, the
    // record dated so far from the others that the records span more than
    // kMostSurveyDays (file and line, the reason the date and how far off it lies; no
    // line when no single record makes the span); then nothing else is set.
    std::optional<records::FileError> error;
    bool misdated = false;
    // The states the records were taken under, in the order of the files and lines.
    std::vector<StateStretch> states{};
    // The records themselves when they are held in memory rather than in a file
    // (readHeldSurvey): `files` then holds the one name they go by.
    std::shared_ptr<const records::RecordStore> held{};
};

// How readSurvey holds the records: as samples to walk as a span, or compactly (the
// commands and the Survey window, which walk them in pieces).
enum class SampleForm { Samples, Compact };

// Reads the files of one survey; local time stamps are taken in `zone`. Files given in
// time order, none overlapping the one before, are read one at a time; otherwise all
// are read and merged, 24 bytes a record while reading.
[[nodiscard]] SurveyRecords readSurvey(const QStringList& files,
                                       const QTimeZone& zone = QTimeZone::systemTimeZone(),
                                       SampleForm form = SampleForm::Samples);

// Hands the samples of `survey` over in time order, in pieces (SampleStore::kPiece).
void forEachSamplePiece(const SurveyRecords& survey,
                        const std::function<void(std::span<const LevelSample>)>& take);

// The survey of records held in memory (a set downloaded from the meter and not saved),
// named `name` where a file's name would stand, with `metadata` as FILE.meta would give
// it: the same survey as that of the file a save of `store` writes (the same records on
// the same lines) with that metadata beside it.
[[nodiscard]] SurveyRecords readHeldSurvey(std::shared_ptr<const records::RecordStore> store,
                                           const QString& name,
                                           const std::optional<records::RecordMetadata>& metadata,
                                           const QTimeZone& zone = QTimeZone::systemTimeZone());

// The sampling interval S of a survey: the most frequent positive difference between
// the instants of consecutive records (the smaller one on a tie), counted one
// difference at a time; none while there is no positive difference.
class IntervalCount {
public:
    IntervalCount() : counts_(kCountedInPlace + 1, 0) {}
    void add(qint64 difference);
    [[nodiscard]] std::optional<qint64> interval() const;

private:
    // Differences up to an hour are counted in place; longer ones are rare.
    static constexpr qint64 kCountedInPlace = 3600;
    std::vector<qint64> counts_;
    std::map<qint64, qint64> longer_;
};

// The interval (IntervalCount) of samples in time order.
[[nodiscard]] std::optional<qint64> samplingInterval(std::span<const LevelSample> samples);

}  // namespace lp::stats
