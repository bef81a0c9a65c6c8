// A logger in a process of its own, for the tests that kill it with SIGKILL: it writes
// RECORDS records to FOLDER/log.sdm (a new run after what is there) and publishes them
// to the broker on 127.0.0.1:PORT under lp/child, then runs until it is killed. It
// prints "caught-up N" whenever publishing catches up.
//   logger_child PORT FOLDER RECORDS
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "record_writer.h"
#include "remote/publish_state.h"
#include "remote/sample_publisher.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: logger_child PORT FOLDER RECORDS\n");
        return 1;
    }
    const QString path = QDir(args[2]).filePath("log.sdm");
    lp::remote::MqttOptions mqtt;
    mqtt.host = "127.0.0.1";
    mqtt.port = args[1].toInt();
    mqtt.clientId = "logger-child";
    lp::remote::PublisherOptions options;
    options.topic = "lp/child";
    options.statePath = lp::remote::publishStatePath(path);
    options.status = {"", "sim", "", 1, "test"};
    lp::remote::SamplePublisher publisher(mqtt, options);
    QObject::connect(&publisher, &lp::remote::SamplePublisher::caughtUp, [](qint64 backlog) {
        std::printf("caught-up %lld\n", static_cast<long long>(backlog));
        std::fflush(stdout);
    });
    if (const auto error = publisher.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(*error));
        return 2;
    }
    lp::test::RecordWriter writer(path);
    for (int i = 0, n = args[3].toInt(); i < n; ++i) {
        publisher.recordWritten(writer.append());
    }
    return app.exec();
}
