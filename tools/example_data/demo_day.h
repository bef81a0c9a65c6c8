// Demo records, as `record --rotate daily` writes them: the user guide's pictures and its
// example surveys are made of these. Deterministic: the same files on every build.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "records/run_metadata.h"

namespace lp::tools {

// Days of one record a second from `first`, in `dir` (made if missing) as
// log-YYYY-MM-DD.sdm: quiet nights, busier days, and a few loud minutes. The files in
// day order; empty when one cannot be written.
QStringList writeDemoDays(const QString& dir, QDate first = QDate(2026, 12, 1), int days = 2);

// A record file of the instants `first` (local time), then every `everySeconds` after it,
// `count` of them: at instant i (from 0) the level `level` gives as the file shows it
// ("45.2"), or no record when it gives none (a meter switched off). The records are
// numbered as a run numbers them, from 1. False when it cannot be written.
bool writeRecords(const QString& path, const QDateTime& first, int count,
                  const std::function<std::optional<QByteArray>(int)>& level, int everySeconds = 1);

// FILE.meta beside `recordFile`: one run of a record every `everySeconds` from `start`
// (ISO 8601 with its offset), taken as `state`, by the examples' maker. False when not
// written.
bool writeExampleMetadata(const QString& recordFile, const QString& start,
                          const records::MeterState& state, int everySeconds = 1);

}  // namespace lp::tools
