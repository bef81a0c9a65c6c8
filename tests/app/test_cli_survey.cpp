// levelpanel-cli's survey commands (periods, lden, events, report) run as whole
// processes on a survey of two files: the JSON keys and the options reaching the
// analysis (the figures' rules are tests/stats'). Their mistakes are test_cli's.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "level_records.h"
#include "program_run.h"

using namespace lp;
using test::recordFile;
using test::runCli;

namespace {

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

    // --every and --exclude reach the periods.
    void periods_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("excluded");
        QTest::addColumn<int>("records");
        QTest::newRow("all") << QStringList() << 0 << 5;
        QTest::newRow("excluded") << QStringList{"--exclude",
                                                 "2009-06-01T15:00:01/2009-06-01T15:00:03"}
                                  << 2 << 3;
    }
    void periods() {
        QFETCH(QStringList, options);
        const QJsonObject out = json(QStringList{"periods", "--every", "1min"} + options);
        QCOMPARE(keysOf(out), "excluded format interval_s left_out periods");
        QCOMPARE(out["format"].toInt(), 1);
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
        QCOMPARE(e["lmax"].toDouble(), 90.0);
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
        const QString text = test::runToEnd("pdftotext", {"-layout", pdf, "-"}).out;
        QVERIFY2(text.contains("81.4"), qPrintable(text));  // 15:00, excluded
        QVERIFY2(!text.contains("86.8"), qPrintable(text));
        QVERIFY2(text.contains("15:00:05"), qPrintable(text));  // the 85 dB event
    }
};

QTEST_GUILESS_MAIN(TestCliSurvey)
#include "test_cli_survey.moc"
