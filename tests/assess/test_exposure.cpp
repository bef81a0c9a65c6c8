// Noise at work against hand-worked cases: Te, LAeq,Te, LEX,8h, the dose, the verdict
// by the level shown, LEX,w over the days, a shift across midnight; and the command's
// wiring (its JSON keys, one figure, one mistake). Times are UTC.
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <vector>

#include "assess/exposure.h"
#include "cli/cli.h"
#include "cli_in_process.h"
#include "files.h"
#include "level_records.h"

using namespace lp;
using namespace lp::assess;

namespace {

// `count` samples of `level` from `stamp` on ("2026-12-01T07:00:00", UTC), one every
// `step` seconds; a level of 145 or more is a reading over the range.
void addLevels(std::vector<stats::LevelSample>& samples, const QString& stamp, int count, int step,
               double level) {
    const qint64 from = QDateTime::fromString(stamp, Qt::ISODate).toSecsSinceEpoch();
    for (int i = 0; i < count; ++i) {
        const qint64 t = from + qint64(i) * step;
        samples.push_back(level >= stats::kOverRangeLevel ? stats::overRangeSample(t)
                                                          : stats::levelSample(t, level));
    }
}

struct Stretch {
    QString stamp;
    int minutes = 0;
    double level = 0.0;
};

// Records of one a minute over the stretches.
stats::SurveyRecords minuteRecords() {
    stats::SurveyRecords records;
    records.days = stats::LocalDays(QTimeZone::utc());
    records.interval = 60;
    return records;
}

std::vector<stats::LevelSample> minuteSamples(const QList<Stretch>& stretches) {
    std::vector<stats::LevelSample> samples;
    for (const Stretch& s : stretches) {
        addLevels(samples, s.stamp, s.minutes, 60, s.level);
    }
    return samples;
}

QString figure(const std::optional<double>& value) {
    return value ? QString::number(*value, 'f', 2) : QStringLiteral("-");
}

// "2026-12-01 28800 85.00 85.00 100.00 upper_action_value over 0": date, Te, LAeq,Te,
// LEX,8h, dose, verdict, readings over the range.
QString dayText(const ExposureDay& d) {
    return QStringList{d.date.toString(Qt::ISODate),
                       QString::number(d.teSeconds),
                       figure(d.laeq),
                       figure(d.lex8h),
                       figure(d.dose),
                       d.verdict ? verdictKey(*d.verdict) : QStringLiteral("-"),
                       QStringLiteral("over %1").arg(d.outOfRange.over)}
        .join(u' ');
}

}  // namespace

class TestExposure : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        qputenv("TZ", "UTC");
    }

    // The verdict compares LEX,8h as shown, to 0.1 dB.
    void verdictByShownLevel_data() {
        QTest::addColumn<double>("lex");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("79.94 shown 79.9") << 79.94 << "below";
        QTest::newRow("79.96 shown 80.0") << 79.96 << "lower_action_value";
        QTest::newRow("84.94 shown 84.9") << 84.94 << "lower_action_value";
        QTest::newRow("84.96 shown 85.0") << 84.96 << "upper_action_value";
        QTest::newRow("86.94 shown 86.9") << 86.94 << "upper_action_value";
        QTest::newRow("86.96 shown 87.0") << 86.96 << "exposure_limit_value";
    }
    void verdictByShownLevel() {
        QFETCH(double, lex);
        QFETCH(QString, verdict);
        QCOMPARE(verdictKey(verdictOf(lex)), verdict);
    }

    // One day's figures. LEX,8h = LAeq,Te + 10·lg(Te / 8 h), dose = 100·10^((LEX - 85)/10):
    // 4 h at 88: 88 - 3.0103 = 84.99 (shown 85.0), dose 100·10^(-0.0103/10) = 99.76;
    // 2 h at 90 with Te declared 8 h: 90.00, dose 100·10^0.5 = 316.23;
    // 7 h at 85 and 1 h over the range: Te 8 h, LAeq 85 of the levels.
    void oneDay_data() {
        QTest::addColumn<QList<Stretch>>("stretches");
        QTest::addColumn<double>("teHours");  // 0: the records' time
        QTest::addColumn<QString>("expected");
        QTest::newRow("8 h at 85.0")
            << QList<Stretch>{{"2026-12-01T07:00:00", 480, 85.0}} << 0.0
            << "2026-12-01 28800 85.00 85.00 100.00 upper_action_value over 0";
        QTest::newRow("4 h at 88: 85.0 shown")
            << QList<Stretch>{{"2026-12-01T07:00:00", 240, 88.0}} << 0.0
            << "2026-12-01 14400 88.00 84.99 99.76 upper_action_value over 0";
        QTest::newRow("Te declared")
            << QList<Stretch>{{"2026-12-01T07:00:00", 120, 90.0}} << 8.0
            << "2026-12-01 28800 90.00 90.00 316.23 exposure_limit_value over 0";
        QTest::newRow("over the range counts in Te")
            << QList<Stretch>{{"2026-12-01T07:00:00", 420, 85.0},
                              {"2026-12-01T14:00:00", 60, 150.0}}
            << 0.0 << "2026-12-01 28800 85.00 85.00 100.00 upper_action_value over 60";
        QTest::newRow("8 h at 79.9") << QList<Stretch>{{"2026-12-01T07:00:00", 480, 79.9}} << 0.0
                                     << "2026-12-01 28800 79.90 79.90 30.90 below over 0";
    }
    void oneDay() {
        QFETCH(QList<Stretch>, stretches);
        QFETCH(double, teHours);
        QFETCH(QString, expected);
        const stats::SurveyRecords records = minuteRecords();
        const std::vector<stats::LevelSample> samples = minuteSamples(stretches);
        ExposureOptions options;
        if (teHours > 0.0) {
            options.teHours = teHours;
        }
        const ExposureResult result = assessExposure({records, samples}, options);
        QCOMPARE(result.days.size(), size_t(1));
        QCOMPARE(dayText(result.days.front()), expected);
        QVERIFY(!result.lexW);  // one day: no weekly level
    }

    // LEX,w = 10·lg(1/5·Σ 10^(LEX,8h,i/10)), the sum over the days measured divided by
    // five. Days of 8 h at 80, 83, 86, 89, 92: Σ = 10^8·(1 + 1.99526 + 3.98107 + 7.94328 +
    // 15.84893) = 30.76854·10^8; /5 = 6.15371·10^8 → 87.89. Three days at 85:
    // 85 + 10·lg(3/5) = 82.78.
    void weeklyLevel_data() {
        QTest::addColumn<QList<double>>("levels");
        QTest::addColumn<QString>("lexW");
        QTest::newRow("five days") << QList<double>{80, 83, 86, 89, 92} << "87.89";
        QTest::newRow("three days, still over five") << QList<double>{85, 85, 85} << "82.78";
    }
    void weeklyLevel() {
        QFETCH(QList<double>, levels);
        QFETCH(QString, lexW);
        QList<Stretch> stretches;
        for (int i = 0; i < levels.size(); ++i) {
            stretches.push_back(
                {QStringLiteral("2026-12-0%1T08:00:00").arg(i + 1), 480, levels[i]});
        }
        const stats::SurveyRecords records = minuteRecords();
        const std::vector<stats::LevelSample> samples = minuteSamples(stretches);
        const ExposureResult result = assessExposure({records, samples}, {});
        QCOMPARE(result.days.size(), size_t(levels.size()));
        QCOMPARE(figure(result.lexW), lexW);
    }

    // A shift of 22:00-06:00 belongs to the day it starts on; records outside it do not
    // count. 4 h at 90 and 4 h at 84: 10·lg((10^9 + 10^8.4)/2) = 10·lg(6.25594·10^8) = 87.96.
    void shiftAcrossMidnight() {
        const stats::SurveyRecords records = minuteRecords();
        const std::vector<stats::LevelSample> samples =
            minuteSamples({{"2026-12-01T20:00:00", 120, 70.0},
                           {"2026-12-01T22:00:00", 240, 90.0},
                           {"2026-12-02T02:00:00", 240, 84.0},
                           {"2026-12-02T06:00:00", 120, 95.0}});
        ExposureOptions options;
        options.shift = Shift{22 * 60, 6 * 60};
        const ExposureResult result = assessExposure({records, samples}, options);
        QCOMPARE(result.days.size(), size_t(1));
        QCOMPARE(dayText(result.days.front()),
                 "2026-12-01 28800 87.96 87.96 197.83 exposure_limit_value over 0");
    }

    // The command: the keys, one figure, the notes on stderr; a shift it cannot
    // read is a usage mistake.
    void command() {
        QList<std::array<QByteArray, 3>> rows;
        for (int i = 0; i < 480; ++i) {  // 8 h at 85.0, a record a minute
            const QDateTime t = QDateTime::fromString("2026-12-01T07:00:00", Qt::ISODate);
            rows.push_back({QByteArray::number(i + 1),
                            t.addSecs(i * 60).toString("yyyy/MM/dd HH:mm:ss").toLatin1(), "85.0"});
        }
        const QString file = dir.filePath(QStringLiteral("work.sdm"));
        QVERIFY(test::writeFile(file, test::recordFile(rows)));

        const test::ProgramRun run =
            test::runCliHere({"assess", "exposure", "--weighting", "A", "--json", file});
        QCOMPARE(run.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.keys().join(u' '), "adjust days format lex_w manifest response weighting");
        const QJsonObject day = json.value("days").toArray().first().toObject();
        QCOMPARE(day.keys().join(u' '), "date dose laeq lex_8h te_s verdict");
        QCOMPARE(day.value("lex_8h").toDouble(), 85.0);
        QCOMPARE(day.value("verdict").toString(), "upper_action_value");
        QCOMPARE(json.value("weighting").toString(), "A");
        QVERIFY2(run.err.contains("hearing protection worn") && run.err.contains("Peak sound"),
                 qPrintable(run.err));

        const test::ProgramRun text = test::runCliHere({"assess", "exposure", file});
        QCOMPARE(text.status, 0);
        QVERIFY2(text.out.contains("hearing protection worn"), qPrintable(text.out));
        QVERIFY2(text.err.contains("weighting of these levels is not known"), qPrintable(text.err));

        const test::ProgramRun mistake =
            test::runCliHere({"assess", "exposure", "--shift", "7-15", file});
        QCOMPARE(mistake.status, 1);
        QVERIFY2(mistake.err.contains("--shift takes"), qPrintable(mistake.err));
    }
};

QTEST_GUILESS_MAIN(TestExposure)
#include "test_exposure.moc"
