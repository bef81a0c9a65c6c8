// Decoding of the live frame: range code and flags, status bits, level digits.
#include <QTest>

#include "link/meter_decode.h"

using lp::link::Reading;

class TestMeterDecode : public QObject {
    Q_OBJECT
private slots:
    void range_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<QList<int>>("flags");  // rec, full, max, A, slow
        QTest::newRow("0x42") << 0x42 << 50 << 100 << QList<int>{0, 0, 0, 1, 0};
        QTest::newRow("0xFF") << 0xFF << 0 << 0 << QList<int>{1, 1, 1, 1, 1};
        QTest::newRow("0x86") << 0x86 << 30 << 130 << QList<int>{0, 0, 0, 0, 1};
        QTest::newRow("0x00") << 0x00 << 30 << 80 << QList<int>{0, 0, 0, 0, 0};
        QTest::newRow("0x3D rec full max") << 0x3D << 80 << 130 << QList<int>{1, 1, 1, 0, 0};
    }
    void range() {
        QFETCH(int, value);
        Reading r;
        r.maxHold = true;  // previous values must be overwritten, not kept
        lp::link::decodeRange(r, value);
        QTEST(int(r.rangeLow), "low");
        QTEST(int(r.rangeHigh), "high");
        QTEST((QList<int>{r.meterRecording, r.memoryFull, r.maxHold, r.weightingA, r.slowResponse}),
              "flags");
    }

    void status() {
        Reading r;
        auto flags = [&] {
            return QList<bool>{r.hundredFlag, r.batteryLow, r.underRange, r.overRange};
        };
        lp::link::decodeStatus(r, 0xE3);
        QCOMPARE(flags(), (QList<bool>{false, true, true, true}));
        lp::link::decodeStatus(r, 0x10);
        QCOMPARE(flags(), (QList<bool>{true, false, false, false}));
    }

    void level_data() {
        QTest::addColumn<int>("b2");
        QTest::addColumn<int>("b3");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<float>("level");
        QTest::newRow("65.3") << 0x06 << 0x53 << "0653" << 65.3f;
        QTest::newRow("105.2") << 0x10 << 0x52 << "1052" << 105.2f;
        QTest::newRow("flags with tens 3") << 0xE3 << 0x41 << "E341" << 34.1f;
        QTest::newRow("tens half A counts 0") << 0x0A << 0x12 << "0A12" << 1.2f;
        QTest::newRow("units A stops at once") << 0x04 << 0xA5 << "04A5" << 40.0f;
        QTest::newRow("tenths A stops after units") << 0x04 << 0x5A << "045A" << 40.5f;
    }
    void level() {
        QFETCH(int, b2);
        QFETCH(int, b3);
        QTEST(lp::link::levelDigits(quint8(b2), quint8(b3)), "digits");
        Reading r;
        lp::link::decodeLiveFrame(r, QByteArray("\x00\x42", 2) + char(b2) + char(b3) + '\0');
        QTEST(r.level, "level");
    }
};

QTEST_APPLESS_MAIN(TestMeterDecode)
#include "test_meter_decode.moc"
