// levelpanel-cli watch --json as a whole process against a real mosquitto: the retained
// statuses it finds, the samples and an event published meanwhile, the broker stopped
// and started again (said on stderr, subscribed again), a last will, and SIGTERM.
#include <signal.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "remote/messages.h"
#include "test_broker.h"

using lp::test::TestBroker;

namespace {

class WatchProcess {
public:
    explicit WatchProcess(const QStringList& arguments) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            pending_ += process_.readAllStandardOutput();
            qsizetype end;
            while ((end = pending_.indexOf('\n')) >= 0) {
                lines_ << QJsonDocument::fromJson(pending_.left(end)).object();
                pending_.remove(0, end + 1);
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
    QByteArray pending_;
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
    QProcess pub;
    pub.start(lp::test::systemProgram("mosquitto_pub"), args);
    pub.write(payload);
    pub.closeWriteChannel();
    return pub.waitForFinished(5000) && pub.exitCode() == 0;
}

QByteArray sampleAt(qint64 line, const QDateTime& time, const QString& level) {
    lp::remote::WrittenRecord record{"/data/log.sdm",
                                     line,
                                     QString::number(line - 1),
                                     time.toString("yyyy/MM/dd HH:mm:ss"),
                                     level,
                                     std::nullopt};
    return lp::remote::sampleMessage(record);
}

QByteArray status(const char* state, std::optional<qint64> backlog) {
    return lp::remote::statusMessage({state, "sim", "log.sdm", 1, "0.1", backlog});
}

}  // namespace

class TestCliWatch : public QObject {
    Q_OBJECT

private slots:
    void followsTheFleetThroughABrokerRestart() {
        QTemporaryDir dir;
        TestBroker broker(dir.path(), TestBroker::Access::Anonymous);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        QVERIFY(publish(broker, "site/north/status", status("online", 2), true));
        QVERIFY(publish(broker, "site/south/status", status("offline", std::nullopt), true));

        WatchProcess watch(
            {"watch", QStringLiteral("mqtt://127.0.0.1:%1/site").arg(broker.port()), "--json"});
        QVERIFY(watch.waitForLine("north", "backlog", 2) >= 0);
        QVERIFY(watch.waitForLine("south", "state", "offline") >= 0);

        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(publish(broker, "site/north/sample", sampleAt(2, now.addSecs(-1), "65.3")));
        QVERIFY(publish(broker, "site/north/sample", sampleAt(3, now, "---.-")));
        const qsizetype sample = watch.waitForLine("north", "text", "---.-");
        QVERIFY(sample >= 0);
        const QJsonObject last = watch.lines()[sample];
        QCOMPARE(last.value("level"), QJsonValue::Null);
        QCOMPARE(last.value("backlog"), 0);
        QCOMPARE(last.value("time"),
                 *lp::remote::isoTimeWithOffset(now.toString("yyyy/MM/dd HH:mm:ss")));
        QVERIFY(watch.waitForLine("north", "level", 65.3) < sample);
        const QJsonObject start{
            {"state", "start"},
            {"start", now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate)},
            {"lmax", 80.2},
            {"above", 75}};
        QVERIFY(publish(broker, "site/north/event", QJsonDocument(start).toJson()));
        QVERIFY(watch.waitForLine("north", "alarm", true) > sample);
        QCOMPARE(watch.lines().last().value("events_today"), 1);

        // Away and back: said once each way, and the subscriptions made again.
        broker.stop();
        QTRY_VERIFY_WITH_TIMEOUT(watch.err().contains("trying again"), 10000);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        QTRY_VERIFY_WITH_TIMEOUT(watch.err().contains("again\n"), 10000);
        QCOMPARE(watch.err().count('\n'), 2);
        const qsizetype before = watch.lines().size();
        QVERIFY(publish(broker, "site/north/sample", sampleAt(4, now.addSecs(1), "70.1")));
        QVERIFY(watch.waitForLine("north", "level", 70.1, before) >= 0);
        QVERIFY(publish(broker, "site/north/status", status("offline", 0), true));
        const qsizetype will = watch.waitForLine("north", "state", "offline");
        QVERIFY(will >= 0);
        QCOMPARE(watch.lines()[will].value("backlog"), QJsonValue::Null);
        QCOMPARE(watch.end(SIGTERM), 0);
        for (const QJsonObject& line : watch.lines()) {
            QCOMPARE(line.value("format"), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestCliWatch)
#include "test_cli_watch.moc"
