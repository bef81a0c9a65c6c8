// A fleet of loggers against one local mosquitto: LOGGERS `levelpanel-cli record --port
// sim --every 1 --publish` processes for SECONDS, then stopped with SIGTERM. Every record
// line of every logger's file must have arrived at a subscriber; the CPU share of one
// core each logger used (from /proc/PID/stat, after the first 5 s of start-up), and the
// broker's. `plain` runs the same loggers without --publish, for the share publishing adds.
//   bench_fleet [LOGGERS [SECONDS [plain]]]     (default 50 loggers, 120 s)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <signal.h>
#include <unistd.h>

#include "process_cpu.h"
#include "records/record_format.h"
#include "test_broker.h"

namespace {

using lp::bench::cpuSeconds;

constexpr int kWarmUpMs = 5000;

// The record lines of a logger's file.
qsizetype recordLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray header(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
    const QByteArray bytes = file.readAll();
    return bytes.count('\n') - bytes.count(header);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int loggers = argc > 1 ? std::atoi(argv[1]) : 50;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 120;
    const bool publish = !(argc > 3 && QByteArray(argv[3]) == "plain");
    QTemporaryDir dir;
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
        process->start(QStringLiteral(LP_CLI_PROGRAM), args);
        fleet.push_back(std::move(process));
    }
    std::printf("%d loggers %s mosquitto on 127.0.0.1:%d for %d s\n", loggers,
                publish ? "publishing to" : "recording (not publishing) beside", broker.port(),
                seconds);
    std::fflush(stdout);
    QTest::qWait(kWarmUpMs);
    std::vector<double> before;
    for (const auto& p : fleet) {
        before.push_back(cpuSeconds(p->processId()));
    }
    const double brokerBefore = cpuSeconds(broker.processId());
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(std::max(0, seconds * 1000 - kWarmUpMs));
    const double wall = clock.nsecsElapsed() / 1e9;
    std::vector<double> share;
    for (size_t i = 0; i < fleet.size(); ++i) {
        share.push_back(100.0 * (cpuSeconds(fleet[i]->processId()) - before[i]) / wall);
    }
    const double brokerShare = 100.0 * (cpuSeconds(broker.processId()) - brokerBefore) / wall;

    int unclean = 0;
    for (const auto& p : fleet) {
        ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    }
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
    std::printf("CPU per logger over %.1f s, %% of one core: mean %.3f, median %.3f, max %.3f\n",
                wall, sum / double(share.size()), share[share.size() / 2], share.back());
    std::printf("broker CPU: %.3f %% of one core\n", brokerShare);
    std::printf("loggers that did not end cleanly on SIGTERM: %d\n", unclean);
    return (!publish || distinct.size() >= written) && unclean == 0 ? 0 : 1;
}
