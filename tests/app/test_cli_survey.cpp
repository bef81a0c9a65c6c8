// levelpanel-cli's survey commands (periods, lden, events) run as whole processes on a
// survey of two files: the JSON keys, a figure of each (the figures' rules are
// tests/stats'), the options reaching the analysis, and the exit status of mistakes and
// of a file that does not read.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <array>

#include "files.h"
#include "program_run.h"
#include "records/record_format.h"

using namespace lp;

namespace {

test::ProgramRun runCli(const QStringList& arguments) {
    return test::runToEnd(QStringLiteral(LP_CLI_PROGRAM), arguments);
}

QByteArray recordFile(const QList<std::array<const char*, 3>>& rows) {
    QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
    for (const auto& row : rows) {
        records::appendRecordLine(bytes, row[0], row[1], row[2]);
    }
    return bytes;
}

// The keys of a JSON object, in the order QJsonObject keeps them (sorted).
QString keysOf(const QJsonValue& value) {
    return value.toObject().keys().join(u' ');
}

}  // namespace

class TestCliSurvey : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QStringList files_;

    QJsonObject json(const QStringList& arguments) {
        const test::ProgramRun run = runCli(arguments + files_ + QStringList{"--json"});
        if (run.status != 0) {
            qWarning("%s", qPrintable(run.err));
        }
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("TZ", "UTC");
        // S = 1 s. The second file is given first: the survey takes its files in time
        // order. "OVER" carries no level; the gap it leaves ends an event.
        files_ = {dir_.filePath("b.sdm"), dir_.filePath("a.sdm")};
        QVERIFY(test::writeFile(files_[1], recordFile({{"1", "2009/06/01 14:59:58", "60.0"},
                                                       {"2", "2009/06/01 14:59:59", "70.0"},
                                                       {"3", "2009/06/01 15:00:00", "80.0"},
                                                       {"4", "2009/06/01 15:00:01", "90.0"}})));
        QVERIFY(test::writeFile(files_[0], recordFile({{"1", "2009/06/01 15:00:02", "90.0"},
                                                       {"2", "2009/06/01 15:00:03", "50.0"},
                                                       {"3", "2009/06/01 15:00:04", "OVER"},
                                                       {"4", "2009/06/01 15:00:05", "85.0"}})));
    }

    void periods_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("excluded");
        QTest::addColumn<int>("records");
        QTest::addColumn<double>("leq");
        QTest::addColumn<double>("coverage");  // three decimals
        // 15:00: 80, 90, 90, 50, 85 dB; excluded 15:00:01 up to 15:00:03: 80, 50, 85.
        QTest::newRow("all") << QStringList() << 0 << 5 << 86.8 << 0.083;
        QTest::newRow("excluded") << QStringList{"--exclude",
                                                 "2009-06-01T15:00:01/2009-06-01T15:00:03"}
                                  << 2 << 3 << 81.4 << 0.05;
    }
    void periods() {
        QFETCH(QStringList, options);
        const QJsonObject out = json(QStringList{"periods", "--every", "1min"} + options);
        QCOMPARE(keysOf(out), "excluded format interval_s left_out periods");
        QCOMPARE(out["interval_s"].toInt(), 1);
        QCOMPARE(out["left_out"].toInt(), 1);
        QTEST(out["excluded"].toInt(), "excluded");
        const QJsonArray periods = out["periods"].toArray();
        QCOMPARE(periods.size(), 2);
        QCOMPARE(keysOf(periods[1]), "coverage end l10 l50 l90 leq lmax lmin records start");
        const QJsonObject p = periods[1].toObject();
        QCOMPARE(p["start"].toString() + u'/' + p["end"].toString(),
                 "2009-06-01T15:00:00/2009-06-01T15:01:00");
        QTEST(p["records"].toInt(), "records");
        QTEST(p["leq"].toDouble(), "leq");
        QTEST(p["coverage"].toDouble(), "coverage");
        QCOMPARE(p["lmin"].toDouble(), 50.0);
    }

    void periodsCsv() {
        const test::ProgramRun run = runCli(QStringList{"periods", "--csv"} + files_);
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(u'\n');
        QCOMPARE(lines.size(), 4);  // the header, two hours, the end of the last line
        QCOMPARE(lines[0], "start,end,records,coverage,leq,lmax,lmin,l10,l50,l90");
        QVERIFY2(
            lines[2].startsWith("2009-06-01T15:00:00,2009-06-01T16:00:00,5,0.001,86.8,90.0,50.0,"),
            qPrintable(lines[2]));
    }

    // --day reaches the day parts: from 15 h, 14:59 is the night of the day before. No
    // record falls in an evening, so there is no Lden.
    void lden() {
        const QJsonObject out = json({"lden", "--day", "15-19"});
        QCOMPARE(keysOf(out), "days format overall");
        QCOMPARE(keysOf(out["overall"]), "lday lden levening lnight");
        const QJsonArray days = out["days"].toArray();
        QCOMPARE(days.size(), 2);
        QCOMPARE(keysOf(days[0]), "coverage date lday lden levening lnight");
        QCOMPARE(keysOf(days[0]["coverage"]), "day evening night");
        QCOMPARE(days[0]["date"].toString(), "2009-05-31");
        QCOMPARE(days[0]["lnight"].toDouble(), 67.4);
        QCOMPARE(days[1]["lday"].toDouble(), 86.8);
        QCOMPARE(days[1]["lden"], QJsonValue(QJsonValue::Null));
        QCOMPARE(out["overall"]["levening"], QJsonValue(QJsonValue::Null));
    }

    void events_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("count");
        // 80, 90, 90 from 15:00:00; 85 at 15:00:05, after the gap of the level left out.
        QTest::newRow("above 80") << QStringList() << 2;
        QTest::newRow("min 2 s") << QStringList{"--min-duration", "2"} << 1;
    }
    void events() {
        QFETCH(QStringList, options);
        const QJsonObject out = json(QStringList{"events", "--above", "80"} + options);
        QCOMPARE(keysOf(out), "events format");
        const QJsonArray events = out["events"].toArray();
        QTEST(int(events.size()), "count");
        QCOMPARE(keysOf(events[0]), "duration_s end leq lmax sel start");
        const QJsonObject e = events[0].toObject();
        QCOMPARE(e["start"].toString() + u'/' + e["end"].toString(),
                 "2009-06-01T15:00:00/2009-06-01T15:00:03");
        QCOMPARE(e["duration_s"].toInt(), 3);
        QCOMPARE(e["lmax"].toDouble(), 90.0);
        QCOMPARE(e["leq"].toDouble(), 88.5);
        QCOMPARE(e["sel"].toDouble(), 93.2);
    }

    // The command line's own readings of its options; what a period length or a day
    // part may be is test_survey's.
    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("every in seconds") << QStringList{"periods", "--every", "90s"} << "'90s'";
        QTest::newRow("exclude without TO")
            << QStringList{"lden", "--exclude", "2009-06-01T15:00:01"} << "--exclude";
        QTest::newRow("exclude ending first")
            << QStringList{"events", "--above", "80", "--exclude",
                           "2009-06-01T15:00:03/2009-06-01T15:00:01"}
            << "--exclude";
        QTest::newRow("events without a threshold") << QStringList{"events"} << "--above";
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const test::ProgramRun run = runCli(arguments + files_);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
    }

    // The report as a real PDF, its text read back: the period and the event of the
    // survey, and the exclusion, reach it.
    void report() {
        const QString pdf = dir_.filePath("report.pdf");
        const test::ProgramRun run =
            runCli(QStringList{"report", "--pdf", pdf, "--every", "1min", "--above", "80",
                               "--exclude", "2009-06-01T15:00:01/2009-06-01T15:00:03"} +
                   files_);
        QCOMPARE(run.status, 0);
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(pdftotext.waitForFinished());
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains("81.4"), qPrintable(text));  // 15:00, excluded
        QVERIFY2(!text.contains("86.8"), qPrintable(text));
        QVERIFY2(text.contains("15:00:05"), qPrintable(text));  // the 85 dB event
    }

    // A file that does not read stops the command with status 2, the file named.
    void unreadableFile() {
        const QString missing = dir_.filePath("missing.sdm");
        const test::ProgramRun run = runCli({"events", "--above=80", files_[0], missing});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(missing), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCliSurvey)
#include "test_cli_survey.moc"
