// The line charts' widget-free rules: frame geometry, where a value is drawn, the
// real-time sweep with its settings, and the record plot's range, limits and labels.
#include <QTest>

#include "charts/chart_rules.h"

using namespace lp::charts;

Q_DECLARE_METATYPE(std::vector<qint64>)

class TestChartRules : public QObject {
    Q_OBJECT
private slots:
    // The plot area: value axis at 60, time axis 27 above the bottom, the width cut
    // to a multiple of 30, the height 100 less than the drawing area's.
    void frameGeometry() {
        const PlotFrame f = plotFrame(400, 360);
        QCOMPARE(f.left, 60.0);
        QCOMPARE(f.base, 333.0);
        QCOMPARE(f.width, 330.0);  // 340 cut to 330
        QCOMPARE(f.height, 260.0);
        QCOMPARE(plotFrame(450, 360).width, 390.0);  // 390 is already a multiple
    }

    // In proportion inside the range; beyond it just outside the plot, never farther.
    void stepAndClampHeights() {
        QCOMPARE(pointHeight(80, 30, 130, 200), 100.0);
        QCOMPARE(pointHeight(30, 30, 130, 200), 0.0);
        QCOMPARE(pointHeight(130, 30, 130, 200), 200.0);
        QCOMPARE(pointHeight(29.9, 30, 130, 200), -3.0);
        QCOMPARE(pointHeight(0, 30, 130, 200), -3.0);
        QCOMPARE(pointHeight(130.1, 30, 130, 200), 205.0);
        QCOMPARE(pointHeight(1000, 30, 130, 200), 205.0);
        QCOMPARE(pointHeight(50, 50, 50, 200), 0.0);  // a range of no height divides by nothing
    }

    void axisLabels() {
        QCOMPARE(axisValue(30, 130, 0), 30.0);
        QCOMPARE(axisValue(30, 130, 3), 67.5);
        QCOMPARE(axisValue(30, 130, 8), 130.0);
        QCOMPARE(numberLabel(67.5), QStringLiteral(" 67.5"));
        QCOMPARE(numberLabel(-3), QStringLiteral("-3"));
        QCOMPARE(cutLabel(30 + 100.0 / 3), QStringLiteral(" 63.3"));  // 63.333 cut
        QCOMPARE(cutLabel(45.19), QStringLiteral(" 45.1"));           // cut, not rounded
        QCOMPARE(cutLabel(37.5), QStringLiteral(" 37.5"));
    }

    // The first tick starts a sweep at x = 0 with no line; later points join the one
    // before; past the right edge the chart is cleared and starts again at the left.
    void sweepRestartsAtTheRightEdge() {
        Sweep sweep;
        sweep.restart(120);
        SweepStep s = sweep.tick(80, 200);
        QVERIFY(s.newSweep);
        QCOMPARE(s.x, 0.0);
        QVERIFY(!s.joined);
        QCOMPARE(s.height, 100.0);
        s = sweep.tick(130, 200);
        QVERIFY(!s.newSweep);
        QCOMPARE(s.x, 1.0);
        QVERIFY(s.joined);
        QCOMPARE(s.prevX, 0.0);
        QCOMPARE(s.prevHeight, 100.0);
        for (int i = 2; i <= 120; ++i) {
            s = sweep.tick(80, 200);
            QVERIFY(!s.newSweep);
        }
        QCOMPARE(s.x, 120.0);  // the right edge itself still belongs to this sweep
        s = sweep.tick(80, 200);
        QVERIFY(s.newSweep);
        QCOMPARE(s.x, 0.0);
        QVERIFY(!s.joined);
        QVERIFY(sweep.tick(80, 200).joined);
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

    // Counts points fill one sweep: the step is the plot width over the counts, and
    // the settings show the counts back.
    void countsToStep() {
        Sweep sweep;
        sweep.restart(300);
        QCOMPARE(sweep.counts(), 300.0);
        QCOMPARE(sweep.apply(130, 30, 10), Sweep::Refusal::None);
        QCOMPARE(sweep.step(), 30.0);
        QCOMPARE(sweep.counts(), 10.0);
        QCOMPARE(sweep.apply(130, 30, 864000), Sweep::Refusal::None);
        QCOMPARE(sweep.step(), 300.0 / 864000);
        QCOMPARE(sweep.counts(), 864000.0);
        // A new step starts a new sweep.
        QVERIFY(sweep.tick(50, 100).newSweep);
    }

    void sweepSettingsAtTheirBounds_data() {
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("counts");
        QTest::addColumn<int>("refusal");
        QTest::newRow("130 and 30") << 130.0 << 30.0 << 100.0 << int(Sweep::Refusal::None);
        QTest::newRow("max = min") << 80.0 << 80.0 << 100.0 << int(Sweep::Refusal::Value);
        QTest::newRow("max 131") << 131.0 << 30.0 << 100.0 << int(Sweep::Refusal::Value);
        QTest::newRow("min 29") << 130.0 << 29.0 << 100.0 << int(Sweep::Refusal::Value);
        QTest::newRow("counts 10") << 90.0 << 40.0 << 10.0 << int(Sweep::Refusal::None);
        QTest::newRow("counts 864000") << 90.0 << 40.0 << 864000.0 << int(Sweep::Refusal::None);
        QTest::newRow("counts 9") << 90.0 << 40.0 << 9.0 << int(Sweep::Refusal::Counts);
        QTest::newRow("counts 864001") << 90.0 << 40.0 << 864001.0 << int(Sweep::Refusal::Counts);
    }
    void sweepSettingsAtTheirBounds() {
        QFETCH(double, max);
        QFETCH(double, min);
        QFETCH(double, counts);
        QFETCH(int, refusal);
        Sweep sweep;
        sweep.restart(300);
        QCOMPARE(int(sweep.apply(max, min, counts)), refusal);
        if (refusal == int(Sweep::Refusal::Value)) {  // nothing changes
            QCOMPARE(sweep.maxValue(), 130.0);
            QCOMPARE(sweep.minValue(), 30.0);
        } else {  // the value range is in force even when the counts are refused
            QCOMPARE(sweep.maxValue(), max);
            QCOMPARE(sweep.minValue(), min);
        }
        QCOMPARE(sweep.step(), refusal == int(Sweep::Refusal::None) ? 300.0 / counts : 1.0);
    }

    void messages() {
        QCOMPARE(sweepValueMessage(), QStringLiteral("30 <= Value <= 130, try again!"));
        QCOMPARE(sweepCountsMessage(), QStringLiteral("10 <= Counts <= 864000, try again!"));
        QCOMPARE(plotValueMessage(130), QStringLiteral("Invalid, 0 <= Value <= 130"));
        QCOMPARE(plotRecordsMessage(348000), QStringLiteral("Invalid, 0 <= Records <= 348000"));
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
        std::vector<qint64> byRule;
        for (qint64 k = 1; k <= count; ++k) {
            if (hasTimeLabel(k, count)) {
                byRule.push_back(k);
            }
        }
        QCOMPARE(byRule, labelled);
    }

    // Two records are a plot wide apart; one record or none has no step.
    void plotSteps() {
        QCOMPARE(plotStep(330, 2), 330.0);
        QCOMPARE(plotStep(330, 11), 33.0);
        QCOMPARE(plotStep(330, 1), 0.0);
        QCOMPARE(plotStep(330, 0), 0.0);
    }

    void plotLimitsAtTheirBounds_data() {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("refusal");
        const int ok = int(PlotRefusal::None);
        const int value = int(PlotRefusal::Value);
        const int records = int(PlotRefusal::Records);
        QTest::newRow("whole range") << 0.0 << 130.0 << 1.0 << 50.0 << ok;
        QTest::newRow("min < 0") << -0.1 << 130.0 << 1.0 << 50.0 << value;
        QTest::newRow("max 131") << 30.0 << 131.0 << 1.0 << 50.0 << value;
        QTest::newRow("min = max") << 60.0 << 60.0 << 1.0 << 50.0 << value;
        QTest::newRow("from 0") << 30.0 << 130.0 << 0.0 << 50.0 << records;
        QTest::newRow("from = to") << 30.0 << 130.0 << 7.0 << 7.0 << records;
        QTest::newRow("to 51") << 30.0 << 130.0 << 1.0 << 51.0 << records;
        QTest::newRow("part") << 40.0 << 90.0 << 5.0 << 12.0 << ok;
    }
    void plotLimitsAtTheirBounds() {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(int, refusal);
        PlotRange range = plotRangeFor(50);
        QCOMPARE(range.count(), qint64(50));
        const PlotRange before = range;
        QCOMPARE(int(applyPlotLimits(range, min, max, from, to)), refusal);
        if (refusal != int(PlotRefusal::None)) {
            QCOMPARE(range.bottom, before.bottom);
            QCOMPARE(range.top, before.top);
            QCOMPARE(range.first, before.first);
            QCOMPARE(range.last, before.last);
        } else {
            QCOMPARE(range.bottom, min);
            QCOMPARE(range.top, max);
            QCOMPARE(range.first, qint64(from));
            QCOMPARE(range.count(), qint64(to - from + 1));
        }
    }

    void levelTexts() {
        QCOMPARE(levelValue("65.3"), 65.3);
        QCOMPARE(levelValue(" 105.0"), 105.0);
        QCOMPARE(levelValue("-3.5x"), -3.5);
        QCOMPARE(levelValue("60"), 60.0);
        QCOMPARE(levelValue("OVER"), 0.0);
        QCOMPARE(levelValue(""), 0.0);
    }

    // Records that share a pixel column become one span; a sparse curve keeps every
    // point as it is.
    void columnReduction() {
        ColumnReducer dense(1.0);
        dense.add(0.1, 10);
        dense.add(0.5, 30);
        dense.add(0.9, 20);
        dense.add(1.2, 5);
        QCOMPARE(dense.columns().size(), size_t(2));
        const CurveColumn& c = dense.columns()[0];
        QCOMPARE(c.firstY, 10.0);
        QCOMPARE(c.lastY, 20.0);
        QCOMPARE(c.low, 10.0);
        QCOMPARE(c.high, 30.0);
        QCOMPARE(c.points, qint64(3));
        QCOMPARE(dense.columns()[1].firstX, 1.2);

        ColumnReducer sparse(0.5);
        for (int i = 0; i < 4; ++i) {
            sparse.add(i * 3.0, i);
        }
        QCOMPARE(sparse.columns().size(), size_t(4));
        QCOMPARE(sparse.columns()[3].column, qint64(18));
        QCOMPARE(sparse.columns()[3].firstX, 9.0);
    }
};

QTEST_MAIN(TestChartRules)
#include "test_chart_rules.moc"
