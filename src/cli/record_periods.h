// The period figures of `record --periods LENGTHS` beside the publishing: each period
// of each length, once it closes, on PREFIX/NAME/period/LENGTH (QoS 1) through the
// publisher's tracked messages (remote/period_stream.h has the message). The period
// cursor (remote/period_cursor.h) moves only once the broker acknowledged a period and
// all before it, so a restarted logger publishes again, from its record files, every
// period the broker may not have. A period published again carries the same figures.
#pragma once

#include <QObject>
#include <deque>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "cli/command.h"
#include "live/recording.h"
#include "remote/period_cursor.h"
#include "remote/period_stream.h"
#include "remote/sample_publisher.h"

namespace lp::cli {

// "15min,1h": the lengths as the survey's --every takes them, in seconds, each once; a
// usage mistake when a piece is no such length.
[[nodiscard]] Outcome<std::vector<qint64>> periodLengthsOf(const QString& text);

class RecordPeriods : public QObject {
    Q_OBJECT
public:
    // `out` is the record file as given (its cursor is OUT.periods.published).
    RecordPeriods(std::vector<qint64> lengths, const QString& out,
                  remote::SamplePublisher& publisher, Talk& talk);

    // Reads the cursor and the files it names besides `firstFile` (the run's), and
    // publishes the periods closed in them. Call once the publisher has started.
    void start(const QString& firstFile);
    void take(const lp::live::RecordedLine& line);
    // The periods not closed, as partial; before the publisher stops.
    void finish();

private:
    struct Pending {
        qint64 ticket = 0;
        qint64 start = 0;
        bool acknowledged = false;
    };
    void publish(const std::vector<remote::PeriodMessage>& messages);
    void acknowledged(qint64 ticket);
    void saveCursor();
    void tell(const QString& text);

    remote::PeriodStream stream_;
    QString cursorPath_;
    remote::SamplePublisher& publisher_;
    Talk& talk_;
    std::map<qint64, std::deque<Pending>> pending_;  // by length, oldest first
    std::unordered_map<qint64, qint64> lengthOf_;    // by ticket
    std::optional<remote::PeriodCursor> saved_;
    QStringList told_;
};

}  // namespace lp::cli
