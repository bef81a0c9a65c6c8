// The MQTT client against a real mosquitto: a publish and its acknowledgement, the reasons
// a user reads when it fails, and the retry. (A password, TLS and a refused password as
// record --publish meets them are test_record_publish's.)
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
