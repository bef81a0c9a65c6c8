// Store and forward against a real mosquitto and a real subscriber: what the whole-process
// test_record_publish cannot see. (The broker away within a run, SIGKILL, the last will
// and a refused password are its.)
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "record_writer.h"
#include "remote/publish_state.h"
#include "remote/sample_publisher.h"
#include "test_broker.h"

using lp::remote::SamplePublisher;
using lp::test::RecordWriter;

namespace {

lp::remote::MqttOptions mqttOf(const lp::test::SubscribedBroker& rig) {
    lp::remote::MqttOptions mqtt;
    mqtt.host = "127.0.0.1";
    mqtt.port = rig.broker.port();
    mqtt.clientId = "site1";
    return mqtt;
}

lp::remote::PublisherOptions optionsIn(const QTemporaryDir& dir) {
    return {.topic = "lp/site1",
            .statePath = lp::remote::publishStatePath(dir.filePath("log.sdm")),
            .status = {"", "sim", "", 1, "test"},
            .cursorInterval = std::chrono::milliseconds(100)};
}

}  // namespace

class TestSamplePublisher : public QObject {
    Q_OBJECT

private slots:
    // Started while the broker is away, the publisher reads its backlog back from the
    // file: from the first record it was told of, not the run before it.
    void anEarlierRunStaysUnsentWhenTheBrokerComesLate() {
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        const lp::remote::MqttOptions mqtt = mqttOf(rig);
        rig.broker.stop();
        const QString path = dir.filePath("log-2026-12-06.sdm");
        RecordWriter(path).append();
        lp::remote::PublisherOptions options = optionsIn(dir);
        options.memoryLimit = 1;  // the second record overflows: read back from the file
        SamplePublisher publisher(mqtt, options);
        QVERIFY(!publisher.start());
        RecordWriter writer(path);
        publisher.recordWritten(writer.append());
        publisher.recordWritten(writer.append());
        QVERIFY(rig.broker.start());
        QVERIFY(rig.subscriber->waitFor("/sample", 2, 10000));
        QTest::qWait(300);  // time for a sample that should not come
        QCOMPARE(rig.subscriber->arrivals().first,
                 (QStringList{"log-2026-12-06.sdm:4", "log-2026-12-06.sdm:5"}));
    }

    // Told before the connection is up, an event waits in memory; the samples of two days'
    // files go out in order (not an earlier run's in the first), and a restart resumes
    // from the cursor, sending nothing twice.
    void restartResumesAcrossFiles() {
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        const lp::remote::MqttOptions mqtt = mqttOf(rig);
        const lp::remote::PublisherOptions options = optionsIn(dir);
        const QString day1 = dir.filePath("log-2026-12-06.sdm");
        const QString day2 = dir.filePath("log-2026-12-07.sdm");
        RecordWriter(day1).append();
        {
            auto first = std::make_unique<SamplePublisher>(mqtt, options);
            QVERIFY(!first->start());
            first->publishEvent("{\"state\":\"start\"}");
            RecordWriter writer(day1);
            first->recordWritten(writer.append());
            first->recordWritten(writer.append());
            QVERIFY(rig.subscriber->waitFor("/sample", 2, 5000) &&
                    rig.subscriber->waitFor("/event", 1, 5000));
            QCOMPARE(rig.subscriber->payloads("/event"),
                     QList<QByteArray>{"{\"state\":\"start\"}"});
            QTest::qWait(300);  // the cursor is written
            rig.broker.stop();
            first->recordWritten(writer.append());
            RecordWriter next(day2);
            first->recordWritten(next.append());
            first->recordWritten(next.append());
        }
        QVERIFY(rig.broker.start());
        SamplePublisher second(mqtt, options);
        QVERIFY(!second.start());
        QVERIFY(
            QTest::qWaitFor([&] { return rig.subscriber->arrivals().first.size() >= 5; }, 10000));
        const lp::test::Arrivals a = rig.subscriber->arrivals();
        QCOMPARE(a.first, (QStringList{"log-2026-12-06.sdm:4", "log-2026-12-06.sdm:5",
                                       "log-2026-12-06.sdm:6", "log-2026-12-07.sdm:2",
                                       "log-2026-12-07.sdm:3"}));
        QCOMPARE(a.repeats, 0);  // the cursor said how far the broker had acknowledged
        QSignalSpy finished(&second, &SamplePublisher::finished);
        second.stop();
        QVERIFY(finished.wait(5000));
    }
};

QTEST_GUILESS_MAIN(TestSamplePublisher)
#include "test_sample_publisher.moc"
