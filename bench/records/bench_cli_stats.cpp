// levelpanel-cli stats as a whole process on a file of 348,000 records: start, load,
// percentile levels, output and exit. Prints each of five runs and their median.
//
//   build/bench/records/bench_cli_stats [FILE]   (FILE: the 348,000-record file, made
//                                                 by bench_reader --write; else made here)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../support/large_record_file.h"

using namespace lp;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    constexpr int kRecords = bench::kLargeFileRecords;
    constexpr int kRuns = 5;
    QTemporaryDir dir;
    QString path = QCoreApplication::arguments().value(1);
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("big.sdm"));
        if (!bench::writeLargeRecordFile(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
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
