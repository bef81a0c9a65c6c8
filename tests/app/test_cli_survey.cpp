// levelpanel-cli's survey commands (periods, lden, events) run as whole processes on a
// survey of two files: the JSON keys, a figure of each worked out by hand, the options
// reaching the figures, and the exit status of mistakes and of a file that does not read.
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

QStringList keysOf(const QJsonValue& value) {
    QStringList keys = value.toObject().keys();
    keys.sort();
    return keys;
}

QStringList sorted(QStringList keys) {
    keys.sort();
    return keys;
}

}  // namespace

class TestCliSurvey : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QStringList files_;

    QJsonObject json(const QStringList& arguments) {
        const test::ProgramRun run =
            runCli(arguments + files_ + QStringList{QStringLiteral("--json")});
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
        files_ = {dir_.filePath(QStringLiteral("b.sdm")), dir_.filePath(QStringLiteral("a.sdm"))};
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
        QTest::addColumn<double>("coverage");
        // 15:00: 80, 90, 90, 50, 85 dB; excluded 15:00:01 up to 15:00:03: 80, 50, 85.
        QTest::newRow("all") << QStringList() << 0 << 5 << 86.8 << 0.083;
        QTest::newRow("excluded") << QStringList{QStringLiteral("--exclude"),
                                                 QStringLiteral(
                                                     "2009-06-01T15:00:01/2009-06-01T15:00:03")}
                                  << 2 << 3 << 81.4 << 0.05;
    }
    void periods() {
        QFETCH(QStringList, options);
        const QJsonObject out =
            json(QStringList{QStringLiteral("periods"), QStringLiteral("--every"),
                             QStringLiteral("1min")} +
                 options);
        QCOMPARE(keysOf(out), sorted({QStringLiteral("interval_s"), QStringLiteral("left_out"),
                                      QStringLiteral("excluded"), QStringLiteral("periods")}));
        QCOMPARE(out[QStringLiteral("interval_s")].toInt(), 1);
        QCOMPARE(out[QStringLiteral("left_out")].toInt(), 1);
        QTEST(out[QStringLiteral("excluded")].toInt(), "excluded");
        const QJsonArray periods = out[QStringLiteral("periods")].toArray();
        QCOMPARE(periods.size(), 2);
        QCOMPARE(keysOf(periods[1]),
                 sorted({QStringLiteral("start"), QStringLiteral("end"), QStringLiteral("records"),
                         QStringLiteral("coverage"), QStringLiteral("leq"), QStringLiteral("lmax"),
                         QStringLiteral("lmin"), QStringLiteral("l10"), QStringLiteral("l50"),
                         QStringLiteral("l90")}));
        const QJsonObject p = periods[1].toObject();
        QCOMPARE(p[QStringLiteral("start")].toString(), QStringLiteral("2009-06-01T15:00:00"));
        QCOMPARE(p[QStringLiteral("end")].toString(), QStringLiteral("2009-06-01T15:01:00"));
        QTEST(p[QStringLiteral("records")].toInt(), "records");
        QTEST(p[QStringLiteral("leq")].toDouble(), "leq");
        QTEST(p[QStringLiteral("coverage")].toDouble(), "coverage");
        // 14:59: 60 and 70 dB.
        QCOMPARE(periods[0][QStringLiteral("leq")].toDouble(), 67.4);
    }

    void periodsCsv() {
        const test::ProgramRun run =
            runCli(QStringList{QStringLiteral("periods"), QStringLiteral("--csv")} + files_);
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(u'\n');
        QCOMPARE(lines.size(), 4);  // the header, two hours, the end of the last line
        QCOMPARE(lines[0], QStringLiteral("start,end,records,coverage,leq,lmax,lmin,l10,l50,l90"));
        QVERIFY2(lines[2].startsWith(QStringLiteral(
                     "2009-06-01T15:00:00,2009-06-01T16:00:00,5,0.001,86.8,90.0,50.0,")),
                 qPrintable(lines[2]));
    }

    void lden_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("date");
        QTest::addColumn<double>("lday");
        QTest::addColumn<QJsonValue>("lnight");
        // Every record in the day from 7 h: no evening, so no Lden.
        QTest::newRow("07-19") << QStringList() << QStringLiteral("2009-06-01") << 85.4
                               << QJsonValue(QJsonValue::Null);
        // The day from 15 h: 14:59 is the night of the day before.
        QTest::newRow("15-19") << QStringList{QStringLiteral("--day"), QStringLiteral("15-19")}
                               << QStringLiteral("2009-05-31") << 86.8 << QJsonValue(67.4);
    }
    void lden() {
        QFETCH(QStringList, options);
        QFETCH(QString, date);
        const QJsonObject out = json(QStringList{QStringLiteral("lden")} + options);
        QCOMPARE(keysOf(out), sorted({QStringLiteral("days"), QStringLiteral("overall")}));
        const QStringList levels{QStringLiteral("lday"), QStringLiteral("levening"),
                                 QStringLiteral("lnight"), QStringLiteral("lden")};
        QCOMPARE(keysOf(out[QStringLiteral("overall")]), sorted(levels));
        const QJsonArray days = out[QStringLiteral("days")].toArray();
        QVERIFY(!days.isEmpty());
        QCOMPARE(keysOf(days[0]),
                 sorted(levels + QStringList{QStringLiteral("date"), QStringLiteral("coverage")}));
        QCOMPARE(
            keysOf(days[0][QStringLiteral("coverage")]),
            sorted({QStringLiteral("day"), QStringLiteral("evening"), QStringLiteral("night")}));
        QCOMPARE(days[0][QStringLiteral("date")].toString(), date);
        QTEST(days.last()[QStringLiteral("lday")].toDouble(), "lday");
        QTEST(days[0][QStringLiteral("lnight")], "lnight");
        QCOMPARE(days.last()[QStringLiteral("lden")], QJsonValue(QJsonValue::Null));
        QCOMPARE(out[QStringLiteral("overall")][QStringLiteral("levening")],
                 QJsonValue(QJsonValue::Null));
    }

    void events_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("count");
        // 80, 90, 90 from 15:00:00; 85 at 15:00:05, after the gap of the level left out.
        QTest::newRow("above 80") << QStringList() << 2;
        QTest::newRow("min 2 s") << QStringList{QStringLiteral("--min-duration"),
                                                QStringLiteral("2")}
                                 << 1;
    }
    void events() {
        QFETCH(QStringList, options);
        const QJsonObject out = json(
            QStringList{QStringLiteral("events"), QStringLiteral("--above"), QStringLiteral("80")} +
            options);
        QCOMPARE(keysOf(out), QStringList{QStringLiteral("events")});
        const QJsonArray events = out[QStringLiteral("events")].toArray();
        QTEST(int(events.size()), "count");
        QCOMPARE(keysOf(events[0]), sorted({QStringLiteral("start"), QStringLiteral("end"),
                                            QStringLiteral("duration_s"), QStringLiteral("lmax"),
                                            QStringLiteral("leq"), QStringLiteral("sel")}));
        const QJsonObject e = events[0].toObject();
        QCOMPARE(e[QStringLiteral("start")].toString(), QStringLiteral("2009-06-01T15:00:00"));
        QCOMPARE(e[QStringLiteral("end")].toString(), QStringLiteral("2009-06-01T15:00:03"));
        QCOMPARE(e[QStringLiteral("duration_s")].toInt(), 3);
        QCOMPARE(e[QStringLiteral("lmax")].toDouble(), 90.0);
        QCOMPARE(e[QStringLiteral("leq")].toDouble(), 88.5);
        QCOMPARE(e[QStringLiteral("sel")].toDouble(), 93.2);
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("every in seconds")
            << QStringList{QStringLiteral("periods"), QStringLiteral("--every"),
                           QStringLiteral("90s")}
            << QStringLiteral("--every");
        QTest::newRow("every not dividing a day")
            << QStringList{QStringLiteral("periods"), QStringLiteral("--every"),
                           QStringLiteral("7min")}
            << QStringLiteral("'7min'");
        QTest::newRow("exclude without TO")
            << QStringList{QStringLiteral("lden"), QStringLiteral("--exclude"),
                           QStringLiteral("2009-06-01T15:00:01")}
            << QStringLiteral("--exclude");
        QTest::newRow("exclude ending first")
            << QStringList{QStringLiteral("events"), QStringLiteral("--above"),
                           QStringLiteral("80"), QStringLiteral("--exclude"),
                           QStringLiteral("2009-06-01T15:00:03/2009-06-01T15:00:01")}
            << QStringLiteral("--exclude");
        QTest::newRow("events without a threshold")
            << QStringList{QStringLiteral("events")} << QStringLiteral("--above");
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
        const QString pdf = dir_.filePath(QStringLiteral("report.pdf"));
        const test::ProgramRun run =
            runCli(QStringList{QStringLiteral("report"), QStringLiteral("--pdf"), pdf,
                               QStringLiteral("--every"), QStringLiteral("1min"),
                               QStringLiteral("--above"), QStringLiteral("80"),
                               QStringLiteral("--exclude"),
                               QStringLiteral("2009-06-01T15:00:01/2009-06-01T15:00:03")} +
                   files_);
        QCOMPARE(run.status, 0);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished());
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("81.4")), qPrintable(text));  // 15:00, excluded
        QVERIFY2(!text.contains(QStringLiteral("86.8")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("15:00:05")), qPrintable(text));  // the 85 dB event
    }

    // A file that does not read stops the command with status 2, the file named.
    void unreadableFile() {
        const QString missing = dir_.filePath(QStringLiteral("missing.sdm"));
        const QList<QStringList> commands{{QStringLiteral("periods")},
                                          {QStringLiteral("lden")},
                                          {QStringLiteral("events"), QStringLiteral("--above=80")}};
        for (const QStringList& command : commands) {
            const test::ProgramRun run = runCli(command + QStringList{files_[0], missing});
            QCOMPARE(run.status, 2);
            QCOMPARE(run.out, QString());
            QVERIFY2(run.err.contains(missing), qPrintable(run.err));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliSurvey)
#include "test_cli_survey.moc"
