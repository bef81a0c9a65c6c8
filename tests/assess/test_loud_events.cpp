// Loud events against hand-worked cases: the number above per day and part (the hours
// after midnight in the night before), and per night the nth highest maximum of
// windows aligned to local midnight; and the command's wiring. Times are UTC.
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <map>
#include <vector>

#include "assess/loud_events.h"
#include "cli/cli.h"
#include "cli_in_process.h"
#include "files.h"
#include "level_records.h"

using namespace lp;
using namespace lp::assess;

namespace {

qint64 instantOf(const QString& stamp) {
    return QDateTime::fromString(stamp, Qt::ISODate).toSecsSinceEpoch();
}

// A level a minute at `quiet` dB from `from` to before `to`, with the loud minutes put
// in their places.
struct Loud {
    QString stamp;
    double level = 0.0;
};

std::vector<stats::LevelSample> minuteSamples(const QString& from, const QString& to, double quiet,
                                              const QList<Loud>& loud) {
    std::map<qint64, double> loudAt;
    for (const Loud& l : loud) {
        loudAt[instantOf(l.stamp)] = l.level;
    }
    std::vector<stats::LevelSample> samples;
    for (qint64 t = instantOf(from); t < instantOf(to); t += 60) {
        const auto found = loudAt.find(t);
        samples.push_back(stats::levelSample(t, found == loudAt.end() ? quiet : found->second));
    }
    return samples;
}

stats::SurveyRecords minuteRecords() {
    stats::SurveyRecords records;
    records.days = stats::LocalDays(QTimeZone::utc());
    records.interval = 60;
    return records;
}

QString levelOrNone(const std::optional<double>& level) {
    return level ? QString::number(*level, 'f', 1) : QStringLiteral("-");
}

// "2026-12-01 1/1/2 -": the date, NA of the day, evening and night, the nth highest.
QString daysText(const LoudEventResult& result) {
    QStringList days;
    for (const LoudEventDay& d : result.days) {
        days << QStringLiteral("%1 %2/%3/%4 %5")
                    .arg(d.date.toString(Qt::ISODate))
                    .arg(d.na[0])
                    .arg(d.na[1])
                    .arg(d.na[2])
                    .arg(levelOrNone(d.nthHighest));
    }
    return days.join(QStringLiteral(", "));
}

}  // namespace

class TestLoudEvents : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        qputenv("TZ", "UTC");
    }

    // Events of two loud minutes (at least the minimum of 120 s) count in the part they
    // start in, parts 07-19-23-07; a single loud minute is no event. 06:30 is the night
    // of the day before the survey's first morning; 01:00 the night of the day before.
    void numberAbovePerPart() {
        const stats::SurveyRecords records = minuteRecords();
        const std::vector<stats::LevelSample> samples =
            minuteSamples("2026-12-01T06:00:00", "2026-12-02T08:00:00", 40.0,
                          {{"2026-12-01T06:30:00", 70},
                           {"2026-12-01T06:31:00", 70},
                           {"2026-12-01T10:00:00", 70},
                           {"2026-12-01T10:01:00", 70},
                           {"2026-12-01T12:00:00", 70},  // alone: too short
                           {"2026-12-01T18:59:00", 70},
                           {"2026-12-01T19:00:00", 70},
                           {"2026-12-01T20:00:00", 70},
                           {"2026-12-01T20:01:00", 70},
                           {"2026-12-01T23:30:00", 70},
                           {"2026-12-01T23:31:00", 70},
                           {"2026-12-02T01:00:00", 70},
                           {"2026-12-02T01:01:00", 70},
                           {"2026-12-02T07:30:00", 70},
                           {"2026-12-02T07:31:00", 70}});
        LoudEventOptions options;
        options.rule = {60.0, 120, 0};
        options.nth = 1000;  // no night has that many windows
        const LoudEventResult result = assessLoudEvents({records, samples}, options);
        QCOMPARE(result.above, 60.0);
        QCOMPARE(daysText(result), "2026-11-30 0/0/1 -, 2026-12-01 2/1/2 -, 2026-12-02 1/0/0 -");
    }

    // Windows of 2 minutes from 22:01 to 08:00, a level a minute, 40 dB but for the loud
    // ones. Aligned to midnight, 23:59 (70) and 00:00 (71) lie in two windows, 23:58 and
    // 00:00, of the same night; 00:01 (72) lies in the window of 00:00 with 71. The
    // night's maxima sorted: 72, 70, then 40 in every other window; 22:30 (80) is in the
    // evening. Aligned to the first record instead, 23:59 and 00:00 would share a window;
    // counting the evening's windows, 80 would come first.
    void nthHighestPerNight_data() {
        QTest::addColumn<int>("nth");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2nd") << 2 << "2026-12-01 0/0/0 70.0, 2026-12-02 0/0/0 -";
        // 23:00 to 07:00 is 240 windows.
        QTest::newRow("240th") << 240 << "2026-12-01 0/0/0 40.0, 2026-12-02 0/0/0 -";
        QTest::newRow("241st: too few") << 241 << "2026-12-01 0/0/0 -, 2026-12-02 0/0/0 -";
    }
    void nthHighestPerNight() {
        QFETCH(int, nth);
        QFETCH(QString, expected);
        const stats::SurveyRecords records = minuteRecords();
        const std::vector<stats::LevelSample> samples =
            minuteSamples("2026-12-01T22:01:00", "2026-12-02T08:00:00", 40.0,
                          {{"2026-12-01T22:30:00", 80},
                           {"2026-12-01T23:59:00", 70},
                           {"2026-12-02T00:00:00", 71},
                           {"2026-12-02T00:01:00", 72}});
        LoudEventOptions options;
        options.rule = {90.0, 0, 0};  // no events
        options.nth = nth;
        const LoudEventResult result = assessLoudEvents({records, samples}, options);
        QCOMPARE(daysText(result), expected);
    }

    // A night of ten minutes has five windows of 2 minutes, or two of 5 minutes.
    void tooFewWindows_data() {
        QTest::addColumn<qint64>("window");
        QTest::addColumn<int>("nth");
        QTest::addColumn<QString>("expected");
        QTest::newRow("5 of 5") << qint64(120) << 5 << "2026-12-01 0/0/0 40.0";
        QTest::newRow("6 of 5") << qint64(120) << 6 << "2026-12-01 0/0/0 -";
        QTest::newRow("2 of 2 of 5 min") << qint64(300) << 2 << "2026-12-01 0/0/0 40.0";
        QTest::newRow("3 of 2 of 5 min") << qint64(300) << 3 << "2026-12-01 0/0/0 -";
    }
    void tooFewWindows() {
        QFETCH(qint64, window);
        QFETCH(int, nth);
        QFETCH(QString, expected);
        const stats::SurveyRecords records = minuteRecords();
        const std::vector<stats::LevelSample> samples =
            minuteSamples("2026-12-01T23:00:00", "2026-12-01T23:10:00", 40.0, {});
        LoudEventOptions options;
        options.rule = {90.0, 0, 0};
        options.window = window;
        options.nth = nth;
        QCOMPARE(daysText(assessLoudEvents({records, samples}, options)), expected);
    }

    // The command: the keys and the rule's options handed on (one event of two
    // loud minutes in the night, its window the highest); a window it cannot use is a
    // usage mistake.
    void command() {
        QList<std::array<QByteArray, 3>> rows;
        const std::vector<stats::LevelSample> samples =
            minuteSamples("2026-12-01T22:00:00", "2026-12-02T02:00:00", 40.0,
                          {{"2026-12-01T23:30:00", 70},
                           {"2026-12-01T23:31:00", 70},
                           {"2026-12-02T01:00:00", 75}});
        for (const stats::LevelSample& s : samples) {
            rows.push_back({QByteArray::number(rows.size() + 1),
                            QDateTime::fromSecsSinceEpoch(s.time, QTimeZone::utc())
                                .toString("yyyy/MM/dd HH:mm:ss")
                                .toLatin1(),
                            QByteArray::number(s.level, 'f', 1)});
        }
        const QString file = dir.filePath(QStringLiteral("night.sdm"));
        QVERIFY(test::writeFile(file, test::recordFile(rows)));

        const test::ProgramRun run =
            test::runCliHere({"assess", "events", "--above", "60", "--min-duration", "120", "--nth",
                              "1", "--json", file});
        QCOMPARE(run.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.keys().join(u' '), "above adjust days format manifest response weighting");
        const QJsonObject day = json.value("days").toArray().first().toObject();
        QCOMPARE(day.keys().join(u' '), "date nth_highest parts");
        QCOMPARE(day.value("date").toString(), "2026-12-01");
        QCOMPARE(day.value("nth_highest").toDouble(), 75.0);
        const QJsonObject night = day.value("parts").toArray().at(2).toObject();
        QCOMPARE(night.value("part").toString(), "night");
        QCOMPARE(night.value("na").toInt(), 1);  // 01:00 alone is shorter than 120 s

        const test::ProgramRun mistake =
            test::runCliHere({"assess", "events", "--above", "60", "--window", "7min", file});
        QCOMPARE(mistake.status, 1);
        QVERIFY2(mistake.err.contains("--window takes"), qPrintable(mistake.err));
    }
};

QTEST_GUILESS_MAIN(TestLoudEvents)
#include "test_loud_events.moc"
