// The rating level against cases worked by hand (BS 4142: La, Ls, LAr, D and the
// estimate), the reference intervals across 23:00 and across a change of the clocks,
// and the wiring of `assess rating`. Times are UTC unless a test says otherwise.
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "assess/rating.h"
#include "cli/cli.h"
#include "files.h"
#include "records/record_format.h"
#include "stats/figure_text.h"

using namespace lp;
using namespace lp::assess;

namespace {

const QString kStampFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

// `count` records from local `stamp` on, one every `step` seconds, all of `level`.
struct Run {
    QString stamp;
    int count = 1;
    int step = 0;
    QString level;
};

QByteArray recordFile(const QList<Run>& runs, const QTimeZone& zone) {
    QByteArray bytes = records::kHeaderLine.toByteArray();
    int no = 0;
    for (const Run& run : runs) {
        QDateTime t = QDateTime::fromString(run.stamp, kStampFormat);
        t.setTimeZone(zone);
        for (int i = 0; i < run.count; ++i) {
            records::appendRecordLine(
                bytes, QByteArray::number(++no),
                t.addSecs(qint64(i) * run.step).toString(kStampFormat).toLatin1(),
                run.level.toLatin1());
        }
    }
    return bytes;
}

// A survey read from its file and counted, as the assessments take it.
struct Read {
    stats::SurveyRecords records;
    platform::LargeVector<stats::LevelSample> samples;
    [[nodiscard]] SurveyInput input() const { return {records, samples}; }
};

Read readFile(const QString& path, const QTimeZone& zone) {
    Read read;
    read.records = stats::readSurvey({path}, zone);
    qint64 excluded = 0;
    read.samples = stats::countedSamples(read.records, stats::SurveyOptions(), excluded);
    return read;
}

QString levelText(const std::optional<double>& level) {
    return stats::levelText(level);
}

QString clock(qint64 instant, const QTimeZone& zone) {
    return QDateTime::fromSecsSinceEpoch(instant, zone).toString(QStringLiteral("HH:mm"));
}

// "10:00 45.0/43.3/47.3; skipped 4 | Lr 40.0 | bg 38.0 background_level | worst 10:00
// 47.3 D 9.3 likely adverse impact": each used interval (start, La/Ls/LAr, note), then
// the part's figures.
QString partText(const RatingPart& part) {
    const QTimeZone utc = QTimeZone::utc();
    QStringList intervals;
    for (const RatingInterval& i : part.intervals) {
        intervals << clock(i.start, utc) + u' ' + levelText(i.la) + u'/' + levelText(i.ls) + u'/' +
                         levelText(i.lar) +
                         (i.note.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(i.note));
    }
    return QStringLiteral("%1; skipped %2 | Lr %3 | bg %4 %5 | worst %6 D %7 %8")
        .arg(intervals.join(QStringLiteral(", ")))
        .arg(part.intervalsSkipped)
        .arg(levelText(part.residual), levelText(part.background),
             backgroundFromName(part.backgroundFrom),
             part.worst ? clock(part.worst->start, utc) + u' ' + levelText(part.worst->lar)
                        : QStringLiteral("none"),
             levelText(part.d),
             part.estimate ? estimateText(*part.estimate) : QStringLiteral("none"));
}

struct RatingCase {
    std::optional<double> residualLevel;
    QString residualFile;  // a name of initTestCase's files
    QString backgroundFile;
    std::optional<double> backgroundLevel;
    std::optional<double> specificLevel;
    std::optional<qint64> onTime;
    std::vector<Correction> corrections;
};

}  // namespace

Q_DECLARE_METATYPE(RatingCase)

class TestRating : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString write(const QString& name, const QList<Run>& runs,
                  const QTimeZone& zone = QTimeZone::utc()) {
        const QString path = dir_.filePath(name);
        return test::writeFile(path, recordFile(runs, zone)) ? path : QString();
    }

    // Runs levelpanel-cli in this process; its stdout in `out`, stderr in `err`.
    int runCli(const QStringList& arguments, QString& out, QString& err) {
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return cli::run(arguments, outStream, errStream, {});
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("TZ", "UTC");
        // The source running: a night interval at 50 from 06:00, an hour at 45 from
        // 10:00, then half an hour at 55 (an hour covered half: not used).
        QVERIFY(!write("survey.sdm", {{"2026/06/01 06:00:00", 90, 10, "50.0"},
                                      {"2026/06/01 10:00:00", 360, 10, "45.0"},
                                      {"2026/06/01 11:00:00", 180, 10, "55.0"}})
                     .isEmpty());
        // The source off: 40 in the day, 30 at night; once with no night.
        QVERIFY(!write("residual.sdm", {{"2026/06/02 12:00:00", 360, 10, "40.0"},
                                        {"2026/06/02 23:00:00", 360, 10, "30.0"}})
                     .isEmpty());
        QVERIFY(!write("residual-day.sdm", {{"2026/06/02 12:00:00", 360, 10, "40.0"}}).isEmpty());
        QVERIFY(!write("background.sdm", {{"2026/06/03 12:00:00", 360, 10, "35.0"},
                                          {"2026/06/03 23:00:00", 360, 10, "25.0"}})
                     .isEmpty());
    }

    // Ls from La and Lr, the difference taken of the levels as shown: 3.0 and 10.0 shown
    // fall where the reader expects, whatever the unrounded or binary difference.
    void specificLevels_data() {
        QTest::addColumn<double>("la");
        QTest::addColumn<double>("lr");
        QTest::addColumn<QString>("ls");
        // 10·lg(10^4.5 - 10^4.0) = 10·lg(31622.8 - 10000) = 43.35
        QTest::newRow("worked example") << 45.0 << 40.0 << "43.3";
        QTest::newRow("10 dB: La") << 50.0 << 40.0 << "50.0";
        QTest::newRow("10 dB of a binary 9.999...") << 33.3 << 23.3 << "33.3";
        QTest::newRow("10.0 shown of 9.96: La") << 49.96 << 40.0 << "50.0";
        // 10·lg(10^4.99 - 10^4) = 10·lg(97723.7 - 10000) = 49.43
        QTest::newRow("9.9 dB") << 49.9 << 40.0 << "49.4";
        // 10·lg(10^4.3 - 10^4) = 10·lg(19952.6 - 10000) = 39.98
        QTest::newRow("3 dB") << 43.0 << 40.0 << "40.0";
        // 10·lg(10^3.33 - 10^3.03) = 10·lg(2138.0 - 1071.5) = 30.28
        QTest::newRow("3 dB of a binary 2.999...") << 33.3 << 30.3 << "30.3";
        // 10·lg(10^4.296 - 10^4) = 10·lg(19769.7 - 10000) = 39.90
        QTest::newRow("3.0 shown of 2.96") << 42.96 << 40.0 << "39.9";
        QTest::newRow("2.9 dB") << 42.9 << 40.0 << "—";
        QTest::newRow("2.9 shown of 2.94") << 42.94 << 40.0 << "—";
        QTest::newRow("residual louder") << 40.0 << 45.0 << "—";
    }
    void specificLevels() {
        QFETCH(double, la);
        QFETCH(double, lr);
        QTEST(levelText(specificLevel(la, lr)), "ls");
    }

    // The estimate by D as shown.
    void estimates_data() {
        QTest::addColumn<double>("d");
        QTest::addColumn<QString>("estimate");
        QTest::newRow("10") << 10.0 << "likely significant adverse impact";
        QTest::newRow("9.96 shown 10.0") << 9.96 << "likely significant adverse impact";
        QTest::newRow("9.94") << 9.94 << "likely adverse impact";
        QTest::newRow("5") << 5.0 << "likely adverse impact";
        QTest::newRow("4.94") << 4.94 << "between";
        QTest::newRow("0.06 shown 0.1") << 0.06 << "between";
        QTest::newRow("0.04 shown 0.0") << 0.04 << "low impact";
        QTest::newRow("below") << -2.0 << "low impact";
    }
    void estimates() {
        QFETCH(double, d);
        QTEST(estimateText(estimateOf(d)), "estimate");
    }

    void corrections_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("allowed");  // of 0..9 dB
        QTest::newRow("tonal") << int(CorrectionKind::Tonal) << "0 2 4 6";
        QTest::newRow("impulsive") << int(CorrectionKind::Impulsive) << "0 3 6 9";
        QTest::newRow("intermittency") << int(CorrectionKind::Intermittency) << "0 3";
        QTest::newRow("other") << int(CorrectionKind::Other) << "0 3";
    }
    void corrections() {
        QFETCH(int, kind);
        QStringList allowed;
        for (double db = 0.0; db <= 9.0; db += 0.5) {
            if (isAllowedCorrection(CorrectionKind(kind), db)) {
                allowed << QString::number(db);
            }
        }
        QTEST(allowed.join(u' '), "allowed");
    }

    // The survey (night 06:00 at 50, day 10:00 at 45, 11:00 half covered) rated with
    // each kind of residual and background. By hand: Ls of 45 over 40 is 43.3 (above);
    // of 50 over 40 (Δ 10) 50.0, over 30 50.0, over 43 (Δ 7) 10·lg(10^5 - 10^4.3) =
    // 49.0; LAr = Ls + the corrections; D = LAr - background as shown. Skipped: the day's
    // hours 07, 08, 09 and 11; the night's quarters 06:15, 06:30, 06:45.
    void rating_data() {
        QTest::addColumn<RatingCase>("options");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("night");
        const Correction tonal{CorrectionKind::Tonal, 4.0, QStringLiteral("tone")};
        QTest::newRow("worked example: residual and background levels")
            << RatingCase{40.0, {}, {}, 38.0, {}, {}, {tonal}}
            << "10:00 45.0/43.3/47.3; skipped 4 | Lr 40.0 | bg 38.0 background_level | "
               "worst 10:00 47.3 D 9.3 likely adverse impact"
            << "06:00 50.0/50.0/54.0; skipped 3 | Lr 40.0 | bg 38.0 background_level | "
               "worst 06:00 54.0 D 16.0 likely significant adverse impact";
        // Lr of each part from its own records (40 by day, 30 at night); the background
        // their typical LA90.
        QTest::newRow("residual files, background of them")
            << RatingCase{{}, "residual.sdm", {}, {}, {}, {}, {tonal}}
            << "10:00 45.0/43.3/47.3; skipped 4 | Lr 40.0 | bg 40.0 residual_files | "
               "worst 10:00 47.3 D 7.3 likely adverse impact"
            << "06:00 50.0/50.0/54.0; skipped 3 | Lr 30.0 | bg 30.0 residual_files | "
               "worst 06:00 54.0 D 24.0 likely significant adverse impact";
        QTest::newRow("residual without a night, background files")
            << RatingCase{{}, "residual-day.sdm", "background.sdm", {}, {}, {}, {}}
            << "10:00 45.0/43.3/43.3; skipped 4 | Lr 40.0 | bg 35.0 background_files | "
               "worst 10:00 43.3 D 8.3 likely adverse impact"
            << "06:00 50.0/—/— (no residual level in this part); skipped 3 | Lr — | "
               "bg 25.0 background_files | worst none D — none";
        // The survey's own LA90,15min: 45 45 45 45 55 55 by day (mode 45), 50 at night.
        QTest::newRow("no residual: Ls = La, the survey's background")
            << RatingCase{}
            << "10:00 45.0/45.0/45.0; skipped 4 | Lr — | bg 45.0 survey | "
               "worst 10:00 45.0 D 0.0 low impact"
            << "06:00 50.0/50.0/50.0; skipped 3 | Lr — | bg 50.0 survey | "
               "worst 06:00 50.0 D 0.0 low impact";
        // 50 + 10·lg(1800 / 3600) = 47.0 by day; at night 1800 s is more than T_r.
        QTest::newRow("a specific level on for half an hour")
            << RatingCase{{}, {}, {}, 38.0, 50.0, 1800, {}}
            << "10:00 45.0/47.0/47.0; skipped 4 | Lr — | bg 38.0 background_level | "
               "worst 10:00 47.0 D 9.0 likely adverse impact"
            << "06:00 50.0/50.0/50.0; skipped 3 | Lr — | bg 38.0 background_level | "
               "worst 06:00 50.0 D 12.0 likely significant adverse impact";
        QTest::newRow("residual too close by day")
            << RatingCase{43.0, {}, {}, 38.0, {}, {}, {}}
            << "10:00 45.0/—/— (residual too close); skipped 4 | Lr 43.0 | "
               "bg 38.0 background_level | worst none D — none"
            << "06:00 50.0/49.0/49.0; skipped 3 | Lr 43.0 | bg 38.0 background_level | "
               "worst 06:00 49.0 D 11.0 likely significant adverse impact";
    }
    void rating() {
        QFETCH(RatingCase, options);
        const QTimeZone utc = QTimeZone::utc();
        const Read survey = readFile(dir_.filePath("survey.sdm"), utc);
        std::optional<Read> residual;
        std::optional<Read> background;
        RatingOptions rating;
        rating.residualLevel = options.residualLevel;
        rating.backgroundLevel = options.backgroundLevel;
        rating.specificLevel = options.specificLevel;
        rating.onTime = options.onTime;
        rating.corrections = options.corrections;
        std::optional<SurveyInput> residualInput;
        std::optional<SurveyInput> backgroundInput;
        if (!options.residualFile.isEmpty()) {
            residual = readFile(dir_.filePath(options.residualFile), utc);
            rating.residual = &residualInput.emplace(residual->input());
        }
        if (!options.backgroundFile.isEmpty()) {
            background = readFile(dir_.filePath(options.backgroundFile), utc);
            rating.background = &backgroundInput.emplace(background->input());
        }
        const RatingResult result = assessRating(survey.input(), rating);
        QCOMPARE(result.parts.size(), size_t(2));
        QTEST(partText(result.parts[0]), "day");
        QTEST(partText(result.parts[1]), "night");
    }

    // With T_r 3h by day, 21:00-24:00 starts in the day and belongs to it, though its
    // last hour is night: (2·10^5 + 10^6) / 3 = 4·10^5, 56.0 dB. The night keeps its
    // quarters from 23:00.
    void intervalAcross23() {
        const QTimeZone utc = QTimeZone::utc();
        const Read survey = readFile(write("late.sdm", {{"2026/06/01 21:00:00", 720, 10, "50.0"},
                                                        {"2026/06/01 23:00:00", 360, 10, "60.0"}}),
                                     utc);
        RatingOptions options;
        options.parts[0].tr = 3 * 3600;
        const RatingResult result = assessRating(survey.input(), options);
        const RatingPart& day = result.parts[0];
        QCOMPARE(day.intervals.size(), size_t(1));
        QCOMPARE(clock(day.intervals[0].start, utc) + u'-' + clock(day.intervals[0].end, utc) +
                     u' ' + levelText(day.intervals[0].la),
                 QStringLiteral("21:00-00:00 56.0"));
        QStringList night;
        for (const RatingInterval& i : result.parts[1].intervals) {
            night << clock(i.start, utc) + u' ' + levelText(i.la);
        }
        QCOMPARE(night.join(QStringLiteral(", ")),
                 QStringLiteral("23:00 60.0, 23:15 60.0, 23:30 60.0, 23:45 60.0"));
    }

    // A night in London through a change of the clocks, a record a minute from 22:00 to
    // 08:00 by the wall clock: 9 real hours of night (36 quarters) when they go back,
    // 7 (28) when they go forward, each 15 minutes long, from 23:00 to 07:00 local. The
    // level is the same throughout: the highest LAr is the first of a tie.
    void nightAcrossClockChange_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("quarters");
        QTest::newRow("clocks back") << "2026/10/24 22:00:00" << 660 << 36;
        QTest::newRow("clocks forward") << "2026/03/28 22:00:00" << 540 << 28;
    }
    void nightAcrossClockChange() {
        QFETCH(QString, start);
        QFETCH(int, records);
        QFETCH(int, quarters);
        const QTimeZone london("Europe/London");
        QVERIFY(london.isValid());
        const Read survey = readFile(write(QStringLiteral("dst-%1.sdm").arg(quarters),
                                           {{start, records, 60, "50.0"}}, london),
                                     london);
        const RatingResult result = assessRating(survey.input(), RatingOptions());
        const RatingPart& night = result.parts[1];
        QCOMPARE(night.intervals.size(), size_t(quarters));
        for (const RatingInterval& i : night.intervals) {
            QCOMPARE(i.end - i.start, qint64(900));
        }
        QCOMPARE(clock(night.intervals.front().start, london), QStringLiteral("23:00"));
        QCOMPARE(clock(night.intervals.back().end, london), QStringLiteral("07:00"));
        QCOMPARE(night.worst->start, night.intervals.front().start);
        QStringList day;
        for (const RatingInterval& i : result.parts[0].intervals) {
            day << clock(i.start, london);
        }
        QCOMPARE(day.join(u' '), QStringLiteral("22:00 07:00"));
    }

    // The command: its JSON keys, the corrections paired with their reasons in the
    // order typed, and one figure; the label of the rating level in the text.
    void command() {
        QString out;
        QString err;
        const QStringList rating{"assess",
                                 "rating",
                                 dir_.filePath("survey.sdm"),
                                 "--residual-level",
                                 "40",
                                 "--tonal",
                                 "4",
                                 "--reason",
                                 "tone",
                                 "--other",
                                 "0",
                                 "--reason",
                                 "nothing else",
                                 "--background-level",
                                 "38"};
        QCOMPARE(runCli(rating + QStringList{"--json"}, out, err), 0);
        const QJsonObject json = QJsonDocument::fromJson(out.toUtf8()).object();
        QCOMPARE(json.keys().join(u' '),
                 QStringLiteral("adjust format manifest parts response weighting"));
        const QJsonObject day = json["parts"].toArray()[0].toObject();
        QCOMPARE(day.keys().join(u' '), QStringLiteral("background background_from corrections d "
                                                       "estimate intervals part residual tr_s "
                                                       "worst"));
        QCOMPARE(day["intervals"].toArray()[0].toObject().keys().join(u' '),
                 QStringLiteral("end la lar ls note start"));
        QCOMPARE(day["worst"].toObject().keys().join(u' '), QStringLiteral("lar start"));
        QStringList corrections;
        for (const QJsonValue& c : day["corrections"].toArray()) {
            corrections << QStringLiteral("%1 %2 %3")
                               .arg(c["kind"].toString(), QString::number(c["db"].toDouble()),
                                    c["reason"].toString());
        }
        QCOMPARE(corrections.join(QStringLiteral(", ")),
                 QStringLiteral("tonal 4 tone, other 0 nothing else"));
        QCOMPARE(day["d"].toDouble(), 9.3);
        QCOMPARE(day["estimate"].toString(),
                 QStringLiteral("likely adverse impact, depending on the context"));

        out.clear();
        QCOMPARE(runCli(rating + QStringList{"--weighting", "A"}, out, err), 0);
        QVERIFY2(out.contains(
                     QStringLiteral("Highest LAr,1h: 47.3 dB from 2026-06-01T10:00:00+00:00\n")),
                 qPrintable(out));
    }

    // A reason pairs with the correction typed just before it, or is a mistake.
    void reasonWithoutCorrection_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("before any correction") << QStringList{"--reason", "tone", "--tonal", "4"};
        QTest::newRow("after another option")
            << QStringList{"--tonal", "4", "--csv", "--reason", "tone"};
    }
    void reasonWithoutCorrection() {
        QFETCH(QStringList, options);
        QString out;
        QString err;
        QCOMPARE(runCli(QStringList{"assess", "rating", dir_.filePath("survey.sdm")} + options, out,
                        err),
                 1);
        QVERIFY2(err.contains(QStringLiteral("--reason follows the correction it explains")),
                 qPrintable(err));
        QVERIFY(out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRating)
#include "test_rating.moc"
