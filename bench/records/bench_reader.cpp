// The record file reader alone: loads a file into a record store five times and
// prints each run and the median (wall clock and this process's CPU time).
//
//   build/bench/records/bench_reader FILE           times the reader on FILE
//   build/bench/records/bench_reader --write FILE [RECORDS]
//                                                   writes the 348,000-record file
//                                                   (or one of RECORDS records)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../support/bench_support.h"
#include "../support/large_record_file.h"
#include "records/record_file_reader.h"

using namespace lp;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if ((args.size() == 2 || args.size() == 3) && args[0] == QStringLiteral("--write")) {
        const qint64 records = args.size() == 3 ? args[2].toLongLong() : bench::kLargeFileRecords;
        if (records <= 0 || !bench::writeLargeRecordFile(args[1], records)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(args[1]));
            return 1;
        }
        return 0;
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_reader FILE | --write FILE [RECORDS]\n");
        return 1;
    }
    constexpr int kRuns = 5;
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
    qsizetype records = 0;
    for (int run = 0; run < kRuns; ++run) {
        records::RecordStore store;
        const double cpuBefore = bench::ownCpuSeconds();
        QElapsedTimer t;
        t.start();
        const records::LoadResult loaded = records::loadRecordFile(args[0], store);
        wallMs.push_back(t.nsecsElapsed() / 1e6);
        cpuMs.push_back((bench::ownCpuSeconds() - cpuBefore) * 1e3);
        if (loaded.error) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(records::loadFailureText(*loaded.error, loaded.records)));
            return 1;
        }
        records = store.count();
        std::printf("run %d: %6.1f ms (cpu %5.1f ms)\n", run + 1, wallMs.back(), cpuMs.back());
    }
    std::sort(wallMs.begin(), wallMs.end());
    std::sort(cpuMs.begin(), cpuMs.end());
    std::printf("reader alone, %lld records: median %.1f ms (cpu %.1f ms) of %d runs\n",
                static_cast<long long>(records), wallMs[kRuns / 2], cpuMs[kRuns / 2], kRuns);
    return 0;
}
