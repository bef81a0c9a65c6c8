// levelpanel-cli watch --json as a whole process against a real mosquitto: the retained
// statuses it finds, the samples and an event published meanwhile reaching its lines
// (what they make of a logger's row is test_fleet_model's), the broker stopped and
// started again (said on stderr, the states unknown meanwhile, subscribed again), and
// SIGTERM. Then the table and the JSON lines on a real pseudo-terminal, with a
// publisher's escape sequences in what they show.
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>

#include "program_run.h"
#include "pseudo_terminal.h"
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
        const QByteArray online = lp::remote::statusMessage(
            {lp::remote::LoggerState::Online, "sim", "log.sdm", 1, "0.1", 2});
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

        // Away and back: said once each way, the state unknown meanwhile (not the last
        // will's "offline" the broker may keep), and the subscriptions made again.
        broker.stop();
        QTRY_VERIFY_WITH_TIMEOUT(watch.err().contains("trying again"), 10000);
        const qsizetype unknown = watch.waitForLine("north", "state", "unknown", sample);
        QVERIFY(unknown >= 0);
        QCOMPARE(watch.lines()[unknown].value("backlog"), QJsonValue::Null);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        QVERIFY(watch.waitForLine("north", "state", "online", unknown) > unknown);
        QTRY_VERIFY_WITH_TIMEOUT(watch.err().contains("again\n"), 10000);
        QCOMPARE(watch.err().count('\n'), 2);
        const qsizetype before = watch.lines().size();
        QVERIFY(publish(broker, "site/north/sample", sampleAt(3, "2009/06/01 14:05:11", "70.1")));
        QVERIFY(watch.waitForLine("north", "level", 70.1, before) >= 0);
        QCOMPARE(watch.end(SIGTERM), 0);
    }

    // OSC 52 (the clipboard), OSC 0 (the title) and ESC [2J (clear) in a retained status,
    // C1 controls in a sample, bidi overrides in loggers' names (mosquitto takes no
    // control character in a topic): none reaches the terminal, in the table, in what
    // is said on stderr, or in the JSON lines.
    void brokerTextsCannotSteerTheTerminal() {
        QTemporaryDir dir;
        TestBroker broker(dir.path(), TestBroker::Access::Anonymous);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        const QString evil = QStringLiteral("site/ev\u202Eil");
        const QJsonObject status{{"state", "\x1b]52;c;aGk=\x07on\x1b]0;owned\x07\x1b[2J"}};
        QVERIFY(publish(broker, evil + "/status", QJsonDocument(status).toJson(), true));
        // A level text that is no level is shown as it is; a level with its weighting.
        QJsonObject sample =
            QJsonDocument::fromJson(sampleAt(2, "2009/06/01 14:05:09", "\u009b2J")).object();
        QVERIFY(publish(broker, evil + "/sample", QJsonDocument(sample).toJson(), true));
        sample["level"] = 65.3;
        sample["weighting"] = QStringLiteral("\u009d0;t\u009c");
        QVERIFY(publish(broker, "site/w/sample", QJsonDocument(sample).toJson(), true));
        // Passed over, and said with its topic.
        QVERIFY(publish(broker, QStringLiteral("site/x\u2066y/status"), "{}", true));

        const QString url = QStringLiteral("mqtt://127.0.0.1:%1/site").arg(broker.port());
        for (const bool json : {false, true}) {
            lp::test::PseudoTerminal terminal(100, 20);
            QVERIFY(!terminal.path().isEmpty());
            QProcess watch;
            watch.setStandardOutputFile(terminal.path());
            watch.setStandardErrorFile(terminal.path());
            watch.start(QStringLiteral(LP_CLI_PROGRAM),
                        json ? QStringList{"watch", url, "--json"} : QStringList{"watch", url});
            // R is U+FFFD in UTF-8, where each steering character was.
            const QByteArray R = "\xef\xbf\xbd";
            const QList<QByteArray> shown =
                json ? QList<QByteArray>{R"(ev\u202eil)", R"(\u009b2J)", R"(\u009d0;t\u009c)",
                                         "x" + R + "y/status"}
                     : QList<QByteArray>{"ev" + R + "il", R + "]52;c;aGk=" + R + "on" + R + "]0;",
                                         R + "2J", R + "0;t" + R, "x" + R + "y/status"};
            QTRY_VERIFY_WITH_TIMEOUT(std::all_of(shown.cbegin(), shown.cend(),
                                                 [&](const QByteArray& text) {
                                                     return terminal.bytes().contains(text);
                                                 }),
                                     10000);
            for (const char* steering : {"\x1b]", "\x07", "\x1b[2J", "\xc2\x9b", "\xc2\x9c",
                                         "\xc2\x9d", "\xe2\x80\xae", "\xe2\x81\xa6"}) {
                QVERIFY2(!terminal.bytes().contains(steering), steering);
            }
            ::kill(static_cast<pid_t>(watch.processId()), SIGTERM);
            QVERIFY(watch.waitForFinished(10000));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliWatch)
#include "test_cli_watch.moc"
