// The percentile levels of a survey's timed levels agree with those of the level texts
// they were read from.
#include <QTest>

#include "stats/level_tally.h"
#include "stats/ln_computation.h"
#include "stats/sample_ln.h"

using namespace lp::stats;

class TestSampleLn : public QObject {
    Q_OBJECT
private slots:
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
        QCOMPARE(fromSamples.levels, fromTexts.levels);
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

QTEST_APPLESS_MAIN(TestSampleLn)
#include "test_sample_ln.moc"
