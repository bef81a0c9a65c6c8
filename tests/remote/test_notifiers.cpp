// The notifiers with real programs (small shell scripts) and a real HTTP server on
// 127.0.0.1: how many run at once, what a failure says and how often, retries and
// refusals. `record --notify` as a whole process is test_record_notify's.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "http_receiver.h"
#include "platform/processes.h"
#include "remote/program_notifier.h"
#include "remote/webhook_notifier.h"
#include "test_broker.h"

using lp::remote::ProgramNotifier;
using lp::remote::WebhookNotifier;
using lp::test::HttpReceiver;

namespace {

// An executable shell script `body` at `path`.
bool writeScript(const QString& path, const QByteArray& body) {
    return lp::test::writeFile(path, "#!/bin/sh\n" + body + '\n') &&
           QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

QStringList texts(const QSignalSpy& spy) {
    QStringList said;
    for (const QList<QVariant>& signal : spy) {
        said << signal.first().toString();
    }
    return said;
}

QUrl hookAt(int port) {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/hook?site=north").arg(port));
}

}  // namespace

class TestNotifiers : public QObject {
    Q_OBJECT

private slots:
    // Each run logs its start and end around a 0.5 s sleep: the runs at once, counted from
    // the log, reach the limit and never pass it; beyond the waiting ones, notifications
    // are dropped, said once.
    void programsAtOnceAndWaiting_data() {
        QTest::addColumn<int>("running");
        QTest::addColumn<int>("waiting");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("delivered");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("the usual four at once") << 4 << 64 << 6 << 6 << QStringList();
        QTest::newRow("one at once, one waiting")
            << 1 << 1 << 4 << 2
            << QStringList{
                   "notify tell: 1 notification(s) wait for the program already: later "
                   "ones are dropped (said once, not for each notification)."};
    }
    void programsAtOnceAndWaiting() {
        QFETCH(int, running);
        QFETCH(int, waiting);
        QFETCH(int, sent);
        QFETCH(int, delivered);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        const QString script = dir.filePath("tell.sh");
        QVERIFY(writeScript(script, QStringLiteral("echo start >> %1/log\n"
                                                   "cat > %1/in-$$\n"
                                                   "sleep 0.5\n"
                                                   "echo end >> %1/log")
                                        .arg(dir.path())
                                        .toUtf8()));
        ProgramNotifier notifier("tell", script, {std::chrono::seconds(10), running, waiting});
        QSignalSpy problems(&notifier, &ProgramNotifier::problem);
        QStringList payloads;
        for (int n = 1; n <= sent; ++n) {
            payloads << QStringLiteral(R"({"n":%1})").arg(n);
            notifier.notify(payloads.last().toUtf8());
        }
        QVERIFY(QTest::qWaitFor([&] { return !notifier.busy(); }, 10000));
        int now = 0;
        int most = 0;
        for (const QByteArray& line : lp::test::readAll(dir.filePath("log")).split('\n')) {
            now += line == "start" ? 1 : line == "end" ? -1 : 0;
            most = std::max(most, now);
        }
        QCOMPARE(most, running);
        QStringList got;
        for (const QString& name : QDir(dir.path()).entryList({"in-*"})) {
            got << QString::fromUtf8(lp::test::readAll(dir.filePath(name)));
        }
        got.sort();
        QCOMPARE(got, payloads.first(delivered));
        QCOMPARE(texts(problems), said);
    }

    // Three notifications each to a program that fails, one that is not there and one
    // that hangs (stopped with the child it started): one line each.
    void programTroublesSaidOnce_data() {
        QTest::addColumn<QByteArray>("body");  // none: no program
        QTest::addColumn<QString>("said");
        QTest::newRow("exit status") << QByteArray("exit 3")
                                     << "notify tell: the program ended with exit status 3 "
                                        "(said once, not for each notification).";
        QTest::newRow("not there")
            << QByteArray() << "notify tell: the program cannot be started: ";
        QTest::newRow("too long") << QByteArray("sleep 30 &\necho $! >> \"$0.children\"\nwait")
                                  << "notify tell: the program did not end within 1 s and was "
                                     "stopped (said once, not for each notification).";
    }
    void programTroublesSaidOnce() {
        QFETCH(QByteArray, body);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString script = dir.filePath("tell.sh");
        QVERIFY(body.isEmpty() || writeScript(script, body));
        ProgramNotifier notifier("tell", script, {std::chrono::seconds(1), 4, 64});
        QSignalSpy problems(&notifier, &ProgramNotifier::problem);
        for (int n = 0; n < 3; ++n) {
            notifier.notify("{}");
        }
        QVERIFY(QTest::qWaitFor([&] { return !notifier.busy(); }, 5000));
        QCOMPARE(problems.size(), 1);
        QVERIFY2(texts(problems).first().startsWith(said), qPrintable(texts(problems).first()));
        // What a stopped script started went with it.
        const QList<QByteArray> children = lp::test::readAll(script + ".children").split('\n');
        for (const QByteArray& child : children) {
            QVERIFY(child.isEmpty() ||
                    QTest::qWaitFor(
                        [&] { return !lp::platform::isProcessRunning(child.toLongLong()); }, 2000));
        }
    }

    // Nobody listens for the first half second: the two notifications arrive, in order,
    // with the first retry (at 1 s); the failure said.
    void webhookTriedAgainUntilUp() {
        const int port = lp::test::freePort();
        WebhookNotifier notifier("hook", hookAt(port), {});
        QSignalSpy problems(&notifier, &WebhookNotifier::problem);
        notifier.notify(R"({"n":1})");
        notifier.notify(R"({"n":2})");
        QTest::qWait(500);
        HttpReceiver receiver;
        QVERIFY(receiver.listen(port));
        QVERIFY(receiver.waitFor(2, 8000));
        const QList<HttpReceiver::Request> got = receiver.requests();
        QCOMPARE(got.size(), 2);
        for (const HttpReceiver::Request& request : got) {
            QCOMPARE(request.method, "POST");
            QCOMPARE(request.path, "/hook?site=north");
            QCOMPARE(request.headers.value("content-type"), "application/json");
        }
        QCOMPARE(got[0].body, R"({"n":1})");
        QCOMPARE(got[1].body, R"({"n":2})");
        QCOMPARE(texts(problems),
                 QStringList{"notify hook: cannot deliver: Connection refused. Trying again 1 to "
                             "60 s apart, for up to an hour after each event (said once, not "
                             "for each notification)."});
    }

    // The run ends while the notifications wait for their next attempt: given up, said.
    void webhookGivenUpAtTheEnd() {
        WebhookNotifier notifier("hook", hookAt(lp::test::freePort()), {});
        QSignalSpy problems(&notifier, &WebhookNotifier::problem);
        notifier.notify(R"({"n":1})");
        notifier.notify(R"({"n":2})");
        QVERIFY(QTest::qWaitFor([&] { return !problems.isEmpty() && !notifier.busy(); }, 5000));
        notifier.abandon();
        QCOMPARE(texts(problems).last(),
                 "notify hook: 2 notification(s) not delivered: the logger stopped.");
    }

    // A refusal drops the notification at once; a server error is tried again until the
    // notification is half a second old (at 1 s: dropped).
    void webhookAnswers_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("refused") << 404
                                 << QStringList{
                                        "notify hook: the server answered 404 Not Found: "
                                        "a notification it refuses is dropped (said "
                                        "once, not for each notification)."};
        QTest::newRow("server error")
            << 503
            << QStringList{
                   "notify hook: cannot deliver: the server answered 503 Service "
                   "Unavailable. Trying again 1 to 60 s apart, for up to 0.5 s after "
                   "each event (said once, not for each notification).",
                   "notify hook: 2 notification(s) dropped, undelivered after 0.5 s (the "
                   "last failure: the server answered 503 Service Unavailable)."};
    }
    void webhookAnswers() {
        QFETCH(int, status);
        QFETCH(QStringList, said);
        HttpReceiver receiver(status);
        const int port = lp::test::freePort();
        QVERIFY(receiver.listen(port));
        WebhookNotifier notifier("hook", hookAt(port),
                                 {std::chrono::milliseconds(500), std::chrono::seconds(10)});
        QSignalSpy problems(&notifier, &WebhookNotifier::problem);
        notifier.notify(R"({"n":1})");
        notifier.notify(R"({"n":2})");
        QVERIFY(QTest::qWaitFor([&] { return problems.size() == said.size() && !notifier.busy(); },
                                8000));
        QCOMPARE(texts(problems), said);
    }
};

QTEST_GUILESS_MAIN(TestNotifiers)
#include "test_notifiers.moc"
