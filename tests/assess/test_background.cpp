// The background sound level against hand-worked cases: record files of a few
// intervals each, one record a minute, so that an interval of 15 records is covered
// whole and its LA90 is its level where all 15 read the same.
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "assess/background.h"
#include "cli/cli.h"
#include "cli_in_process.h"
#include "files.h"
#include "records/record_format.h"

using namespace lp::assess;

namespace {

const QString kStampFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

// `count` records a minute apart from `stamp` (UTC) on; record i reads levels[i], the
// last level from there on.
struct Run {
    QString stamp;
    QStringList levels;
    int count = 15;
};

QByteArray recordFile(const QList<Run>& runs) {
    QByteArray bytes = lp::records::kHeaderLine.toByteArray();
    int no = 0;
    for (const Run& run : runs) {
        QDateTime t = QDateTime::fromString(run.stamp, kStampFormat);
        t.setTimeZone(QTimeZone::utc());
        for (int i = 0; i < run.count; ++i) {
            const QString& level = run.levels[std::min<qsizetype>(i, run.levels.size() - 1)];
            lp::records::appendRecordLine(
                bytes, QByteArray::number(++no),
                t.addSecs(qint64(i) * 60).toString(kStampFormat).toLatin1(), level.toLatin1());
        }
    }
    return bytes;
}

QString figure(const std::optional<double>& value) {
    return value ? QString::number(*value, 'f', 2) : QStringLiteral("-");
}

// "used 5 skipped 0 | 38:2 39:2 | mode 38.00 median 38.46 p10 37.92 typical 38.00"
QString partText(const BackgroundPart& part) {
    QStringList bins;
    for (const auto& [decibels, count] : part.histogram) {
        bins << QStringLiteral("%1:%2").arg(decibels).arg(count);
    }
    return QStringLiteral("used %1 skipped %2 | %3 | mode %4 median %5 p10 %6 typical %7")
        .arg(part.intervalsUsed)
        .arg(part.intervalsSkipped)
        .arg(bins.join(u' '), figure(part.mode), figure(part.median), figure(part.p10),
             figure(part.typical));
}

}  // namespace

Q_DECLARE_METATYPE(Typical)

class TestBackground : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    int files_ = 0;

    QString written(const QList<Run>& runs) {
        const QString path = dir_.filePath(QStringLiteral("s%1.sdm").arg(++files_));
        if (!lp::test::writeFile(path, recordFile(runs))) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }
    // The survey of `runs`, read in UTC, all its records counted.
    lp::stats::SurveyRecords survey(const QList<Run>& runs) {
        return lp::stats::readSurvey({written(runs)}, QTimeZone::utc());
    }

private slots:
    // Five day intervals: 37.6 and 38.4 count in 38 dB; 38.5 (a half goes up) and 39.2 in
    // 39 dB; 40.8 in 41 dB. 38 and 39 tie, so the mode is 38. Median and p10 of the
    // unrounded values 37.6, 38.4, 38.5, 39.2, 40.8: the middle one, 38.5, and
    // 37.6 + 0.4 × (38.4 − 37.6) = 37.92. The night holds none.
    void histogram_data() {
        QTest::addColumn<Typical>("typical");
        QTest::addColumn<QString>("day");
        const QString figures =
            QStringLiteral("used 5 skipped 0 | 38:2 39:2 41:1 | mode 38.00 median 38.50 p10 37.92");
        QTest::newRow("mode") << Typical::Mode << figures + " typical 38.00";
        QTest::newRow("median") << Typical::Median << figures + " typical 38.50";
        QTest::newRow("p10") << Typical::P10 << figures + " typical 37.92";
    }
    void histogram() {
        QFETCH(Typical, typical);
        const auto records = survey({{"2026/06/01 10:00:00", {"38.5"}},
                                     {"2026/06/01 10:15:00", {"38.4"}},
                                     {"2026/06/01 10:30:00", {"39.2"}},
                                     {"2026/06/01 10:45:00", {"37.6"}},
                                     {"2026/06/01 11:00:00", {"40.8"}}});
        BackgroundOptions options;
        options.typical = typical;
        const BackgroundResult r = assessBackground({records, records.samples}, options);
        QCOMPARE(r.intervalSeconds, 900);
        QCOMPARE(r.parts.size(), size_t(2));
        QTEST(partText(r.parts[0]), "day");
        QCOMPARE(partText(r.parts[1]), "used 0 skipped 0 |  | mode - median - p10 - typical -");
        QVERIFY(!r.rbl);
    }

    // The histogram counts the value as shown: an LA90 of 38.46 (15 records 38.0, 38.3,
    // then 38.7: 38.3 + 0.4 × 0.4) is shown 38.5 and so counts in 39 dB, not 38; the
    // median keeps it unrounded.
    void histogramCountsTheShownValue() {
        const auto records = survey({{"2026/06/01 10:00:00", {"38.0", "38.3", "38.7"}}});
        const BackgroundResult r = assessBackground({records, records.samples}, {});
        QCOMPARE(partText(r.parts[0]),
                 "used 1 skipped 0 | 39:1 | mode 39.00 median 38.46 p10 38.46 typical 39.00");
    }

    // Coverage: 12 records of 15 minutes cover 0.8, 11 cover 0.73; the 10:30 interval
    // between them holds none. With --min-coverage 0.8 the first is used, the other two
    // skipped.
    void coverage() {
        const auto records = survey({{"2026/06/01 10:00:00", {"40.0"}, 12},
                                     {"2026/06/01 10:15:00", {"30.0"}, 11},
                                     {"2026/06/01 10:45:00", {"30.0"}, 11}});
        BackgroundOptions options;
        options.minCoverage = 0.8;
        const BackgroundResult r = assessBackground({records, records.samples}, options);
        QCOMPARE(partText(r.parts[0]),
                 "used 1 skipped 3 | 40:1 | mode 40.00 median 40.00 p10 40.00 typical 40.00");
    }

    // Two-hour intervals with day 07-23: the one of 06:00-08:00 starts in the night, the
    // one of 22:00-24:00 in the day; the seven from 08:00 to 20:00 hold no record.
    void partByStart() {
        const auto records = survey(
            {{"2026/06/01 06:00:00", {"35.0"}, 120}, {"2026/06/01 22:00:00", {"40.0"}, 120}});
        BackgroundOptions options;
        options.interval = 7200;
        const BackgroundResult r = assessBackground({records, records.samples}, options);
        QCOMPARE(partText(r.parts[0]),
                 "used 1 skipped 7 | 40:1 | mode 40.00 median 40.00 p10 40.00 typical 40.00");
        QCOMPARE(partText(r.parts[1]),
                 "used 1 skipped 0 | 35:1 | mode 35.00 median 35.00 p10 35.00 typical 35.00");
    }

    // ABL and RBL over three days, with hourly intervals asked for (the NSW figures take
    // 15 minutes whatever the interval). ABL = 10th percentile of a day's part:
    //   06-01 day 40 42 44 -> 40 + 0.2 × 2 = 40.4; evening 35 37 -> 35.2;
    //         night 23:00 30 and 06-02 02:00 28 -> 28.2 (the night of 06-01)
    //   06-02 day 45 -> 45; evening 36 34 38 -> 34.4; night 31, 06-03 01:00 33 -> 31.2
    //   06-03 day 41 43 (12:00 of 11 records skipped) -> 41.2; evening none;
    //         night 22:00 27 -> 27
    // RBL = median of the ABLs: day 40.4 45 41.2 -> 41.2; evening 35.2 34.4 -> 34.8;
    // night 28.2 31.2 27 -> 28.2.
    void ablAndRbl() {
        const auto records = survey({{"2026/06/01 10:00:00", {"40.0"}},
                                     {"2026/06/01 10:15:00", {"42.0"}},
                                     {"2026/06/01 10:30:00", {"44.0"}},
                                     {"2026/06/01 19:00:00", {"35.0"}},
                                     {"2026/06/01 19:15:00", {"37.0"}},
                                     {"2026/06/01 23:00:00", {"30.0"}},
                                     {"2026/06/02 02:00:00", {"28.0"}},
                                     {"2026/06/02 10:00:00", {"45.0"}},
                                     {"2026/06/02 20:00:00", {"36.0"}},
                                     {"2026/06/02 20:15:00", {"34.0"}},
                                     {"2026/06/02 20:30:00", {"38.0"}},
                                     {"2026/06/02 23:00:00", {"31.0"}},
                                     {"2026/06/03 01:00:00", {"33.0"}},
                                     {"2026/06/03 09:00:00", {"41.0"}},
                                     {"2026/06/03 09:15:00", {"43.0"}},
                                     {"2026/06/03 12:00:00", {"20.0"}, 11},
                                     {"2026/06/03 22:00:00", {"27.0"}}});
        BackgroundOptions options;
        options.interval = 3600;
        options.rbl = true;
        const BackgroundResult r = assessBackground({records, records.samples}, options);
        QVERIFY(r.rbl);
        QStringList parts;
        for (const DayPart& part : r.rbl->parts) {
            parts << QStringLiteral("%1 %2-%3").arg(part.name).arg(part.from).arg(part.to);
        }
        QCOMPARE(parts.join(u' '), "day 7-18 evening 18-22 night 22-7");
        QStringList days;
        for (const AblDay& day : r.rbl->days) {
            QStringList abl;
            for (const auto& value : day.abl) {
                abl << figure(value);
            }
            days << day.date.toString(Qt::ISODate) + ' ' + abl.join(u' ');
        }
        QCOMPARE(days, QStringList({"2026-06-01 40.40 35.20 28.20", "2026-06-02 45.00 34.40 31.20",
                                    "2026-06-03 41.20 - 27.00"}));
        QStringList rbl;
        for (const auto& value : r.rbl->rbl) {
            rbl << figure(value);
        }
        QCOMPARE(rbl.join(u' '), "41.20 34.80 28.20");
    }

    // The command's wiring: the JSON's keys and the day's histogram (as in histogram()
    // above; the hours are local, of a June day, whatever the zone), and a usage mistake.
    void command() {
        const QString path = written({{"2026/06/01 10:00:00", {"38.5"}},
                                      {"2026/06/01 10:15:00", {"38.4"}},
                                      {"2026/06/01 10:30:00", {"39.2"}},
                                      {"2026/06/01 10:45:00", {"37.6"}},
                                      {"2026/06/01 11:00:00", {"40.8"}}});
        const lp::test::ProgramRun run =
            lp::test::runCliHere({"assess", "background", path, "--json", "--weighting", "A"});
        QCOMPARE(run.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.keys(), QStringList({"adjust", "format", "interval_s", "manifest", "parts",
                                           "rbl", "response", "weighting"}));
        QCOMPARE(json["weighting"].toString(), "A");
        const QJsonObject day = json["parts"].toArray().at(0).toObject();
        QCOMPARE(day.keys(),
                 QStringList({"from", "histogram", "intervals_skipped", "intervals_used", "median",
                              "mode", "p10", "part", "to", "typical"}));
        QCOMPARE(QJsonDocument(day["histogram"].toObject()).toJson(QJsonDocument::Compact),
                 R"({"38":2,"39":2,"41":1})");
        QCOMPARE(day["mode"].toDouble(), 38.0);

        const lp::test::ProgramRun mistake = lp::test::runCliHere(
            {"assess", "background", path, "--day", "07-22", "--night", "23-07"});
        QCOMPARE(mistake.status, 1);
        QVERIFY2(mistake.err.contains("each begins where the other ends"), qPrintable(mistake.err));
    }
};

QTEST_GUILESS_MAIN(TestBackground)
#include "test_background.moc"
