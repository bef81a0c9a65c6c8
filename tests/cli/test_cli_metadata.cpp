// The metadata that levelpanel-cli writes beside its record files, as whole processes
// against the simulator on a pseudo-terminal: a `record` run whose meter goes from A to
// C weighting in mid-run, read back line by line against the record file it describes;
// a `download` of a stored set, its run object from what the set's header tells.
#include <QJsonArray>
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

// The lines of a file as its reader counts them (every line end a CR LF here).
QList<QByteArray> linesOf(const QString& path) {
    QList<QByteArray> lines = test::readAll(path).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// The 1-based line of the first line holding `text`; 0 when none.
qsizetype firstLineWith(const QList<QByteArray>& lines, const QByteArray& text) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(text)) {
            return i + 1;
        }
    }
    return 0;
}

QStringList sortedKeys(const QJsonObject& object) {
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

}  // namespace

class TestCliMetadata : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // The file already holds an earlier run of two lines, so this run's header is its
    // line 3. The meter shows 50.0 dB on A; SIGUSR2 makes it 80.0 dB on C at once, so
    // the first record under C is the first line with 80.0 in it.
    void recordWritesTheRunAndTheWeightingChange() {
        const QString out = dir.filePath(QStringLiteral("site.sdm"));
        QVERIFY(
            test::writeFile(out, "No.s\tDate Time\tdB\t\r\n1\t2026/12/01 10:00:00\t40.0\t\r\n"));
        test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "50.0", "--loud", "80.0", "--loud-weighting", "C"}),
                 qPrintable(sim.error()));
        test::CliProcess cli({"record", "--port", sim.path(), "--every", "1", "--out", out});
        QTRY_VERIFY_WITH_TIMEOUT(test::readAll(out).count("\t50.0\t") >= 2, 15000);
        sim.toggleLoud();
        QTRY_VERIFY_WITH_TIMEOUT(test::readAll(out).count("\t80.0\t") >= 2, 15000);
        QCOMPARE(cli.end(SIGINT), 0);

        const QList<QByteArray> records = linesOf(out);
        QCOMPARE(records[2], QByteArray("No.s\tDate Time\tdB\t\r"));
        const QList<QByteArray> meta = linesOf(out + QStringLiteral(".meta"));
        QCOMPARE(meta.size(), 2);
        const QJsonObject run = QJsonDocument::fromJson(meta[0]).object();
        QCOMPARE(sortedKeys(run), (QStringList{"every_s", "header_line", "host", "port", "program",
                                               "range", "response", "run", "start", "weighting"}));
        QCOMPARE(run["header_line"].toInt(), 3);
        QCOMPARE(run["port"].toString(), sim.path());
        QCOMPARE(run["every_s"].toDouble(), 1.0);
        QCOMPARE(run["weighting"].toString(), "A");
        QCOMPARE(run["response"].toString(), "F");
        QCOMPARE(run["range"].toArray(), (QJsonArray{30, 80}));  // the simulator's first range
        QVERIFY2(run["program"].toString().startsWith("levelpanel-cli "),
                 qPrintable(run["program"].toString()));
        QVERIFY(!run["host"].toString().isEmpty());
        // The start is the first record's time stamp, with its offset.
        const QList<QByteArray> first = records[3].split('\t');
        QCOMPARE(first[0], "1");
        const QString stamp = QString::fromLatin1(first[1])
                                  .replace(QLatin1Char('/'), QLatin1Char('-'))
                                  .replace(QLatin1Char(' '), QLatin1Char('T'));
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(stamp) + "[+-]\\d\\d:\\d\\d$")
                     .match(run["start"].toString())
                     .hasMatch(),
                 qPrintable(run["start"].toString() + " / " + stamp));

        const QJsonObject change = QJsonDocument::fromJson(meta[1]).object();
        QCOMPARE(sortedKeys(change), (QStringList{"line", "range", "response", "weighting"}));
        QCOMPARE(change["line"].toInteger(), firstLineWith(records, "\t80.0\t"));
        QCOMPARE(change["weighting"].toString(), "C");
        QCOMPARE(change["response"].toString(), "F");
        QCOMPARE(change["range"].toArray(), (QJsonArray{30, 80}));
    }

    // The simulator's second demo set: started 23:45:00 on 2009-06-01, every 2 s, on C,
    // range code 1 (40-90 dB: the ranges step by 10 dB from 30-80). Its header says no
    // response: null.
    void downloadWritesTheSetsRun() {
        test::SimProcess sim;
        QVERIFY2(sim.start({"--sets", "2"}), qPrintable(sim.error()));
        const QString out = dir.filePath(QStringLiteral("set2.sdm"));
        const test::ProgramRun run =
            test::runCli({"download", "--port", sim.path(), "--set", "2", "--out", out});
        QCOMPARE(run.status, 0);
        const QList<QByteArray> meta = linesOf(out + QStringLiteral(".meta"));
        QCOMPARE(meta.size(), 1);
        const QJsonObject set = QJsonDocument::fromJson(meta[0]).object();
        QCOMPARE(sortedKeys(set), (QStringList{"every_s", "header_line", "host", "port", "program",
                                               "range", "response", "run", "start", "weighting"}));
        QCOMPARE(set["header_line"].toInt(), 1);
        QVERIFY2(QRegularExpression("^2009-06-01T23:45:00[+-]\\d\\d:\\d\\d$")
                     .match(set["start"].toString())
                     .hasMatch(),
                 qPrintable(set["start"].toString()));
        QCOMPARE(set["every_s"].toDouble(), 2.0);
        QCOMPARE(set["weighting"].toString(), "C");
        QVERIFY(set["response"].isNull());
        QCOMPARE(set["range"].toArray(), (QJsonArray{40, 90}));
        QCOMPARE(set["port"].toString(), sim.path());
        QVERIFY(set["program"].toString().startsWith("levelpanel-cli "));
    }
};

QTEST_MAIN(TestCliMetadata)
#include "test_cli_metadata.moc"
