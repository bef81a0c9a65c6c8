// The fleet console against a large fleet: LOGGERS retained "online" statuses on a local
// mosquitto, then one sample per logger every 10 s (LOGGERS / 10 a second, spread over
// each second), while `levelpanel-cli watch` draws its table on a pseudo-terminal of
// 120 x 50 (or, with `json`, writes its JSON lines to /dev/null). After a warm-up that
// lets the retained statuses arrive, the CPU share of one core the watch process used
// over SECONDS (from /proc/PID/stat), and the bytes it wrote to the terminal a second.
//   bench_watch_cpu [LOGGERS [SECONDS [json]]]     (default 20000 loggers, 30 s)
//   LP_BENCH_CLI=other/levelpanel-cli bench_watch_cpu ...   (another build's watch)
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "process_cpu.h"
#include "pseudo_terminal.h"
#include "remote/messages.h"
#include "remote/mqtt_client.h"
#include "test_broker.h"

namespace {

using lp::bench::cpuSeconds;

constexpr int kWarmUpMs = 15000;

// A sample as a logger publishes it (messages.h), taken now, its time in UTC.
QByteArray sampleNow(qint64 line, double level) {
    const QJsonValue none(QJsonValue::Null);
    const QJsonObject o{
        {"file", "log.sdm"}, {"line", line},
        {"no", line - 1},    {"time", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
        {"level", level},    {"text", QString::number(level, 'f', 1)},
        {"weighting", "A"},  {"response", "FAST"},
        {"range", "30-80"},  {"flags", QJsonArray()},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int loggers = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    const bool json = argc > 3 && QByteArray(argv[3]) == "json";
    QTemporaryDir dir;
    lp::test::TestBroker broker(dir.path(), lp::test::TestBroker::Access::Anonymous);
    if (!broker.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(broker.error()));
        return 1;
    }
    lp::remote::MqttOptions mqtt;
    mqtt.host = "127.0.0.1";
    mqtt.port = broker.port();
    mqtt.clientId = "bench-fleet";
    lp::remote::MqttClient publisher(mqtt);
    qint64 acknowledged = 0;
    QObject::connect(&publisher, &lp::remote::MqttClient::acknowledged,
                     [&](int) { ++acknowledged; });
    publisher.start();
    if (!QTest::qWaitFor([&] { return publisher.isConnected(); }, 10000)) {
        std::fprintf(stderr, "the publisher did not connect\n");
        return 1;
    }
    const auto topic = [](int logger, const char* kind) {
        return QStringLiteral("lp/logger%1/%2").arg(logger, 5, 10, QChar(u'0')).arg(kind).toUtf8();
    };
    const QByteArray online =
        lp::remote::statusMessage({lp::remote::LoggerState::Online, "sim", "log.sdm", 1, "0.1", 0});
    for (int i = 0; i < loggers; ++i) {
        (void)publisher.publish(topic(i, "status"), online, true);
    }
    if (!QTest::qWaitFor([&] { return acknowledged >= loggers; }, 120000)) {
        std::fprintf(stderr, "the broker acknowledged %lld statuses of %d\n",
                     static_cast<long long>(acknowledged), loggers);
        return 1;
    }

    lp::test::PseudoTerminal terminal(120, 50);
    QProcess watch;
    if (json) {
        watch.setStandardOutputFile(QProcess::nullDevice());
        watch.setStandardErrorFile(QProcess::nullDevice());
    } else {
        if (terminal.path().isEmpty()) {
            std::fprintf(stderr, "no pseudo-terminal\n");
            return 1;
        }
        watch.setStandardOutputFile(terminal.path());
        watch.setStandardErrorFile(terminal.path());
    }
    // LP_BENCH_CLI: another build of levelpanel-cli (the one before a change, say).
    const QString program = qEnvironmentVariableIsSet("LP_BENCH_CLI")
                                ? qEnvironmentVariable("LP_BENCH_CLI")
                                : QStringLiteral(LP_CLI_PROGRAM);
    watch.start(program, {"watch", QStringLiteral("mqtt://127.0.0.1:%1/lp").arg(broker.port())});
    if (!watch.waitForStarted()) {
        std::fprintf(stderr, "the watch did not start\n");
        return 1;
    }
    std::printf("%d loggers on mosquitto on 127.0.0.1:%d, one sample each every 10 s; watch %s\n",
                loggers, broker.port(),
                json ? "writing JSON lines to /dev/null" : "on a 120 x 50 pseudo-terminal");
    std::fflush(stdout);

    // A tenth of a second's samples every tenth of a second, the loggers in turn.
    int next = 0;
    qint64 line = 2;
    QTimer pace;
    pace.setInterval(100);
    QObject::connect(&pace, &QTimer::timeout, [&] {
        for (int k = 0; k < std::max(1, loggers / 100); ++k) {
            (void)publisher.publish(topic(next, "sample"), sampleNow(line, 50.0 + next % 40),
                                    false);
            next = (next + 1) % loggers;
            line += next == 0 ? 1 : 0;
        }
    });
    pace.start();
    QTest::qWait(kWarmUpMs);
    const qint64 pid = watch.processId();
    const double before = cpuSeconds(pid);
    const qint64 bytesBefore = terminal.bytes().size();
    const qint64 acknowledgedBefore = acknowledged;
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(seconds * 1000);
    const double wall = clock.nsecsElapsed() / 1e9;
    const double used = cpuSeconds(pid) - before;
    const qint64 bytes = terminal.bytes().size() - bytesBefore;
    const qint64 samples = acknowledged - acknowledgedBefore;
    pace.stop();
    watch.terminate();
    watch.waitForFinished(10000);
    if (before < 0 || used < 0) {
        std::fprintf(stderr, "the watch ended early (status %d)\n", watch.exitCode());
        return 1;
    }
    std::printf(
        "watch over %.1f s: %.1f %% of one core (%.2f s CPU), %.0f bytes a second to the "
        "terminal; %.0f samples a second reached the broker\n",
        wall, 100.0 * used / wall, used, bytes / wall, samples / wall);
    return 0;
}
