// The large record file the reading benchmarks share: 348,000 records (the size of a
// full live list's dump), one a second from 1 June 2009, levels 40.0 to 99.9 dB; or
// any stretch of that run of records, such as one day of it. Larger files go on day
// after day in the same way.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>
#include <cstdio>

#include "records/record_format.h"

namespace lp::bench {

inline constexpr int kLargeFileRecords = 348000;

// Writes the file; false when it cannot be written. `first` is the index of its first
// record in the run of one a second from 2009/06/01 00:00:00 (a later day's file of a
// recording rotated daily starts at 86400 times that day's number).
inline bool writeLargeRecordFile(const QString& path, qint64 records = kLargeFileRecords,
                                 qint64 first = 0) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
    const QDate firstDay(2009, 6, 1);
    QDate day = firstDay.addDays(first / 86400);
    char stamp[32];
    for (qint64 i = first; i < first + records; ++i) {
        const qint64 second = i % 86400;
        if (second == 0) {
            day = firstDay.addDays(i / 86400);
        }
        std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d:%02d", day.year(), day.month(),
                      day.day(), static_cast<int>(second / 3600),
                      static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
        const QByteArray level = QByteArray::number(40.0 + (i * 7919 % 600) / 10.0, 'f', 1);
        records::appendRecordLine(bytes, QByteArray::number(i + 1), stamp, level);
        if (bytes.size() >= (1 << 20)) {
            if (f.write(bytes) != bytes.size()) {
                return false;
            }
            bytes.truncate(0);
        }
    }
    return f.write(bytes) == bytes.size() && f.flush();
}

}  // namespace lp::bench
