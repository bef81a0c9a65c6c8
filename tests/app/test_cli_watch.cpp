// levelpanel-cli watch --json as a whole process against a real mosquitto: the retained
// statuses it finds, the samples and an event published meanwhile reaching its lines
// (what they make of a logger's row is test_fleet_model's), the broker stopped and
// started again (said on stderr, subscribed again), and SIGTERM.
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>

#include "program_run.h"
#include "remote/messages.h"
#include "test_broker.h"

using lp::test::TestBroker;

namespace {

class WatchProcess {
public:
    explicit WatchProcess(const QStringList& arguments) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            while (process_.canReadLine()) {
                lines_ << QJsonDocument::fromJson(process_.readLine()).object();
            }
        });
        process_.start(QStringLiteral(LP_CLI_PROGRAM), arguments);
    }
    ~WatchProcess() {
        process_.kill();
        process_.waitForFinished();
    }
    // The first line from `from` on about `name` that has `key` = `value`; its index, or
    // -1 after 10 s.
    qsizetype waitForLine(const char* name, const char* key, const QJsonValue& value,
                          qsizetype from = 0) {
        qsizetype found = -1;
        (void)QTest::qWaitFor(
            [&] {
                for (qsizetype i = from; i < lines_.size(); ++i) {
                    if (lines_[i].value("name") == QLatin1String(name) &&
                        lines_[i].value(QLatin1String(key)) == value) {
                        found = i;
                        return true;
                    }
                }
                return false;
            },
            10000);
        return found;
    }
    [[nodiscard]] const QList<QJsonObject>& lines() const { return lines_; }
    QString err() {
        err_ += QString::fromUtf8(process_.readAllStandardError());
        return err_;
    }
    int end(int signal) {
        ::kill(static_cast<pid_t>(process_.processId()), signal);
        if (!process_.waitForFinished(10000) || process_.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return process_.exitCode();
    }

private:
    QProcess process_;
    QList<QJsonObject> lines_;
    QString err_;
};

bool publish(const TestBroker& broker, const QString& topic, const QByteArray& payload,
             bool retained = false) {
    QStringList args{"-h", "127.0.0.1", "-p", QString::number(broker.port()), "-q", "1",
                     "-t", topic,       "-s"};
    if (retained) {
        args << "-r";
    }
    return lp::test::runToEnd(lp::test::systemProgram("mosquitto_pub"), args, 5000, payload)
               .status == 0;
}

// A sample of record `line`, stamped in UTC (the time zone of the test and the watch).
// A sample of a logger whose local time is UTC.
QByteArray sampleAt(qint64 line, const char* time, const QString& level) {
    return lp::remote::sampleMessage(
        {"/data/log.sdm", line, QString::number(line - 1), time, level, std::nullopt, 0});
}

}  // namespace

class TestCliWatch : public QObject {
    Q_OBJECT

private slots:
    void followsTheFleetThroughABrokerRestart() {
        qputenv("TZ", "UTC");
        tzset();
        QTemporaryDir dir;
        TestBroker broker(dir.path(), TestBroker::Access::Anonymous);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        const QByteArray online =
            lp::remote::statusMessage({"online", "sim", "log.sdm", 1, "0.1", 2});
        QVERIFY(publish(broker, "site/north/status", online, true));

        WatchProcess watch(
            {"watch", QStringLiteral("mqtt://127.0.0.1:%1/site").arg(broker.port()), "--json"});
        QVERIFY(watch.waitForLine("north", "backlog", 2) >= 0);

        QVERIFY(publish(broker, "site/north/sample", sampleAt(2, "2009/06/01 14:05:09", "---.-")));
        const qsizetype sample = watch.waitForLine("north", "text", "---.-");
        QVERIFY(sample >= 0);
        const QJsonObject line = watch.lines()[sample];
        QCOMPARE(line.keys(), (QStringList{"alarm", "backlog", "events_today", "format", "level",
                                           "name", "state", "text", "time", "weighting"}));
        QCOMPARE(line.value("format"), 1);
        QCOMPARE(line.value("level"), QJsonValue::Null);
        QCOMPARE(line.value("time"), "2009-06-01T14:05:09+00:00");
        const QJsonObject start{{"state", "start"},
                                {"start", "2009-06-01T14:05:10+00:00"},
                                {"lmax", 80.2},
                                {"above", 75}};
        QVERIFY(publish(broker, "site/north/event", QJsonDocument(start).toJson()));
        QVERIFY(watch.waitForLine("north", "alarm", true) > sample);

        // Away and back: said once each way, and the subscriptions made again.
        broker.stop();
        QTRY_VERIFY_WITH_TIMEOUT(watch.err().contains("trying again"), 10000);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        QTRY_VERIFY_WITH_TIMEOUT(watch.err().contains("again\n"), 10000);
        QCOMPARE(watch.err().count('\n'), 2);
        const qsizetype before = watch.lines().size();
        QVERIFY(publish(broker, "site/north/sample", sampleAt(3, "2009/06/01 14:05:11", "70.1")));
        QVERIFY(watch.waitForLine("north", "level", 70.1, before) >= 0);
        QCOMPARE(watch.end(SIGTERM), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliWatch)
#include "test_cli_watch.moc"
