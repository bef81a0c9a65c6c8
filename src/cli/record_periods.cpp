#include "cli/record_periods.h"

#include <algorithm>

#include "cli/survey_arguments.h"
#include "records/file_error.h"
#include "remote/messages.h"

namespace lp::cli {

Outcome<std::vector<qint64>> periodLengthsOf(const QString& text) {
    std::vector<qint64> lengths;
    for (const QString& piece : text.split(u',')) {
        const std::optional<qint64> length = periodLengthOf(piece);
        if (!length) {
            return usageMistake(QStringLiteral("--periods takes lengths Nmin or Nh from 1min to "
                                               "24h that divide a day into whole periods, "
                                               "separated by commas (like 15min,1h), not '%1'")
                                    .arg(text));
        }
        if (std::find(lengths.begin(), lengths.end(), *length) == lengths.end()) {
            lengths.push_back(*length);
        }
    }
    return lengths;
}

RecordPeriods::RecordPeriods(std::vector<qint64> lengths, const QString& out,
                             remote::SamplePublisher& publisher, Talk& talk)
    : stream_(std::move(lengths)),
      cursorPath_(remote::periodCursorPath(out)),
      publisher_(publisher),
      talk_(talk) {
    connect(&publisher_, &remote::SamplePublisher::trackedAcknowledged, this,
            &RecordPeriods::acknowledged);
}

void RecordPeriods::start(const QString& firstFile) {
    QString problem;
    const std::optional<remote::PeriodCursor> cursor =
        remote::loadPeriodCursor(cursorPath_, problem);
    if (!problem.isEmpty()) {
        tell(problem);
    }
    QStringList files = cursor ? cursor->files : QStringList();
    files << firstFile;
    std::optional<records::FileError> error;
    const std::vector<remote::PeriodMessage> closed =
        stream_.load(files, cursor ? cursor->from : std::map<qint64, qint64>(), error);
    if (error) {
        tell(QStringLiteral("the periods before this run cannot be worked out: %1 cannot be "
                            "read at line %2 (%3)")
                 .arg(error->fileName)
                 .arg(error->line)
                 .arg(error->reason));
    }
    saved_ = cursor;
    publish(closed);
}

void RecordPeriods::take(const live::RecordedLine& line) {
    publish(stream_.take(line));
}

void RecordPeriods::finish() {
    publish(stream_.stop());
}

void RecordPeriods::publish(const std::vector<remote::PeriodMessage>& messages) {
    for (const remote::PeriodMessage& m : messages) {
        const qint64 ticket = publisher_.publishTracked(
            remote::periodTopic(publisher_.loggerTopic(), m.length), m.payload);
        if (ticket == 0) {
            continue;  // the publisher has stopped
        }
        lengthOf_[ticket] = m.length;
        // A partial period starts where the stream goes on: it never moves the cursor
        // past itself, so it is published whole once it closes.
        pending_[m.length].push_back({ticket, m.start});
    }
    saveCursor();
}

void RecordPeriods::acknowledged(qint64 ticket) {
    const auto it = lengthOf_.find(ticket);
    if (it == lengthOf_.end()) {
        return;  // another sender's
    }
    std::deque<Pending>& pending = pending_[it->second];
    lengthOf_.erase(it);
    for (Pending& p : pending) {
        if (p.ticket == ticket) {
            p.acknowledged = true;
        }
    }
    while (!pending.empty() && pending.front().acknowledged) {
        pending.pop_front();
    }
    saveCursor();
}

// For each length, the start of the oldest period the broker has not acknowledged.
void RecordPeriods::saveCursor() {
    remote::PeriodCursor cursor;
    for (const qint64 length : stream_.lengths()) {
        const std::deque<Pending>& pending = pending_[length];
        const auto waiting = std::find_if(pending.begin(), pending.end(),
                                          [](const Pending& p) { return !p.acknowledged; });
        if (waiting != pending.end()) {
            cursor.from[length] = waiting->start;
        } else if (const std::optional<qint64> next = stream_.nextStart(length)) {
            cursor.from[length] = *next;
        }
    }
    if (cursor.from.empty()) {
        return;
    }
    qint64 oldest = cursor.from.begin()->second;
    for (const auto& [length, from] : cursor.from) {
        oldest = std::min(oldest, from);
    }
    cursor.files = stream_.filesFrom(oldest);
    if (cursor == saved_) {
        return;
    }
    if (const std::optional<QString> error = remote::savePeriodCursor(cursorPath_, cursor)) {
        tell(*error);
        return;
    }
    saved_ = cursor;
}

void RecordPeriods::tell(const QString& text) {
    if (!told_.contains(text)) {
        told_ << text;
        talk_.error(text);
    }
}

}  // namespace lp::cli
