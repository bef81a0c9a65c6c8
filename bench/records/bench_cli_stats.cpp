// levelpanel-cli stats as a whole process on a file of 348,000 records: start, load,
// percentile levels, output and exit. Prints each of five runs and their median.
//
//   build/bench/records/bench_cli_stats
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "records/record_format.h"

using namespace lp;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    constexpr int kRecords = 348000;
    constexpr int kRuns = 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.sdm"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        f.write(records::kHeaderLine.data(), records::kHeaderLine.size());
        char stamp[32];
        for (qint64 i = 0; i < kRecords; ++i) {
            const qint64 second = i % 86400;
            std::snprintf(stamp, sizeof stamp, "2009/06/%02d %02d:%02d:%02d",
                          static_cast<int>(1 + i / 86400), static_cast<int>(second / 3600),
                          static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
            const QByteArray level = QByteArray::number(40.0 + (i * 7919 % 600) / 10.0, 'f', 1);
            f.write(records::recordLine(QByteArray::number(i + 1), stamp, level));
        }
    }
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        QProcess cli;
        QElapsedTimer t;
        t.start();
        cli.start(QStringLiteral(LP_CLI_PROGRAM), {QStringLiteral("stats"), path});
        if (!cli.waitForFinished(120000) || cli.exitCode() != 0) {
            std::fprintf(stderr, "levelpanel-cli failed: %s\n",
                         cli.readAllStandardError().constData());
            return 1;
        }
        ms.push_back(t.nsecsElapsed() / 1e6);
        // A run that did not read every record measured nothing.
        const QByteArray out = cli.readAllStandardOutput();
        if (!out.contains("Records:  " + QByteArray::number(kRecords))) {
            std::fprintf(stderr, "unexpected output:\n%s\n", out.left(300).constData());
            return 1;
        }
        std::printf("run %d: %8.1f ms\n", run + 1, ms.back());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("levelpanel-cli stats, %d records: median %.1f ms of %d runs\n", kRecords,
                ms[kRuns / 2], kRuns);
    return 0;
}
