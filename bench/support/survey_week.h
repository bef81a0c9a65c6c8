// The survey benchmarks' week: 1 s records in seven daily files, 2009-06-01 to
// 2009-06-07 (604,800 records), written as `record --rotate daily` would.
#pragma once

#include <QDir>
#include <QStringList>

#include "large_record_file.h"

namespace lp::bench {

inline constexpr int kSurveyDays = 7;
inline constexpr int kRecordsPerDay = 86400;

// The seven files in `dir`, in day order; empty when one cannot be written.
inline QStringList writeSurveyWeek(const QString& dir) {
    QDir().mkpath(dir);
    QStringList files;
    for (int day = 0; day < kSurveyDays; ++day) {
        files << QDir(dir).filePath(
            QStringLiteral("2009-06-%1.sdm").arg(day + 1, 2, 10, QLatin1Char('0')));
        if (!writeLargeRecordFile(files.last(), kRecordsPerDay, qint64(day) * kRecordsPerDay)) {
            return {};
        }
    }
    return files;
}

}  // namespace lp::bench
