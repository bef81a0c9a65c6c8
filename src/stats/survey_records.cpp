// Reading the files of a survey into one time-ordered list of levels.
#include "stats/survey_records.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "records/record_file_reader.h"
#include "records/record_sink.h"
#include "records/record_store_reader.h"
#include "stats/level_tally.h"

namespace lp::stats {
namespace {

constexpr qsizetype kPieceItems = 16384;
// Bytes of a record line as this program writes them ("123\t2026/03/02 00:00:00\t65.3\t"
// and CR LF), near enough to reserve room by.
constexpr qint64 kTypicalLineBytes = 32;
// A dated record in no class ("*", no number) is kept until S is known, marked by this
// level.
constexpr double kNoLevel = std::numeric_limits<double>::quiet_NaN();

// The energy of each level written the common way, worked out at its first use.
class EnergyTable {
public:
    EnergyTable() : energies_(size_t(LevelTally::kPlainTenths), kNoLevel) {}
    double of(const LevelReading& reading) {
        if (reading.tenths < 0) {
            return energyOf(reading.value);
        }
        double& energy = energies_[size_t(reading.tenths)];
        if (std::isnan(energy)) {
            energy = energyOf(reading.value);
        }
        return energy;
    }

private:
    std::vector<double> energies_;
};

// A dated record: its line in its file and its instant.
struct DatedLine {
    qint64 line = 0;
    qint64 instant = 0;
};

// What a file's dates tell of a record dated far off: its first dated record, and the
// largest step in time between two dated records that follow one another in it.
struct FileDates {
    QString file;
    std::optional<DatedLine> first;
    DatedLine stepFrom;
    DatedLine stepTo;
    qint64 step = -1;  // |stepTo - stepFrom|; -1 while the file has no step
};

// Where each state of a file's metadata begins among the samples read from it: the
// index of its span in the metadata (-1 before the first, or without metadata) and of
// its first sample.
struct SpanStart {
    qsizetype span = -1;
    size_t sample = 0;
};

// Turns each record into its instant and level while its line is in the read buffer
// (Reader: a RecordFileReader, or a RecordStoreReader for records held in memory).
template <class Reader>
class SampleSink final : public records::RecordSink {
public:
    SampleSink(const LocalDays& days, EnergyTable& energies,
               platform::LargeVector<LevelSample>& into, SurveyRecords& counts,
               const Reader& reader, FileDates& dates, const std::vector<records::StateSpan>& spans)
        : stamps_(days.zone()),
          energies_(energies),
          into_(into),
          counts_(counts),
          reader_(reader),
          dates_(dates),
          spans_(spans) {
        starts_.push_back({-1, into.size()});
        nextSpanLine_ = spans.empty() ? kNoLine : spans.front().fromLine;
    }

    bool take(QByteArrayView, QByteArrayView dateTime, QByteArrayView level) override {
        ++counts_.records;
        const std::optional<records::StampTime> stamp = stamps_.next(dateTime);
        if (!stamp) {
            ++counts_.undated;
            return true;
        }
        const qint64 instant = stamp->instant;
        const qint64 line = reader_.itemLine();
        if (line >= nextSpanLine_) {
            enterSpanOf(line);
        }
        if (hasPrevious_) {
            const qint64 step = instant > previous_ ? instant - previous_ : previous_ - instant;
            if (step > dates_.step) {
                dates_.step = step;
                dates_.stepFrom = {previousLine_, previous_};
                dates_.stepTo = {line, instant};
            }
        } else {
            dates_.first = DatedLine{line, instant};
        }
        previousLine_ = line;
        inOrder_ &= !hasPrevious_ || previous_ <= instant;
        previous_ = instant;
        hasPrevious_ = true;
        const LevelReading reading = readLevel(level);
        const double energy = reading.carriesLevel() ? energies_.of(reading) : 0.0;
        into_.push_back(
            sampleOf(instant, reading, energy).value_or(LevelSample{instant, kNoLevel, 0.0}));
        return true;
    }
    [[nodiscard]] bool inOrder() const { return inOrder_; }
    [[nodiscard]] const std::vector<SpanStart>& spanStarts() const { return starts_; }

private:
    static constexpr qint64 kNoLine = std::numeric_limits<qint64>::max();

    // The span holding `line` begins with the next sample.
    void enterSpanOf(qint64 line) {
        qsizetype span = starts_.back().span;
        while (size_t(span + 1) < spans_.size() && spans_[size_t(span + 1)].fromLine <= line) {
            ++span;
        }
        nextSpanLine_ =
            size_t(span + 1) < spans_.size() ? spans_[size_t(span + 1)].fromLine : kNoLine;
        if (starts_.back().sample == into_.size()) {
            starts_.back().span = span;  // the span before held no dated record
        } else {
            starts_.push_back({span, into_.size()});
        }
    }

    records::StampReader stamps_;
    EnergyTable& energies_;
    platform::LargeVector<LevelSample>& into_;
    SurveyRecords& counts_;
    const Reader& reader_;
    FileDates& dates_;
    const std::vector<records::StateSpan>& spans_;
    std::vector<SpanStart> starts_;
    qint64 nextSpanLine_ = kNoLine;
    qint64 previousLine_ = 0;
    // The instant of the record before, apart from its flag (see records::StampReader).
    qint64 previous_ = 0;
    bool hasPrevious_ = false;
    bool inOrder_ = true;
};

struct FileRun {
    size_t begin = 0;
    size_t end = 0;
};

bool earlier(const LevelSample& a, const LevelSample& b) {
    return a.time < b.time;
}

// Puts the runs of the files (each in order already) into one time order: files that
// follow one another are only put in line, overlapping ones are merged.
void mergeRuns(platform::LargeVector<LevelSample>& samples, std::vector<FileRun> runs) {
    std::erase_if(runs, [](const FileRun& r) { return r.begin == r.end; });
    const auto firstOf = [&samples](const FileRun& r) { return samples[r.begin].time; };
    std::stable_sort(runs.begin(), runs.end(),
                     [&](const FileRun& a, const FileRun& b) { return firstOf(a) < firstOf(b); });
    bool inPlace = true;
    for (size_t i = 1; i < runs.size(); ++i) {
        inPlace &= runs[i].begin == runs[i - 1].end;
    }
    if (!inPlace) {
        platform::LargeVector<LevelSample> ordered;
        ordered.reserve(samples.size());
        for (FileRun& run : runs) {
            const size_t begin = ordered.size();
            ordered.insert(ordered.end(), samples.begin() + qsizetype(run.begin),
                           samples.begin() + qsizetype(run.end));
            run = {begin, ordered.size()};
        }
        samples.swap(ordered);
    }
    for (size_t i = 1; i < runs.size(); ++i) {
        const auto middle = samples.begin() + qsizetype(runs[i].begin);
        if (middle->time < (middle - 1)->time) {
            std::inplace_merge(samples.begin(), middle, samples.begin() + qsizetype(runs[i].end),
                               earlier);
        }
    }
}

bool sameReading(const LevelSample& a, const LevelSample& b) {
    const bool levelsEqual = a.level == b.level || (std::isnan(a.level) && std::isnan(b.level));
    return levelsEqual && a.energy == b.energy;
}

// Keeps the first record of each instant (the samples are in time order, those of an
// instant in the survey's order) and counts the others.
void dropRepeats(platform::LargeVector<LevelSample>& samples, SurveyRecords& survey) {
    size_t kept = 1;
    while (kept < samples.size() && samples[kept].time != samples[kept - 1].time) {
        ++kept;
    }
    for (size_t i = kept; i < samples.size(); ++i) {
        const LevelSample& first = samples[kept - 1];
        if (samples[i].time != first.time) {
            samples[kept++] = samples[i];
        } else if (sameReading(samples[i], first)) {
            ++survey.repeated;
        } else {
            ++survey.conflicting;
        }
    }
    samples.resize(std::min(kept, samples.size()));
}

// "900 years", "40 days": how far apart two instants lie.
QString distanceText(qint64 seconds) {
    constexpr double kDaysPerYear = 365.2425;
    const double days = static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay);
    if (days >= 10 * kDaysPerYear) {
        return QStringLiteral("%1 years").arg(std::llround(days / kDaysPerYear));
    }
    return QStringLiteral("%1 days").arg(std::llround(days));
}

// The reason a survey spans more than kMostSurveyDays, given its records in time order.
// Where the largest gap between two of them is longer than the rest of the span, and
// the rest fits, the records on its far side (the side with fewer records) are dated
// wrong: named is the one of them at the largest step in time within a file, or a
// file's first record. Else the span itself.
records::FileError misdatedRecord(std::span<const LevelSample> samples,
                                  const std::vector<FileDates>& files, const LocalDays& days) {
    size_t after = 1;  // the gap lies between samples[after - 1] and samples[after]
    for (size_t i = 2; i < samples.size(); ++i) {
        if (samples[i].time - samples[i - 1].time > samples[after].time - samples[after - 1].time) {
            after = i;
        }
    }
    const qint64 before = samples[after - 1].time;
    const qint64 beyond = samples[after].time;
    const auto dateOf = [&days](qint64 instant) {
        return days.dayOf(instant).date().toString(Qt::ISODate);
    };
    const qint64 rest = samples.back().time - samples.front().time - (beyond - before);
    if (rest <= kMostSurveyDays * kSecondsPerDay && beyond - before > rest) {
        const bool lateOnes = samples.size() - after <= after;
        const auto onFarSide = [&](qint64 t) { return lateOnes ? t >= beyond : t <= before; };
        const QString direction = lateOnes ? QStringLiteral("after") : QStringLiteral("before");
        for (const FileDates& f : files) {
            const qint64 low = std::min(f.stepFrom.instant, f.stepTo.instant);
            const qint64 high = std::max(f.stepFrom.instant, f.stepTo.instant);
            if (f.step < 0 || low > before || high < beyond) {
                continue;  // no step across the gap
            }
            const bool later = onFarSide(f.stepTo.instant);
            const DatedLine& named = later ? f.stepTo : f.stepFrom;
            return {f.file, named.line,
                    QStringLiteral("is dated %1, %2 %3 the record %4 it")
                        .arg(dateOf(named.instant), distanceText(f.step), direction,
                             later ? QStringLiteral("before") : QStringLiteral("after"))};
        }
        for (const FileDates& f : files) {
            if (f.first && onFarSide(f.first->instant)) {
                return {
                    f.file, f.first->line,
                    QStringLiteral("is dated %1, %2 %3 the other records")
                        .arg(dateOf(f.first->instant), distanceText(beyond - before), direction)};
            }
        }
    }
    return {QString(), 0,
            QStringLiteral("The records span %1, from %2 to %3")
                .arg(distanceText(samples.back().time - samples.front().time),
                     dateOf(samples.front().time), dateOf(samples.back().time))};
}

// The stretches of the samples [begin, end) read from file `file`, split where its
// metadata's states begin, those without a level left out. Only the ends of each
// stretch are looked at: its first and last sample with a level.
void addStretches(std::vector<StateStretch>& into, qsizetype file,
                  const std::optional<records::RecordMetadata>& metadata,
                  const std::vector<SpanStart>& starts, std::span<const LevelSample> samples,
                  size_t end) {
    const size_t before = into.size();
    for (size_t k = 0; k < starts.size(); ++k) {
        const size_t from = starts[k].sample;
        const size_t to = k + 1 < starts.size() ? starts[k + 1].sample : end;
        size_t first = from;
        while (first < to && std::isnan(samples[first].level)) {
            ++first;
        }
        if (first == to) {
            continue;
        }
        size_t last = to - 1;
        while (std::isnan(samples[last].level)) {
            --last;
        }
        StateStretch stretch;
        stretch.file = file;
        stretch.described = metadata.has_value();
        if (starts[k].span >= 0) {
            const records::StateSpan& span = metadata->spans[size_t(starts[k].span)];
            stretch.fromLine = span.fromLine;
            stretch.state = span.state;
        }
        stretch.first = std::min(samples[first].time, samples[last].time);
        stretch.last = std::max(samples[first].time, samples[last].time);
        into.push_back(stretch);
    }
    for (size_t k = before; k + 1 < into.size(); ++k) {
        into[k].toLine = into[k + 1].fromLine - 1;
    }
}

qint64 reserveFor(const QStringList& files) {
    qint64 bytes = 0;
    for (const QString& file : files) {
        bytes += QFileInfo(file).size();
    }
    return bytes / kTypicalLineBytes;
}

}  // namespace

void IntervalCount::add(qint64 difference) {
    if (difference > kCountedInPlace) {
        ++longer_[difference];
    } else if (difference > 0) {
        ++counts_[size_t(difference)];
    }
}

std::optional<qint64> IntervalCount::interval() const {
    std::optional<qint64> interval;
    qint64 most = 0;
    for (qint64 d = 1; d <= kCountedInPlace; ++d) {
        if (counts_[size_t(d)] > most) {
            most = counts_[size_t(d)];
            interval = d;
        }
    }
    for (const auto& [difference, count] : longer_) {
        if (count > most) {
            most = count;
            interval = difference;
        }
    }
    return interval;
}

std::optional<qint64> samplingInterval(std::span<const LevelSample> samples) {
    IntervalCount count;
    for (size_t i = 1; i < samples.size(); ++i) {
        count.add(samples[i].time - samples[i - 1].time);
    }
    return count.interval();
}

namespace {

SurveyRecords failedRead(const QStringList& files, const QTimeZone& zone,
                         records::FileError error) {
    SurveyRecords failed;
    failed.files = files;
    failed.days = LocalDays(zone);
    failed.error = std::move(error);
    return failed;
}

// Reads the survey of `files` with the readers `readerOf` makes, each file's metadata
// from `metadataOf`, with room for `reserve` records to begin with, into one list and
// puts them in time order (files that overlap or come out of order, or a survey too
// long); records without a level are kept.
template <class MakeReader, class MetadataOf>
SurveyRecords readSources(const QStringList& files, const QTimeZone& zone, qint64 reserve,
                          const MakeReader& readerOf, const MetadataOf& metadataOf) {
    SurveyRecords survey;
    survey.files = files;
    survey.days = LocalDays(zone);
    platform::LargeVector<LevelSample>& samples = survey.samples;
    samples.reserve(size_t(reserve));
    std::vector<FileRun> runs;
    std::vector<FileDates> dates;
    EnergyTable energies;
    for (const QString& file : files) {
        FileRun run{samples.size(), 0};
        auto reader = readerOf(file);
        dates.push_back({file, {}, {}, {}, -1});
        const std::optional<records::RecordMetadata> metadata = metadataOf(file);
        static const std::vector<records::StateSpan> kNoSpans;
        SampleSink sink(survey.days, energies, samples, survey, reader, dates.back(),
                        metadata ? metadata->spans : kNoSpans);
        if (reader.open()) {
            while (reader.read(sink, kPieceItems) == records::RecordFileReader::Status::More) {
            }
        }
        if (reader.error()) {
            return failedRead(files, zone, *reader.error());
        }
        run.end = samples.size();
        addStretches(survey.states, qsizetype(dates.size() - 1), metadata, sink.spanStarts(),
                     samples, run.end);
        if (!sink.inOrder()) {
            std::stable_sort(samples.begin() + qsizetype(run.begin), samples.end(), earlier);
        }
        runs.push_back(run);
    }
    mergeRuns(samples, std::move(runs));
    if (!samples.empty() &&
        samples.back().time - samples.front().time > kMostSurveyDays * kSecondsPerDay) {
        SurveyRecords failed = failedRead(files, zone, misdatedRecord(samples, dates, survey.days));
        failed.misdated = true;
        return failed;
    }
    dropRepeats(samples, survey);
    return survey;
}

SurveyRecords readWhole(const QStringList& files, const QTimeZone& zone) {
    return readSources(
        files, zone, reserveFor(files),
        [](const QString& file) { return records::RecordFileReader(file); },
        [](const QString& file) { return records::readRecordMetadata(file); });
}

// Reads the files one at a time into `survey.store` (one file's samples held at once)
// while each file's records all follow the last one's; false as soon as they do not, or
// when a file cannot be read (then `survey.error` is set). Records without a level are
// kept.
bool readInTurn(SurveyRecords& survey) {
    survey.store.reserve(size_t(reserveFor(survey.files)));
    platform::LargeVector<LevelSample> samples;
    EnergyTable energies;
    for (qsizetype file = 0; file < survey.files.size(); ++file) {
        samples.clear();
        records::RecordFileReader reader(survey.files[file]);
        FileDates dates{survey.files[file], {}, {}, {}, -1};
        const std::optional<records::RecordMetadata> metadata =
            records::readRecordMetadata(survey.files[file]);
        static const std::vector<records::StateSpan> kNoSpans;
        SampleSink sink(survey.days, energies, samples, survey, reader, dates,
                        metadata ? metadata->spans : kNoSpans);
        if (reader.open()) {
            while (reader.read(sink, kPieceItems) == records::RecordFileReader::Status::More) {
            }
        }
        if (reader.error()) {
            survey.error = reader.error();
            return false;
        }
        addStretches(survey.states, file, metadata, sink.spanStarts(), samples, samples.size());
        if (!sink.inOrder()) {
            std::stable_sort(samples.begin(), samples.end(), earlier);
        }
        if (samples.empty()) {
            continue;
        }
        if (!survey.store.empty() && samples.front().time <= survey.store.lastTime()) {
            return false;
        }
        dropRepeats(samples, survey);
        survey.store.add(samples);
    }
    return true;
}

// The first and last instants, S, and the records without a level, of the samples of
// `survey` (in time order, one per instant, those without a level among them).
void countInstants(SurveyRecords& survey) {
    IntervalCount count;
    std::optional<qint64> previous;
    const auto look = [&](std::span<const LevelSample> piece) {
        for (const LevelSample& sample : piece) {
            if (previous) {
                count.add(sample.time - *previous);
            } else {
                survey.first = sample.time;
            }
            previous = sample.time;
            if (std::isnan(sample.level)) {
                survey.leftOutTimes.push_back(sample.time);
            }
        }
    };
    if (survey.store.empty()) {
        look(survey.samples);
    } else {
        survey.store.forEachPiece(look, true);
    }
    survey.last = previous;
    survey.interval = count.interval();
    survey.leftOut = static_cast<qint64>(survey.leftOutTimes.size());
}

}  // namespace

SurveyRecords readSurvey(const QStringList& files, const QTimeZone& zone, SampleForm form) {
    SurveyRecords survey;
    survey.files = files;
    survey.days = LocalDays(zone);
    const bool inTurn = readInTurn(survey);
    if (survey.error) {
        return failedRead(files, zone, *survey.error);
    }
    if (!inTurn || (!survey.store.empty() && survey.store.lastTime() - survey.store.firstTime() >
                                                 kMostSurveyDays * kSecondsPerDay)) {
        survey = readWhole(files, zone);  // it also names a record dated far off
        if (survey.error) {
            return survey;
        }
    }
    countInstants(survey);
    const auto noLevel = [](const LevelSample& s) { return std::isnan(s.level); };
    if (form == SampleForm::Samples && !survey.store.empty()) {
        survey.samples = survey.store.samples();
        survey.store.clear();
    } else if (form == SampleForm::Samples) {
        std::erase_if(survey.samples, noLevel);
    } else if (!survey.samples.empty()) {
        std::erase_if(survey.samples, noLevel);
        survey.store.add(survey.samples);
        survey.samples = {};
    }
    return survey;
}

SurveyRecords readHeldSurvey(std::shared_ptr<const records::RecordStore> store, const QString& name,
                             const std::optional<records::RecordMetadata>& metadata,
                             const QTimeZone& zone) {
    SurveyRecords survey = readSources(
        {name}, zone, store->count(),
        [&store](const QString&) { return records::RecordStoreReader(*store); },
        [&metadata](const QString&) { return metadata; });
    if (survey.error) {
        return survey;
    }
    countInstants(survey);
    std::erase_if(survey.samples, [](const LevelSample& s) { return std::isnan(s.level); });
    survey.held = std::move(store);
    return survey;
}

void forEachSamplePiece(const SurveyRecords& survey,
                        const std::function<void(std::span<const LevelSample>)>& take) {
    if (!survey.store.empty()) {
        survey.store.forEachPiece(take);
        return;
    }
    const std::span<const LevelSample> samples = survey.samples;
    for (size_t at = 0; at < samples.size(); at += SampleStore::kPiece) {
        take(samples.subspan(at, std::min(SampleStore::kPiece, samples.size() - at)));
    }
}

}  // namespace lp::stats
