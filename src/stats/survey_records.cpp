// Reading the files of a survey into one time-ordered list of levels.
#include "stats/survey_records.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "records/record_file_reader.h"
#include "records/record_sink.h"
#include "stats/level_tally.h"

namespace lp::stats {
namespace {

constexpr qsizetype kPieceItems = 16384;
// Bytes of a record line as this program writes them ("123\t2026/03/02 00:00:00\t65.3\t"
// and CR LF), near enough to reserve room by.
constexpr qint64 kTypicalLineBytes = 32;
// A dated record without a level is kept until S is known, marked by this level.
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

// Turns each record into its instant and level while its line is in the read buffer.
class SampleSink final : public records::RecordSink {
public:
    SampleSink(const LocalDays& days, EnergyTable& energies,
               platform::LargeVector<LevelSample>& into, SurveyRecords& counts)
        : stamps_(days.zone()), energies_(energies), into_(into), counts_(counts) {}

    bool take(QByteArrayView, QByteArrayView dateTime, QByteArrayView level) override {
        ++counts_.records;
        const std::optional<records::StampTime> stamp = stamps_.next(dateTime);
        if (!stamp) {
            ++counts_.undated;
            return true;
        }
        const qint64 instant = stamp->instant;
        inOrder_ &= !hasPrevious_ || previous_ <= instant;
        previous_ = instant;
        hasPrevious_ = true;
        const LevelReading reading = readLevel(level);
        into_.push_back(reading.carriesLevel()
                            ? LevelSample{instant, reading.value, energies_.of(reading)}
                            : LevelSample{instant, kNoLevel, 0.0});
        return true;
    }
    [[nodiscard]] bool inOrder() const { return inOrder_; }

private:
    records::StampReader stamps_;
    EnergyTable& energies_;
    platform::LargeVector<LevelSample>& into_;
    SurveyRecords& counts_;
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

qint64 reserveFor(const QStringList& files) {
    qint64 bytes = 0;
    for (const QString& file : files) {
        bytes += QFileInfo(file).size();
    }
    return bytes / kTypicalLineBytes;
}

}  // namespace

std::optional<qint64> samplingInterval(std::span<const LevelSample> samples) {
    // Differences up to an hour are counted in place; longer ones are rare.
    constexpr qint64 kCountedInPlace = 3600;
    std::vector<qint64> counts(kCountedInPlace + 1, 0);
    std::map<qint64, qint64> longer;
    for (size_t i = 1; i < samples.size(); ++i) {
        const qint64 difference = samples[i].time - samples[i - 1].time;
        if (difference > kCountedInPlace) {
            ++longer[difference];
        } else if (difference > 0) {
            ++counts[difference];
        }
    }
    std::optional<qint64> interval;
    qint64 most = 0;
    for (qint64 d = 1; d <= kCountedInPlace; ++d) {
        if (counts[d] > most) {
            most = counts[d];
            interval = d;
        }
    }
    for (const auto& [difference, count] : longer) {
        if (count > most) {
            most = count;
            interval = difference;
        }
    }
    return interval;
}

SurveyRecords readSurvey(const QStringList& files, const QTimeZone& zone) {
    SurveyRecords survey;
    survey.files = files;
    survey.days = LocalDays(zone);
    platform::LargeVector<LevelSample>& samples = survey.samples;
    samples.reserve(size_t(reserveFor(files)));
    std::vector<FileRun> runs;
    EnergyTable energies;
    for (const QString& file : files) {
        FileRun run{samples.size(), 0};
        records::RecordFileReader reader(file);
        SampleSink sink(survey.days, energies, samples, survey);
        if (reader.open()) {
            while (reader.read(sink, kPieceItems) == records::RecordFileReader::Status::More) {
            }
        }
        if (reader.error()) {
            SurveyRecords failed;
            failed.files = files;
            failed.days = LocalDays(zone);
            failed.error = reader.error();
            return failed;
        }
        run.end = samples.size();
        if (!sink.inOrder()) {
            std::stable_sort(samples.begin() + qsizetype(run.begin), samples.end(), earlier);
        }
        runs.push_back(run);
    }
    mergeRuns(samples, std::move(runs));
    if (!samples.empty()) {
        survey.first = samples.front().time;
        survey.last = samples.back().time;
    }
    survey.interval = samplingInterval(samples);
    const auto noLevel = [](const LevelSample& s) { return std::isnan(s.level); };
    survey.leftOut = static_cast<qint64>(std::erase_if(samples, noLevel));
    return survey;
}

}  // namespace lp::stats
