// Numbers read from texts and levels written as texts.
#include <QTest>

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
    }
    void leading() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(leadingNumber(text), value);
    }

    void halfEven() {
        QCOMPARE(roundHalfEven(2.5), 2.0);
        QCOMPARE(roundHalfEven(3.5), 4.0);
        QCOMPARE(roundHalfEven(652.5), 652.0);
        QCOMPARE(roundHalfEven(657.5), 658.0);
        QCOMPARE(roundHalfEven(-0.5), -0.0);
        QCOMPARE(roundHalfEven(2.6), 3.0);
    }

    void levels_data() {
        QTest::addColumn<float>("level");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortest");
        QTest::newRow("65.3") << 65.3f << "65.3"
                              << "65.3";
        QTest::newRow("60") << 60.0f << "60.0"
                            << "60";
        QTest::newRow("105") << 105.0f << "105.0"
                             << "105";
        QTest::newRow("105.2 one decimal") << 105.2f << "105.2"
                                           << "105.2";
        QTest::newRow("0.5") << 0.5f << "0.5"
                             << "0.5";
        QTest::newRow("0") << 0.0f << "0.0"
                           << "0";
    }
    void levels() {
        QFETCH(float, level);
        QFETCH(QString, text);
        QFETCH(QString, shortest);
        QCOMPARE(levelText(level), text);
        QCOMPARE(shortestText(level), shortest);
    }
};

QTEST_APPLESS_MAIN(TestNumericText)
#include "test_numeric_text.moc"
