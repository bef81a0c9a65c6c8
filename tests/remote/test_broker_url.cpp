// The broker address the command line takes, and the password file beside it.
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "remote/broker_url.h"

using lp::remote::BrokerUrl;

class TestBrokerUrl : public QObject {
    Q_OBJECT

private slots:
    void address_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");  // "tls user host port prefix", or a word of the mistake
        const std::pair<const char*, const char*> rows[] = {
            {"mqtt://broker.lan/lp", "plain  broker.lan 1883 lp"},
            {"mqtt://logger@10.0.0.5:1884/noise/site%20a",
             "plain logger 10.0.0.5 1884 noise/site a"},
            {"MQTTS://[::1]/lp", "tls  ::1 8883 lp"},
            {"http://h/lp", "mqtts://"},
            {"mqtt://u:pw@h/lp", "--password-file"},
            {"mqtt://h/", "prefix"},
            {"mqtt://h/lp//a", "empty"},
            {"mqtt://h/lp/#", "'#'"},
            {"mqtt://h/+/x", "'+'"},
            {"mqtt://h/lp/%23", "'#'"},
            {"mqtt://h/lp%09x", "U+0009"},
            {"mqtt://h:0/lp", "port"},
            {"mqtt:///lp", "host"},
        };
        for (const auto& [text, read] : rows) {
            QTest::newRow(text) << QString::fromLatin1(text) << QString::fromLatin1(read);
        }
    }
    void address() {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const auto url = lp::remote::parseBrokerUrl(text);
        if (const auto* u = std::get_if<BrokerUrl>(&url)) {
            QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(QLatin1String(u->tls ? "tls" : "plain"), u->user, u->host)
                         .arg(u->port)
                         .arg(u->prefix),
                     read);
        } else {
            const QString message = std::get<QString>(url);
            QVERIFY2(message.contains(text) && message.contains(read) && !read.contains(' '),
                     qPrintable(message));
        }
    }

    void passwordFile() {
        QTemporaryDir dir;
        QVERIFY(lp::test::writeFile(dir.filePath("crlf"), "s3cret word\r\nsecond line\n"));
        QVERIFY(lp::test::writeFile(dir.filePath("empty"), "\n"));
        QCOMPARE(std::get<QByteArray>(lp::remote::readPasswordFile(dir.filePath("crlf"))),
                 QByteArray("s3cret word"));
        QVERIFY(std::get<QString>(lp::remote::readPasswordFile(dir.filePath("empty")))
                    .contains("holds no password"));
        QVERIFY(std::get<QString>(lp::remote::readPasswordFile(dir.filePath("none")))
                    .contains("cannot be read"));
    }

    void passwordFileOpenToOthers_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("told");  // "" for nothing
        QTest::newRow("0600") << 0600 << "";
        QTest::newRow("0640 (the service's group)") << 0640 << "";
        QTest::newRow("0644") << 0644 << "can be read by other users";
        QTest::newRow("0602") << 0602 << "can be written by other users";
        QTest::newRow("0666") << 0666 << "can be read and written by other users";
    }
    void passwordFileOpenToOthers() {
        QFETCH(int, mode);
        QFETCH(QString, told);
        QTemporaryDir dir;
        const QString path = dir.filePath("password");
        QVERIFY(lp::test::writeFile(path, "s3cret\n"));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        const QString said = lp::remote::passwordFileExposure(path).value_or(QString());
        QVERIFY2(told.isEmpty() ? said.isEmpty() : said.contains(told) && said.contains(path),
                 qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestBrokerUrl)
#include "test_broker_url.moc"
