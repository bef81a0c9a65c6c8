// `levelpanel-cli record --publish` as whole processes against a real mosquitto and a
// subscriber: the logger's behaviour as its users see it. The publisher's lower rules (an
// event before the connection, an earlier run's records not sent, no repeats across a
// restart, a lost cursor) are test_sample_publisher's and test_record_queue's, the
// messages' fields test_messages', the client's reasons and retry delays test_mqtt_client's.
#include <signal.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "cli_process.h"
#include "files.h"
#include "records/record_format.h"
#include "records/run_metadata.h"
#include "sim_process.h"
#include "test_broker.h"

using lp::test::CliProcess;
using lp::test::SubscribedBroker;
using lp::test::Subscriber;
using lp::test::TestBroker;
using Access = TestBroker::Access;

namespace {

QJsonObject json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

// The record lines of the files as "name:line", in order, header lines passed over.
QStringList recordsIn(const QStringList& paths) {
    const QByteArray header(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
    QStringList found;
    for (const QString& path : paths) {
        const QList<QByteArray> lines = lp::test::readAll(path).split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i] + '\n' != header) {
                found << QDir(path).dirName() + ':' + QString::number(i + 1);
            }
        }
    }
    return found;
}

// Everything recorded in `files` so far has arrived, in order (the last few in flight
// may still come).
bool allArrived(Subscriber& subscriber, const QStringList& files, int ms) {
    return QTest::qWaitFor([&] { return subscriber.arrivals().first == recordsIn(files); }, ms);
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

    // Across a faked midnight, then SIGTERM.
    void samplesAcrossMidnightAndAStop() {
        SubscribedBroker rig(dir_.filePath("b1"), Access::Anonymous);
        QVERIFY(rig.up());
        Subscriber& subscriber = *rig.subscriber;
        const QString day1 = dir_.filePath("night-2026-12-06.sdm");
        const QString day2 = dir_.filePath("night-2026-12-07.sdm");
        CliProcess cli(logger("night.sdm", url(rig.broker),
                              {"--rotate", "daily", "--id", "site1", "--periods", "1h",
                               "--ha-discovery", "ha"}),
                       lp::test::CliOptions::startingAt("2026-12-06T23:59:57.500"));
        const qint64 pid = cli.processId();
        QVERIFY(QTest::qWaitFor(
            [&] {
                return recordsIn({day2}).size() >= 2 && subscriber.arrivals().first.size() >= 3;
            },
            15000));
        QCOMPARE(cli.end(SIGTERM), 0);
        // Once the logger is gone, the broker keeps "stopped" for it (no last will: the
        // logger said goodbye).
        Subscriber later(rig.broker, "lp/site1/status", Access::Anonymous, "later");
        QVERIFY(later.waitFor("/status", 1, 5000));
        QCOMPARE(lastState(later), "stopped");
        // The discovery configs stay with the broker (their keys are test_ha_discovery's).
        Subscriber discovery(rig.broker, "ha/#", Access::Anonymous, "discovery");
        QVERIFY(discovery.waitFor("/sensor/levelpanel_lp_site1_level/config", 1, 5000));
        QVERIFY(discovery.waitFor("/sensor/levelpanel_lp_site1_laeq_1h/config", 1, 5000));
        // Each day's metadata file, rebuilt from its lines' messages in their order (the
        // lines' rules are test_meta_publisher's).
        QMap<QString, QByteArray> copies;
        for (const QByteArray& payload : subscriber.payloads("/meta")) {
            const QJsonObject message = json(payload);
            QByteArray& copy = copies[message["file"].toString()];
            QCOMPARE(copy.count('\n') + 1, message["meta_line"].toInteger());
            copy += lp::records::metadataLine(message["meta"].toObject());
        }
        QCOMPARE(copies.keys(), (QStringList{"night-2026-12-06.sdm", "night-2026-12-07.sdm"}));
        QCOMPARE(copies["night-2026-12-06.sdm"], lp::test::readAll(day1 + ".meta"));
        QCOMPARE(copies["night-2026-12-07.sdm"], lp::test::readAll(day2 + ".meta"));

        // Every record of this run, once, in order, as the files hold it (what a line
        // written tells is test_rotating_recording's, the sample made of it test_messages').
        const lp::test::Arrivals arrived = subscriber.arrivals();
        QCOMPARE(arrived.first, recordsIn({day1, day2}));
        QCOMPARE(arrived.repeats, 0);
        // The status names the port, each file as it starts, the sampling time, the version,
        // the host and the process.
        const QList<QByteArray> states = subscriber.payloads("/status");
        QJsonObject online = json(states.first());
        QVERIFY(!online.take("version").toString().isEmpty());
        QCOMPARE(online.take("host").toString(), QSysInfo::machineHostName());
        QCOMPARE(online.take("pid").toInteger(), pid);
        QCOMPARE(online, json(R"({"state":"online","port":"sim","file":"night-2026-12-06.sdm",)"
                              R"("every_s":1})"));
        QCOMPARE(json(states.value(states.size() - 2))["file"], "night-2026-12-07.sdm");
        QVERIFY2(
            cli.err().startsWith(
                QStringLiteral("publishing to lp/site1 at 127.0.0.1:%1\n").arg(rig.broker.port())),
            qPrintable(cli.err()));
    }

    // Through the autumn change in Berlin (03:00 summer time is 02:00 winter time again):
    // each sample's time is its record's stamp with the offset of its own pass, so the
    // instants run on without the hour's jump back.
    void samplesThroughTheRepeatedHour() {
        SubscribedBroker rig(dir_.filePath("b5"), Access::Anonymous);
        QVERIFY(rig.up());
        Subscriber& subscriber = *rig.subscriber;
        lp::test::CliOptions options =
            lp::test::CliOptions::startingAt("2026-10-25T02:59:57.500+02:00");
        options.extraEnv.insert("TZ", "Europe/Berlin");
        const QString file = dir_.filePath("autumn.sdm");
        CliProcess cli(logger("autumn.sdm", url(rig.broker), {"--id", "site5"}), options);
        QVERIFY(QTest::qWaitFor(
            [&] {
                return lp::test::readAll(file).contains("\t2026/10/25 02:00:01\t") &&
                       subscriber.arrivals().first == recordsIn({file});
            },
            15000));
        QCOMPARE(cli.end(SIGTERM), 0);
        QStringList offsets;
        qint64 before = 0;
        for (const QByteArray& payload : subscriber.payloads("/sample")) {
            const QString time = json(payload)["time"].toString();
            const qint64 instant = QDateTime::fromString(time, Qt::ISODate).toSecsSinceEpoch();
            QVERIFY2(instant > before, qPrintable(time));
            before = instant;
            offsets << time.right(6);
        }
        offsets.removeDuplicates();
        QCOMPARE(offsets, (QStringList{"+02:00", "+01:00"}));
    }

    // The broker away for 6 s: every record line of the file arrives, with one stderr
    // line each way; then the logger killed with SIGKILL: the last will says "offline".
    void brokerAwayAndLoggerKilled() {
        SubscribedBroker rig(dir_.filePath("b2"), Access::Anonymous);
        QVERIFY(rig.up());
        Subscriber& subscriber = *rig.subscriber;
        CliProcess cli(logger("kept.sdm", url(rig.broker), {"--id", "site2"}));
        QVERIFY(QTest::qWaitFor([&] { return subscriber.arrivals().first.size() >= 2; }, 10000));

        // Six seconds away (the client's retries then come 1, 2, 4 s apart, the next one
        // 8 s on): the records wait, then all of them go out.
        rig.broker.stop();
        QTest::qWait(6000);
        QVERIFY(rig.broker.start());
        QVERIFY(QTest::qWaitFor([&] { return cli.err().contains("caught up"); }, 60000));
        QVERIFY(allArrived(subscriber, {dir_.filePath("kept.sdm")}, 5000));
        const QString told = cli.err();
        QCOMPARE(linesWith(told, "stopped: the broker at 127.0.0.1"), 1);
        QCOMPARE(linesWith(told, "caught up"), 1);
        const QRegularExpression backlog("caught up: (\\d+) waiting record");
        const qint64 sent = backlog.match(told).captured(1).toLongLong();
        QVERIFY2(sent >= 6, qPrintable(told));

        // Killed while connected: the broker says so for it.
        cli.end(SIGKILL);
        QVERIFY(QTest::qWaitFor([&] { return lastState(subscriber) == "offline"; }, 5000));
    }

    // The password from --password-file and the CA from --cafile reach the connection;
    // a refused one is told once and the recording goes on (the retry is
    // test_mqtt_client's).
    void passwordsAndTls() {
        SubscribedBroker rig(dir_.filePath("b3"), Access::Password);
        QVERIFY(rig.up());
        QVERIFY(lp::test::writeFile(dir_.filePath("wrong.txt"), "wrong\n"));
        QVERIFY(lp::test::writeFile(dir_.filePath("right.txt"),
                                    QByteArray(TestBroker::kPassword) + "\n"));
        // The wrong one is left as written (0644 under the usual umask): others can read it.
        QVERIFY(QFile::setPermissions(dir_.filePath("right.txt"),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QString user = url(rig.broker, "mqtt", TestBroker::kUser);
        CliProcess refused(
            logger("refused.sdm", user,
                   {"--id", "refused", "--password-file", dir_.filePath("wrong.txt")}));
        CliProcess let(logger("let.sdm", user,
                              {"--id", "let", "--password-file", dir_.filePath("right.txt")}));
        QVERIFY(QTest::qWaitFor(
            [&] { return recordsIn({dir_.filePath("refused.sdm")}).size() >= 5; }, 10000));
        QVERIFY(allArrived(*rig.subscriber, {dir_.filePath("let.sdm")}, 5000));
        QVERIFY(!rig.subscriber->arrivals().first.isEmpty());
        QCOMPARE(refused.end(SIGTERM), 0);
        QCOMPARE(let.end(SIGTERM), 0);
        QCOMPARE(linesWith(refused.err(), "levelpanel-cli: "), 2);
        QVERIFY2(refused.err().contains("stopped: the broker refused the user name or password."),
                 qPrintable(refused.err()));
        QCOMPARE(linesWith(refused.err(), "can be read by other users"), 1);
        QCOMPARE(linesWith(let.err(), "levelpanel-cli: "), 0);

        SubscribedBroker tls(dir_.filePath("b4"), Access::Tls);
        QVERIFY(tls.up());
        CliProcess secure(logger("secure.sdm", url(tls.broker, "mqtts"),
                                 {"--id", "secure", "--cafile", tls.broker.caFile()}));
        QVERIFY(
            QTest::qWaitFor([&] { return tls.subscriber->arrivals().first.size() >= 2; }, 10000));
        QCOMPARE(secure.end(SIGTERM), 0);
    }

    // Two loggers given one name, as two boxes left at their default (the host name)
    // would be: both stay on the broker, and each says once that the other is there.
    void twoLoggersOfOneName() {
        SubscribedBroker rig(dir_.filePath("b7"), Access::Anonymous);
        QVERIFY(rig.up());
        CliProcess one(logger("one.sdm", url(rig.broker), {"--id", "twin"}));
        QVERIFY(
            QTest::qWaitFor([&] { return rig.subscriber->arrivals().first.size() >= 1; }, 10000));
        CliProcess two(logger("two.sdm", url(rig.broker), {"--id", "twin"}));
        const qint64 first = one.processId();
        // Long enough for the broker to push one off several times over, were the client
        // ids the same (each comes back after 1 s).
        QTest::qWait(6000);
        QCOMPARE(one.end(SIGTERM), 0);
        QCOMPARE(two.end(SIGTERM), 0);
        for (CliProcess* cli : {&one, &two}) {
            QCOMPARE(linesWith(cli->err(), "stopped"), 0);
            QCOMPARE(linesWith(cli->err(), "another logger publishes as lp/twin: process "), 1);
        }
        QVERIFY(two.err().contains(QStringLiteral("process %1 on ").arg(first)));
        // At most "online" at each connection and each first file, "stopped" at each
        // end: no connection came again.
        QVERIFY(rig.subscriber->payloads("/status").size() <= 6);
    }

    // Periods of 1 min across a faked midnight with daily files: the broker away when the
    // 23:59 period closes, the logger killed (SIGKILL) in the 00:00 period and started
    // again, then stopped (SIGTERM). Every period arrives, each message (repeats too)
    // equal key by key to its row of `periods --every 1min --json` over the files, with
    // their weighting and response; the last one partial. (Energy by hand, the cursor
    // and the reading back are test_period_stream's.)
    void periodsThroughAnOutageAndAKill() {
        SubscribedBroker rig(dir_.filePath("b8"), Access::Anonymous);
        QVERIFY(rig.up());
        Subscriber& subscriber = *rig.subscriber;
        lp::test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "65.3", "--loud", "80"}), qPrintable(sim.error()));
        const QStringList files{dir_.filePath("per-2026-12-06.sdm"),
                                dir_.filePath("per-2026-12-07.sdm")};
        const QStringList args{"record",
                               "--port",
                               sim.path(),
                               "--every",
                               "1",
                               "--out",
                               dir_.filePath("per.sdm"),
                               "--rotate",
                               "daily",
                               "--publish",
                               url(rig.broker),
                               "--id",
                               "site8",
                               "--periods",
                               "1min"};
        {
            CliProcess first(args, lp::test::CliOptions::startingAt("2026-12-06T23:59:52"));
            QVERIFY(QTest::qWaitFor([&] { return recordsIn({files[0]}).size() >= 3; }, 10000));
            sim.toggleLoud();
            rig.broker.stop();
            QVERIFY(QTest::qWaitFor([&] { return recordsIn({files[1]}).size() >= 2; }, 15000));
            first.end(SIGKILL);
        }
        QVERIFY(rig.broker.start());
        sim.toggleLoud();
        CliProcess second(args, lp::test::CliOptions::startingAt("2026-12-07T00:00:04"));
        QVERIFY(subscriber.waitFor("/period/1min", 1, 15000));
        QVERIFY(QTest::qWaitFor([&] { return recordsIn({files[1]}).size() >= 5; }, 10000));
        QCOMPARE(second.end(SIGTERM), 0);
        QVERIFY(subscriber.waitFor("/period/1min", 2, 5000));

        QProcess periods;
        periods.start(LP_CLI_PROGRAM, QStringList{"periods", "--every", "1min", "--json"} + files);
        QVERIFY(periods.waitForFinished(10000));
        const QJsonObject survey = json(periods.readAllStandardOutput());
        QMap<QString, QJsonObject> rows;
        for (const QJsonValue& row : survey["periods"].toArray()) {
            rows.insert(row["start"].toString(), row.toObject());
        }
        QCOMPARE(rows.keys(), (QStringList{"2026-12-06T23:59:00", "2026-12-07T00:00:00"}));
        QSet<QString> arrived;
        for (const QByteArray& payload : subscriber.payloads("/period/1min")) {
            const QJsonObject message = json(payload);
            const QString start = message["start"].toString();
            arrived << start;
            const QJsonObject row = rows.value(start);
            for (auto it = row.begin(); it != row.end(); ++it) {
                QVERIFY2(message[it.key()] == it.value(), qPrintable(start + ' ' + it.key()));
            }
            QCOMPARE(message["weighting"], survey["weighting"]);
            QCOMPARE(message["response"], survey["response"]);
            QCOMPARE(message["partial"].toBool(), start == rows.lastKey());
            QCOMPARE(message["file"], QFileInfo(files[start == rows.lastKey() ? 1 : 0]).fileName());
        }
        QCOMPARE(arrived.size(), rows.size());
        QVERIFY(!survey["weighting"].isNull());
    }

    // The meter loud (80 dB) for some 4 s under an alarm at 78 dB for 2 s. The event's
    // rules and formats are test_alarms' and test_messages'; here they reach the topic,
    // stderr and the day's event log.
    void alarmEvents() {
        SubscribedBroker rig(dir_.filePath("b5"), Access::Anonymous);
        QVERIFY(rig.up());
        Subscriber& subscriber = *rig.subscriber;
        lp::test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "65.3", "--loud", "80"}), qPrintable(sim.error()));
        CliProcess cli({"record", "--port", sim.path(), "--every", "1", "--out",
                        dir_.filePath("loud.sdm"), "--alarm", "78/2", "--events",
                        dir_.filePath("ev.csv"), "--publish", url(rig.broker), "--id", "site5"},
                       lp::test::CliOptions::startingAt("2026-12-06T12:00:00"));
        QVERIFY(QTest::qWaitFor([&] { return subscriber.arrivals().first.size() >= 2; }, 10000));
        sim.toggleLoud();
        QVERIFY(subscriber.waitFor("/event", 1, 10000));
        QTest::qWait(2000);
        sim.toggleLoud();
        QVERIFY(subscriber.waitFor("/event", 2, 10000));
        QTest::qWait(1500);
        QCOMPARE(cli.end(SIGTERM), 0);
        const QList<QByteArray> events = subscriber.payloads("/event");
        QCOMPARE(events.size(), 2);
        QCOMPARE(json(events[0])["state"], "start");
        QCOMPARE(json(events[1])["state"], "end");
        QCOMPARE(cli.err().count("alarm 78.0 dB: event started at 2026-12-06T12:00:"), 1);
        QCOMPARE(cli.err().count("alarm 78.0 dB: event ended"), 1);
        QCOMPARE(lp::test::readAll(dir_.filePath("ev-2026-12-06.csv")).count('\n'), 2);
    }
};

QTEST_GUILESS_MAIN(TestRecordPublish)
#include "test_record_publish.moc"
