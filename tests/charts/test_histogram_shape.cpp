// The histogram's widget-free parts: where bars stand and how they are outlined,
// tick steps, and the track modes with their stored numbers and hints.
#include <QTest>

#include "charts/histogram_shape.h"
#include "charts/track_modes.h"

using namespace lp::charts;
using lp::stats::Resolution;

Q_DECLARE_METATYPE(lp::stats::Resolution)

class TestHistogramShape : public QObject {
    Q_OBJECT
private slots:
    // Bars stand from their class's level to the next one's; neighbours share an
    // edge, and the outline comes down to 0 only where a run of bars ends.
    void barOutline_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::addColumn<QList<qint64>>("counts");
        QTest::addColumn<QList<QPointF>>("outline");
        QList<qint64> counts(1451, 0);
        counts[653] = 3;
        counts[700] = 1;
        QTest::newRow("0.1 dB: 65.3 and 70.0")
            << Resolution::TenthDb << counts
            << QList<QPointF>{{65.3, 0}, {65.3, 3}, {65.4, 3}, {65.4, 0},
                              {70.0, 0}, {70.0, 1}, {70.1, 1}, {70.1, 0}};
        QTest::newRow("1 dB: neighbours share an edge")
            << Resolution::WholeDb << QList<qint64>{0, 2, 5, 0}
            << QList<QPointF>{{1, 0}, {1, 2}, {2, 2}, {2, 5}, {3, 5}, {3, 0}};
        QTest::newRow("class 0 and the last class")
            << Resolution::WholeDb << QList<qint64>{1, 0, 4}
            << QList<QPointF>{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {2, 0}, {2, 4}, {3, 4}, {3, 0}};
    }
    void barOutline() {
        QFETCH(Resolution, resolution);
        QFETCH(QList<qint64>, counts);
        QTEST(lp::charts::barOutline(counts, resolution), "outline");
    }

    void steps() {
        QCOMPARE(classLevel(653, Resolution::TenthDb), 65.3);
        QCOMPARE(classLevel(65, Resolution::WholeDb), 65.0);
        QCOMPARE(niceStep(10.1, 10, 0.1), 1.0);
        QCOMPARE(niceStep(1.2, 10, 0.1), 0.1);  // never below one class
        QCOMPARE(niceStep(0.3, 10, 0.1), 0.1);
        QCOMPARE(niceStep(120, 6, 1), 20.0);
        QCOMPARE(niceStep(300, 6, 1), 50.0);
        QCOMPARE(niceStep(0, 6, 1), 1.0);
    }

    void trackModes() {
        const QString drag =
            "Clique em alguma parte da área de renderização e arraste para expandir o gráfico ";
        const QString zoom = "Selecione uma região do gráfico para aumentar o zoom ";
        const QStringList expected{
            "Normal 1 Normal mode",
            "PanXY 3 " + drag + "horizontal e verticalmente.",
            "PanX 4 " + drag + "horizontalmente.",
            "PanY 5 " + drag + "verticalmente.",
            "ZoomXY 6 " + zoom + "horizontal e verticalmente.",
            "ZoomX 7 " + zoom + "horizontalmente.",
            "ZoomY 8 " + zoom + "verticalmente.",
            "Reset 1  resets",
        };
        QStringList items;
        for (const TrackModeItem& item : trackModeItems()) {
            items << item.name + u' ' + QString::number(static_cast<int>(item.mode)) + u' ' +
                         item.hint + (item.resetsView ? " resets" : "");
        }
        QCOMPARE(items, expected);
    }
};

QTEST_APPLESS_MAIN(TestHistogramShape)
#include "test_histogram_shape.moc"
