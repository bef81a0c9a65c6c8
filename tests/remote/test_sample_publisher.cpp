// Store and forward against a real mosquitto and a real subscriber: what the whole-process
// test_record_publish cannot see. (The broker away within a run, SIGKILL, the last will
// and a refused password are its.)
#include <signal.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
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
            .status = {{}, "sim", "", 1, "test"},
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
        publisher.start();
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
            first->start();
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
        QSignalSpy caughtUp(&second, &SamplePublisher::caughtUp);
        second.start();
        QVERIFY(
            QTest::qWaitFor([&] { return rig.subscriber->arrivals().first.size() >= 5; }, 10000));
        QVERIFY(QTest::qWaitFor([&] { return !caughtUp.isEmpty(); }, 5000));
        QCOMPARE(caughtUp.at(0).at(0).toLongLong(), 3);  // day 1's line 6, day 2's 2 and 3
        const lp::test::Arrivals a = rig.subscriber->arrivals();
        QCOMPARE(a.first, (QStringList{"log-2026-12-06.sdm:4", "log-2026-12-06.sdm:5",
                                       "log-2026-12-06.sdm:6", "log-2026-12-07.sdm:2",
                                       "log-2026-12-07.sdm:3"}));
        QCOMPARE(a.repeats, 0);  // the cursor said how far the broker had acknowledged
        QSignalSpy finished(&second, &SamplePublisher::finished);
        second.stop();
        QVERIFY(finished.wait(5000));
    }

    // stop() with the broker away, or gone while the stop waits for acknowledgements (it
    // would wait a minute): finished() at once, and the cursor says that none of log.sdm's
    // two records (lines 2 and 3, after the header) was acknowledged.
    void stopWithoutTheBroker_data() {
        QTest::addColumn<bool>("goneWhileStopping");
        QTest::newRow("away from the start") << false;
        QTest::newRow("gone while stopping") << true;
    }
    void stopWithoutTheBroker() {
        QFETCH(bool, goneWhileStopping);
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        const auto pid = pid_t(rig.broker.processId());
        lp::remote::PublisherOptions options = optionsIn(dir);
        options.stopTimeout = std::chrono::minutes(1);
        SamplePublisher publisher(mqttOf(rig), options);
        QSignalSpy finished(&publisher, &SamplePublisher::finished);
        if (goneWhileStopping) {
            publisher.start();
            QVERIFY(rig.subscriber->waitFor("/status", 1, 5000));  // connected
            QCOMPARE(::kill(pid, SIGSTOP), 0);  // what is sent now stays unacknowledged
        } else {
            rig.broker.stop();
            publisher.start();
        }
        RecordWriter writer(dir.filePath("log.sdm"));
        publisher.recordWritten(writer.append());
        publisher.recordWritten(writer.append());
        publisher.stop();
        if (goneWhileStopping) {
            QVERIFY(finished.isEmpty());
            QCOMPARE(::kill(pid, SIGKILL), 0);
        }
        QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 5000));
        const QByteArray cursor = lp::test::readAll(options.statePath);
        QVERIFY2(QJsonDocument::fromJson(cursor)["line"] == 1, cursor.constData());
    }

    // An event the broker had not acknowledged when the connection ended goes out again
    // on the next. The broker saves its sessions (SIGUSR1), is stopped (SIGSTOP) so the
    // event stays unacknowledged, then killed and started again: the subscriber's
    // session is back with it.
    void anUnacknowledgedEventGoesOutAgain() {
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        SamplePublisher publisher(mqttOf(rig), optionsIn(dir));
        publisher.start();
        QVERIFY(rig.subscriber->waitFor("/status", 1, 5000));  // connected
        const auto pid = pid_t(rig.broker.processId());
        QCOMPARE(::kill(pid, SIGUSR1), 0);
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("broker/mosquitto.db")); },
                                5000));
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        publisher.publishEvent("{\"state\":\"start\"}");
        QTest::qWait(200);  // written to the socket
        QCOMPARE(::kill(pid, SIGKILL), 0);
        QTest::qWait(200);
        QVERIFY(rig.broker.start());
        QVERIFY(rig.subscriber->waitFor("/event", 1, 10000));
        QCOMPARE(rig.subscriber->payloads("/event"), QList<QByteArray>{"{\"state\":\"start\"}"});
        QSignalSpy finished(&publisher, &SamplePublisher::finished);
        publisher.stop();
        QVERIFY(finished.wait(5000));
    }

    // A first run publishes log.sdm's three records (lines 2..4) and its cursor says so;
    // then the cursor is cut short, and a second run writes two more records: with no
    // telling what the broker has, the whole file goes out again, the first run's records
    // too (the second run's header is line 5). Which cursors prove nothing is
    // test_record_queue's cursorStart.
    void aCursorThatCannotProveSkipsNothing() {
        const QStringList second{"log.sdm:2", "log.sdm:3", "log.sdm:4", "log.sdm:6", "log.sdm:7"};
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        const lp::remote::PublisherOptions options = optionsIn(dir);
        const QString log = dir.filePath("log.sdm");
        {
            SamplePublisher first(mqttOf(rig), options);
            first.start();
            RecordWriter writer(log);
            for (int i = 0; i < 3; ++i) {
                first.recordWritten(writer.append());
            }
            QVERIFY(rig.subscriber->waitFor("/sample", 3, 5000));
            QSignalSpy finished(&first, &SamplePublisher::finished);
            first.stop();
            QVERIFY(finished.wait(5000));
        }
        QVERIFY(lp::test::readAll(options.statePath).contains("\"line\":4"));
        QVERIFY(lp::test::writeFile(options.statePath, "{\"files\":[\"log.s"));
        SamplePublisher again(mqttOf(rig), options);
        QSignalSpy problems(&again, &SamplePublisher::problem);
        again.start();
        RecordWriter writer(log);
        again.recordWritten(writer.append());
        again.recordWritten(writer.append());
        QVERIFY(rig.subscriber->waitFor("/sample", 3 + int(second.size()), 5000));
        QTest::qWait(300);    // time for a sample that should not come
        QStringList arrived;  // repeats included
        for (const QByteArray& payload : rig.subscriber->payloads("/sample").mid(3)) {
            const QJsonObject o = QJsonDocument::fromJson(payload).object();
            arrived << o["file"].toString() + ':' + QString::number(o["line"].toInteger());
        }
        QCOMPARE(arrived, second);
        QCOMPARE(problems.size(), 1);
    }

    // This publisher is process 100 on box-a; the broker holds a retained status of
    // lp/site1 from the sender of the row.
    void anotherLoggerUnderTheSameNameIsTold_data() {
        QTest::addColumn<QString>("sender");  // its state, host and pid
        QTest::addColumn<bool>("told");
        QTest::newRow("another host") << "online box-b 4321" << true;
        QTest::newRow("this host, a running process (init)") << "online box-a 1" << true;
        QTest::newRow("this host, a process that is gone") << "online box-a 2147483000" << false;
        QTest::newRow("itself, from before") << "online box-a 100" << false;
        QTest::newRow("another host, stopped") << "stopped box-b 4321" << false;
    }
    void anotherLoggerUnderTheSameNameIsTold() {
        QFETCH(QString, sender);
        QFETCH(bool, told);
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        const QStringList s = sender.split(' ');
        QProcess pub;
        pub.start(lp::test::systemProgram("mosquitto_pub"),
                  {"-h", "127.0.0.1", "-p", QString::number(rig.broker.port()), "-r", "-q", "1",
                   "-t", "lp/site1/status", "-m",
                   QStringLiteral(R"({"state":"%1","host":"%2","pid":%3})").arg(s[0], s[1], s[2])});
        QVERIFY(pub.waitForFinished(5000) && pub.exitCode() == 0);
        lp::remote::PublisherOptions options = optionsIn(dir);
        options.status.host = "box-a";
        options.status.pid = 100;
        SamplePublisher publisher(mqttOf(rig), options);
        QSignalSpy problems(&publisher, &SamplePublisher::problem);
        publisher.start();
        // Its own "online" comes after the retained status on its connection too.
        QVERIFY(rig.subscriber->waitFor("/status", 2, 5000));
        QTest::qWait(300);
        QCOMPARE(problems.size(), told ? 1 : 0);
        if (told) {
            const QString text = problems.at(0).at(0).toString();
            QVERIFY2(text.contains("lp/site1") && text.contains("process " + s[2] + " on " + s[1]),
                     qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestSamplePublisher)
#include "test_sample_publisher.moc"
