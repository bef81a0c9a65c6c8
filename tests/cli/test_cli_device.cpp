// levelpanel-cli's device commands run as whole processes against the simulated meter:
// the built-in one (--port sim) and the simulator program on a pseudo-terminal. What
// is checked is the command line's own: the lines on disk across a faked midnight and
// a signal, the port gone and back, and the memory commands' output and file. (The
// rules of the files a long recording writes are test_rotating_recording's.)
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "cli_process.h"
#include "files.h"
#include "program_run.h"
#include "sim_process.h"

using namespace lp;

namespace {

// The data lines of a record file (the header left out).
qsizetype dataLines(const QString& path) {
    return qMax<qsizetype>(0, test::readAll(path).count("\r\n") - 1);
}

using test::CliProcess;
using test::runCli;
using Run = test::ProgramRun;

}  // namespace

class TestCliDevice : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // Two and a half seconds before midnight: the lines of the 6th, then a new file for
    // the 7th; SIGTERM ends the run with every line it reported taken on disk. (A slow
    // start may cost the first sample; the stamps still run on to midnight.)
    void recordRotatesAtMidnightAndEndsOnSigterm() {
        test::SimProcess sim;
        QVERIFY2(sim.start({QStringLiteral("--level"), QStringLiteral("65.3")}),
                 qPrintable(sim.error()));
        const QString out = dir.filePath(QStringLiteral("night.sdm"));
        const QString first = dir.filePath(QStringLiteral("night-2026-12-06.sdm"));
        const QString second = dir.filePath(QStringLiteral("night-2026-12-07.sdm"));
        CliProcess cli(
            {"record", "--port", sim.path(), "--every", "1", "--out", out, "--rotate", "daily"},
            test::CliOptions::startingAt(QStringLiteral("2026-12-06T23:59:57.500")));
        QTRY_VERIFY_WITH_TIMEOUT(dataLines(second) >= 2, 10000);
        QCOMPARE(cli.end(SIGTERM), 0);

        const qsizetype before = dataLines(first);
        const qsizetype after = dataLines(second);
        QVERIFY(before >= 1 && before <= 2);
        // Each file numbered from 1: the 6th's last second, then the 7th's first.
        QVERIFY(test::readAll(first).endsWith(QByteArray::number(before) +
                                              "\t2026/12/06 23:59:59\t65.3\t\r\n"));
        QVERIFY(test::readAll(second).contains("\r\n1\t2026/12/07 00:00:00\t65.3\t\r\n"));
        QCOMPARE(cli.out(), QString());
        QCOMPARE(cli.err(),
                 QStringLiteral("recording to %1\nrecording to %2\n%3 record(s) written\n")
                     .arg(first, second)
                     .arg(before + after));
    }

    // The meter's terminal goes away under a recording and comes back at the same path,
    // with the meter switched off: one line on stderr each way (the port, then the
    // meter's silence and its answer), no line while it is gone or silent, numbering goes
    // on. (The port's loss and reopening themselves are test_port_loss'.)
    void recordReopensAVanishedPort() {
        const QString meter = dir.filePath(QStringLiteral("meter"));
        test::SimProcess sim;
        QVERIFY2(sim.start({"--link", meter, "--level", "65.3"}), qPrintable(sim.error()));
        const QString out = dir.filePath(QStringLiteral("gone.sdm"));
        CliProcess cli({"record", "--port", meter, "--every", "1", "--out", out});
        QTRY_VERIFY_WITH_TIMEOUT(dataLines(out) >= 1, 10000);
        QVERIFY(sim.stop());
        QTRY_VERIFY_WITH_TIMEOUT(cli.err().contains("went away"), 5000);
        const qsizetype beforeGap = dataLines(out);
        QVERIFY2(sim.start({"--link", meter, "--level", "70.1", "--off"}), qPrintable(sim.error()));
        QTRY_VERIFY_WITH_TIMEOUT(cli.err().contains("does not answer"), 10000);
        QVERIFY(cli.err().indexOf("is open again") < cli.err().indexOf("does not answer"));
        QCOMPARE(dataLines(out), beforeGap);
        sim.pressPower();
        QTRY_VERIFY_WITH_TIMEOUT(test::readAll(out).contains("\t70.1\t"), 10000);
        QCOMPARE(cli.end(SIGINT), 0);
        for (const char* told :
             {"went away", "is open again", "does not answer", "answers again"}) {
            QVERIFY2(cli.err().count(QLatin1String(told)) == 1, qPrintable(cli.err()));
        }
        // The first line after the gap, numbered on.
        const QByteArray back = test::readAll(out).split('\n').value(beforeGap + 1);
        QVERIFY2(
            back.startsWith(QByteArray::number(beforeGap + 1) + '\t') && back.contains("\t70.1\t"),
            back.constData());
    }

    // A run bounded by --duration that got fewer samples or readings than asked because
    // the meter did not answer (the simulator's meter switched off) has failed: status 2
    // and the reason, so that a script tells a dead meter from a good run. With the meter
    // answering, the same bounds end with status 0. (--duration alone ends a record run
    // by the same timer as with --count.)
    void boundedRunOfASilentMeter_data() {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");  // how stderr ends, a pattern
        const QString out = dir.filePath(QStringLiteral("silent.sdm"));
        const QStringList record{"record", "--every", "1", "--out", out};
        const QString port = R"(levelpanel-cli: the meter on \S+ did not answer during the run: )";
        QTest::newRow("record, count not reached in time")
            << true << record + QStringList{"--count", "3", "--duration", "4"} << 2
            << R"(\n0 record\(s\) written\n)" + port + R"(fewer records than asked\.\n$)";
        QTest::newRow("live, count not reached in time")
            << true << QStringList{"live", "--count", "1", "--duration", "3"} << 2
            << port + R"(fewer readings than asked\.\n$)";
        QTest::newRow("live, meter answering")
            << false << QStringList{"live", "--duration", "2"} << 0 << "^$";
        QTest::newRow("record, meter answering")
            << false << record + QStringList{"--count", "2", "--duration", "30"} << 0
            << R"(\n2 record\(s\) written\n$)";
    }
    void boundedRunOfASilentMeter() {
        QFETCH(bool, silent);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, told);
        test::SimProcess sim;
        QVERIFY2(sim.start(silent ? QStringList{"--off"} : QStringList{}), qPrintable(sim.error()));
        const Run run = runCli(arguments + QStringList{"--port", sim.path()});
        QCOMPARE(run.status, status);
        QVERIFY2(QRegularExpression(told).match(run.err).hasMatch(), qPrintable(run.err));
    }

    void liveAndMemoryOfTheBuiltInMeter() {
        // --count: that many readings, then the end (a signal ends it as it ends record).
        const Run live = runCli({"live", "--port", "sim", "--count", "2"});
        QCOMPARE(live.status, 0);
        const QStringList lines = live.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        const QString iso = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)";
        const QRegularExpression shape("^" + iso +
                                       R"(\t\d+\.\d\t[AC]\t(FAST|SLOW)\t\d+-\d+\t\S.*$)");
        for (const QString& line : lines) {
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
        }

        // With --json each line one object.
        const Run counted = runCli({"live", "--port", "sim", "--count", "3", "--json"});
        QCOMPARE(counted.status, 0);
        const QStringList objects = counted.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(objects.size(), 3);
        for (const QString& line : objects) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            QCOMPARE(o.value("format"), QJsonValue(1));
            QVERIFY2(
                QRegularExpression("^" + iso + "$").match(o.value("time").toString()).hasMatch(),
                qPrintable(line));
            QVERIFY2(o.value("level").isDouble(), qPrintable(line));
            QVERIFY2(
                QRegularExpression(R"(^\d+-\d+$)").match(o.value("range").toString()).hasMatch(),
                qPrintable(line));
        }
        const QString counts = dir.filePath(QStringLiteral("counted.sdm"));
        const Run recorded =
            runCli({"record", "--port", "sim", "--every", "1", "--count", "2", "--out", counts});
        QCOMPARE(recorded.status, 0);
        QCOMPARE(dataLines(counts), 2);
        // Into the same file again: appended, and said so.
        const Run appended =
            runCli({"record", "--port", "sim", "--every", "1", "--count", "1", "--out", counts});
        QCOMPARE(appended.status, 0);
        QVERIFY2(appended.err.startsWith(
                     QStringLiteral("appending to %1 (2 records in 1 runs)\n").arg(counts)),
                 qPrintable(appended.err));
        QCOMPARE(test::readAll(counts).count("No.s\tDate Time\tdB\t\r\n"), 2);
        QCOMPARE(dataLines(counts), 2 + 1 + 1);  // a header line starts the second run

        const Run sets = runCli({"sets", "--port", "sim"});
        QCOMPARE(sets.status, 0);
        QVERIFY2(sets.out.contains("NUMBERS OF SET  3\n"), qPrintable(sets.out));
        // --json: the numbers behind the texts, as numbers (sizes in bytes).
        const Run setsJson = runCli({"sets", "--port", "sim", "--json"});
        QCOMPARE(setsJson.status, 0);
        const QJsonObject memory =
            QJsonDocument::fromJson(setsJson.out.toUtf8()).object().value("memory").toObject();
        const auto shown = [&sets](const QString& caption) {
            const QRegularExpression line("\n?" + caption + R"( +([0-9.]+))");
            return line.match(sets.out).captured(1).toDouble();
        };
        QCOMPARE(memory.keys(), (QStringList{"id_code", "memory_bytes", "numbers_of_set",
                                             "remaining_bytes", "sampling_s"}));
        for (const QJsonValue& value : memory) {
            QVERIFY(value.isDouble());
        }
        QCOMPARE(memory.value("memory_bytes").toDouble(), shown("MEMORY") * 1024);
        QCOMPARE(QString::number(memory.value("remaining_bytes").toDouble() / 1024, 'f', 1),
                 QString::number(shown("REMAINING"), 'f', 1));
        QCOMPARE(memory.value("id_code").toDouble(), shown("ID CODE"));
        QCOMPARE(memory.value("sampling_s").toDouble(), shown("SAMPLING"));
        QCOMPARE(memory.value("numbers_of_set").toDouble(), 3.0);
        const QRegularExpression setTwo("\n2\t" + iso + R"(\t(\d+)\n)");
        const QRegularExpressionMatch two = setTwo.match(sets.out);
        QVERIFY2(two.hasMatch(), qPrintable(sets.out));

        const QString file = dir.filePath(QStringLiteral("set2.sdm"));
        const Run download = runCli({"download", "--port", "sim", "--set", "2", "--out", file});
        QCOMPARE(download.status, 0);
        QCOMPARE(QString::number(dataLines(file)), two.captured(1));
    }

    // A download whose record file is the meter's port itself (here through the
    // simulator's link to its terminal) is refused before the port is opened.
    // Records written to the meter's own port would go to the meter.
    void writingOverItsPortIsRefused_data() {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("download") << QStringList{"download", "--set", "1"};
        QTest::newRow("record") << QStringList{"record"};
    }
    void writingOverItsPortIsRefused() {
        QFETCH(QStringList, command);
        const QString meter = dir.filePath(QStringLiteral("own-meter"));
        test::SimProcess sim;
        QVERIFY2(sim.start({"--link", meter, "--sets", "1"}), qPrintable(sim.error()));
        const Run run = runCli(command + QStringList{"--port", meter, "--out", sim.path()});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains("it is the file the records come from (" + meter + ")"),
                 qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestCliDevice)
#include "test_cli_device.moc"
