// The collector's archive without a broker: a day of 1 s sample messages from each of
// 10 loggers, taken in order as a backlog arrives, into record files. Records a second
// (the collector's goal: 20,000 a second from the broker) and the files' size.
//   bench_archive [loggers] [records each]
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "remote/archive.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int loggers = argc > 1 ? QByteArray(argv[1]).toInt() : 10;
    const int records = argc > 2 ? QByteArray(argv[2]).toInt() : 86400;
    QTemporaryDir dir;
    lp::remote::Archive archive(dir.path(), "lp");
    // The messages as a logger publishes them, made before the clock starts.
    const QDateTime start(QDate(2026, 12, 7), QTime(0, 0), Qt::OffsetFromUTC, 3600);
    std::vector<QByteArray> payloads;
    payloads.reserve(records);
    for (int i = 1; i <= records; ++i) {
        payloads.push_back(
            QStringLiteral(R"({"file":"log-2026-12-07.sdm","flags":null,"level":%1,"line":%2,)"
                           R"("no":%3,"range":null,"response":null,"text":"%1","time":"%4",)"
                           R"("weighting":null})")
                .arg(QString::number(40.0 + (i % 500) / 10.0, 'f', 1))
                .arg(i + 1)
                .arg(i)
                .arg(start.addSecs(i - 1).toString(Qt::ISODate))
                .toUtf8());
    }
    std::vector<QByteArray> topics;
    for (int l = 0; l < loggers; ++l) {
        topics.push_back("lp/logger" + QByteArray::number(l) + "/sample");
    }
    QElapsedTimer clock;
    clock.start();
    qsizetype problems = 0;
    // Interleaved, as the loggers' backlogs reach the broker together.
    for (int i = 0; i < records; ++i) {
        for (int l = 0; l < loggers; ++l) {
            problems += archive.take(topics[l], payloads[i], clock.elapsed()).size();
        }
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    const qint64 bytes = QFileInfo(dir.filePath("logger0/log-2026-12-07.sdm")).size();
    std::printf(
        "%d loggers x %d records: %.2f s, %.0f records/s, %lld bytes a file, %lld "
        "problems\n",
        loggers, records, seconds, double(loggers) * records / seconds,
        static_cast<long long>(bytes), static_cast<long long>(problems));
    return problems == 0 ? 0 : 1;
}
