// A backlog of 348,000 records (a record file of four days at one a second) published
// to a local mosquitto from the file: messages per second until the broker has
// acknowledged the last, and the peak memory, which must not grow with the backlog.
//   bench_backlog [records]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "large_record_file.h"
#include "remote/publish_state.h"
#include "remote/sample_publisher.h"
#include "test_broker.h"

namespace {

// The peak resident memory since the last resetPeak(), from /proc/self/status.
double peakMegabytes() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return 0;
}

// Forgets the peak so far (the file writer builds the whole file in memory first).
void resetPeak() {
    QFile refs("/proc/self/clear_refs");
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : lp::bench::kLargeFileRecords;
    QTemporaryDir dir;
    const QString path = dir.filePath("log.sdm");
    if (!lp::bench::writeLargeRecordFile(path, records)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    // Nothing of the file acknowledged yet: all of it is the backlog.
    const QString statePath = lp::remote::publishStatePath(path);
    if (lp::remote::savePublishState(statePath, {{path}, 1, lp::platform::fileIdentity(path)})) {
        return 1;
    }
    QDir().mkpath(dir.filePath("broker"));
    lp::test::TestBroker broker(dir.filePath("broker"), lp::test::TestBroker::Access::Anonymous);
    if (!broker.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(broker.error()));
        return 1;
    }
    resetPeak();
    const double before = peakMegabytes();
    lp::remote::MqttOptions mqtt;
    mqtt.host = "127.0.0.1";
    mqtt.port = broker.port();
    mqtt.clientId = "bench";
    lp::remote::PublisherOptions options;
    options.topic = "lp/bench";
    options.statePath = statePath;
    options.status = {{}, "sim", "log.sdm", 1, "bench"};
    lp::remote::SamplePublisher publisher(mqtt, options);
    QElapsedTimer clock;
    QObject::connect(&publisher, &lp::remote::SamplePublisher::caughtUp, [&](qint64 backlog) {
        const double seconds = clock.nsecsElapsed() / 1e9;
        std::printf("backlog of %lld records acknowledged in %.2f s: %.0f messages/s\n",
                    static_cast<long long>(backlog), seconds, backlog / seconds);
        std::printf("peak memory: %.1f MB (%.1f MB before publishing)\n", peakMegabytes(), before);
        app.quit();
    });
    clock.start();
    publisher.start();
    return app.exec();
}
