// The survey benchmarks' week: 1 s records in seven daily files, 2009-06-01 to
// 2009-06-07 (604,800 records), written as `record --rotate daily` would; and their
// year: 365 such files (31,536,000 records).
#pragma once

#include <QDir>
#include <QStringList>

#include "large_record_file.h"

namespace lp::bench {

inline constexpr int kSurveyDays = 7;
inline constexpr int kRecordsPerDay = 86400;
inline constexpr int kSurveyYearDays = 365;

// `days` daily files from 2009-06-01 in `dir`, named by their dates, in day order;
// empty when one cannot be written.
inline QStringList writeSurveyDays(const QString& dir, int days) {
    QDir().mkpath(dir);
    QStringList files;
    const QDate first(2009, 6, 1);
    for (int day = 0; day < days; ++day) {
        files << QDir(dir).filePath(first.addDays(day).toString(Qt::ISODate) +
                                    QStringLiteral(".sdm"));
        if (!writeLargeRecordFile(files.last(), kRecordsPerDay, qint64(day) * kRecordsPerDay)) {
            return {};
        }
    }
    return files;
}

// The seven files of the week in `dir`.
inline QStringList writeSurveyWeek(const QString& dir) {
    return writeSurveyDays(dir, kSurveyDays);
}

}  // namespace lp::bench
