// The live core's rules: a frame's face and machine fields, max/min, the sample schedule, the
// sampling time.
#include <QTest>

#include "link/meter_decode.h"
#include "live/max_min.h"
#include "live/meter_view.h"
#include "live/reading_fields.h"
#include "live/sample_schedule.h"
#include "live/sampling_time.h"
#include "live_rig.h"

using namespace lp;
using live::SamplingAnswer;
using test::liveFrame;

class TestLiveRules : public QObject {
    Q_OBJECT
private slots:
    void frameToFace_data() {
        QTest::addColumn<QByteArray>("bytes");
        // level|weighting|response|high-low|lamps lit (Record Full Max Battery Under Over)
        QTest::addColumn<QString>("face");
        // The machine fields of `live --json` and the MQTT sample: weighting|response|
        // range|flags.
        QTest::addColumn<QString>("fields");
        QTest::newRow("60.0 C SLOW") << liveFrame(0x81, 0x06, 0x00) << "60.0|  C|    SLOW|90-40|"
                                     << "C|SLOW|40-90|";
        QTest::newRow("all lamps") << liveFrame(0xF8, 0xE3, 0x12) << "31.2|A|    SLOW|80-30|RFMBUO"
                                   << "A|SLOW|30-80|REC FULL MAX BAT UNDER OVER";
        QTest::newRow("over only") << liveFrame(0x00, 0x89, 0x99) << "99.9|  C|FAST|80-30|O"
                                   << "C|FAST|30-80|OVER";
    }
    void frameToFace() {
        QFETCH(QByteArray, bytes);
        link::Reading reading;
        link::decodeLiveFrame(reading, bytes);
        const live::MeterView v = live::meterView(reading);
        QString lit;
        const bool shown[] = {v.recordShown,  v.fullShown,  v.maxHoldShown,
                              v.batteryShown, v.underShown, v.overShown};
        for (int i = 0; i < 6; ++i) {
            if (shown[i]) {
                lit += QLatin1Char("RFMBUO"[i]);
            }
        }
        QTEST(QStringList({v.level, v.weighting, v.response, v.rangeHigh + '-' + v.rangeLow, lit})
                  .join('|'),
              "face");
        const live::ReadingFields f = live::readingFields(reading);
        QTEST(QStringList({f.weighting, f.response, f.range, f.flags.join(' ')}).join('|'),
              "fields");
    }

    void maxMinMoveOutwardsUntilReset() {
        live::MaxMin mm;
        const auto after = [&mm](const char* level) {
            live::widenMaxMin(mm, level);
            return mm.max + '|' + mm.min;
        };
        QCOMPARE(after("65.3"), "65.3|65.3");
        QCOMPARE(after("70.0"), "70|65.3");  // raised: the shortest text of the value
        QCOMPARE(after("60.0"), "70|60");
        QCOMPARE(after("66.0"), "70|60");  // inside: nothing moves
        QCOMPARE(after("105.2"), "105.2|60");
        live::resetMaxMin(mm, "68.2");
        QCOMPARE(mm.max + '|' + mm.min, "68.2|68.2");
        mm = {};
        QCOMPARE(after("72.0"), "72.0|72.0");  // filled from the level text as it is
    }

    void samplesEveryTSeconds_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("pattern");  // x = sample taken at that tick
        QTest::newRow("2 s") << 2 << QString("x.x.x.x.");
        QTest::newRow("1 s") << 1 << QString("xxxxxxxx");
    }
    void samplesEveryTSeconds() {
        QFETCH(int, seconds);
        QFETCH(QString, pattern);
        int sampleTick = 0;
        QString seen;
        for (int i = 0; i < pattern.size(); ++i) {
            const bool due = live::sampleDue(sampleTick, seconds);
            seen += due ? 'x' : '.';
            sampleTick = due ? 1 : sampleTick + 1;
        }
        QCOMPARE(seen, pattern);
    }

    void samplingAnswers_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("seconds");
        const int set = int(SamplingAnswer::Kind::Set);
        const int same = int(SamplingAnswer::Kind::Unchanged);
        const int refused = int(SamplingAnswer::Kind::Refused);
        QTest::newRow("0") << "0" << false << set << 1;
        QTest::newRow("100000") << "100000" << false << set << 86400;
        QTest::newRow("86400") << "86400" << false << set << 86400;
        QTest::newRow("2.5 half to even") << "2.5" << false << set << 2;
        QTest::newRow("3.5 half to even") << "3.5" << false << set << 4;
        QTest::newRow("1,800") << "1,800" << false << set << 1800;
        QTest::newRow("blanks around") << " 60 " << false << set << 60;
        QTest::newRow("number then text") << "12abc" << false << refused << 0;
        QTest::newRow("only a comma") << "," << false << refused << 0;
        QTest::newRow("empty") << "" << false << same << 0;
        QTest::newRow("cancel") << "" << true << same << 0;
    }
    void samplingAnswers() {
        QFETCH(QString, answer);
        QFETCH(bool, cancelled);
        QFETCH(int, kind);
        const auto a =
            live::readSamplingAnswer(cancelled ? std::nullopt : std::optional<QString>(answer));
        QCOMPARE(int(a.kind), kind);
        if (a.kind == SamplingAnswer::Kind::Set) {
            QTEST(a.seconds, "seconds");
        }
    }
};

QTEST_APPLESS_MAIN(TestLiveRules)
#include "test_live_rules.moc"
