// A backlog of a day of 1 s records from each of LOGGERS loggers, kept by one collector:
// each logger's record file holds RECORDS records that its broker never acknowledged
// (its cursor at the start of the file, as after a long outage), and `levelpanel-cli
// record --port sim --every 1 --publish` started on it sends them all before the new
// ones. `levelpanel-cli collect`, subscribed first, writes them into its archive. Timed
// from the loggers' start: until every logger said it caught up (the broker has all of
// its backlog), and until the collector's copy of every file holds the whole backlog,
// byte for byte as the logger's file; records per second of both, and the CPU share of
// one core the collector, the broker and the loggers used meanwhile. Without a `collect`
// command in the build, the loggers' part alone.
//   bench_collect_backlog [LOGGERS [RECORDS]]     (default 10 loggers, 86,400 records)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>
#include <vector>

#include <signal.h>

#include "cli_help.h"
#include "large_record_file.h"
#include "process_cpu.h"
#include "remote/publish_state.h"
#include "test_broker.h"

namespace {

using lp::bench::cpuSeconds;

const QString kProgram = QStringLiteral(LP_CLI_PROGRAM);
constexpr int kLimitMs = 600000;

// The first `size` bytes of the file at `path`.
QByteArray head(const QString& path, qint64 size) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

struct Logger {
    QString name;
    QString file;
    qint64 backlogBytes = 0;
    std::unique_ptr<QProcess> process;
    double caughtUp = -1;  // seconds from the start
    double collected = -1;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10;
    const qint64 records = argc > 2 ? std::atoll(argv[2]) : 86400;
    const bool collect = !lp::bench::commandHelp(kProgram, "collect").isEmpty();
    QTemporaryDir dir;
    std::vector<Logger> loggers(count);
    for (int i = 0; i < count; ++i) {
        Logger& logger = loggers[i];
        logger.name = QStringLiteral("logger%1").arg(i + 1);
        logger.file = dir.filePath(logger.name + ".sdm");
        if (!lp::bench::writeLargeRecordFile(logger.file, records)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(logger.file));
            return 1;
        }
        logger.backlogBytes = QFileInfo(logger.file).size();
        // Nothing of the file acknowledged yet: all of it is the backlog.
        const QString cursor = lp::remote::publishStatePath(logger.file);
        if (lp::remote::savePublishState(
                cursor, {{logger.file}, 1, lp::platform::fileIdentity(logger.file)})) {
            return 1;
        }
    }
    QDir().mkpath(dir.filePath("broker"));
    lp::test::TestBroker broker(dir.filePath("broker"), lp::test::TestBroker::Access::Anonymous);
    if (!broker.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(broker.error()));
        return 1;
    }
    const QString url = QStringLiteral("mqtt://127.0.0.1:%1/lp").arg(broker.port());
    const QString archive = dir.filePath("archive");
    QProcess collector;
    if (collect) {
        collector.setStandardOutputFile(QProcess::nullDevice());
        collector.setStandardErrorFile(dir.filePath("collector.err"));
        collector.start(kProgram, {"collect", url, "--dir", archive, "--id", "bench-collector"});
        // Subscribed before the first sample: its session keeps all that follows.
        QTest::qWait(2000);
    }
    std::printf("%d loggers with a backlog of %lld records each, mosquitto on 127.0.0.1:%d%s\n",
                count, static_cast<long long>(records), broker.port(),
                collect ? ", one collector" : " (no collect command in this build)");
    std::fflush(stdout);
    const double brokerBefore = cpuSeconds(broker.processId());
    const double collectorBefore = collect ? cpuSeconds(collector.processId()) : 0;
    QElapsedTimer clock;
    clock.start();
    for (Logger& logger : loggers) {
        logger.process = std::make_unique<QProcess>();
        logger.process->setStandardOutputFile(QProcess::nullDevice());
        logger.process->setStandardErrorFile(logger.file + ".err");
        logger.process->start(kProgram, {"record", "--port", "sim", "--every", "1", "--out",
                                         logger.file, "--publish", url, "--id", logger.name});
    }
    int pending = count * (collect ? 2 : 1);
    while (pending > 0 && clock.elapsed() < kLimitMs) {
        QTest::qWait(100);
        const double now = clock.nsecsElapsed() / 1e9;
        for (Logger& logger : loggers) {
            if (logger.caughtUp < 0 && head(logger.file + ".err", 1 << 16).contains("caught up")) {
                logger.caughtUp = now;
                --pending;
            }
            const QString copy = archive + '/' + logger.name + '/' + logger.name + ".sdm";
            if (collect && logger.collected < 0 && QFileInfo(copy).size() >= logger.backlogBytes) {
                logger.collected = now;
                --pending;
            }
        }
    }
    const double wall = clock.nsecsElapsed() / 1e9;
    const double brokerShare = 100.0 * (cpuSeconds(broker.processId()) - brokerBefore) / wall;
    const double collectorShare =
        collect ? 100.0 * (cpuSeconds(collector.processId()) - collectorBefore) / wall : 0;
    double loggersCpu = 0;
    for (const Logger& logger : loggers) {
        loggersCpu += cpuSeconds(logger.process->processId());
    }
    double lastCaughtUp = 0;
    double lastCollected = 0;
    int equal = 0;
    for (const Logger& logger : loggers) {
        lastCaughtUp = logger.caughtUp < 0 ? -1 : std::max(lastCaughtUp, logger.caughtUp);
        lastCollected = logger.collected < 0 ? -1 : std::max(lastCollected, logger.collected);
        const QString copy = archive + '/' + logger.name + '/' + logger.name + ".sdm";
        equal +=
            collect && head(copy, logger.backlogBytes) == head(logger.file, logger.backlogBytes)
                ? 1
                : 0;
    }
    int unclean = 0;
    for (const Logger& logger : loggers) {
        ::kill(static_cast<pid_t>(logger.process->processId()), SIGTERM);
    }
    for (const Logger& logger : loggers) {
        unclean +=
            logger.process->waitForFinished(15000) && logger.process->exitCode() == 0 ? 0 : 1;
    }
    const double total = double(records) * count;
    if (lastCaughtUp > 0) {
        std::printf("all backlogs acknowledged by the broker after %.1f s: %.0f records/s\n",
                    lastCaughtUp, total / lastCaughtUp);
    } else {
        std::printf("not every logger caught up within %.0f s\n", wall);
    }
    if (collect) {
        if (lastCollected > 0) {
            std::printf("all backlogs in the collector's files after %.1f s: %.0f records/s\n",
                        lastCollected, total / lastCollected);
        } else {
            std::printf("not every backlog reached the collector's files within %.0f s\n", wall);
        }
        std::printf("collector's copies equal to the loggers' backlogs (byte for byte): %d of %d\n",
                    equal, count);
        ::kill(static_cast<pid_t>(collector.processId()), SIGTERM);
        unclean += collector.waitForFinished(15000) && collector.exitCode() == 0 ? 0 : 1;
    }
    std::printf(
        "CPU over %.1f s, %% of one core: collector %.1f, broker %.1f, the %d loggers "
        "%.1f in all\n",
        wall, collectorShare, brokerShare, count, 100.0 * loggersCpu / wall);
    std::printf("processes that did not end cleanly on SIGTERM: %d\n", unclean);
    const bool done = lastCaughtUp > 0 && (!collect || (lastCollected > 0 && equal == count));
    return done && unclean == 0 ? 0 : 1;
}
