// A fleet of loggers against one local mosquitto: LOGGERS `levelpanel-cli record --port
// sim --every 1 --publish` processes for SECONDS, then stopped with SIGTERM. Where the
// build has them, each logger also publishes its periods of 1 min and 15 min
// (--periods 1min,15min) and watches two limits, a fixed LAeq,15min and a rolling LAeq
// over the last minute (--limit), and one `levelpanel-cli collect` keeps the whole
// fleet's files. Every record line of every logger's file must have arrived at a
// subscriber, and every period `levelpanel-cli periods --every LEN --json` lists for the
// file; the collector's copies must equal the loggers' files and their .meta, byte for
// byte. The CPU share of one core each logger used (from /proc/PID/stat, after the first
// 5 s of start-up), the collector's and the broker's.
//   bench_fleet [LOGGERS [SECONDS [bare|plain]]]     (default 50 loggers, 120 s)
// `bare` runs the loggers with --publish alone and no collector; `plain` without
// --publish, for the share publishing adds.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <signal.h>
#include <unistd.h>

#include "cli_help.h"
#include "process_cpu.h"
#include "records/record_format.h"
#include "test_broker.h"

namespace {

using lp::bench::cpuSeconds;

constexpr int kWarmUpMs = 5000;
const QString kProgram = QStringLiteral(LP_CLI_PROGRAM);
const QStringList kPeriods{QStringLiteral("1min"), QStringLiteral("15min")};
// A fixed and a rolling limit, at levels the simulated meter reaches now and then.
const QStringList kLimits{QStringLiteral("laeq,15min,0-24,70,warn=65"),
                          QStringLiteral("laeq~1min,0-24,72,warn=68")};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The record lines of a logger's file.
qsizetype recordLines(const QString& path) {
    const QByteArray header(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
    const QByteArray bytes = contents(path);
    return bytes.count('\n') - bytes.count(header);
}

// "FILE START" of each period of `length` that `periods --json` lists for `path`.
QSet<QString> listedPeriods(const QString& path, const QString& length) {
    QProcess periods;
    periods.start(kProgram, {"periods", "--every", length, "--json", path});
    periods.waitForFinished(30000);
    QSet<QString> keys;
    const QJsonObject table = QJsonDocument::fromJson(periods.readAllStandardOutput()).object();
    const QString file = QFileInfo(path).fileName();
    for (const QJsonValue p : table["periods"].toArray()) {
        keys.insert(file + u' ' + p["start"].toString());
    }
    return keys;
}

// Sends SIGTERM and waits; true when the process ended with status 0.
bool stopCleanly(QProcess& process) {
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    return process.waitForFinished(15000) && process.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int loggers = argc > 1 ? std::atoi(argv[1]) : 50;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 120;
    const QByteArray kind = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    const bool publish = kind != "plain";
    const QByteArray recordHelp = lp::bench::commandHelp(kProgram, "record");
    const bool periods = publish && kind != "bare" && lp::bench::offers(recordHelp, "--periods");
    const bool limits = kind != "bare" && lp::bench::offers(recordHelp, "--limit");
    const bool collect =
        publish && kind != "bare" && !lp::bench::commandHelp(kProgram, "collect").isEmpty();
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("LP_BENCH_KEEP"));
    QDir().mkpath(dir.filePath("broker"));
    lp::test::TestBroker broker(dir.filePath("broker"), lp::test::TestBroker::Access::Anonymous);
    if (!broker.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(broker.error()));
        return 1;
    }
    lp::test::Subscriber subscriber(broker, "lp/#", lp::test::TestBroker::Access::Anonymous);
    if (!subscriber.waitSubscribed()) {
        std::fprintf(stderr, "the subscriber did not subscribe\n");
        return 1;
    }
    const QString url = QStringLiteral("mqtt://127.0.0.1:%1/lp").arg(broker.port());
    QProcess collector;
    if (collect) {
        collector.setStandardOutputFile(QProcess::nullDevice());
        collector.setStandardErrorFile(dir.filePath("collector.err"));
        collector.start(kProgram, {"collect", url, "--dir", dir.filePath("archive"), "--id",
                                   "bench-collector"});
        // Subscribed before the first sample: its session keeps all that follows.
        (void)collector.waitForReadyRead(5000);
        QTest::qWait(500);
    }
    std::vector<std::unique_ptr<QProcess>> fleet;
    for (int i = 0; i < loggers; ++i) {
        const QString name = QStringLiteral("logger%1").arg(i + 1);
        auto process = std::make_unique<QProcess>();
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(dir.filePath(name + ".err"));
        QStringList args{
            "record", "--port", "sim", "--every", "1", "--out", dir.filePath(name + ".sdm")};
        if (publish) {
            args << "--publish" << url << "--id" << name;
        }
        if (periods) {
            args << "--periods" << kPeriods.join(u',');
        }
        for (const QString& rule : limits ? kLimits : QStringList()) {
            args << "--limit" << rule;
        }
        process->start(kProgram, args);
        fleet.push_back(std::move(process));
    }
    std::printf("%d loggers %s mosquitto on 127.0.0.1:%d for %d s%s%s%s\n", loggers,
                publish ? "publishing to" : "recording (not publishing) beside", broker.port(),
                seconds, periods ? ", periods 1min,15min" : "",
                limits ? qPrintable(QStringLiteral(", limits ") + kLimits.join(u' ')) : "",
                collect ? ", one collector" : "");
    std::fflush(stdout);
    QTest::qWait(kWarmUpMs);
    std::vector<double> before;
    for (const auto& p : fleet) {
        before.push_back(cpuSeconds(p->processId()));
    }
    const double brokerBefore = cpuSeconds(broker.processId());
    const double collectorBefore = collect ? cpuSeconds(collector.processId()) : 0;
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(std::max(0, seconds * 1000 - kWarmUpMs));
    const double wall = clock.nsecsElapsed() / 1e9;
    std::vector<double> share;
    for (size_t i = 0; i < fleet.size(); ++i) {
        share.push_back(100.0 * (cpuSeconds(fleet[i]->processId()) - before[i]) / wall);
    }
    const double brokerShare = 100.0 * (cpuSeconds(broker.processId()) - brokerBefore) / wall;
    const double collectorShare =
        collect ? 100.0 * (cpuSeconds(collector.processId()) - collectorBefore) / wall : 0;

    int unclean = 0;
    for (const auto& p : fleet) {
        ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    }
    QElapsedTimer stopped;
    stopped.start();
    for (const auto& p : fleet) {
        unclean += p->waitForFinished(15000) && p->exitCode() == 0 ? 0 : 1;
    }
    // Every record line of every file, at least once.
    qsizetype written = 0;
    for (int i = 0; i < loggers; ++i) {
        written += recordLines(dir.filePath(QStringLiteral("logger%1.sdm").arg(i + 1)));
    }
    QSet<QString> distinct;
    qsizetype received = 0;
    (void)QTest::qWaitFor(
        [&] {
            const QList<QByteArray> samples = subscriber.payloads("/sample");
            for (qsizetype k = received; k < samples.size(); ++k) {
                const QJsonObject o = QJsonDocument::fromJson(samples[k]).object();
                distinct.insert(o["file"].toString() + ':' +
                                QString::number(o["line"].toInteger()));
            }
            received = samples.size();
            return distinct.size() >= written;
        },
        publish ? 30000 : 0);
    std::sort(share.begin(), share.end());
    double sum = 0;
    for (const double s : share) {
        sum += s;
    }
    std::printf(publish
                    ? "records written %lld, arrived %lld (distinct), %lld repeats, %lld missing\n"
                    : "records written %lld\n",
                static_cast<long long>(written), static_cast<long long>(distinct.size()),
                static_cast<long long>(received - distinct.size()),
                static_cast<long long>(std::max<qsizetype>(0, written - distinct.size())));
    bool complete = !publish || distinct.size() >= written;
    // Every period the files have, at least once (the last one of each run partial).
    for (const QString& length : periods ? kPeriods : QStringList()) {
        QSet<QString> listed;
        for (int i = 0; i < loggers; ++i) {
            listed +=
                listedPeriods(dir.filePath(QStringLiteral("logger%1.sdm").arg(i + 1)), length);
        }
        QSet<QString> arrived;
        int messages = 0;
        (void)QTest::qWaitFor(
            [&] {
                const QList<QByteArray> sent = subscriber.payloads("/period/" + length);
                for (qsizetype k = messages; k < sent.size(); ++k) {
                    const QJsonObject o = QJsonDocument::fromJson(sent[k]).object();
                    arrived.insert(o["file"].toString() + u' ' + o["start"].toString());
                }
                messages = int(sent.size());
                return listed - arrived == QSet<QString>();
            },
            10000);
        const qsizetype missing = (listed - arrived).size();
        std::printf(
            "periods of %s: %lld in the files, %lld arrived (distinct), %lld missing, "
            "%lld not in the files\n",
            qPrintable(length), static_cast<long long>(listed.size()),
            static_cast<long long>(arrived.size()), static_cast<long long>(missing),
            static_cast<long long>((arrived - listed).size()));
        complete = complete && missing == 0;
    }
    std::printf("CPU per logger over %.1f s, %% of one core: mean %.3f, median %.3f, max %.3f\n",
                wall, sum / double(share.size()), share[share.size() / 2], share.back());
    std::printf("broker CPU: %.3f %% of one core\n", brokerShare);
    if (collect) {
        // The archive: DIR/NAME/FILE and FILE.meta as the logger has them.
        int equal = 0;
        for (int round = 0; round < 120 && equal < loggers; ++round) {
            QTest::qWait(round == 0 ? 0 : 500);
            equal = 0;
            for (int i = 0; i < loggers; ++i) {
                const QString name = QStringLiteral("logger%1").arg(i + 1);
                const QString copy = dir.filePath("archive/" + name + '/' + name + ".sdm");
                const QString own = dir.filePath(name + ".sdm");
                equal += contents(copy) == contents(own) &&
                                 contents(copy + ".meta") == contents(own + ".meta")
                             ? 1
                             : 0;
            }
        }
        std::printf(
            "collector CPU: %.3f %% of one core; archive equal to the loggers' files "
            "(.sdm and .meta) for %d of %d loggers, %.1f s after they stopped\n",
            collectorShare, equal, loggers, stopped.nsecsElapsed() / 1e9);
        complete = complete && equal == loggers;
        unclean += stopCleanly(collector) ? 0 : 1;
    }
    std::printf("processes that did not end cleanly on SIGTERM: %d\n", unclean);
    return complete && unclean == 0 ? 0 : 1;
}
