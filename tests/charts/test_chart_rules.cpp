// The line charts' widget-free rules: frame geometry, where a value is drawn, the
// real-time sweep with its settings, and the record plot's range, limits and labels.
#include <QTest>

#include "charts/chart_rules.h"

using namespace lp::charts;

Q_DECLARE_METATYPE(std::vector<qint64>)

class TestChartRules : public QObject {
    Q_OBJECT
private slots:
    // The plot area, a level's height (just outside the plot beyond the range), axis
    // values, the record plot's step and a level text, each a number.
    void numbers_data() {
        QTest::addColumn<double>("got");
        QTest::addColumn<double>("expected");
        const PlotFrame f = plotFrame(400, 360);
        QTest::newRow("frame left") << f.left << 60.0;
        QTest::newRow("frame base") << f.base << 333.0;
        QTest::newRow("frame width 340 cut") << f.width << 330.0;
        QTest::newRow("frame width 390") << plotFrame(450, 360).width << 390.0;
        QTest::newRow("frame height") << f.height << 260.0;
        QTest::newRow("text that fits stays") << keptInside(300, 90, 400, 60) << 300.0;
        QTest::newRow("text moved left") << keptInside(300, 120, 400, 60) << 275.0;
        QTest::newRow("text never left of leftmost") << keptInside(300, 500, 400, 60) << 60.0;
        QTest::newRow("height middle") << pointHeight(80, 30, 130, 200) << 100.0;
        QTest::newRow("height bottom") << pointHeight(30, 30, 130, 200) << 0.0;
        QTest::newRow("height top") << pointHeight(130, 30, 130, 200) << 200.0;
        QTest::newRow("height just below") << pointHeight(29.9, 30, 130, 200) << -3.0;
        QTest::newRow("height just above") << pointHeight(130.1, 30, 130, 200) << 205.0;
        QTest::newRow("height, empty range") << pointHeight(50, 50, 50, 200) << 0.0;
        QTest::newRow("axis 0") << axisValue(30, 130, 0) << 30.0;
        QTest::newRow("axis 3") << axisValue(30, 130, 3) << 67.5;
        QTest::newRow("axis 8") << axisValue(30, 130, 8) << 130.0;
        QTest::newRow("step 2 records") << plotStep(330, 2) << 330.0;
        QTest::newRow("step 11 records") << plotStep(330, 11) << 33.0;
        QTest::newRow("step 1 record") << plotStep(330, 1) << 0.0;
        QTest::newRow("step no record") << plotStep(330, 0) << 0.0;
        QTest::newRow("level 65.3") << levelValue("65.3") << 65.3;
        QTest::newRow("level, leading blank") << levelValue(" 105.0") << 105.0;
        QTest::newRow("level, trailing letter") << levelValue("-3.5x") << -3.5;
        QTest::newRow("level 60") << levelValue("60") << 60.0;
        QTest::newRow("level OVER") << levelValue("OVER") << 0.0;
        QTest::newRow("level empty") << levelValue("") << 0.0;
    }
    void numbers() {
        QFETCH(double, got);
        QTEST(got, "expected");
    }

    // Axis labels (cut, not rounded) and the refusal messages.
    void texts_data() {
        QTest::addColumn<QString>("got");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number") << numberLabel(67.5) << " 67.5";
        QTest::newRow("negative") << numberLabel(-3) << "-3";
        QTest::newRow("cut 45.19") << cutLabel(45.19) << " 45.1";
        QTest::newRow("cut 37.5") << cutLabel(37.5) << " 37.5";
        QTest::newRow("sweep value") << sweepValueMessage() << "30 <= Value <= 130, try again!";
        QTest::newRow("sweep counts")
            << sweepCountsMessage() << "10 <= Counts <= 864000, try again!";
        QTest::newRow("plot value") << plotValueMessage(130) << "Invalid, 0 <= Value <= 130";
        QTest::newRow("plot records")
            << plotRecordsMessage(348000) << "Invalid, 0 <= Records <= 348000";
    }
    void texts() {
        QFETCH(QString, got);
        QTEST(got, "expected");
    }

    // The first tick starts a sweep at x = 0 with no line; later points join the one
    // before; past the right edge the chart is cleared and starts again at the left.
    void sweepRestartsAtTheRightEdge() {
        const auto show = [](const SweepStep& s) {
            return QStringLiteral("%1x %2, h %3%4")
                .arg(s.newSweep ? "new " : "")
                .arg(s.x)
                .arg(s.height)
                .arg(s.joined ? QStringLiteral(" from %1, %2").arg(s.prevX).arg(s.prevHeight)
                              : QString());
        };
        Sweep sweep;
        sweep.restart(120);
        QCOMPARE(show(sweep.tick(80, 200)), "new x 0, h 100");
        QCOMPARE(show(sweep.tick(130, 200)), "x 1, h 200 from 0, 100");
        for (int i = 2; i < 120; ++i) {
            (void)sweep.tick(80, 200);
        }
        // The right edge itself still belongs to this sweep.
        QCOMPARE(show(sweep.tick(80, 200)), "x 120, h 100 from 119, 100");
        QCOMPARE(show(sweep.tick(80, 200)), "new x 0, h 100");
        QCOMPARE(show(sweep.tick(80, 200)), "x 1, h 100 from 0, 100");
    }

    // At one unit a step: a time label every 60 ticks, a short mark every 30 between.
    void sweepMarks() {
        Sweep sweep;
        sweep.restart(300);
        QList<int> labels;
        QList<int> halves;
        for (int i = 0; i <= 180; ++i) {
            const SweepStep s = sweep.tick(50, 200);
            if (s.mark == SweepMark::TimeLabel) {
                labels << int(s.x);
            } else if (s.mark == SweepMark::HalfMark) {
                halves << int(s.x);
            }
        }
        QCOMPARE(labels, (QList<int>{0, 60, 120, 180}));
        QCOMPARE(halves, (QList<int>{30, 90, 150}));
    }

    // Refusals change nothing (refused counts keep the new values); the counts fill one
    // sweep, and new settings start a new one.
    void sweepSettingsAtTheirBounds_data() {
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("counts");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("settings");
        const int ok = int(Sweep::Refusal::None);
        const int value = int(Sweep::Refusal::Value);
        const int refused = int(Sweep::Refusal::Counts);
        const QString none = "30..130, step 1, counts 300";
        QTest::newRow("130 and 30")
            << 130.0 << 30.0 << 100.0 << ok << "30..130, step 3, counts 100";
        QTest::newRow("max = min") << 80.0 << 80.0 << 100.0 << value << none;
        QTest::newRow("max 131") << 131.0 << 30.0 << 100.0 << value << none;
        QTest::newRow("min 29") << 130.0 << 29.0 << 100.0 << value << none;
        QTest::newRow("counts 10") << 90.0 << 40.0 << 10.0 << ok << "40..90, step 30, counts 10";
        QTest::newRow("counts 864000")
            << 90.0 << 40.0 << 864000.0 << ok << "40..90, step 0.000347222, counts 864000";
        QTest::newRow("counts 9") << 90.0 << 40.0 << 9.0 << refused << "40..90, step 1, counts 300";
        QTest::newRow("counts 864001")
            << 90.0 << 40.0 << 864001.0 << refused << "40..90, step 1, counts 300";
    }
    void sweepSettingsAtTheirBounds() {
        QFETCH(double, max);
        QFETCH(double, min);
        QFETCH(double, counts);
        Sweep sweep;
        sweep.restart(300);
        (void)sweep.tick(50, 100);
        const int refusal = int(sweep.apply(max, min, counts));
        QTEST(refusal, "refusal");
        QTEST(QString::asprintf("%g..%g, step %g, counts %g", sweep.minValue(), sweep.maxValue(),
                                sweep.step(), sweep.counts()),
              "settings");
        if (refusal == int(Sweep::Refusal::None)) {
            QVERIFY(sweep.tick(50, 100).newSweep);
        }
    }

    // Fewer than 10 records: odd k and the last; from 10 on: 1, the fifths and the last.
    void timeLabels_data() {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<std::vector<qint64>>("labelled");
        QTest::newRow("2") << qint64(2) << std::vector<qint64>{1, 2};
        QTest::newRow("9") << qint64(9) << std::vector<qint64>{1, 3, 5, 7, 9};
        QTest::newRow("10") << qint64(10) << std::vector<qint64>{1, 2, 4, 6, 8, 10};
        QTest::newRow("11") << qint64(11) << std::vector<qint64>{1, 2, 4, 6, 8, 11};
        QTest::newRow("1") << qint64(1) << std::vector<qint64>{1};
    }
    void timeLabels() {
        QFETCH(qint64, count);
        QFETCH(std::vector<qint64>, labelled);
        QCOMPARE(timeLabelPositions(count), labelled);
    }

    // A refusal changes nothing.
    void plotLimitsAtTheirBounds_data() {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("range");
        const int ok = int(PlotRefusal::None);
        const int value = int(PlotRefusal::Value);
        const int records = int(PlotRefusal::Records);
        const QString all = "30..130 dB, 1..50 (50)";
        QTest::newRow("whole range")
            << 0.0 << 130.0 << 1.0 << 50.0 << ok << "0..130 dB, 1..50 (50)";
        QTest::newRow("min < 0") << -0.1 << 130.0 << 1.0 << 50.0 << value << all;
        QTest::newRow("max 131") << 30.0 << 131.0 << 1.0 << 50.0 << value << all;
        QTest::newRow("min = max") << 60.0 << 60.0 << 1.0 << 50.0 << value << all;
        QTest::newRow("from 0") << 30.0 << 130.0 << 0.0 << 50.0 << records << all;
        QTest::newRow("from = to") << 30.0 << 130.0 << 7.0 << 7.0 << records << all;
        QTest::newRow("to 51") << 30.0 << 130.0 << 1.0 << 51.0 << records << all;
        QTest::newRow("part") << 40.0 << 90.0 << 5.0 << 12.0 << ok << "40..90 dB, 5..12 (8)";
    }
    void plotLimitsAtTheirBounds() {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, from);
        QFETCH(double, to);
        PlotRange range = plotRangeFor(50);
        QTEST(int(applyPlotLimits(range, min, max, from, to)), "refusal");
        QTEST(QString::asprintf("%g..%g dB, %lld..%lld (%lld)", range.bottom, range.top,
                                range.first, range.last, range.count()),
              "range");
    }

    // Records that share a pixel column become one span; a sparse curve keeps every
    // point as it is.
    void columnReduction() {
        const auto show = [](const ColumnReducer& r) {
            QStringList columns;
            for (const CurveColumn& c : r.columns()) {
                columns << QString::asprintf("%lld: x %g..%g, y %g..%g in %g..%g, %lld", c.column,
                                             c.firstX, c.lastX, c.firstY, c.lastY, c.low, c.high,
                                             c.points);
            }
            return columns.join(" | ");
        };
        ColumnReducer dense(1.0);
        for (const auto& [x, y] : {std::pair{0.1, 10}, {0.5, 30}, {0.9, 20}, {1.2, 5}}) {
            dense.add(x, y);
        }
        QCOMPARE(show(dense),
                 "0: x 0.1..0.9, y 10..20 in 10..30, 3 | 1: x 1.2..1.2, y 5..5 in 5..5, 1");
        ColumnReducer sparse(0.5);
        for (int i = 0; i < 4; ++i) {
            sparse.add(i * 3.0, i);
        }
        QCOMPARE(show(sparse),
                 "0: x 0..0, y 0..0 in 0..0, 1 | 6: x 3..3, y 1..1 in 1..1, 1 | "
                 "12: x 6..6, y 2..2 in 2..2, 1 | 18: x 9..9, y 3..3 in 3..3, 1");
    }
};

QTEST_MAIN(TestChartRules)
#include "test_chart_rules.moc"
