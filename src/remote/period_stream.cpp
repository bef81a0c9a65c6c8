#include "remote/period_stream.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <limits>

#include "stats/level_tally.h"
#include "stats/survey.h"

namespace lp::remote {
namespace {

constexpr qint64 kEarliest = std::numeric_limits<qint64>::min();
constexpr qint64 kLatest = std::numeric_limits<qint64>::max();

QJsonValue letterOr(const std::optional<QString>& letter) {
    return letter ? QJsonValue(*letter) : QJsonValue(QJsonValue::Null);
}

// The first sample at or after `instant`.
size_t firstFrom(std::span<const stats::LevelSample> samples, qint64 instant) {
    return size_t(
        std::lower_bound(samples.begin(), samples.end(), instant,
                         [](const stats::LevelSample& s, qint64 t) { return s.time < t; }) -
        samples.begin());
}

}  // namespace

PeriodStream::PeriodStream(std::vector<qint64> lengths, const QTimeZone& zone)
    : lengths_(std::move(lengths)), stamps_(zone), times_(zone) {
    records_.days = stats::LocalDays(zone);
}

std::vector<PeriodMessage> PeriodStream::load(const QStringList& files,
                                              const std::map<qint64, qint64>& from,
                                              std::optional<records::FileError>& error) {
    QStringList present;
    for (const QString& file : files) {
        if (QFileInfo(file).isFile() && !present.contains(file)) {
            present << file;
        }
    }
    stats::SurveyRecords read = stats::readSurvey(present, records_.days.zone());
    if (read.error) {
        error = read.error;
        return {};
    }
    // Every dated record in time order counts in S, those without a level too.
    const std::vector<qint64>& unlevelled = read.leftOutTimes;
    size_t u = 0;
    for (const stats::LevelSample& sample : read.samples) {
        for (; u < unlevelled.size() && unlevelled[u] < sample.time; ++u) {
            if (lastDated_) {
                intervals_.add(unlevelled[u] - *lastDated_);
            }
            lastDated_ = unlevelled[u];
        }
        if (lastDated_) {
            intervals_.add(sample.time - *lastDated_);
        }
        lastDated_ = sample.time;
    }
    for (; u < unlevelled.size(); ++u) {
        if (lastDated_) {
            intervals_.add(unlevelled[u] - *lastDated_);
        }
        lastDated_ = unlevelled[u];
    }
    records_.files = read.files;
    records_.samples = std::move(read.samples);
    records_.states = std::move(read.states);
    for (const stats::StateStretch& stretch : records_.states) {
        if (fileStarts_.empty() || fileStarts_.back().file != stretch.file) {
            fileStarts_.push_back({stretch.first, stretch.file});
        }
    }
    std::vector<PeriodMessage> closed;
    for (const qint64 length : lengths_) {
        if (const auto it = from.find(length); it != from.end()) {
            next_[length] = it->second;
            if (lastDated_) {
                closeUpTo(length, *lastDated_, false, closed);
            }
        }
    }
    dropPublished();
    return closed;
}

std::vector<PeriodMessage> PeriodStream::take(const live::RecordedLine& line) {
    // The instant the stamp was written from: what the file's reader makes of a file
    // written straight on, also through the hour shown twice in autumn, where a reader
    // started anew would take the second pass for the first. Without it (a line read
    // back), the stamp as a reader of the file takes it.
    if (line.file != stampFile_) {
        stamps_.restart();
        stampFile_ = line.file;
    }
    const std::optional<records::StampTime> stamp = stamps_.next(line.sample.dateTime.toLatin1());
    const std::optional<qint64> dated = line.sample.when.isValid()
                                            ? std::optional(line.sample.when.toSecsSinceEpoch())
                                        : stamp ? std::optional(stamp->instant)
                                                : std::nullopt;
    // A record at an instant recorded before does not count (the survey keeps the
    // first), nor one the clock stepped back to.
    if (!dated || (lastDated_ && *dated <= *lastDated_)) {
        return {};
    }
    const qint64 instant = *dated;
    if (lastDated_) {
        intervals_.add(instant - *lastDated_);
    }
    lastDated_ = instant;
    const qsizetype file = fileIndex(line.file);
    if (const std::optional<stats::LevelSample> sample =
            stats::sampleOf(instant, stats::readLevel(QStringView(line.sample.levelText)))) {
        if (records_.samples.empty()) {
            records_.first = instant;
        }
        records_.samples.push_back(*sample);
        records_.last = instant;
        if (fileStarts_.empty() || fileStarts_.back().file != file) {
            fileStarts_.push_back({instant, file});
        }
        takeState(file, line.line, instant, live::meterStateOf(line.sample.reading));
    }
    std::vector<PeriodMessage> closed;
    for (const qint64 length : lengths_) {
        if (!next_.contains(length)) {
            next_[length] = stats::periodHolding(records_.days, instant, length).start;
        }
        closeUpTo(length, instant, false, closed);
    }
    dropPublished();
    return closed;
}

std::vector<PeriodMessage> PeriodStream::stop() {
    std::vector<PeriodMessage> open;
    for (const qint64 length : lengths_) {
        if (next_.contains(length)) {
            closeUpTo(length, kLatest, true, open);
        }
    }
    return open;
}

std::optional<qint64> PeriodStream::nextStart(qint64 length) const {
    const auto it = next_.find(length);
    return it == next_.end() ? std::nullopt : std::optional(it->second);
}

QStringList PeriodStream::filesFrom(qint64 instant) const {
    size_t first = 0;
    while (first + 1 < fileStarts_.size() && fileStarts_[first + 1].first <= instant) {
        ++first;
    }
    QStringList files;
    for (size_t i = first; i < fileStarts_.size(); ++i) {
        const QString& path = records_.files[fileStarts_[i].file];
        if (!files.contains(path)) {
            files << path;
        }
    }
    return files;
}

qsizetype PeriodStream::fileIndex(const QString& path) {
    qsizetype index = records_.files.lastIndexOf(path);
    if (index < 0) {
        records_.files << path;
        index = records_.files.size() - 1;
    }
    return index;
}

// The metadata of a run starts a state with its first record and with every record
// whose state differs from the one before (live::RunMetadataWriter).
void PeriodStream::takeState(qsizetype file, qint64 line, qint64 instant,
                             const records::MeterState& state) {
    std::vector<stats::StateStretch>& states = records_.states;
    if (!states.empty() && states.back().file == file && states.back().state == state) {
        states.back().last = std::max(states.back().last, instant);
        return;
    }
    if (!states.empty() && states.back().file == file) {
        states.back().toLine = line - 1;
    }
    stats::StateStretch stretch;
    stretch.file = file;
    stretch.fromLine = line;
    stretch.described = true;
    stretch.state = state;
    stretch.first = instant;
    stretch.last = instant;
    states.push_back(stretch);
}

void PeriodStream::closeUpTo(qint64 length, qint64 instant, bool partial,
                             std::vector<PeriodMessage>& into) {
    const std::span<const stats::LevelSample> samples = records_.samples;
    qint64& next = next_[length];
    // The period still open is looked up once, not at every record.
    const auto open = openEnd_.find(length);
    if (!partial && open != openEnd_.end() && instant < open->second) {
        return;
    }
    size_t i = firstFrom(samples, next);
    bool closedAny = false;
    while (i < samples.size()) {
        const stats::PeriodSpan span = stats::periodHolding(records_.days, samples[i].time, length);
        if (span.end > instant) {
            openEnd_[length] = span.end;
            break;
        }
        const size_t end = firstFrom(samples, span.end);
        into.push_back(message(length, span, samples.subspan(i, end - i), partial));
        closedAny = true;
        if (!partial) {
            next = span.end;
        }
        i = end;
    }
    if (!partial && closedAny && next < instant) {
        // The empty periods up to the one holding `instant` are closed too.
        next = std::max(next, stats::periodHolding(records_.days, instant, length).start);
    }
}

PeriodMessage PeriodStream::message(qint64 length, const stats::PeriodSpan& span,
                                    std::span<const stats::LevelSample> samples, bool partial) {
    const std::optional<qint64> interval = intervals_.interval();
    const stats::SurveyPeriod period =
        stats::periodFigures(span.start, span.end, samples, interval);
    QJsonObject object = stats::periodJson(period, times_);
    double energy = 0.0;
    qint64 inLeq = 0;
    for (const stats::LevelSample& sample : samples) {
        if (sample.inRange()) {
            energy += sample.energy;
            ++inLeq;
        }
    }
    const QJsonValue none(QJsonValue::Null);
    object.insert(QStringLiteral("energy"),
                  interval ? QJsonValue(energy * double(*interval)) : none);
    object.insert(QStringLiteral("leq_s"), interval ? QJsonValue(inLeq * *interval) : none);
    qsizetype file = fileStarts_.empty() ? -1 : fileStarts_.front().file;
    for (const FileStart& start : fileStarts_) {
        if (start.first <= samples.front().time) {
            file = start.file;
        }
    }
    object.insert(QStringLiteral("file"),
                  file < 0 ? none : QJsonValue(QFileInfo(records_.files[file]).fileName()));
    const stats::TimeRange outside[] = {{kEarliest, span.start}, {span.end, kLatest}};
    const stats::Notation notation = stats::surveyStates(records_, {}, outside).notation;
    object.insert(
        QStringLiteral("weighting"),
        letterOr(notation.weighting ? std::optional(records::weightingLetter(*notation.weighting))
                                    : std::nullopt));
    object.insert(
        QStringLiteral("response"),
        letterOr(notation.response ? std::optional(records::responseLetter(*notation.response))
                                   : std::nullopt));
    object.insert(QStringLiteral("length_s"), length);
    object.insert(QStringLiteral("partial"), partial);
    return {length, span.start, span.end, partial,
            QJsonDocument(object).toJson(QJsonDocument::Compact)};
}

// Forgets the records before the oldest period not closed (the files stay known: a
// period published but not yet acknowledged names its file in the cursor).
void PeriodStream::dropPublished() {
    if (next_.size() < lengths_.size() || next_.empty()) {
        return;  // a length still waits for the run's first record
    }
    qint64 oldest = kLatest;
    for (const auto& [length, start] : next_) {
        oldest = std::min(oldest, start);
    }
    platform::LargeVector<stats::LevelSample>& samples = records_.samples;
    const size_t drop = firstFrom(samples, oldest);
    if (drop > 0) {
        samples.erase(samples.begin(), samples.begin() + qsizetype(drop));
    }
    std::erase_if(records_.states,
                  [oldest](const stats::StateStretch& s) { return s.last < oldest; });
}

}  // namespace lp::remote
