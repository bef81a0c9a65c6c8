// Demo records, as `record --rotate daily` writes them: the user guide's pictures and its
// example surveys are made of these. Deterministic: the same files on every build.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

#include "records/run_metadata.h"

namespace lp::tools {

// Days of one record a second from `first`, in `dir` (made if missing) as
// log-YYYY-MM-DD.sdm: quiet nights, busier days, and a few loud minutes. The files in
// day order; empty when one cannot be written.
QStringList writeDemoDays(const QString& dir, QDate first = QDate(2026, 12, 1), int days = 2);

// A record file of `count` records one a second from `first` (local time), the level of
// record i (from 0) given by `level` as the file shows it ("45.2"). False when it cannot
// be written.
bool writeRecords(const QString& path, const QDateTime& first, int count,
                  const std::function<QByteArray(int)>& level);

// FILE.meta beside `recordFile`: one run of one record a second from `start` (ISO 8601
// with its offset), taken as `state`, by this example's maker. False when not written.
bool writeExampleMetadata(const QString& recordFile, const QString& start,
                          const records::MeterState& state);

}  // namespace lp::tools
