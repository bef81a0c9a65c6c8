// The broker address the command line takes, and the password file beside it.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "remote/broker_url.h"

using lp::remote::BrokerUrl;

class TestBrokerUrl : public QObject {
    Q_OBJECT

private slots:
    void address_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("mistake");  // a word of the message, when it is none
        QTest::newRow("plain") << "mqtt://broker.lan/lp" << false << ""
                               << "broker.lan" << 1883 << "lp"
                               << "";
        QTest::newRow("user, port, levels")
            << "mqtt://logger@10.0.0.5:1884/noise/site%20a" << false << "logger"
            << "10.0.0.5" << 1884 << "noise/site a"
            << "";
        QTest::newRow("TLS port") << "MQTTS://[::1]/lp" << true << ""
                                  << "::1" << 8883 << "lp"
                                  << "";
        QTest::newRow("other scheme") << "http://h/lp" << false << ""
                                      << "" << 0 << ""
                                      << "mqtts://";
        QTest::newRow("password") << "mqtt://u:pw@h/lp" << false << ""
                                  << "" << 0 << ""
                                  << "--password-file";
        QTest::newRow("no prefix") << "mqtt://h/" << false << ""
                                   << "" << 0 << ""
                                   << "prefix";
        QTest::newRow("empty level") << "mqtt://h/lp//a" << false << ""
                                     << "" << 0 << ""
                                     << "empty";
        QTest::newRow("wildcard #") << "mqtt://h/lp/#" << false << ""
                                    << "" << 0 << ""
                                    << "'#'";
        QTest::newRow("wildcard +") << "mqtt://h/+/x" << false << ""
                                    << "" << 0 << ""
                                    << "'+'";
        QTest::newRow("port 0") << "mqtt://h:0/lp" << false << ""
                                << "" << 0 << ""
                                << "port";
        QTest::newRow("no host") << "mqtt:///lp" << false << ""
                                 << "" << 0 << ""
                                 << "host";
    }
    void address() {
        QFETCH(QString, text);
        QFETCH(QString, mistake);
        const auto read = lp::remote::parseBrokerUrl(text);
        if (!mistake.isEmpty()) {
            QVERIFY(std::holds_alternative<QString>(read));
            const QString message = std::get<QString>(read);
            QVERIFY2(message.contains(text) && message.contains(mistake), qPrintable(message));
            return;
        }
        QVERIFY(std::holds_alternative<BrokerUrl>(read));
        const BrokerUrl& url = std::get<BrokerUrl>(read);
        QTEST(url.tls, "tls");
        QTEST(url.user, "user");
        QTEST(url.host, "host");
        QTEST(url.port, "port");
        QTEST(url.prefix, "prefix");
    }

    void passwordFile() {
        QTemporaryDir dir;
        const auto write = [&](const char* name, const QByteArray& bytes) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write("crlf", "s3cret word\r\nsecond line\n");
        write("empty", "\n");
        QCOMPARE(std::get<QByteArray>(lp::remote::readPasswordFile(dir.filePath("crlf"))),
                 QByteArray("s3cret word"));
        QVERIFY(std::get<QString>(lp::remote::readPasswordFile(dir.filePath("empty")))
                    .contains("holds no password"));
        QVERIFY(std::get<QString>(lp::remote::readPasswordFile(dir.filePath("none")))
                    .contains("cannot be read"));
    }
};

QTEST_GUILESS_MAIN(TestBrokerUrl)
#include "test_broker_url.moc"
