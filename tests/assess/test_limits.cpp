// Limits by time of day and the WHO guideline values, against hand-worked surveys.
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "assess/limits.h"
#include "cli/cli.h"
#include "files.h"
#include "records/record_format.h"

using namespace lp::assess;

namespace {

const QTimeZone kUtc = QTimeZone::utc();

// Records "HH:MM level" on 2026-06-01, and on the 2nd from a "+" before the time on.
QByteArray recordFile(const QStringList& rows) {
    QByteArray bytes = lp::records::kHeaderLine.toByteArray();
    int no = 0;
    for (const QString& row : rows) {
        const bool next = row.startsWith(u'+');
        const QStringList parts = row.mid(next ? 1 : 0).split(u' ');
        const QString stamp = QStringLiteral("2026/06/0%1 %2:00").arg(next ? 2 : 1).arg(parts[0]);
        lp::records::appendRecordLine(bytes, QByteArray::number(++no), stamp.toLatin1(),
                                      parts[1].toLatin1());
    }
    return bytes;
}

// Six records of an hour, one every 10 min from `hour` on, with `levels` (one each).
QStringList hourOf(const QString& hour, const QStringList& levels) {
    QStringList rows;
    for (int i = 0; i < levels.size(); ++i) {
        rows << QStringLiteral("%1:%2 %3")
                    .arg(hour)
                    .arg(i * 10, 2, 10, QLatin1Char('0'))
                    .arg(levels[i]);
    }
    return rows;
}

// One night, records every 10 min (S = 600 s): 22:00 six at 50; 23:00 six at 44;
// 00:00 three at 50 (coverage 0.5: not judged); 01:00 three at 50, three at 40
// (LAeq 47.40, LAmax 50, LA90 40: the 10th percentile of six levels is halfway
// between the lowest two, LA10 50); 02:00 five at 45.0, one at 45.1 (LAeq 45.017,
// shown 45.0; LA90 45.0); 03:00 three at 45.0, three at 45.1 (LAeq 45.050, shown
// 45.1); none from 04:00 to 06:59 (coverage 0); 07:00 six at 60. LAeq worked with
// 10·lg of the mean of 10^(L/10) by hand.
QStringList nightRows() {
    QStringList rows;
    rows << hourOf("22", QStringList(6, "50.0")) << hourOf("23", QStringList(6, "44.0"));
    for (const auto& [hour, levels] : std::vector<std::pair<QString, QStringList>>{
             {"00", {"50.0", "50.0", "50.0"}},
             {"01", {"50.0", "40.0", "50.0", "40.0", "50.0", "40.0"}},
             {"02", {"45.0", "45.0", "45.1", "45.0", "45.0", "45.0"}},
             {"03", {"45.1", "45.0", "45.1", "45.0", "45.1", "45.0"}},
             {"07", QStringList(6, "60.0")}}) {
        for (const QString& row : hourOf(hour, levels)) {
            rows << u'+' + row;
        }
    }
    return rows;
}

QString clock(qint64 instant) {
    return QDateTime::fromSecsSinceEpoch(instant, kUtc).toString(QStringLiteral("HH:mm"));
}

QString number(const std::optional<double>& value) {
    return value ? QString::number(*value, 'f', 1) : QStringLiteral("-");
}

}  // namespace

class TestLimits : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

    // The survey of the file `name` with `rows`, read in UTC, judged by `options`.
    LimitResult assessed(const QString& name, const QStringList& rows,
                         const LimitOptions& options) {
        const QString path = dir_.filePath(name);
        if (!lp::test::writeFile(path, recordFile(rows))) {
            return {};
        }
        const lp::stats::SurveyRecords records = lp::stats::readSurvey({path}, kUtc);
        qint64 excluded = 0;
        const auto samples = lp::stats::countedSamples(records, {}, excluded);
        return assessLimits({records, samples}, options);
    }

private slots:
    // The night of nightRows(), judged by one rule.
    void rules_data() {
        QTest::addColumn<QString>("figure");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<double>("db");
        // judged, not judged, failing, worst margin @ its start; then each judged interval
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("intervals");
        // 23:00 to 06:00: eight intervals start within, four of them covered. 02:00 keeps
        // the limit by 0.0 as shown although its LAeq lies 0.017 dB above it.
        QTest::newRow("laeq across midnight")
            << "laeq" << 23 << 7 << 45.0 << "4 4 2 -2.4@01:00"
            << "23:00 44.0 1.0 pass; 01:00 47.4 -2.4 fail; 02:00 45.0 0.0 pass; 03:00 45.1 -0.1 "
               "fail";
        QTest::newRow("lmax") << "lmax" << 23 << 7 << 45.0 << "4 4 3 -5.0@01:00"
                              << "23:00 44.0 1.0 pass; 01:00 50.0 -5.0 fail; 02:00 45.1 -0.1 "
                                 "fail; 03:00 45.1 -0.1 fail";
        // A tie of the worst goes to the earlier interval.
        QTest::newRow("l90") << "l90" << 23 << 7 << 40.0 << "4 4 3 -5.0@02:00"
                             << "23:00 44.0 -4.0 fail; 01:00 40.0 0.0 pass; 02:00 45.0 -5.0 "
                                "fail; 03:00 45.0 -5.0 fail";
        // From 07 to 23 within a day: 22:00 and 07:00 start within, 23:00 does not.
        QTest::newRow("l10 by day") << "l10" << 7 << 23 << 55.5 << "2 0 1 -4.5@07:00"
                                    << "22:00 50.0 5.5 pass; 07:00 60.0 -4.5 fail";
        // Hours that hold none of the intervals.
        QTest::newRow("none within") << "laeq" << 8 << 22 << 45.0 << "0 0 0 -@-"
                                     << "";
    }
    void rules() {
        QFETCH(QString, figure);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(double, db);
        QFETCH(QString, summary);
        QFETCH(QString, intervals);
        LimitOptions options;
        for (const LimitFigure f :
             {LimitFigure::Laeq, LimitFigure::Lmax, LimitFigure::L10, LimitFigure::L90}) {
            if (limitFigureName(f) == figure) {
                // A second rule of another length, to see that each gets its own intervals.
                options.rules = {{LimitFigure::Laeq, 900, 0, 24, 99.0, "laeq,15min,0-24,99"},
                                 {f, 3600, from, to, db, figure}};
            }
        }
        QCOMPARE(options.rules.size(), size_t(2));
        const LimitResult result = assessed(QStringLiteral("night.sdm"), nightRows(), options);
        QCOMPARE(result.rules.size(), size_t(2));
        QVERIFY(!result.guideline);
        const LimitRuleResult& r = result.rules[1];
        QCOMPARE(r.rule.text, figure);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4@%5")
                     .arg(r.judged)
                     .arg(r.notJudged)
                     .arg(r.failing)
                     .arg(number(r.worstMargin), r.worstStart ? clock(*r.worstStart) : "-"),
                 summary);
        QStringList judged;
        for (const LimitInterval& i : r.intervals) {
            judged << QStringLiteral("%1 %2 %3 %4")
                          .arg(clock(i.start), number(i.figure), number(i.margin),
                               i.pass ? "pass" : "fail");
            QCOMPARE(i.end - i.start, 3600);
        }
        QCOMPARE(judged.join(QStringLiteral("; ")), intervals);
        // The quarters of 22:00 to 07:59: of an hour of six records the first and third
        // hold two records each (covered), the others one (600 of 900 s: not); of 00:00,
        // only the first. So 13 of 40 judged, none above 99 dB.
        const LimitRuleResult& quarters = result.rules[0];
        QCOMPARE(QStringLiteral("%1 %2 %3")
                     .arg(quarters.judged)
                     .arg(quarters.notJudged)
                     .arg(quarters.failing),
                 QStringLiteral("13 27 0"));
    }

    // One day of hourly records from 07:00: day and evening at 50.0, the night 23:00 to
    // 06:00 seven at 44.0 and one at 44.3: Lnight 44.039 (shown 44.0), Lden =
    // 10·lg((12·10^5.0 + 4·10^5.5 + 8·10^5.4039) / 24) = 52.72 (shown 52.7).
    void guideline_data() {
        QTest::addColumn<int>("source");
        // The values, the survey's levels, and whether each lies above its value.
        QTest::addColumn<QString>("compared");
        QTest::newRow("road") << int(Guideline::Road) << "53.0 45.0 | 52.7 44.0 | no no";
        // Lnight 44.039 lies above 44, but as shown it is 44.0: not above.
        QTest::newRow("rail") << int(Guideline::Rail) << "54.0 44.0 | 52.7 44.0 | no no";
        QTest::newRow("aircraft") << int(Guideline::Aircraft) << "45.0 40.0 | 52.7 44.0 | yes yes";
        // No night value for wind turbines: Lnight is given, but not judged.
        QTest::newRow("wind") << int(Guideline::Wind) << "45.0 - | 52.7 44.0 | yes -";
    }
    void guideline() {
        QFETCH(int, source);
        QFETCH(QString, compared);
        QStringList rows;
        for (int hour = 7; hour < 23; ++hour) {
            rows << QStringLiteral("%1:00 50.0").arg(hour, 2, 10, QLatin1Char('0'));
        }
        rows << "23:00 44.3";
        for (int hour = 0; hour < 7; ++hour) {
            rows << QStringLiteral("+0%1:00 44.0").arg(hour);
        }
        LimitOptions options;
        options.guideline = Guideline(source);
        const LimitResult result = assessed(QStringLiteral("day.sdm"), rows, options);
        QVERIFY(result.rules.empty());
        QVERIFY(result.guideline);
        const GuidelineResult& g = *result.guideline;
        QCOMPARE(g.source, Guideline(source));
        const auto yes = [](const std::optional<bool>& above) {
            return above ? QString(*above ? "yes" : "no") : QStringLiteral("-");
        };
        QCOMPARE(QStringLiteral("%1 %2 | %3 %4 | %5 %6")
                     .arg(number(g.ldenValue), number(g.lnightValue), number(g.lden),
                          number(g.lnight), yes(g.ldenAbove), yes(g.lnightAbove)),
                 compared);
    }

    // The command's wiring: the options reach the rules and the guideline, the JSON
    // has the keys of every assessment and of the limits; a mistake names its part.
    void command() {
        const QString path = dir_.filePath(QStringLiteral("command.sdm"));
        QVERIFY(lp::test::writeFile(path, recordFile(nightRows())));
        const auto run = [](const QStringList& arguments, QString& out, QString& err) {
            QTextStream outStream(&out);
            QTextStream errStream(&err);
            return lp::cli::run(QStringList{"assess", "limits"} + arguments, outStream, errStream,
                                {});
        };
        QString out;
        QString err;
        QCOMPARE(run({"--limit", "laeq,1h,23-07,45", "--guideline", "who-rail", "--weighting", "A",
                      "--json", path},
                     out, err),
                 0);
        const QJsonObject json = QJsonDocument::fromJson(out.toUtf8()).object();
        QCOMPARE(json.keys(), (QStringList{"adjust", "format", "guideline", "manifest", "response",
                                           "rules", "weighting"}));
        QCOMPARE(json["weighting"].toString(), "A");
        const QJsonObject rule = json["rules"][0].toObject();
        QCOMPARE(rule.keys(), (QStringList{"failing", "intervals", "judged", "not_judged", "rule",
                                           "worst_margin", "worst_start"}));
        QCOMPARE(rule["worst_margin"].toDouble(), -2.4);
        QCOMPARE(rule["worst_start"].toString(), "2026-06-02T01:00:00");
        QCOMPARE(rule["intervals"][0].toObject().keys(),
                 (QStringList{"end", "figure", "margin", "pass", "start"}));
        QCOMPARE(json["guideline"].toObject().keys(),
                 (QStringList{"lden", "lden_above", "lden_value", "lnight", "lnight_above",
                              "lnight_value", "note", "source"}));
        QCOMPARE(json["guideline"]["source"].toString(), "who-rail");

        out.clear();
        QCOMPARE(run({"--limit", "laeq,15min,23-07,45dB", path}, out, err), 1);
        QVERIFY2(err.contains("--limit laeq,15min,23-07,45dB: the limit DB "), qPrintable(err));
        QVERIFY(out.isEmpty());
        // A warning level and a rolling LAeq are the logger's alone.
        QCOMPARE(run({"--limit", "laeq~5min,23-07,45", path}, out, err), 1);
        QVERIFY2(err.contains("--limit takes FIGURE,T,FROM-TO,DB (like"), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestLimits)
#include "test_limits.moc"
