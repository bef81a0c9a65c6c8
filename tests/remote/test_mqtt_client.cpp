// The MQTT client against a real mosquitto: a publish and its acknowledgement, the reasons
// a user reads when it fails, and the retry. (A password, TLS and a refused password as
// record --publish meets them are test_record_publish's.)
#include <signal.h>

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include "remote/mqtt_client.h"
#include "test_broker.h"

using lp::remote::MqttClient;
using lp::remote::MqttOptions;
using lp::test::TestBroker;
using Access = TestBroker::Access;
using State = MqttClient::State;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(Access)

class TestMqttClient : public QObject {
    Q_OBJECT

    static MqttOptions optionsFor(const TestBroker& broker, Access access) {
        MqttOptions o;
        o.host = QStringLiteral("127.0.0.1");
        o.port = broker.port();
        o.clientId = QStringLiteral("test-logger");
        o.tls = access == Access::Tls;
        o.caFile = broker.caFile();
        return o;
    }

private slots:
    void retryDelay_data() {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("seconds");
        QTest::newRow("first") << 1 << 1;
        QTest::newRow("doubling") << 6 << 32;
        QTest::newRow("capped") << 7 << 60;
        QTest::newRow("stays capped") << 40 << 60;
    }
    void retryDelay() {
        QFETCH(int, failures);
        QFETCH(int, seconds);
        QCOMPARE(MqttClient::retryDelay(failures), std::chrono::seconds(seconds));
    }

    void publishIsAcknowledged() {
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.path(), Access::Anonymous);
        QVERIFY(rig.up());
        MqttClient client(optionsFor(rig.broker, Access::Anonymous));
        QSignalSpy connected(&client, &MqttClient::connected);
        QSignalSpy acked(&client, &MqttClient::acknowledged);
        client.start();
        QVERIFY(connected.wait(5000));
        const std::optional<int> mid = client.publish("lp/x/sample", "{\"no\":1}", false);
        QVERIFY(mid);
        QVERIFY(acked.wait(5000));
        QCOMPARE(acked.at(0).at(0).toInt(), *mid);
        QVERIFY(rig.subscriber->waitFor("/sample", 1, 5000));
        QCOMPARE(rig.subscriber->payloads("/sample"), QList<QByteArray>{"{\"no\":1}"});
    }

    void failureIsExplainedAndRetried_data() {
        QTest::addColumn<Access>("access");  // TLS: a CA file that did not sign the broker's
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown CA") << Access::Tls
                                    << "the broker's certificate cannot be verified with the CA "
                                       "file /etc/ssl/certs/ca-certificates.crt";
        QTest::newRow("no broker")
            << Access::Anonymous << "(connection refused): is the broker running?";
    }
    void failureIsExplainedAndRetried() {
        QFETCH(Access, access);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        TestBroker broker(dir.path(), access);
        MqttOptions options = optionsFor(broker, access);
        if (access == Access::Tls) {
            QVERIFY2(broker.start(), qPrintable(broker.error()));
            options.caFile = "/etc/ssl/certs/ca-certificates.crt";
        }
        MqttClient client(options);
        QSignalSpy failed(&client, &MqttClient::connectionFailed);
        QSignalSpy connected(&client, &MqttClient::connected);
        client.start();
        // The second attempt comes a second after the first (the delays are retryDelay's).
        QVERIFY(QTest::qWaitFor([&] { return failed.size() >= 2; }, 5000));
        QVERIFY2(failed.at(0).at(0).toString().contains(reason),
                 qPrintable(failed.at(0).at(0).toString()));
        QCOMPARE(failed.at(0).at(0), failed.at(1).at(0));
        QCOMPARE(failed.at(0).at(1).value<std::chrono::seconds>(), 1s);
        QCOMPARE(connected.size(), 0);
    }

    // stop() before the broker has accepted: stopped() at once, and nothing after it (no
    // connection from a lookup that was on its way, no failure, no retry).
    void stopBeforeConnected_data() {
        QTest::addColumn<State>("state");
        QTest::newRow("looking up") << State::LookingUp;
        QTest::newRow("connecting") << State::Connecting;
        QTest::newRow("waiting to retry") << State::Waiting;
    }
    void stopBeforeConnected() {
        QFETCH(State, state);
        QTemporaryDir dir;
        TestBroker broker(dir.path(), Access::Anonymous);
        MqttOptions options = optionsFor(broker, Access::Anonymous);
        if (state == State::LookingUp) {
            options.host = QStringLiteral("localhost");
        }
        if (state != State::Waiting) {
            QVERIFY2(broker.start(), qPrintable(broker.error()));
        }
        if (state == State::Connecting) {
            // The kernel takes the connection; the broker answers nothing.
            QCOMPARE(::kill(pid_t(broker.processId()), SIGSTOP), 0);
        }
        MqttClient client(options);
        QSignalSpy stopped(&client, &MqttClient::stopped);
        QSignalSpy connected(&client, &MqttClient::connected);
        QSignalSpy failed(&client, &MqttClient::connectionFailed);
        client.start();
        if (state == State::Waiting) {
            QVERIFY(QTest::qWaitFor([&] { return !failed.isEmpty(); }, 5000));
            QVERIFY(broker.start());  // the retry, were there one, would connect
        }
        QCOMPARE(client.state(), state);
        client.stop();
        QCOMPARE(stopped.size(), 1);
        if (state == State::Connecting) {
            QCOMPARE(::kill(pid_t(broker.processId()), SIGCONT), 0);
        }
        QTest::qWait(1500);  // the first retry comes after 1 s
        QCOMPARE(client.state(), State::Idle);
        QCOMPARE(stopped.size(), 1);
        QCOMPARE(connected.size(), 0);
        QCOMPARE(failed.size(), state == State::Waiting ? 1 : 0);
    }

    // stop() while the DISCONNECT cannot get out: the broker, stopped with SIGSTOP, reads
    // nothing, and megabytes wait before it. Whether the broker then goes or stays
    // silent, stopped() comes once (at the latest after 2 s), and neither a lost
    // connection nor another attempt.
    void stopWhileTheBrokerReadsNothing_data() {
        QTest::addColumn<bool>("killed");
        QTest::newRow("broker gone") << true;
        QTest::newRow("broker silent") << false;
    }
    void stopWhileTheBrokerReadsNothing() {
        QFETCH(bool, killed);
        QTemporaryDir dir;
        TestBroker broker(dir.path(), Access::Anonymous);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        const auto pid = pid_t(broker.processId());
        MqttClient client(optionsFor(broker, Access::Anonymous));
        QSignalSpy connected(&client, &MqttClient::connected);
        QSignalSpy stopped(&client, &MqttClient::stopped);
        QSignalSpy failed(&client, &MqttClient::connectionFailed);
        client.start();
        QVERIFY(connected.wait(5000));
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        const QByteArray big(4 << 20, 'x');
        for (int i = 0; i < 16; ++i) {
            QVERIFY(client.publish("lp/x/big", big, false));
        }
        QTest::qWait(200);  // the socket's buffers fill
        client.stop();
        QCOMPARE(client.state(), State::Stopping);
        if (killed) {
            QCOMPARE(::kill(pid, SIGKILL), 0);
        }
        QVERIFY(stopped.wait(5000));
        QTest::qWait(1500);  // the first retry comes after 1 s
        QCOMPARE(client.state(), State::Idle);
        QCOMPARE(stopped.size(), 1);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(connected.size(), 1);
        ::kill(pid, SIGKILL);
    }

    // libmosquitto refuses a client id with a control character and, doing so, closes
    // descriptor 0 twice: a file opened between two attempts (a recording's) keeps its
    // descriptor all the same.
    void aRefusedClientClosesNoFileOfOurs() {
        MqttOptions options;
        options.host = QStringLiteral("127.0.0.1");
        options.port = lp::test::freePort();
        options.clientId = QStringLiteral("tab\there");
        MqttClient client(options);
        QSignalSpy failed(&client, &MqttClient::connectionFailed);
        client.start();
        QVERIFY(failed.wait(5000));
        QVERIFY2(failed.at(0).at(0).toString().contains("cannot make a client"),
                 qPrintable(failed.at(0).at(0).toString()));
        QTemporaryFile file;
        QVERIFY(file.open());
        QVERIFY(failed.wait(5000));  // the retry, refused again
        QCOMPARE(file.write("kept\n"), 5);
        QVERIFY2(file.flush(), qPrintable(file.errorString()));
    }
};

QTEST_GUILESS_MAIN(TestMqttClient)
#include "test_mqtt_client.moc"
