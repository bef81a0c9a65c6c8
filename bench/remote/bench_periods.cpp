// The CPU time of a logger's period figures (record --periods 1min,15min), without the
// broker: a day of 1 s records handed to the period stream as the recorder tells them
// (each closing period worked out and its message made), and the start of a restarted
// logger, which reads that day's file back. Medians of 5 runs.
//   bench_periods [records]
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "records/record_format.h"
#include "remote/period_stream.h"

namespace {

template <typename Run>
double medianNs(Run run) {
    std::vector<double> ns;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        ns.push_back(double(clock.nsecsElapsed()));
    }
    std::sort(ns.begin(), ns.end());
    return ns[2];
}

}  // namespace

int main(int argc, char** argv) {
    const qsizetype records = argc > 1 ? std::atoi(argv[1]) : 86400;
    QTemporaryDir dir;
    const QString path = dir.filePath("log-2026-12-06.sdm");
    const qint64 start = QDateTime(QDate(2026, 12, 6), QTime(0, 0)).toSecsSinceEpoch();
    std::vector<lp::live::RecordedLine> lines;
    lines.reserve(size_t(records));
    QByteArray file(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
    for (qsizetype i = 0; i < records; ++i) {
        const QDateTime when = QDateTime::fromSecsSinceEpoch(start + i);
        const QString stamp = when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        const QString level = QString::number(55.0 + double(i % 200) / 10.0, 'f', 1);
        lp::link::Reading reading;
        reading.weightingA = true;
        lines.push_back({path, i + 2, qint32(i + 1), {when, stamp, level, reading}});
        lp::records::appendRecordLine(file, QByteArray::number(i + 1), stamp.toLatin1(),
                                      level.toLatin1());
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
        return 1;
    }
    out.close();
    qsizetype messages = 0;
    const double live = medianNs([&] {
        lp::remote::PeriodStream stream({60, 900});
        for (const lp::live::RecordedLine& line : lines) {
            messages += qsizetype(stream.take(line).size());
        }
    });
    const double load = medianNs([&] {
        lp::remote::PeriodStream stream({60, 900});
        std::optional<lp::records::FileError> error;
        messages += qsizetype(stream.load({path}, {{60, start}, {900, start}}, error).size());
    });
    const double perRecord = live / double(records);
    std::printf(
        "periods 1min,15min: %.0f ns per record (%lld records), %.4f %% of a core at "
        "one record a second\n",
        perRecord, static_cast<long long>(records), perRecord / 1e9 * 100.0);
    std::printf("start after a restart, the day's file read back: %.1f ms\n", load / 1e6);
    return messages > 0 ? 0 : 1;
}
