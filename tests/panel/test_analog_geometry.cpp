// The analog dial's numbers: needle angles with their pins, the five scale texts
// and their places, and the ticks.
#include <QTest>
#include <cmath>

#include "panel/analog_geometry.h"

using namespace lp;

class TestAnalogGeometry : public QObject {
    Q_OBJECT
private slots:
    void needle_data() {
        QTest::addColumn<float>("level");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<float>("angle");
        QTest::newRow("55 in 30..80 points up") << 55.0f << 80 << 30 << 90.0f;
        QTest::newRow("high end") << 80.0f << 80 << 30 << 35.0f;
        QTest::newRow("low end") << 30.0f << 80 << 30 << 145.0f;
        QTest::newRow("85 pinned right") << 85.0f << 80 << 30 << 35.0f;
        QTest::newRow("20 pinned left") << 20.0f << 80 << 30 << 145.0f;
        QTest::newRow("quarter of 30..130") << 105.0f << 130 << 30 << 62.5f;
        QTest::newRow("range 0..0 at rest") << 50.0f << 0 << 0 << 145.0f;
    }
    void needle() {
        QFETCH(float, level);
        QFETCH(int, high);
        QFETCH(int, low);
        QTEST(panel::needleAngle(level, qint16(high), qint16(low)), "angle");
    }

    void scaleNumbers_data() {
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("40..90") << 90 << 40 << QStringList{" 65", " 77.5", " 52.5", " 90", " 40"};
        QTest::newRow("30..130") << 130 << 30 << QStringList{" 80", " 105", " 55", " 130", " 30"};
        QTest::newRow("0..0") << 0 << 0 << QStringList{" 0", " 0", " 0", " 0", " 0"};
    }
    void scaleNumbers() {
        QFETCH(int, high);
        QFETCH(int, low);
        QStringList got;
        for (const auto& n : panel::scaleNumbers(qint16(high), qint16(low))) {
            got << n.text;
        }
        QTEST(got, "texts");
    }

    // The five numbers stand at 90, 63, 117, 39.6 and 140.4 degrees, 1.16 R out; the
    // middle one is centred on x = 1.
    void scaleNumberPlaces() {
        const auto numbers = panel::scaleNumbers(80, 30);
        const double degrees[] = {90.0, 63.0, 117.0, 39.6, 140.4};
        for (int i = 0; i < 5; ++i) {
            QVERIFY(std::abs(numbers[i].angle * 180.0 / M_PI - degrees[i]) < 1e-4);
            QCOMPARE(numbers[i].middle, i == 0);
        }
        QCOMPARE(panel::scaleNumberTopLeft(numbers[0], 2000.0, 300.0),
                 QPointF(1.0 - 150.0, 2320.0));
        const QPointF p = panel::scaleNumberTopLeft(numbers[4], 2000.0, 300.0);
        QVERIFY(std::abs(p.x() - (2320.0 * std::cos(140.4 * M_PI / 180) - 150.0)) < 0.01);
        QVERIFY(std::abs(p.y() - 2320.0 * std::sin(140.4 * M_PI / 180)) < 0.01);
    }

    // 41 ticks from 36 degrees in steps of 2.7: long every tenth, middle every fifth.
    void ticks() {
        const auto ticks = panel::dialTicks();
        QCOMPARE(ticks.size(), size_t(41));
        QString lengths;
        for (size_t i = 0; i < ticks.size(); ++i) {
            const double degrees = ticks[i].angle * 180.0 / panel::kDialPi;
            QVERIFY(std::abs(degrees - (36.0 + 2.7 * double(i))) < 1e-9);
            const double k = ticks[i].outer;
            lengths += k == 1.08 ? 'L' : k == 1.06 ? 'M' : k == 1.03 ? '.' : '?';
        }
        QCOMPARE(lengths, "L....M....L....M....L....M....L....M....L");
    }
};

QTEST_APPLESS_MAIN(TestAnalogGeometry)
#include "test_analog_geometry.moc"
