// Percentile levels, class counting and level figures of level texts and of timed levels.
#include <QTest>
#include <numeric>

#include "stats/figure_text.h"
#include "stats/level_tally.h"
#include "stats/ln_computation.h"
#include "stats/percentiles.h"
#include "stats/sample_ln.h"

using namespace lp::stats;

Q_DECLARE_METATYPE(lp::stats::Resolution)

namespace {

// L0..L99 as runs of equal entries: "25x 75x60.0" is 25 empty entries, then 75 "60.0".
QString runs(const QStringList& levels) {
    QStringList out;
    for (qsizetype i = 0, j = 0; i < levels.size(); i = j) {
        while (j < levels.size() && levels[j] == levels[i]) {
            ++j;
        }
        out << QString::number(j - i) + u'x' + levels[i];
    }
    return out.join(u' ');
}

}  // namespace

class TestLnStats : public QObject {
    Q_OBJECT
private slots:
    void levels_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("classMin");
        QTest::addColumn<int>("classMax");
        QTest::addColumn<QString>("ln");
        const auto row = [](const char* name, Resolution resolution, const QStringList& texts,
                            int classMin, int classMax, const char* ln) {
            QTest::newRow(name) << resolution << texts << classMin << classMax << QString(ln);
        };
        const Resolution tenth = Resolution::TenthDb;
        const Resolution whole = Resolution::WholeDb;
        const QStringList ten = QStringList(5, "50.0") + QStringList(5, "60.0");
        row("ten records, 0.1 dB", tenth, ten, 500, 600, "50x60.0 50x50.0");
        // S reaches at most 3 of 4: the thresholds above 75 % of N are never passed.
        row("a star leaves the top entries empty", tenth, {"50.0", "*", "60.0", "70.0"}, 500, 700,
            "25x 25x70.0 25x60.0 25x50.0");
        // With N = 200 the first threshold is exactly 1: the one record at 40 dB reaches
        // it but does not pass it.
        row("S must exceed T", whole, QStringList{"40.0"} + QStringList(199, "50.0"), 40, 50,
            "100x50");
        // 40,000 records in one class overflowed the old 16-bit counters.
        row("40,000 in one class", tenth, QStringList(40000, "65.3") + QStringList(40000, "70.0"),
            653, 700, "50x70.0 50x65.3");
        // Class 0 (0.0 dB) never widens the histogram, unless it is the only class with
        // records; a text without a number counts in no class, as "*" does.
        row("class 0 is not the lowest class", tenth, {"0.0", "abc", "55.5", "70.0"}, 555, 700,
            "25x 25x70.0 25x55.5 25x0.0");
        row("only class 0", whole, {"0.0", "x"}, 0, 0, "50x 50x0");
        // Two appended runs: the second run's header line read as a record ("dB") must
        // not put L90 at 0 dB.
        row("a header read as a record", tenth, QStringList(10, "65.5") + QStringList{"dB"}, 655,
            655, "9x 91x65.5");
    }
    void levels() {
        QFETCH(Resolution, resolution);
        QFETCH(QStringList, texts);
        const LnResult r = computeLn(resolution, texts);
        QVERIFY(r.hasLevel);
        QTEST(r.classMin, "classMin");
        QTEST(r.classMax, "classMax");
        QTEST(runs(r.levels), "ln");
    }

    // Where single texts land, at both resolutions.
    void classOfText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tenthClass");  // -1: counted in no class
        QTest::addColumn<int>("wholeClass");
        QTest::addColumn<bool>("hasLevel");  // counts in the level figures
        QTest::newRow("65.25 to even 652") << "65.25" << 652 << 65 << true;
        QTest::newRow("65.96 up to 66.0") << "65.96" << 660 << 65 << true;
        QTest::newRow("144.96 into top") << "144.96" << 1450 << 144 << true;
        // Past the top class a number is no measurement: counted there, as "L" is, and
        // left out of the figures, so no figure exceeds the top class.
        QTest::newRow("145.0") << "145.0" << 1450 << 145 << false;
        QTest::newRow("number with L") << "30.0L" << 1450 << 145 << false;
        QTest::newRow("dash") << "-" << 250 << 25 << false;
        QTest::newRow("dashes over L") << "--L" << 250 << 25 << false;
        QTest::newRow("negative number") << "-5.0" << 250 << 25 << false;
        // A text without a number (a run's header line read as a record: "dB") is no
        // 0 dB level.
        QTest::newRow("unit alone") << "dB" << -1 << -1 << false;
        QTest::newRow("empty") << "" << -1 << -1 << false;
        QTest::newRow("zero") << "0.0" << 0 << 0 << true;
        QTest::newRow("blanks and unit") << "  72.4 dB" << 724 << 72 << true;
        QTest::newRow("lower-case l is no mark") << "70.1l" << 701 << 70 << true;
        QTest::newRow("hundreds of digits") << QString(400, u'9') << 1450 << 145 << false;
    }
    void classOfText() {
        QFETCH(QString, text);
        QFETCH(int, tenthClass);
        QFETCH(int, wholeClass);
        QFETCH(bool, hasLevel);
        const LnResult tenth = computeLn(Resolution::TenthDb, QStringList{text});
        const LnResult whole = computeLn(Resolution::WholeDb, QStringList{text});
        if (tenthClass >= 0) {
            QCOMPARE(tenth.counts[tenthClass], 1);
            QCOMPARE(whole.counts[wholeClass], 1);
        }
        const int counted = tenthClass >= 0 ? 1 : 0;
        QCOMPARE(std::accumulate(tenth.counts.begin(), tenth.counts.end(), qint64(0)), counted);
        QCOMPARE(tenth.figures.withLevel, hasLevel ? 1 : 0);
    }

    // A level as text: one decimal, the decimal nearest the double itself (0.15 is
    // stored a little below a half), an exact half away from zero; the stored tables
    // and event logs hold it.
    void levelAsText_data() {
        QTest::addColumn<double>("level");
        QTest::addColumn<QString>("text");
        QTest::newRow("63.44") << 63.44 << "63.4";
        QTest::newRow("63.46") << 63.46 << "63.5";
        QTest::newRow("0.25, an exact half") << 0.25 << "0.3";
        QTest::newRow("0.15, just below a half") << 0.15 << "0.1";
        QTest::newRow("whole") << 145.0 << "145.0";
        QTest::newRow("99.96, up to a new digit") << 99.96 << "100.0";
    }
    void levelAsText() {
        QFETCH(double, level);
        QFETCH(QString, text);
        QCOMPARE(lp::stats::levelText(level), text);
        QCOMPARE(lp::stats::decibelsText(level), text + " dB");
    }

    void noLevel_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("empty list") << QStringList{};
        QTest::newRow("only stars") << QStringList{"*", "65.0*", "**"};
    }
    void noLevel() {
        QFETCH(QStringList, texts);
        for (const Resolution res : {Resolution::TenthDb, Resolution::WholeDb}) {
            const LnResult r = computeLn(res, texts);
            QVERIFY(!r.hasLevel);
            QCOMPARE(r.levels, QStringList(100));
            QCOMPARE(r.figures.leftOut, texts.size());
            QVERIFY(!r.figures.leq && !r.figures.lmax && !r.figures.lmin);
        }
    }

    void figures_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<double>("leq");
        QTest::addColumn<double>("lmax");
        QTest::addColumn<double>("lmin");
        QTest::addColumn<qint64>("leftOut");
        // 10*log10((10^6 + 10^8) / 2) = 77.03
        QTest::newRow("60 and 80")
            << QStringList{"60.0", "80.0"} << 77.0333 << 80.0 << 60.0 << qint64(0);
        // Energy dominated by the loud record: 10*log10((1 + 10^14)/2) ~ 136.99
        QTest::newRow("far apart")
            << QStringList{"0.0", "140.0"} << 136.9897 << 140.0 << 0.0 << qint64(0);
        QTest::newRow("marks and absurd texts left out")
            << QStringList{"60.0", "L",      "-",   "*",  QString(309, u'9'),
                           "80.0", "+150.5", "145", "abc"}
            << 77.0333 << 80.0 << 60.0 << qint64(7);
    }
    void figures() {
        QFETCH(QStringList, texts);
        QFETCH(double, leq);
        const LnResult r = computeLn(Resolution::WholeDb, texts);
        QVERIFY(r.figures.leq.has_value());
        QVERIFY2(std::abs(*r.figures.leq - leq) < 1e-3,
                 qPrintable(QString::number(*r.figures.leq)));
        QTEST(*r.figures.lmax, "lmax");
        QTEST(*r.figures.lmin, "lmin");
        QTEST(r.figures.leftOut, "leftOut");
    }

    // Row r holds "L(r0)" and L(10r) .. L(10r + 9); class texts at both resolutions.
    void tableRowsAndClassTexts() {
        QStringList levels;
        for (int n = 0; n < 100; ++n) {
            levels << QString::number(100 - n);
        }
        levels[99].clear();
        const QList<QStringList> rows = lnTableRows(levels);
        QCOMPARE(rows.size(), 10);
        QCOMPARE(rows[0].join(u' '), "L(00) 100 99 98 97 96 95 94 93 92 91");
        QCOMPARE(rows[3][0], "L(30)");
        QCOMPARE(rows[3][8], "63");  // L37 = 100 - 37
        QCOMPARE(rows[9][10], QString());
        QCOMPARE(classText(0, Resolution::TenthDb), "0.0");
        QCOMPARE(classText(1450, Resolution::TenthDb), "145.0");
        QCOMPARE(classText(65, Resolution::WholeDb), "65");
    }

    // The timed levels of a survey give the classes and figures of the level texts they
    // were read from (their Ln levels are the survey's own: test_survey).
    void sameAsTexts_data() {
        QTest::addColumn<QStringList>("texts");
        // Written otherwise than "65.3": the class is round-half-even of the tenths.
        QTest::newRow("levels between classes")
            << QStringList{"65.25", "65.35", "70", "0.0", "144.9", "33.3"};
        QTest::newRow("one record") << QStringList{"72.4"};
    }
    void sameAsTexts() {
        QFETCH(QStringList, texts);
        std::vector<LevelSample> samples;
        qint64 time = 0;
        for (const QString& text : texts) {
            samples.push_back(levelSample(time++, readLevel(QStringView(text)).value));
        }
        const LnResult fromTexts = computeLn(Resolution::TenthDb, texts);
        const LnResult fromSamples = lnOfSamples(samples);
        QCOMPARE(fromSamples.recordCount, fromTexts.recordCount);
        QCOMPARE(fromSamples.counts, fromTexts.counts);
        QCOMPARE(fromSamples.classMin, fromTexts.classMin);
        QCOMPARE(fromSamples.classMax, fromTexts.classMax);
        QCOMPARE(fromSamples.figures.withLevel, fromTexts.figures.withLevel);
        QCOMPARE(*fromSamples.figures.lmax, *fromTexts.figures.lmax);
        QCOMPARE(*fromSamples.figures.lmin, *fromTexts.figures.lmin);
        QVERIFY(qAbs(*fromSamples.figures.leq - *fromTexts.figures.leq) < 1e-9);
    }

    void noSamples() {
        const LnResult r = lnOfSamples({});
        QVERIFY(!r.hasLevel);
        QVERIFY(!r.figures.leq);
    }
};

QTEST_APPLESS_MAIN(TestLnStats)
#include "test_ln_stats.moc"
