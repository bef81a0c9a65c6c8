// Numbers read from texts and levels written as texts.
#include <QTest>
#include <cmath>
#include <limits>

#include "platform/numeric_text.h"

using namespace lp::platform;

class TestNumericText : public QObject {
    Q_OBJECT
private slots:
    void leading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "65.3" << 65.3;
        QTest::newRow("unit after") << "2 sec" << 2.0;
        QTest::newRow("blanks first") << "  72.4x" << 72.4;
        QTest::newRow("negative") << "-5" << -5.0;
        QTest::newRow("word") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("point only") << "65." << 65.0;
        QTest::newRow("stops at second point") << "1.2.3" << 1.2;
        QTest::newRow("comma stops") << "1,800" << 1.0;
        // Far more digits than a double holds: still a finite number.
        QTest::newRow("hundreds of fraction digits") << "0." + QString(309, u'9') << 1.0;
        QTest::newRow("hundreds of digits")
            << QString(400, u'9') << std::numeric_limits<double>::max();
    }
    void leading() {
        QFETCH(QString, text);
        QFETCH(double, value);
        const QByteArray bytes = text.toLatin1();  // the record store's texts read alike
        QCOMPARE(leadingNumber(text), value);
        QCOMPARE(leadingNumber(QLatin1StringView(bytes)), value);
    }

    void halfEven() {
        const QList<std::pair<double, double>> cases{{2.5, 2.0},     {3.5, 4.0},   {652.5, 652.0},
                                                     {657.5, 658.0}, {-0.5, -0.0}, {2.6, 3.0}};
        for (const auto& [value, rounded] : cases) {
            QCOMPARE(roundHalfEven(value), rounded);
        }
    }

    // levelText always with one decimal, shortestText without a zero decimal.
    void levels_data() {
        QTest::addColumn<float>("level");
        QTest::addColumn<QString>("texts");  // levelText shortestText
        QTest::newRow("65.3") << 65.3f << "65.3 65.3";
        QTest::newRow("60") << 60.0f << "60.0 60";
        QTest::newRow("105.2 one decimal") << 105.2f << "105.2 105.2";
        QTest::newRow("0.5") << 0.5f << "0.5 0.5";
        QTest::newRow("0") << 0.0f << "0.0 0";
    }
    void levels() {
        QFETCH(float, level);
        QTEST(levelText(level) + u' ' + shortestText(level), "texts");
    }

    // The tables of the survey commands write their figures with putFixed: the same
    // text as QString::number for halves that are exact in binary (away from zero),
    // their neighbours, negative values near zero, values past its exact range, and a
    // spread of ordinary ones.
    void fixedAsQString() {
        QList<double> values{0.0,     -0.0,  0.25, -0.25, 70.25, 0.0625, 0.35,  -0.04,
                             -0.0005, 99.95, 1e15, -2e17, 1e300, 0.0005, 145.05};
        for (const double half : {0.25, 40.25, 0.0625, 9.5, 0.5}) {
            values << std::nextafter(half, 0.0) << std::nextafter(half, 1e9);
        }
        for (double large = 0.95; large < 1e13; large *= 7.3) {  // every count of digits
            values << large << -large << std::round(large) - 0.05;
        }
        for (int i = 0; i < 20000; ++i) {
            values << i * 0.0125 - 50.0 << (i % 1451) / 40.0 << 120.0 * i / 19997.0;
        }
        for (const double value : values) {
            for (int decimals = 0; decimals <= 3; ++decimals) {
                char text[kMostFixedBytes];
                const char* end = putFixed(text, value, decimals);
                QCOMPARE(QByteArray(text, end - text),
                         QString::number(value, 'f', decimals).toLatin1());
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestNumericText)
#include "test_numeric_text.moc"
