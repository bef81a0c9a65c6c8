// The survey analysis against hand-computed cases (the events themselves: test_level_events).
#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "files.h"
#include "records/record_file_writer.h"
#include "records/record_format.h"
#include "records/run_metadata.h"
#include "stats/exceedance.h"
#include "stats/sample_store.h"
#include "stats/survey.h"

using namespace lp::stats;

namespace {

const QString kStampFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");
const QTimeZone kUtc = QTimeZone::utc();

// `count` records from `stamp` on, one every `step` seconds, all of `level`. A stamp
// that is no date is written as it is.
struct Run {
    QString stamp;
    int count = 1;
    int step = 0;
    QString level;
};
using Runs = QList<Run>;

qint64 instant(const QString& stamp, const QTimeZone& zone) {
    QDateTime t = QDateTime::fromString(stamp, kStampFormat);
    t.setTimeZone(zone);
    return t.toSecsSinceEpoch();
}

QByteArray recordFile(const Runs& runs, const QTimeZone& zone) {
    QByteArray bytes = lp::records::kHeaderLine.toByteArray();
    int no = 0;
    for (const Run& run : runs) {
        QDateTime t = QDateTime::fromString(run.stamp, kStampFormat);
        t.setTimeZone(zone);
        for (int i = 0; i < run.count; ++i) {
            const QString stamp =
                t.isValid() ? t.addSecs(qint64(i) * run.step).toString(kStampFormat) : run.stamp;
            lp::records::appendRecordLine(bytes, QByteArray::number(++no), stamp.toLatin1(),
                                          run.level.toLatin1());
        }
    }
    return bytes;
}

QString figure(const std::optional<double>& value, int decimals = 2) {
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("-");
}

// "10:15 5 0.33 70.00 70.0 70.0 70.0 70.0 70.0": start (local hh:mm), records, coverage,
// Leq, Lmax, Lmin, L10, L50, L90.
QString periodText(const SurveyPeriod& p, const QTimeZone& zone) {
    return QStringList{QDateTime::fromSecsSinceEpoch(p.start, zone).toString("HH:mm"),
                       QString::number(p.records),
                       figure(p.coverage),
                       figure(p.leq),
                       figure(p.lmax, 1),
                       figure(p.lmin, 1),
                       figure(p.l10, 1),
                       figure(p.l50, 1),
                       figure(p.l90, 1)}
        .join(u' ');
}

// "60.00 55.00 49.48 59.83 | 1.00 1.00 1.00": Lday, Levening, Lnight, Lden, then the
// three coverages.
QString dayText(const DayLevels& d) {
    return QStringList{figure(d.day.leq),          figure(d.evening.leq),
                       figure(d.night.leq),        figure(d.lden),
                       QStringLiteral("|"),        figure(d.day.coverage),
                       figure(d.evening.coverage), figure(d.night.coverage)}
        .join(u' ');
}

}  // namespace

Q_DECLARE_METATYPE(Runs)
Q_DECLARE_METATYPE(QList<Runs>)

class TestSurvey : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString write(const QString& name, const Runs& runs, const QTimeZone& zone) {
        const QString path = dir_.filePath(name);
        return lp::test::writeFile(path, recordFile(runs, zone)) ? path : QString();
    }
    QStringList periodTexts(const SurveyResult& r) {
        QStringList out;
        for (const SurveyPeriod& p : r.periods.list) {
            out << periodText(p, r.zone);
        }
        return out;
    }

private slots:
    void interval_data() {
        QTest::addColumn<QString>("times");
        QTest::addColumn<qint64>("interval");  // 0: none
        QTest::newRow("10 s with jitter") << "0 10 20 29 40 50 61 70" << qint64(10);
        QTest::newRow("a tie takes the shorter") << "0 2 4 5 6" << qint64(1);
        QTest::newRow("hourly") << "0 7200 14400 14401" << qint64(7200);
        QTest::newRow("one record") << "5" << qint64(0);
        QTest::newRow("one stamp") << "5 5 5" << qint64(0);
    }
    void interval() {
        QFETCH(QString, times);
        std::vector<LevelSample> s;
        for (const QString& t : times.split(u' ')) {
            s.push_back(levelSample(t.toLongLong(), 50.0));
        }
        QTEST(samplingInterval(s).value_or(0), "interval");
    }

    // L0, L1, L10, L50, L90 and L100: the levels exceeded for N % of the time, worked
    // out with Python's statistics.quantiles(method="inclusive") (linear interpolation,
    // as numpy and PERCENTILE.INC), the highest and lowest level for L0 and L100.
    void exceeded_data() {
        QTest::addColumn<QList<double>>("levels");
        QTest::addColumn<QString>("ln");
        QTest::newRow("one loud record in a hundred")
            << (QList<double>(99, 60.0) << 90.0) << "90.000 60.300 60.000 60.000 60.000 60.000";
        QTest::newRow("between ordered levels")
            << QList<double>{50.0, 60.0, 70.0, 80.0} << "80.000 79.700 77.000 65.000 53.000 50.000";
        QTest::newRow("in no order")
            << QList<double>{70.0, 50.0, 60.0} << "70.000 69.800 68.000 60.000 52.000 50.000";
        // Three levels of one 0.1 dB class, in no order.
        QTest::newRow("levels of two decimals") << QList<double>{65.34, 65.26, 65.30, 40.0}
                                                << "65.340 65.339 65.328 65.280 47.578 40.000";
        QTest::newRow("one level")
            << QList<double>{55.5} << "55.500 55.500 55.500 55.500 55.500 55.500";
    }
    void exceeded() {
        QFETCH(QList<double>, levels);
        std::vector<LevelSample> samples;
        ExceedanceLevels order;
        order.add(99.9);  // added and cleared again: no trace of it stays
        order.clear();
        for (const double level : levels) {
            samples.push_back(levelSample(0, level));
            order.add(level);
        }
        const int percents[] = {0, 1, 10, 50, 90, 100};
        QStringList texts;
        for (const double level : order.exceeded(percents, samples)) {
            texts << QString::number(level, 'f', 3);
        }
        QTEST(texts.join(u' '), "ln");
    }

    // The wall clock of an instant, worked out from its day's midnight, is the one the
    // zone gives, also through the changes to and from summer time (and Lord Howe's
    // half hour) and in a zone without any.
    void wallClock() {
        for (const char* name :
             {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "Asia/Kolkata", "UTC"}) {
            const QTimeZone zone(name);
            QVERIFY(zone.isValid());
            const LocalDays days(zone);
            const qint64 from = instant("2026/01/01 00:00:00", zone);
            for (qint64 t = from; t < from + 366 * kSecondsPerDay; t += 1199) {
                const LocalStamp wall = days.wallClockAt(t);
                const QDateTime shown = QDateTime::fromSecsSinceEpoch(t, zone);
                QCOMPARE(QDate::fromJulianDay(wall.julianDay), shown.date());
                QCOMPARE(wall.secondOfDay, shown.time().msecsSinceStartOfDay() / 1000);
            }
        }
    }

    void optionsProblem_data() {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<DayPartHours>("hours");
        QTest::addColumn<qint64>("exclusionLength");
        QTest::addColumn<qint64>("bridge");
        QTest::addColumn<bool>("problem");
        const auto row = [](const char* name, qint64 length, DayPartHours hours, qint64 exclusion,
                            qint64 bridge, bool problem) {
            QTest::newRow(name) << length << hours << exclusion << bridge << problem;
        };
        const DayPartHours usual;
        row("usual", 3600, usual, 60, 0, false);
        row("15 min and 24 h", 900, DayPartHours{0, 12, 24}, 1, 5, false);
        row("7 min", 420, usual, 60, 0, true);
        row("30 s", 30, usual, 60, 0, true);
        row("2 days", 172800, usual, 60, 0, true);
        row("evening before day", 3600, DayPartHours{19, 7, 23}, 60, 0, true);
        row("no evening", 3600, DayPartHours{7, 19, 19}, 60, 0, true);
        row("night after 24 h", 3600, DayPartHours{7, 19, 25}, 60, 0, true);
        row("penalties 0 and 20 dB", 3600, DayPartHours{7, 19, 23, 0.0, 20.0}, 60, 0, false);
        row("evening penalty 20.1 dB", 3600, DayPartHours{7, 19, 23, 20.1, 10.0}, 60, 0, true);
        row("night penalty 100000 dB", 3600, DayPartHours{7, 19, 23, 5.0, 1e5}, 60, 0, true);
        row("negative penalty", 3600, DayPartHours{7, 19, 23, -0.5, 10.0}, 60, 0, true);
        row("penalty no number", 3600, DayPartHours{7, 19, 23, 5.0, std::nan("")}, 60, 0, true);
        row("empty exclusion", 3600, usual, 0, 0, true);
        row("negative bridge", 3600, usual, 60, -1, true);
    }
    void optionsProblem() {
        QFETCH(qint64, length);
        QFETCH(DayPartHours, hours);
        QFETCH(qint64, exclusionLength);
        QFETCH(qint64, bridge);
        SurveyOptions options{
            length, hours, EventRule{70.0, 0, bridge}, {{100, 100 + exclusionLength}}};
        QTEST(surveyOptionsProblem(options).has_value(), "problem");
    }

    void periods_data() {
        QTest::addColumn<Runs>("runs");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QStringList>("exclusions");  // "from|to", both local stamps
        QTest::addColumn<QStringList>("periods");
        QTest::addColumn<QString>("counts");  // records undated leftOut excluded counted
        // S = 60 s. The first period is full; the second holds 5 of 15 minutes (of the
        // three records at 10:19:30 the first, without a level, is read, the others are
        // conflicting); the third is empty; the fourth holds one record.
        QTest::newRow("coverage, a gap, one record")
            << Runs{{"2026/06/01 10:00:00", 5, 60, "40.0"}, {"2026/06/01 10:05:00", 5, 60, "50.0"},
                    {"2026/06/01 10:10:00", 5, 60, "60.0"}, {"2026/06/01 10:15:00", 5, 60, "70.0"},
                    {"2026/06/01 10:19:30", 1, 0, "*"},     {"2026/06/01 10:19:30", 1, 0, "L"},
                    {"2026/06/01 10:19:30", 1, 0, "145.0"}, {"2026/06/01 10:19:6x", 1, 0, "50.0"},
                    {"2026/02/30 10:20:00", 1, 0, "50.0"},  {"2026/06/01 10:50:00", 1, 0, "45.5"}}
            << qint64(900) << QStringList{}
            << QStringList{"10:00 15 1.00 55.68 60.0 40.0 60.0 50.0 40.0",
                           "10:15 5 0.33 70.00 70.0 70.0 70.0 70.0 70.0",
                           "10:30 0 0.00 - - - - - -",
                           "10:45 1 0.07 45.50 45.5 45.5 45.5 45.5 45.5"}
            << "26 2 1 0 21";
        // Two overlapping exclusions given out of order make [10:50, 11:10): 10 records
        // on either side of 11:00 are left out, the one at 11:10 stays.
        QTest::newRow("an exclusion over a period edge")
            << Runs{{"2026/06/01 10:00:00", 60, 60, "50.0"},
                    {"2026/06/01 11:00:00", 60, 60, "60.0"}}
            << qint64(3600)
            << QStringList{"2026/06/01 10:55:00|2026/06/01 11:10:00",
                           "2026/06/01 10:50:00|2026/06/01 11:00:00"}
            << QStringList{"10:00 50 0.83 50.00 50.0 50.0 50.0 50.0 50.0",
                           "11:00 50 0.83 60.00 60.0 60.0 60.0 60.0 60.0"}
            << "120 0 0 20 100";
        // A record without a level in an exclusion is excluded, not left out: of the
        // three "*" records, the two inside [10:00:08, 10:00:12) are excluded.
        QTest::newRow("no level inside an exclusion")
            << Runs{{"2026/06/01 10:00:00", 10, 1, "50.0"}, {"2026/06/01 10:00:10", 3, 1, "*"}}
            << qint64(3600) << QStringList{"2026/06/01 10:00:08|2026/06/01 10:00:12"}
            << QStringList{"10:00 8 0.00 50.00 50.0 50.0 50.0 50.0 50.0"} << "13 0 1 4 8";
    }
    void periods() {
        QFETCH(Runs, runs);
        QFETCH(QStringList, exclusions);
        SurveyOptions options;
        QFETCH(qint64, length);
        options.periodLength = length;
        for (const QString& range : exclusions) {
            const QStringList ends = range.split(u'|');
            options.exclusions.push_back({instant(ends[0], kUtc), instant(ends[1], kUtc)});
        }
        const SurveyResult r = analyseSurvey({write("periods.sdm", runs, kUtc)}, options, kUtc);
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        QTEST(periodTexts(r), "periods");
        QTEST(QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(r.records)
                  .arg(r.undated)
                  .arg(r.leftOut)
                  .arg(r.excluded)
                  .arg(r.counted),
              "counts");
    }

    // A level correction moves every figure by exactly itself: 50.0 and 60.0 dB make
    // Leq 10 lg((10^5 + 10^6) / 2) = 57.40 dB, Lmax 60.0, Lmin 50.0; the reading under
    // the range ("-") stays under it, out of those three.
    void adjust_data() {
        QTest::addColumn<double>("adjust");
        QTest::addColumn<QString>("period");
        QTest::newRow("none") << 0.0 << "10:00 3 0.05 57.40 60.0 50.0";
        QTest::newRow("-3 dB, a facade") << -3.0 << "10:00 3 0.05 54.40 57.0 47.0";
        QTest::newRow("+2.5 dB") << 2.5 << "10:00 3 0.05 59.90 62.5 52.5";
    }
    void adjust() {
        SurveyOptions options;
        QFETCH(double, adjust);
        options.adjust = adjust;
        const SurveyResult r = analyseSurvey({write("adjust.sdm",
                                                    {{"2026/06/01 10:00:00", 1, 0, "50.0"},
                                                     {"2026/06/01 10:01:00", 1, 0, "60.0"},
                                                     {"2026/06/01 10:02:00", 1, 0, "-"}},
                                                    kUtc)},
                                             options, kUtc);
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        QCOMPARE(r.periods.list.size(), size_t(1));
        QTEST(periodText(r.periods.list.front(), kUtc).section(u' ', 0, 5), "period");
        QCOMPARE(r.periods.list.front().outOfRange.under, qint64(1));
    }

    // "-", "L" and 145 dB up count as records of 25 and 145 dB in the coverage, the
    // percentiles and the events, as the Ln tally classes them, but stay out of Leq,
    // Lmax and Lmin; each period, part of a day and event says how many it holds.
    // S = 1 s, periods of 1 min; events at or above 80 dB.
    void outOfRange_data() {
        QTest::addColumn<Runs>("runs");
        // records over/under coverage Leq Lmax Lmin L10 L90 of the period
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("day");     // records over/under Leq of the day part
        QTest::addColumn<QString>("events");  // start-end (s after 10:00) records over/under
                                              // Lmax Leq SEL
        QTest::newRow("under range")
            << Runs{{"2026/06/01 10:00:00", 5, 1, "-"}, {"2026/06/01 10:00:05", 5, 1, "60.0"}}
            << "10 0/5 0.167 60.00 60.0 60.0 60.0 25.0"
            << "10 0/5 60.00"
            << "";
        // The event's Leq of 85 and 86: 10 lg((10^8.5 + 10^8.6)/2) = 85.53; SEL + 10 lg 4 s.
        // In order 70, 85, 86, 145, 145: L90 at 0.1 × 4 = 0.4 of the way from 70 to 85.
        QTest::newRow("over range in an event") << Runs{{"2026/06/01 10:00:00", 1, 0, "85.0"},
                                                        {"2026/06/01 10:00:01", 1, 0, "L"},
                                                        {"2026/06/01 10:00:02", 1, 0, "86.0"},
                                                        {"2026/06/01 10:00:03", 1, 0, "150.0"},
                                                        {"2026/06/01 10:00:04", 1, 0, "70.0"}}
                                                << "5 2/0 0.083 83.83 86.0 70.0 145.0 76.0"
                                                << "5 2/0 83.83"
                                                << "0-4 4 2/0 86.0 85.53 91.55";
        QTest::newRow("nothing but over range")
            << Runs{{"2026/06/01 10:00:00", 3, 1, "L 150.0"}} << "3 3/0 0.050 - - - 145.0 145.0"
            << "3 3/0 -"
            << "0-3 3 3/0 - - -";
    }
    void outOfRange() {
        QFETCH(Runs, runs);
        SurveyOptions options;
        options.periodLength = 60;
        options.events = EventRule{80.0, 0, 0};
        const SurveyResult r = analyseSurvey({write("range.sdm", runs, kUtc)}, options, kUtc);
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        const auto counts = [](qint64 records, const OutOfRange& o) {
            return QStringLiteral("%1 %2/%3").arg(records).arg(o.over).arg(o.under);
        };
        QCOMPARE(r.periods.list.size(), size_t(1));
        const SurveyPeriod& p = r.periods.list[0];
        QTEST(
            QStringList({counts(p.records, p.outOfRange), figure(p.coverage, 3), figure(p.leq),
                         figure(p.lmax, 1), figure(p.lmin, 1), figure(p.l10, 1), figure(p.l90, 1)})
                .join(u' '),
            "period");
        const PartLevel& day = r.den.days.at(0).day;
        QTEST(counts(day.records, day.outOfRange) + u' ' + figure(day.leq), "day");
        QStringList events;
        const qint64 from = instant("2026/06/01 10:00:00", kUtc);
        for (const LevelEvent& e : r.events) {
            events << QStringLiteral("%1-%2 ").arg(e.start - from).arg(e.end - from) +
                          counts(e.records, e.outOfRange) + u' ' +
                          QStringList({figure(e.lmax, 1), figure(e.leq), figure(e.sel)}).join(u' ');
        }
        QTEST(events.join(QStringLiteral("; ")), "events");
    }

    // One record counts per instant, the first in the survey's order (files by their
    // first record); a later one is repeated (the same level) or conflicting.
    void repeats_data() {
        QTest::addColumn<QList<Runs>>("files");
        QTest::addColumn<QString>("counts");  // records repeated conflicting leftOut counted
        QTest::addColumn<QString>("hour");    // records coverage Leq Lmax Lmin of 10:00
        const Runs minute{{"2026/06/01 10:00:00", 60, 1, "50.0"}};
        QTest::newRow("a file twice") << QList<Runs>{minute, minute} << "120 60 0 0 60"
                                      << "60 0.017 50.00 50.0 50.0";
        // Daily files that overlap by 5 s, one of them with another level there.
        QTest::newRow("files overlapping") << QList<Runs>{{{"2026/06/01 10:00:00", 10, 1, "50.0"}},
                                                          {{"2026/06/01 10:00:05", 5, 1, "50.0"},
                                                           {"2026/06/01 10:00:10", 1, 0, "60.0"}},
                                                          {{"2026/06/01 10:00:08", 3, 1, "70.0"}}}
                                           << "19 5 3 0 11"
                                           << "11 0.003 52.60 60.0 50.0";
        // The file given second begins earlier, so its levels count: 70 at 10:00:01
        // (Lmax), not the first file's 50. Within a file the first of a stamp counts.
        QTest::newRow("the earlier file wins")
            << QList<Runs>{{{"2026/06/01 10:00:00", 3, 1, "50.0"}},
                           {{"2026/06/01 09:59:59", 1, 0, "*"},
                            {"2026/06/01 10:00:01", 1, 0, "70.0"},
                            {"2026/06/01 10:00:02", 1, 0, "50.0"},
                            {"2026/06/01 10:00:02", 1, 0, "55.0"},
                            {"2026/06/01 10:00:03", 1, 0, "*"},
                            {"2026/06/01 10:00:03", 1, 0, "*"}}}
            << "9 2 2 2 3"
            << "3 0.001 65.31 70.0 50.0";
        // Read one file at a time: the second follows the first.
        QTest::newRow("daily files in turn") << QList<Runs>{{{"2026/06/01 10:00:00", 3, 1, "50.0"},
                                                             {"2026/06/01 10:00:03", 1, 0, "*"}},
                                                            {{"2026/06/01 10:00:04", 2, 1, "60.0"}}}
                                             << "6 0 0 1 5"
                                             << "5 0.001 56.63 60.0 50.0";
    }
    void repeats() {
        QFETCH(QList<Runs>, files);
        QStringList paths;
        for (const Runs& runs : files) {
            paths << write(QStringLiteral("r%1.sdm").arg(paths.size()), runs, kUtc);
        }
        checkRepeats(analyseSurvey(paths, SurveyOptions{}, kUtc));
    }
    // The same records held compactly give the same figures.
    void repeatsCompact_data() { repeats_data(); }
    void repeatsCompact() {
        QFETCH(QList<Runs>, files);
        QStringList paths;
        for (const Runs& runs : files) {
            paths << write(QStringLiteral("c%1.sdm").arg(paths.size()), runs, kUtc);
        }
        const SurveyRecords read = readSurvey(paths, kUtc, SampleForm::Compact);
        QVERIFY(read.samples.empty());
        checkRepeats(analyseSurvey(read, SurveyOptions{}));
    }
    void checkRepeats(const SurveyResult& r) {
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        QTEST(QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(r.records)
                  .arg(r.repeated)
                  .arg(r.conflicting)
                  .arg(r.leftOut)
                  .arg(r.counted),
              "counts");
        const SurveyPeriod& p = r.periods.list.back();
        QTEST(QStringList({QString::number(p.records), figure(p.coverage, 3), figure(p.leq),
                           figure(p.lmax, 1), figure(p.lmin, 1)})
                  .join(u' '),
              "hour");
    }

    void dayParts_data() {
        QTest::addColumn<Runs>("runs");
        QTest::addColumn<DayPartHours>("hours");
        QTest::addColumn<QStringList>("days");  // date, then dayText
        QTest::addColumn<QString>("overall");
        // Hourly records. The night of June 1 runs across midnight into June 2: one
        // record at 40 before it, seven at 50 after. June 2 has no evening, so no Lden.
        QTest::newRow("a night across midnight, a day without evening")
            << Runs{{"2026/06/01 07:00:00", 12, 3600, "60.0"},
                    {"2026/06/01 19:00:00", 4, 3600, "55.0"},
                    {"2026/06/01 23:00:00", 1, 0, "40.0"},
                    {"2026/06/02 00:00:00", 7, 3600, "50.0"},
                    {"2026/06/02 07:00:00", 12, 3600, "60.0"},
                    {"2026/06/02 23:00:00", 8, 3600, "50.0"}}
            << DayPartHours{}
            << QStringList{"2026-06-01 60.00 55.00 49.48 59.83 | 1.00 1.00 1.00",
                           "2026-06-02 60.00 - 50.00 - | 1.00 0.00 1.00"}
            << "60.00 55.00 49.75 59.92 | 1.00 0.50 1.00";
        // The same levels from 13:00 on June 1 to 10:00 on June 2: coverage counts only
        // the time from the first record to the end of the last (11:00), so the parts
        // it cuts are whole, and June 2's evening and night lie outside it.
        QTest::newRow("a survey beginning and ending within a part")
            << Runs{{"2026/06/01 13:00:00", 6, 3600, "60.0"},
                    {"2026/06/01 19:00:00", 4, 3600, "55.0"},
                    {"2026/06/01 23:00:00", 1, 0, "40.0"},
                    {"2026/06/02 00:00:00", 7, 3600, "50.0"},
                    {"2026/06/02 07:00:00", 4, 3600, "60.0"}}
            << DayPartHours{}
            << QStringList{"2026-06-01 60.00 55.00 49.48 59.83 | 1.00 1.00 1.00",
                           "2026-06-02 60.00 - - - | 1.00 - -"}
            << "60.00 55.00 49.48 59.83 | 1.00 1.00 1.00";
        // Day 06-20 h, evening 20-23 h, night 23-06 h weigh 14, 3 and 7; penalties 3 and 8 dB.
        QTest::newRow("other hours and penalties")
            << Runs{{"2026/06/01 06:00:00", 14, 3600, "60.0"},
                    {"2026/06/01 20:00:00", 3, 3600, "55.0"},
                    {"2026/06/01 23:00:00", 7, 3600, "50.0"}}
            << DayPartHours{6, 20, 23, 3.0, 8.0}
            << QStringList{"2026-06-01 60.00 55.00 50.00 59.27 | 1.00 1.00 1.00"}
            << "60.00 55.00 50.00 59.27 | 1.00 1.00 1.00";
    }
    void dayParts() {
        QFETCH(Runs, runs);
        SurveyOptions options;
        QFETCH(DayPartHours, hours);
        options.dayParts = hours;
        // The night's records go in a file of their own day, as a daily rotation writes.
        Runs first;
        Runs second;
        for (const Run& run : runs) {
            (run.stamp.startsWith("2026/06/01") ? first : second) << run;
        }
        const SurveyResult r = analyseSurvey(
            {write("day1.sdm", first, kUtc), write("day2.sdm", second, kUtc)}, options, kUtc);
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        QStringList days;
        for (const DayLevels& d : r.den.days) {
            days << d.date.toString(Qt::ISODate) + u' ' + dayText(d);
        }
        QTEST(days, "days");
        QTEST(dayText(r.den.overall), "overall");
    }

    // Three files given latest first, two of them interleaved: one stream in time
    // order, S = 1 s, and one event across midnight and the file boundary.
    void filesInAnyOrder() {
        const QString a = write("a.sdm", {{"2026/06/01 23:59:55", 3, 2, "80.0"}}, kUtc);
        const QString c = write("c.sdm", {{"2026/06/01 23:59:56", 2, 2, "80.0"}}, kUtc);
        const QString b = write(
            "b.sdm", {{"2026/06/02 00:00:00", 3, 1, "80.0"}, {"2026/06/02 00:00:03", 2, 1, "60.0"}},
            kUtc);
        SurveyOptions options;
        options.events = EventRule{70.0, 0, 0};
        const SurveyResult r = analyseSurvey({b, c, a}, options, kUtc);
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        QCOMPARE(r.interval, qint64(1));
        QCOMPARE(periodTexts(r), QStringList({"23:00 5 0.00 80.00 80.0 80.0 80.0 80.0 80.0",
                                              "00:00 5 0.00 77.81 80.0 60.0 80.0 80.0 60.0"}));
        QCOMPARE(r.events.size(), size_t(1));
        QCOMPARE(r.events[0].start, instant("2026/06/01 23:59:55", kUtc));
        QCOMPARE(r.events[0].duration, 8);
        QCOMPARE(r.events[0].records, 8);
    }

    // A recording straight through the change to and from summer time, every 10
    // minutes. A period begins where the wall clock shows its multiple: none at the
    // skipped 02:00, two at the repeated one. The night before counts from the first
    // record at 00:00: its 6 or 8 hours to 07:00 hold records throughout (counted in
    // wall-clock hours the 6 would be 7).
    void summerTimeDays_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("records");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("periods");  // local start hour / records
        QTest::addColumn<QString>("nightCoverage");
        QTest::newRow("clocks forward, hourly")
            << "2026/03/29" << 138 << qint64(3600)
            << "00/6 01/6 03/6 04/6 05/6 06/6 07/6 08/6 09/6 10/6 11/6 12/6 "
               "13/6 14/6 15/6 16/6 17/6 18/6 19/6 20/6 21/6 22/6 23/6"
            << "1.00";
        QTest::newRow("clocks forward, two-hourly")
            << "2026/03/29" << 138 << qint64(7200)
            << "00/18 04/12 06/12 08/12 10/12 12/12 14/12 16/12 18/12 20/12 22/12"
            << "1.00";
        QTest::newRow("clocks back, hourly")
            << "2026/10/25" << 150 << qint64(3600)
            << "00/6 01/6 02/6 02/6 03/6 04/6 05/6 06/6 07/6 08/6 09/6 10/6 "
               "11/6 12/6 13/6 14/6 15/6 16/6 17/6 18/6 19/6 20/6 21/6 22/6 23/6"
            << "1.00";
        QTest::newRow("clocks back, daily") << "2026/10/25" << 150 << qint64(86400) << "00/150"
                                            << "1.00";
    }
    void summerTimeDays() {
        QFETCH(QString, date);
        QFETCH(int, records);
        QFETCH(qint64, length);
        const QTimeZone berlin("Europe/Berlin");
        QVERIFY(berlin.isValid());
        const QString file = write("dst.sdm", {{date + " 00:00:00", records, 600, "50.0"}}, berlin);
        SurveyOptions options;
        options.periodLength = length;
        const SurveyResult r = analyseSurvey({file}, options, berlin);
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        QStringList periods;
        for (const SurveyPeriod& p : r.periods.list) {
            periods << QDateTime::fromSecsSinceEpoch(p.start, berlin).toString("HH") + u'/' +
                           QString::number(p.records);
        }
        QTEST(periods.join(u' '), "periods");
        QCOMPARE(r.periods.list.back().end, instant(date + " 00:00:00", berlin) + records * 600);
        QTEST(figure(r.den.days.front().night.coverage), "nightCoverage");
    }

    // Records further apart than kMostSurveyDays make no survey: the one dated wrong is
    // named by its file and line (the header is line 1); records spread evenly over
    // too long a time are named by their span. Each file is a list of runs.
    void misdated_data() {
        QTest::addColumn<QList<Runs>>("files");
        QTest::addColumn<QString>("failure");  // FILE0, FILE1: the files' paths; empty: read
        const QString most = QStringLiteral(": a survey spans at most 1000 days; ");
        QTest::newRow("a digit flipped to a later century")
            << QList<Runs>{{{"2009/06/01 14:00:00", 1, 0, "50.0"},
                            {"2909/06/01 14:00:01", 1, 0, "50.0"},
                            {"2009/06/01 14:00:02", 1, 0, "50.0"}}}
            << "Line 3 of FILE0 is dated 2909-06-01, 900 years after the record before it" + most +
                   "correct the date or leave the file out.";
        QTest::newRow("the first record in year 1")
            << QList<Runs>{{{"0001/01/01 00:00:00", 1, 0, "50.0"},
                            {"2009/06/01 14:00:00", 2, 1, "50.0"}}}
            << "Line 2 of FILE0 is dated 0001-01-01, 2008 years before the record after it" + most +
                   "correct the date or leave the file out.";
        QTest::newRow("a whole file a century on")
            << QList<Runs>{{{"2009/06/01 14:00:00", 2, 1, "50.0"}},
                           {{"2109/06/01 14:00:00", 1, 0, "50.0"}}}
            << "Line 2 of FILE1 is dated 2109-06-01, 100 years after the other records" + most +
                   "correct the date or leave the file out.";
        QTest::newRow("evenly over 1001 days")
            << QList<Runs>{{{"2009/01/01 00:00:00", 1, 0, "50.0"},
                            {"2009/12/01 00:00:00", 1, 0, "50.0"},
                            {"2010/11/01 00:00:00", 1, 0, "50.0"},
                            {"2011/09/29 00:00:00", 1, 0, "50.0"}}}
            << "The records span 1001 days, from 2009-01-01 to 2011-09-29" + most +
                   "leave some files out.";
        QTest::newRow("1000 days apart") << QList<Runs>{{{"2009/01/01 00:00:00", 1, 0, "50.0"},
                                                         {"2011/09/28 00:00:00", 1, 0, "50.0"}}}
                                         << QString();
    }
    void misdated() {
        QFETCH(QList<Runs>, files);
        QStringList paths;
        for (const Runs& runs : files) {
            paths << write(QStringLiteral("misdated%1.sdm").arg(paths.size()), runs, kUtc);
        }
        const SurveyRecords read = readSurvey(paths, kUtc);
        QFETCH(QString, failure);
        QCOMPARE(read.error ? surveyReadFailureText(*read.error, read.misdated) : QString(),
                 failure.replace("FILE0", paths.value(0)).replace("FILE1", paths.value(1)));
        // What the survey spans is worked out in no time: 1001 days.
        QCOMPARE(analyseSurvey(read, SurveyOptions{}).den.days.size(),
                 size_t(failure.isEmpty() ? 1001 : 0));
    }

    // Records held in memory (a downloaded set) make the survey the file a save of them
    // makes, its metadata beside it: the records out of order, repeated, in conflict,
    // undated, without a level and below the range; a later run, and a state that
    // changes in it, found on the lines the saved file gives them.
    void heldRecordsAsTheirSavedFile() {
        auto store = std::make_shared<lp::records::RecordStore>();
        const auto add = [&store](const char* no, const char* stamp, const char* level) {
            QVERIFY(
                store->append(QByteArrayView(no), QByteArrayView(stamp), QByteArrayView(level)));
        };
        add("1", "2026/06/01 10:00:00", "50.0");  // line 2 (the header is line 1)
        add("2", "2026/06/01 10:00:02", "60.0");
        add("3", "2026/06/01 10:00:01", "-");
        add("4", "2026/06/01 10:00:02", "60.0");  // repeated
        store->startRun();                        // its header on line 6
        add("5", "2026/06/01 10:00:03", "*");
        add("6", "----/--/-- --:--:--", "55.0");
        add("7", "2026/06/01 10:00:02", "70.0");  // in conflict
        add("8", "2026/06/01 10:00:04", "70.0");  // line 10
        const QByteArray metadata =
            R"({"run": 1, "header_line": 1, "weighting": "A", "response": "F"})"
            "\n"
            R"({"run": 2, "header_line": 6, "weighting": "C", "response": "F"})"
            "\n"
            R"({"line": 10, "weighting": "C", "response": "S"})"
            "\n";
        const QString path = dir_.filePath(QStringLiteral("held.sdm"));
        QVERIFY(!lp::records::saveRecordFile(path, *store));
        QVERIFY(!lp::records::replaceMetadataFile(path, metadata));

        SurveyOptions options;
        options.events = EventRule{65.0, 0, 0};
        const auto figures = [&](const SurveyRecords& read) {
            const SurveyResult r = analyseSurvey(read, options);
            QStringList out{QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 S %9")
                                .arg(r.records)
                                .arg(r.undated)
                                .arg(r.leftOut)
                                .arg(r.repeated)
                                .arg(r.conflicting)
                                .arg(r.counted)
                                .arg(r.first.value_or(0) % 86400)
                                .arg(r.last.value_or(0) % 86400)
                                .arg(r.interval.value_or(0)),
                            r.mixedStates.value_or(QStringLiteral("one state"))};
            out << periodTexts(r) << dayText(r.den.overall);
            for (const LevelEvent& e : r.events) {
                out << QStringLiteral("event %1-%2").arg(e.start % 86400).arg(e.end % 86400);
            }
            return out;
        };
        const QStringList held =
            figures(readHeldSurvey(store, path, lp::records::parseRecordMetadata(metadata), kUtc));
        QCOMPARE(held, figures(readSurvey({path}, kUtc)));
        // Counted by hand: 8 records, one undated, "*" left out, one repeated and one in
        // conflict at 10:00:02; 10:00:00 to 10:00:04, one a second; one loud second.
        QCOMPARE(held.front(), QStringLiteral("8 1 1 1 1 4 36000 36004 S 1"));
        QVERIFY(held.at(1).contains(QStringLiteral("C weighting")));
        QCOMPARE(held.last(), QStringLiteral("event 36004-36005"));
    }

    void readFailure_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: no such file
        QTest::addColumn<QString>("failure");   // %1 is the file
        QTest::newRow("a line without fields")
            << QByteArray("No.s\tDate Time\tdB\t\r\n1\t2026/06/01 10:00:00\t50.0\t\r\n2\tbad\r\n")
            << "Reading %1 stopped at line 3: a record line needs a TAB after each of its three "
               "fields, and this line has only one.";
        QTest::newRow("no such file") << QByteArray()
                                      << "%1 cannot be read: the file cannot be opened (No such "
                                         "file or directory).";
    }
    void readFailure() {
        QFETCH(QByteArray, bytes);
        const QString good = write("good.sdm", {{"2026/06/01 09:00:00", 3, 1, "50.0"}}, kUtc);
        const QString bad = dir_.filePath(bytes.isEmpty() ? "missing.sdm" : "bad.sdm");
        QVERIFY(bytes.isEmpty() || lp::test::writeFile(bad, bytes));
        const SurveyResult r = analyseSurvey({good, bad}, SurveyOptions{}, kUtc);
        QFETCH(QString, failure);
        QCOMPARE(r.failure.value_or(QString()), failure.arg(bad));
        QVERIFY(r.periods.list.empty());
    }

    // The store gives back each sample as it was given: a level in tenths exactly
    // (65.3, 145.0, 0.0), any other whole (65.35 stays 65.35, 3276.8 is past 16 bits),
    // the readings out of range and the records without a level (kept only when asked).
    void storeHoldsExactly() {
        const double noLevel = std::nan("");
        const QList<LevelSample> given{
            levelSample(0, 65.3),  levelSample(1, 65.35),  levelSample(2, 0.0),
            underRangeSample(3),   overRangeSample(9),     {10, noLevel, 0.0},
            levelSample(5, 145.0), levelSample(6, 3276.8), {7, 65.3, 0.5}};
        SampleStore store;
        for (const LevelSample& sample : given) {
            store.add(sample);
        }
        QList<LevelSample> back;
        store.forEachPiece(
            [&back](std::span<const LevelSample> piece) {
                back.append(QList<LevelSample>(piece.begin(), piece.end()));
            },
            true, 4);
        QCOMPARE(back.size(), given.size());
        for (qsizetype i = 0; i < given.size(); ++i) {
            QCOMPARE(back[i].time, given[i].time);
            QCOMPARE(std::isnan(back[i].level), std::isnan(given[i].level));
            QVERIFY(std::isnan(given[i].level) || back[i].level == given[i].level);
            QCOMPARE(back[i].energy, given[i].energy);
        }
        QCOMPARE(store.samples().size(), size_t(given.size() - 1));
        QCOMPARE(store.lastTime(), qint64(7));
    }

    // Periods and day parts handed their samples in pieces sum a period across them,
    // and read a class holding two levels (60.04, 59.96) from every piece.
    void sweepsInPieces() {
        const QString file = write("pieces.sdm",
                                   {{"2009/06/01 00:00:00", 1, 0, "60.04"},
                                    {"2009/06/01 00:00:01", 1, 0, "59.96"},
                                    {"2009/06/01 00:00:02", 1, 0, "70.0"},
                                    {"2009/06/01 00:00:03", 1, 0, "80.0"},
                                    {"2009/06/01 07:00:00", 1, 0, "50.0"}},
                                   kUtc);
        const SurveyRecords read = readSurvey({file}, kUtc);
        const std::span<const LevelSample> all = read.samples;
        QCOMPARE(all.size(), size_t(5));
        PeriodSweep periods(read, 3600);
        DenSweep den(read, DayPartHours{});
        for (const auto& [from, count] : {std::pair{0, 2}, {2, 1}, {3, 2}}) {
            periods.add(all.subspan(size_t(from), size_t(count)));
            den.add(all.subspan(size_t(from), size_t(count)));
        }
        const SurveyPeriods p = periods.finish();
        QCOMPARE(p.list.size(), size_t(8));
        // L10 70 + 0.7 x 10, L50 60.04 + 0.5 x 9.96, L90 59.96 + 0.3 x 0.08.
        QCOMPARE(periodText(p.list.front(), kUtc),
                 QStringLiteral("00:00 4 0.00 74.47 80.0 60.0 77.0 65.0 60.0"));
        QCOMPARE(p.list.back().records, qint64(1));
        const DenLevels d = den.finish();
        QCOMPARE(d.days.size(), size_t(2));
        QCOMPARE(figure(d.days[0].night.leq), QStringLiteral("74.47"));
        QCOMPARE(figure(d.days[1].day.leq), QStringLiteral("50.00"));
    }
};

QTEST_APPLESS_MAIN(TestSurvey)
#include "test_survey.moc"
