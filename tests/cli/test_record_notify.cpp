// `record --alarm --notify` as a whole process against the simulator on a
// pseudo-terminal, a program and a webhook on 127.0.0.1: each event of the alarm reaches
// both, the last one also when the run stops in the middle of it. The notifiers' own
// rules are test_notifiers'; the event's JSON test_messages'.
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "cli_process.h"
#include "files.h"
#include "http_receiver.h"
#include "sim_process.h"
#include "test_broker.h"

using namespace lp;

class TestRecordNotify : public QObject {
    Q_OBJECT

private slots:
    // The meter loud (80 dB) under an alarm and a limit at 78 dB, and the logger stopped
    // (SIGTERM) while it is: the events, the alarm's end told as the run stops, reach the
    // program's stdin and the webhook, the same JSON each.
    void alarmToAProgramAndAWebhook() {
        QTemporaryDir dir;
        const QString script = dir.filePath("tell.sh");
        // Two programs may run at once: each appends its whole line in one write.
        QVERIFY(test::writeFile(
            script, "#!/bin/sh\nbody=$(cat)\nprintf '%s\\n' \"$body\" >> \"$0.told\"\n"));
        QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));
        test::HttpReceiver receiver;
        const int port = test::freePort();
        QVERIFY(receiver.listen(port));
        test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "65.3", "--loud", "80"}), qPrintable(sim.error()));
        const QString out = dir.filePath("loud.sdm");
        test::CliProcess cli({"record", "--port", sim.path(), "--every", "1", "--out", out,
                              "--alarm", "78", "--limit", "lmax,15min,0-24,78", "--notify",
                              "exec:" + script, "--notify",
                              QStringLiteral("http://127.0.0.1:%1/noise").arg(port)});
        // The header and two quiet records.
        QVERIFY(QTest::qWaitFor([&] { return test::readAll(out).count('\n') >= 3; }, 10000));
        sim.toggleLoud();
        QVERIFY(receiver.waitFor(1, 10000));
        QCOMPARE(cli.end(SIGTERM), 0);

        const QList<test::HttpReceiver::Request> posted = receiver.requests();
        // The alarm's start and end, and the limit's alarm (at the same sample as the
        // start: the programs may end in either order).
        QCOMPARE(posted.size(), 3);
        QList<QByteArray> run = test::readAll(script + ".told").split('\n');
        QCOMPARE(run.takeLast(), QByteArray());
        QList<QByteArray> bodies{posted[0].body, posted[1].body, posted[2].body};
        QCOMPARE(QJsonDocument::fromJson(bodies[2]).object()["state"], "end");
        QCOMPARE(bodies.count(run[0]) + bodies.count(run[1]) + bodies.count(run[2]), 3);
        QCOMPARE(QByteArray(bodies.join()).count(R"("rule":"lmax,15min,0-24,78")"), 1);
        QCOMPARE(posted[1].path, "/noise");
        QCOMPARE(posted[1].headers.value("content-type"), "application/json");
        QVERIFY2(!cli.err().contains(": notify "), qPrintable(cli.err()));
    }
};

QTEST_GUILESS_MAIN(TestRecordNotify)
#include "test_record_notify.moc"
