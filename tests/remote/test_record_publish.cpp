// `levelpanel-cli record --publish` as whole processes against a real mosquitto and a
// subscriber: the logger's behaviour as its users see it. The publisher's lower rules (an
// event before the connection, no repeats across a restart) are test_sample_publisher's,
// the client's reasons and retry delays test_mqtt_client's.
//  - across a faked midnight into a file that holds an earlier run: each sample with the
//    JSON keys, its line being the record's line in its file, the status naming port,
//    file, sampling time and version, and "stopped" after SIGTERM;
//  - the broker away for 20 s, then the logger killed with SIGKILL twice (connected, and
//    with a backlog while the broker is away) and started again: every record line of
//    the file arrives, one stderr line each way, the last will says "offline";
//  - a wrong password (one message, recording goes on, tried again), the right one, TLS;
//  - an alarm the simulator's meter sets off: one start and one end on the event topic.
#include <signal.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "cli_process.h"
#include "files.h"
#include "records/record_format.h"
#include "sim_process.h"
#include "test_broker.h"

using lp::test::CliProcess;
using lp::test::Subscriber;
using lp::test::TestBroker;
using Access = TestBroker::Access;

namespace {

QJsonObject json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

// A record line of a file: "name:line" and its three fields.
struct FileRecord {
    QString key;
    QStringList fields;
};

// The record lines of the files, in order, header lines passed over.
QList<FileRecord> recordsIn(const QStringList& paths) {
    const QByteArray header(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
    QList<FileRecord> found;
    for (const QString& path : paths) {
        const QList<QByteArray> lines = lp::test::readAll(path).split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i] + '\n' != header) {
                found.append({QDir(path).dirName() + ':' + QString::number(i + 1),
                              QString::fromLatin1(lines[i]).split('\t').mid(0, 3)});
            }
        }
    }
    return found;
}
QStringList keysOf(const QList<FileRecord>& records) {
    QStringList keys;
    for (const FileRecord& r : records) {
        keys << r.key;
    }
    return keys;
}

// The samples as "file:line" in order of first arrival, and how many came again.
QStringList firstArrivals(Subscriber& subscriber, int* repeats = nullptr) {
    QStringList first;
    QSet<QString> seen;
    int again = 0;
    for (const QByteArray& payload : subscriber.payloads("/sample")) {
        const QJsonObject o = json(payload);
        const QString key = o["file"].toString() + ':' + QString::number(o["line"].toInteger());
        seen.contains(key) ? void(++again) : (seen.insert(key), first.append(key));
    }
    if (repeats) {
        *repeats = again;
    }
    return first;
}

// Everything recorded in `files` so far has arrived, in order (the last few in flight
// may still come).
bool allArrived(Subscriber& subscriber, const QStringList& files, int ms) {
    return QTest::qWaitFor([&] { return firstArrivals(subscriber) == keysOf(recordsIn(files)); },
                           ms);
}

QString lastState(Subscriber& subscriber) {
    const QList<QByteArray> states = subscriber.payloads("/status");
    return states.isEmpty() ? QString() : json(states.last())["state"].toString();
}

// The lines of `text` that contain `part`.
qsizetype linesWith(const QString& text, const QString& part) {
    return text.split('\n').filter(part).size();
}

}  // namespace

class TestRecordPublish : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    std::unique_ptr<TestBroker> startBroker(const QString& name, Access access) {
        QDir().mkpath(dir_.filePath(name));
        auto broker = std::make_unique<TestBroker>(dir_.filePath(name), access);
        if (!broker->start()) {
            qWarning() << broker->error();
            return nullptr;
        }
        return broker;
    }
    QStringList logger(const QString& out, const QString& url, const QStringList& more = {}) {
        return QStringList{"record", "--port",           "sim",       "--every", "1",
                           "--out",  dir_.filePath(out), "--publish", url} +
               more;
    }
    static QString url(const TestBroker& broker, const QString& scheme = "mqtt",
                       const QString& user = {}) {
        const QString account = user.isEmpty() ? QString() : user + '@';
        return scheme + "://" + account + "127.0.0.1:" + QString::number(broker.port()) + "/lp";
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void samplesAcrossMidnightAndAStop() {
        const auto broker = startBroker("b1", Access::Anonymous);
        QVERIFY(broker);
        Subscriber subscriber(*broker, "lp/#", Access::Anonymous);
        QVERIFY(subscriber.waitSubscribed());
        // An earlier run in the first day's file: its three lines are not published, and
        // the new run's lines are counted after them.
        const QString day1 = dir_.filePath("night-2026-12-06.sdm");
        const QString day2 = dir_.filePath("night-2026-12-07.sdm");
        QByteArray before(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
        lp::records::appendRecordLine(before, "1", "2026/12/06 20:00:00", "50.0");
        lp::records::appendRecordLine(before, "2", "2026/12/06 20:00:01", "51.0");
        QVERIFY(lp::test::writeFile(day1, before));
        CliProcess cli(logger("night.sdm", url(*broker), {"--rotate", "daily", "--id", "site1"}),
                       lp::test::CliOptions::startingAt("2026-12-06T23:59:57.500"));
        QVERIFY(QTest::qWaitFor(
            [&] { return recordsIn({day2}).size() >= 2 && firstArrivals(subscriber).size() >= 3; },
            15000));
        QCOMPARE(cli.end(SIGTERM), 0);
        // Once the logger is gone, the broker keeps "stopped" for it (no last will: the
        // logger said goodbye).
        Subscriber later(*broker, "lp/site1/status", Access::Anonymous, "later");
        QVERIFY(later.waitFor("/status", 1, 5000));
        QCOMPARE(lastState(later), "stopped");

        // Every record of this run, once, in order, as the files hold it.
        QList<FileRecord> records = recordsIn({day1, day2}).mid(2);
        int repeats = 0;
        QCOMPARE(firstArrivals(subscriber, &repeats), keysOf(records));
        QCOMPARE(repeats, 0);
        QCOMPARE(records.first().key, "night-2026-12-06.sdm:5");
        const QList<QByteArray> samples = subscriber.payloads("/sample");
        QStringList keys{"file", "line",      "no",       "time",  "level",
                         "text", "weighting", "response", "range", "flags"};
        keys.sort();
        const QRegularExpression iso(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$)");
        for (qsizetype i = 0; i < samples.size(); ++i) {
            const QJsonObject o = json(samples[i]);
            const QStringList& fields = records[i].fields;
            QStringList got = o.keys();
            got.sort();
            QCOMPARE(got, keys);
            QCOMPARE(o["no"].toInteger(), fields[0].toLongLong());
            QVERIFY2(iso.match(o["time"].toString()).hasMatch(), samples[i].constData());
            QCOMPARE(o["time"].toString().left(19),
                     QString(fields[1]).replace('/', '-').replace(' ', 'T'));
            QCOMPARE(o["text"].toString(), fields[2]);
            QCOMPARE(o["level"].toDouble(), fields[2].toDouble());
            QCOMPARE(o["weighting"].toString(), "A");
            QVERIFY(o["flags"].isArray());
        }
        // The status names the port, each file as it starts, the sampling time, the version.
        const QList<QByteArray> states = subscriber.payloads("/status");
        const QJsonObject online = json(states.first());
        QCOMPARE(online["state"], "online");
        QCOMPARE(online["port"], "sim");
        QCOMPARE(online["file"], "night-2026-12-06.sdm");
        QCOMPARE(online["every_s"], 1);
        QVERIFY(!online["version"].toString().isEmpty());
        QCOMPARE(json(states.value(states.size() - 2))["file"], "night-2026-12-07.sdm");
        QVERIFY2(
            cli.err().startsWith(
                QStringLiteral("publishing to lp/site1 at 127.0.0.1:%1\n").arg(broker->port())),
            qPrintable(cli.err()));
    }

    void brokerAwayAndLoggerKilled() {
        auto broker = startBroker("b2", Access::Anonymous);
        QVERIFY(broker);
        Subscriber subscriber(*broker, "lp/#", Access::Anonymous);
        QVERIFY(subscriber.waitSubscribed());
        const QStringList args = logger("kept.sdm", url(*broker), {"--id", "site2"});
        const QStringList file{dir_.filePath("kept.sdm")};
        CliProcess first(args);
        QVERIFY(QTest::qWaitFor([&] { return firstArrivals(subscriber).size() >= 2; }, 10000));

        // Twenty seconds away: the records wait, then all of them go out.
        broker->stop();
        QTest::qWait(20000);
        QVERIFY(broker->start());
        QVERIFY(QTest::qWaitFor([&] { return first.err().contains("caught up"); }, 60000));
        QVERIFY(allArrived(subscriber, file, 5000));
        const QString told = first.err();
        QCOMPARE(linesWith(told, "stopped: the broker at 127.0.0.1"), 1);
        QCOMPARE(linesWith(told, "caught up"), 1);
        const QRegularExpression backlog("caught up: (\\d+) waiting record");
        const qint64 sent = backlog.match(told).captured(1).toLongLong();
        QVERIFY2(sent >= 20, qPrintable(told));

        // Killed while connected: the broker says so for it.
        first.end(SIGKILL);
        QVERIFY(QTest::qWaitFor([&] { return lastState(subscriber) == "offline"; }, 5000));

        // Killed again with a backlog (the broker away), then started once more: it
        // resumes from how far the broker had acknowledged.
        broker->stop();
        CliProcess second(args);
        QVERIFY(QTest::qWaitFor([&] { return second.err().contains("stopped:"); }, 10000));
        const qsizetype atStart = recordsIn(file).size();
        QVERIFY(QTest::qWaitFor([&] { return recordsIn(file).size() >= atStart + 3; }, 10000));
        second.end(SIGKILL);
        QVERIFY(broker->start());
        CliProcess third(args);
        QVERIFY(QTest::qWaitFor([&] { return recordsIn(file).size() >= atStart + 5; }, 10000));
        QVERIFY(allArrived(subscriber, file, 10000));
        QCOMPARE(third.end(SIGTERM), 0);
        int repeats = 0;
        QCOMPARE(firstArrivals(subscriber, &repeats), keysOf(recordsIn(file)));
        qInfo("%lld records in the file, %d arrived twice", recordsIn(file).size(), repeats);
    }

    void passwordsAndTls() {
        const auto broker = startBroker("b3", Access::Password);
        QVERIFY(broker);
        Subscriber subscriber(*broker, "lp/#", Access::Password);
        QVERIFY(subscriber.waitSubscribed());
        QVERIFY(lp::test::writeFile(dir_.filePath("wrong.txt"), "wrong\n"));
        QVERIFY(lp::test::writeFile(dir_.filePath("right.txt"),
                                    QByteArray(TestBroker::kPassword) + "\n"));
        const QString user = url(*broker, "mqtt", TestBroker::kUser);
        CliProcess refused(
            logger("refused.sdm", user,
                   {"--id", "refused", "--password-file", dir_.filePath("wrong.txt")}));
        CliProcess let(logger("let.sdm", user,
                              {"--id", "let", "--password-file", dir_.filePath("right.txt")}));
        const QStringList refusedFile{dir_.filePath("refused.sdm")};
        // Attempts at 0, 1 and 3 s; the records go on meanwhile.
        QVERIFY(QTest::qWaitFor([&] { return recordsIn(refusedFile).size() >= 5; }, 10000));
        QVERIFY(allArrived(subscriber, {dir_.filePath("let.sdm")}, 5000));
        QVERIFY(!firstArrivals(subscriber).isEmpty());
        QCOMPARE(refused.end(SIGTERM), 0);
        QCOMPARE(let.end(SIGTERM), 0);
        QCOMPARE(linesWith(refused.err(), "levelpanel-cli: "), 1);
        QVERIFY2(refused.err().contains("stopped: the broker refused the user name or password."),
                 qPrintable(refused.err()));
        QCOMPARE(linesWith(let.err(), "levelpanel-cli: "), 0);
        QVERIFY(linesWith(QString::fromUtf8(lp::test::readAll(dir_.filePath("b3/broker.log"))),
                          "not authorised") >= 2);

        const auto tls = startBroker("b4", Access::Tls);
        QVERIFY(tls);
        Subscriber secure(*tls, "lp/#", Access::Tls);
        QVERIFY(secure.waitSubscribed());
        CliProcess logger(this->logger("secure.sdm", url(*tls, "mqtts"),
                                       {"--id", "secure", "--cafile", tls->caFile()}));
        QVERIFY(QTest::qWaitFor([&] { return firstArrivals(secure).size() >= 2; }, 10000));
        QCOMPARE(logger.end(SIGTERM), 0);
        QVERIFY(QTest::qWaitFor([&] { return lastState(secure) == "stopped"; }, 5000));
        QCOMPARE(firstArrivals(secure), keysOf(recordsIn({dir_.filePath("secure.sdm")})));
    }

    void alarmEventsOnTheirTopic() {
        const auto broker = startBroker("b5", Access::Anonymous);
        QVERIFY(broker);
        Subscriber subscriber(*broker, "lp/#", Access::Anonymous);
        QVERIFY(subscriber.waitSubscribed());
        lp::test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "65.3", "--loud", "80"}), qPrintable(sim.error()));
        CliProcess cli({"record", "--port", sim.path(), "--every", "1", "--out",
                        dir_.filePath("loud.sdm"), "--alarm", "78/2", "--publish", url(*broker),
                        "--id", "site5"});
        QVERIFY(QTest::qWaitFor([&] { return firstArrivals(subscriber).size() >= 2; }, 10000));
        sim.toggleLoud();
        QVERIFY(subscriber.waitFor("/event", 1, 10000));
        QTest::qWait(2000);
        sim.toggleLoud();
        QVERIFY(subscriber.waitFor("/event", 2, 10000));
        QTest::qWait(1500);
        QCOMPARE(cli.end(SIGTERM), 0);
        const QList<QByteArray> events = subscriber.payloads("/event");
        QCOMPARE(events.size(), 2);
        const QJsonObject start = json(events[0]);
        const QJsonObject end = json(events[1]);
        QCOMPARE(start["state"], "start");
        QCOMPARE(start["above"], 78.0);
        QVERIFY(start["end"].isNull());
        QCOMPARE(end["state"], "end");
        QCOMPARE(end["start"], start["start"]);
        QCOMPARE(end["lmax"], 80.0);
        QVERIFY2(end["duration_s"].toInteger() >= 2, events[1].constData());
    }
};

QTEST_GUILESS_MAIN(TestRecordPublish)
#include "test_record_publish.moc"
