// The saved-file window on big record files: 348,000, 1.74 M, 3.48 M and 7 M records,
// one a second as a recording writes them, each listed in a fresh window (offscreen)
// in a process of its own. Reports for each
//   - the time from the start of the load to the last row shown,
//   - the peak resident memory (VmHWM) above that of the empty window, in all and
//     per record,
//   - the longest gap of a 1 ms timer during the load (the longest event-loop stall).
// Goal: 7 M records in at most twice the per-record time of 348,000, at most 40 B per
// record above the empty window, no stall over 50 ms.
//
//   build/bench/lists/bench_saved_file_window [records ...]
//   (one size alone with --one N; the file is written to a temporary folder)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "../support/bench_support.h"
#include "../support/large_record_file.h"
#include "lists/saved_file_window.h"

using namespace lp;

namespace {

// The process's peak resident memory in bytes, from /proc/self/status.
qint64 peakResidentBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').front().toLongLong() * 1024;
        }
    }
    return 0;
}

// One size, in this process: prints "records ms bytes stall_ms".
int runOne(qint64 count) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.sdm"));
    if (!bench::writeLargeRecordFile(path, count)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    bench::CountingDialogs dialogs;
    auto* window = new lists::SavedFileWindow(dialogs, nullptr);
    window->show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200) {
        QCoreApplication::processEvents();
    }
    const qint64 emptyPeak = peakResidentBytes();

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    tick.start();
    sinceTick.start();

    QElapsedTimer clock;
    clock.start();
    const auto error = window->load(path);
    const qint64 loadNs = clock.nsecsElapsed();
    window->showLastRecord();
    window->grab();  // paint it once, as the screen would
    const qint64 ns = clock.nsecsElapsed();
    longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
    tick.stop();
    if (error || window->recordCount() != count) {
        std::fprintf(stderr, "load failed: %lld records\n",
                     static_cast<long long>(window->recordCount()));
        return 1;
    }
    const qint64 grown = peakResidentBytes() - emptyPeak;
    std::printf("%lld %.1f %lld %.1f\n", static_cast<long long>(count), ns / 1e6,
                static_cast<long long>(grown), longestGap / 1e6);
    std::fprintf(stderr,
                 "  %lld records: load %.1f ms, then the last row shown and painted %.1f ms\n",
                 static_cast<long long>(count), loadNs / 1e6, (ns - loadNs) / 1e6);
    delete window;
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--one") {
        QApplication app(argc, argv);
        return runOne(QByteArray(argv[2]).toLongLong());
    }
    QCoreApplication app(argc, argv);
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.append(std::max<qint64>(1, QByteArray(argv[i]).toLongLong()));
    }
    if (sizes.isEmpty()) {
        sizes = {bench::kLargeFileRecords, 1740000, 3480000, 7000000};
    }
    std::printf("%10s %10s %10s %9s %10s %9s\n", "records", "load ms", "ns/record", "peak MB",
                "B/record", "stall ms");
    double firstPerRecord = 0;
    for (const qint64 count : sizes) {
        // Each size in a process of its own: the peak memory is the process's.
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        one.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--one"), QString::number(count)});
        if (!one.waitForFinished(-1) || one.exitCode() != 0) {
            std::fprintf(stderr, "%lld records: failed\n", static_cast<long long>(count));
            return 1;
        }
        const QList<QByteArray> f = one.readAllStandardOutput().trimmed().split(' ');
        if (f.size() != 4) {
            return 1;
        }
        const double ms = f[1].toDouble();
        const double perRecord = ms * 1e6 / double(count);
        if (firstPerRecord == 0) {
            firstPerRecord = perRecord;
        }
        std::printf(
            "%10lld %10.1f %10.1f %9.1f %10.1f %9.1f   (%.2fx the first's time per record)\n",
            static_cast<long long>(count), ms, perRecord, f[2].toDouble() / 1048576.0,
            f[2].toDouble() / double(count), f[3].toDouble(), perRecord / firstPerRecord);
    }
    return 0;
}
