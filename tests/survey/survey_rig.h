// A small hand-made survey in UTC for the report and window tests: one record every
// 10 minutes through 2009-06-01, in two files (before and after noon). Day records
// (07-19 h) are 60.0 dB but for 80.0 dB at 12:00 and 12:10, evening ones 50.0 dB and
// night ones 40.0 dB.
//
// By hand: Lday = 10 lg((2·10^8 + 70·10^6) / 72) = 65.7 dB, Levening 50.0, Lnight
// 40.0, Lden = 10 lg((12·3.75·10^6 + 4·10^5.5 + 8·10^5) / 24) = 62.9 dB. The period
// from 12:00 holds 80, 80, 60, 60, 60, 60: Leq 75.3, Lmax 80.0, Lmin 60.0, L10 80.0,
// L50 60.0, L90 60.0. At 70 dB there is one event, 12:00:00 to 12:20:00, 1,200 s,
// Lmax and Leq 80.0, SEL 80 + 10 lg 1200 = 110.8 dB. Without the night's hour from
// 03:00, 138 records count: Leq 10 lg((42·10^4 + 24·10^5 + 70·10^6 + 2·10^8) / 138)
// = 63.0 dB.
#pragma once

#include <QDateTime>
#include <QDir>
#include <QTimeZone>

#include "files.h"
#include "records/record_format.h"
#include "stats/survey.h"

namespace lp::test {

inline qint64 utcInstant(int hour, int minute = 0) {
    return QDateTime(QDate(2009, 6, 1), QTime(hour, minute), QTimeZone::utc()).toSecsSinceEpoch();
}

inline QByteArray surveyFile(int fromHour, int toHour) {
    QByteArray bytes = records::kHeaderLine.toByteArray();
    int no = 0;
    for (int minute = fromHour * 60; minute < toHour * 60; minute += 10) {
        const int hour = minute / 60;
        const char* level = hour >= 7 && hour < 19    ? "60.0"
                            : hour >= 19 && hour < 23 ? "50.0"
                                                      : "40.0";
        if (minute == 12 * 60 || minute == 12 * 60 + 10) {
            level = "80.0";
        }
        const QByteArray stamp = QStringLiteral("2009/06/01 %1:%2:00")
                                     .arg(hour, 2, 10, QLatin1Char('0'))
                                     .arg(minute % 60, 2, 10, QLatin1Char('0'))
                                     .toLatin1();
        records::appendRecordLine(bytes, QByteArray::number(++no), stamp, level);
    }
    return bytes;
}

// The two files in `dir`: "morning.sdm" (00:00 to 11:50) and "afternoon.sdm".
inline QStringList writeSurveyFiles(const QString& dir) {
    const QString morning = QDir(dir).filePath(QStringLiteral("morning.sdm"));
    const QString afternoon = QDir(dir).filePath(QStringLiteral("afternoon.sdm"));
    if (!writeFile(morning, surveyFile(0, 12)) || !writeFile(afternoon, surveyFile(12, 24))) {
        return {};
    }
    return {morning, afternoon};
}

}  // namespace lp::test
