// How far the broker has acknowledged a logger's period messages, kept beside the record
// files (OUT.periods.published) so that a restarted logger (power loss, kill -9)
// publishes every period again that the broker may not have, recomputed from the files.
// JSON:
//   {"files": ["log-2026-12-06.sdm", "log-2026-12-07.sdm"],
//    "periods": {"60": 1796598000, "900": 1796597100}}
// says, for each length in seconds, that every period starting before that instant
// (seconds since the epoch) is acknowledged, and which record files hold the records
// from the earliest of those instants on (names relative to the folder of this file).
// It is written at once (another name, then renamed), so a kill leaves the old state or
// the new one; a cursor that cannot be read publishes from the run's first record.
#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>

namespace lp::remote {

struct PeriodCursor {
    QStringList files;              // absolute paths, in writing order
    std::map<qint64, qint64> from;  // by length: the first period not acknowledged

    friend bool operator==(const PeriodCursor&, const PeriodCursor&) = default;
};

// "log.sdm" -> "log.sdm.periods.published", for the record file as given to the recorder.
[[nodiscard]] QString periodCursorPath(const QString& recordPath);

// The cursor in `path`: none when there is no such file; `problem` says why one that
// is there cannot be read.
[[nodiscard]] std::optional<PeriodCursor> loadPeriodCursor(const QString& path, QString& problem);
// The reason in words when it cannot be written.
[[nodiscard]] std::optional<QString> savePeriodCursor(const QString& path,
                                                      const PeriodCursor& cursor);

}  // namespace lp::remote
